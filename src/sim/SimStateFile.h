#pragma once

#include "sim/SimNetwork.h"

#include <QFile>
#include <QString>
#include <QStringList>

namespace voltaris {

// The state file: {"format": "voltaris-sim-state", "version": 1, "instruments": [...]},
// one entry per instrument in command-line order (SimInstrument::saveState).

// Writes the state of every instrument; the file is replaced atomically. Throws IoError
// naming the file when it cannot be written.
void SaveSimState(SimNetwork& network, const QString& path, qint64 nowMs);

// Restores instrument i from entry i. A missing file restores nothing. An entry for another
// model is skipped with a warning in the returned list. Throws IoError naming the file when
// it cannot be read or is not a state file, and VoltarisError for a bad entry.
QStringList LoadSimState(SimNetwork& network, const QString& path, qint64 nowMs);

// The frame log: one JSON object per line, appended to the file and flushed at once.
class SimFrameLog {
public:
    // Throws IoError naming the file when it cannot be opened.
    explicit SimFrameLog(const QString& path);
    void write(const QJsonObject& entry);

private:
    QFile m_file;
};

}  // namespace voltaris
