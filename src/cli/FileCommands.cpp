#include <QFileInfo>

#include "archive/Archive.h"
#include "cli/Command.h"
#include "memmap/ConfigurationFiles.h"
#include "model/CUsoInstr.h"
#include "model/Configuration.h"

namespace voltaris::cli {

namespace {

// Messages and the trace name the file as a full path, as the file dialog gives it.
QString fullPath(const QString& argument) {
    return QFileInfo(argument).absoluteFilePath();
}

// The list leaves out the instrument's configuration (id 2): its name is read from its
// usage record.
QString programName(Archive& archive, qint32 id) {
    for (const ProgramEntry& e : archive.list()) {
        if (e.id == id)
            return e.name;
    }
    CUsoInstr uso;
    uso.LoadDataFromADORS(archive, QVariant(Configuration::Criterion(id)));
    return uso.NomeProgramma();
}

}  // namespace

Command exportCommand() {
    return {QStringLiteral("export"), QStringLiteral("ID FILE [--force]"),
            QStringLiteral("write an exchange file (.ZLA); --force replaces an existing file"),
            [](Session& s, const QStringList& args) {
                const ArgList a(args, {QStringLiteral("--force")}, {});
                const qint32 id = a.requireId(0);
                const QString path = fullPath(a.require(1, QStringLiteral("file name")));
                a.expectPositionals(2);
                if (!requireConfiguration(s, id, Purpose::Use))
                    return int(kFailed);
                const QString name = programName(s.archive, id);
                TraceExportStart(name);
                if (QFileInfo::exists(path) && !a.flag(QStringLiteral("--force"))) {
                    s.ctx.err << QStringLiteral("%1 already exists; give --force to replace it.")
                                     .arg(path)
                              << '\n';
                    return int(kFailed);
                }
                ExportConfiguration(s.archive, id, path);
                // The file's name field is its format; say what it changed.
                const QString warning = ExportNameWarning(name);
                if (!warning.isEmpty())
                    s.ctx.err << warning << '\n';
                return int(kDone);
            }};
}

Command importCommand() {
    return {QStringLiteral("import"), QStringLiteral("FILE"),
            QStringLiteral("add a configuration from an exchange file; prints the new id"),
            [](Session& s, const QStringList& args) {
                const ArgList a(args, {}, {});
                const QString path = fullPath(a.require(0, QStringLiteral("file name")));
                a.expectPositionals(1);
                FieldProblems refused;
                const std::optional<qint32> id = ImportConfiguration(s.archive, path, &refused);
                // Refused; the message is already out. Values out of range are bad input.
                if (!id)
                    return int(refused.isEmpty() ? kFailed : kBadUsage);
                s.ctx.out << *id << '\n';
                return int(kDone);
            }};
}

}  // namespace voltaris::cli
