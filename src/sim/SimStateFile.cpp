#include "sim/SimStateFile.h"

#include "base/Errors.h"
#include "base/SafeFile.h"
#include "sim/SimModels.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace voltaris {

namespace {

const QString kFormat = QStringLiteral("voltaris-sim-state");
constexpr int kVersion = 1;

}  // namespace

void SaveSimState(SimNetwork& network, const QString& path, qint64 nowMs) {
    QJsonArray instruments;
    for (int i = 0; i < network.count(); ++i)
        instruments.append(network.instrument(i).saveState(nowMs));
    const QJsonObject root{{QStringLiteral("format"), kFormat},
                           {QStringLiteral("version"), kVersion},
                           {QStringLiteral("instruments"), instruments}};
    WriteFileSafely(path, QJsonDocument(root).toJson(QJsonDocument::Indented));
}

QStringList LoadSimState(SimNetwork& network, const QString& path, qint64 nowMs) {
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw IoError(QStringLiteral("Cannot read the simulator state file %1: %2")
                          .arg(path, file.errorString()));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    const QJsonObject root = doc.object();
    if (error.error != QJsonParseError::NoError || !doc.isObject() ||
        root.value(QStringLiteral("format")).toString() != kFormat)
        throw IoError(QStringLiteral("%1 is not a simulator state file%2")
                          .arg(path, error.error != QJsonParseError::NoError
                                         ? QStringLiteral(" (%1 at offset %2)")
                                               .arg(error.errorString())
                                               .arg(error.offset)
                                         : QString()));
    if (root.value(QStringLiteral("version")).toInt() != kVersion)
        throw IoError(QStringLiteral("The simulator state file %1 has version %2; this "
                                     "simulator reads version %3")
                          .arg(path)
                          .arg(root.value(QStringLiteral("version")).toInt())
                          .arg(kVersion));
    const QJsonArray entries = root.value(QStringLiteral("instruments")).toArray();
    QStringList warnings;
    for (int i = 0; i < entries.size(); ++i) {
        if (i >= network.count()) {
            warnings << QStringLiteral(
                            "%1: entry %2 has no instrument on the command line; "
                            "it is not used")
                            .arg(path)
                            .arg(i + 1);
            continue;
        }
        const QJsonObject entry = entries.at(i).toObject();
        bool ok = false;
        const quint32 model =
            entry.value(QStringLiteral("model")).toString().mid(2).toUInt(&ok, 16);
        SimInstrument& inst = network.instrument(i);
        if (!ok || (model & 0x00FFFFFFu) != (inst.model() & 0x00FFFFFFu)) {
            warnings << QStringLiteral(
                            "%1: entry %2 is for model %3, instrument %2 is %4; "
                            "it starts with factory settings")
                            .arg(path)
                            .arg(i + 1)
                            .arg(entry.value(QStringLiteral("model")).toString(),
                                 SimModelName(inst.model()));
            continue;
        }
        try {
            inst.restoreState(entry, nowMs);
        } catch (const VoltarisError& e) {
            throw VoltarisError(
                QStringLiteral("%1, entry %2: %3").arg(path).arg(i + 1).arg(e.message()));
        }
    }
    return warnings;
}

SimFrameLog::SimFrameLog(const QString& path) : m_file(path) {
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        throw IoError(
            QStringLiteral("Cannot open the frame log %1: %2").arg(path, m_file.errorString()));
}

void SimFrameLog::write(const QJsonObject& entry) {
    m_file.write(QJsonDocument(entry).toJson(QJsonDocument::Compact));
    m_file.write("\n");
    m_file.flush();
}

}  // namespace voltaris
