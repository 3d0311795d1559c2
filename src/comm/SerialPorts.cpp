#include "comm/SerialPorts.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

#include "comm/Ports.h"

namespace voltaris {

namespace {

// The file a path leads to once every link is followed; the path itself when it does not
// exist (so two missing paths still compare by name).
QString Target(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

}  // namespace

QString ByIdName(const QString& device, const QString& byIdFolder) {
    const QString target = Target(device);
    const QDir folder(byIdFolder);
    for (const QFileInfo& link : folder.entryInfoList(QDir::System | QDir::Files, QDir::Name))
        if (link.isSymLink() && Target(link.absoluteFilePath()) == target)
            return link.fileName();
    return {};
}

QList<SerialPortEntry> AvailableSerialPorts(const QString& byIdFolder) {
    QList<SerialPortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialPortEntry e;
        e.device = info.systemLocation();
        e.byId = ByIdName(e.device, byIdFolder);
        e.manufacturer = info.manufacturer().trimmed();
        e.product = info.description().trimmed();
        ports << e;
    }
    std::sort(ports.begin(), ports.end(), [](const SerialPortEntry& a, const SerialPortEntry& b) {
        return a.device < b.device;
    });
    return ports;
}

QList<ComPortMapping> MapComPorts(const QList<SerialPortEntry>& present) {
    QList<ComPortMapping> map;
    for (int i = 0; i < 4; ++i) {
        ComPortMapping m;
        m.name = QStringLiteral("COM%1").arg(i + 1);
        m.port = PortNameForIndex(i);
        m.gateway = m.port.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive);
        if (!m.gateway) {
            const QString target = Target(m.port);
            for (int p = 0; p < present.size() && m.present < 0; ++p)
                if (Target(present[p].device) == target)
                    m.present = p;
        }
        map << m;
    }
    return map;
}

QString DescribeComPort(const ComPortMapping& mapping, const QList<SerialPortEntry>& present) {
    QString what;
    if (mapping.gateway) {
        what = QStringLiteral("gateway");
    } else if (mapping.present < 0 || mapping.present >= present.size()) {
        what = QStringLiteral("not present");
    } else {
        const SerialPortEntry& e = present[mapping.present];
        QStringList parts;
        // The device itself when the setting names it through a link.
        if (Target(mapping.port) != QDir::cleanPath(mapping.port))
            parts << e.device;
        for (const QString& s : {e.manufacturer, e.product})
            if (!s.isEmpty() && !parts.contains(s))
                parts << s;
        what = parts.isEmpty() ? QStringLiteral("present") : parts.join(QStringLiteral(", "));
    }
    return QStringLiteral("%1: %2 (%3)").arg(mapping.name, mapping.port, what);
}

}  // namespace voltaris
