#pragma once

#include <QString>

namespace voltaris {

// Where the archive, the trace log and the memory map files live:
// `--home DIR` when given, else $VOLTARIS_HOME when set, else the executable's folder when
// it is writable, else the per-user data folder (~/.local/share/Voltaris).
class DataFolder {
public:
    // Settles the folder for this run and creates it when missing. `home` is the
    // --home argument (empty when not given). Throws IoError when the folder cannot be
    // created; a read-only folder is accepted (the archive is then read only).
    static QString resolve(const QString& home, const QString& executableDir);

    // The folder settled by the last resolve() (or set()); empty before.
    static QString path();
    static void set(const QString& dir);
    static QString file(const QString& name);

    // The template's search order: the data folder, beside the executable, ../share/voltaris/.
    static QStringList templateCandidates(const QString& executableDir, const QString& name);
};

}  // namespace voltaris
