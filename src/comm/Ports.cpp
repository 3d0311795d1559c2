#include "comm/Ports.h"

#include <QHash>
#include <QRegularExpression>

#include "base/Errors.h"
#include "base/SettingsStore.h"
#include "comm/PortMessages.h"
#include "comm/SerialTransport.h"
#include "comm/TcpTransport.h"

namespace voltaris {

namespace {
QHash<int, QString>& Overrides() {
    static QHash<int, QString> overrides;
    return overrides;
}
}  // namespace

void SetPortOverride(int portIndex, const QString& name) {
    if (name.trimmed().isEmpty())
        Overrides().remove(portIndex);
    else
        Overrides().insert(portIndex, name.trimmed());
}

QString PortNameForIndex(int portIndex) {
    if (portIndex < 0)
        return {};
    if (Overrides().contains(portIndex))
        return Overrides().value(portIndex);
    const QString key = QStringLiteral("COM%1").arg(portIndex + 1);
    const QString def = QStringLiteral("/dev/ttyUSB%1").arg(portIndex);
    SettingsStore store;
    const QString value = store.value(QStringLiteral("Ports"), key, def).trimmed();
    return value.isEmpty() ? def : value;
}

void SetPortNameForIndex(int portIndex, const QString& name) {
    if (portIndex < 0)
        return;
    SettingsStore store;
    store.setValue(QStringLiteral("Ports"), QStringLiteral("COM%1").arg(portIndex + 1),
                   name.trimmed());
    store.sync();
}

std::optional<int> ComPortIndex(const QString& name) {
    static const QRegularExpression com(QStringLiteral("^COM([1-4])$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const auto match = com.match(name.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt() - 1;
}

QString ResolvePortName(const QString& name) {
    if (const auto index = ComPortIndex(name))
        return PortNameForIndex(*index);
    return name.trimmed();
}

LinkMode LinkModeSetting() {
    const SettingsStore store;
    const QString section = QStringLiteral("Link"), key = QStringLiteral("FastTick");
    // Two defaults tell a stored value from a missing or unreadable one.
    const bool orTrue = store.read<bool>(section, key, true);
    if (orTrue != store.read<bool>(section, key, false))
        return LinkMode::Adaptive;
    return orTrue ? LinkMode::Fast : LinkMode::Classic;
}

void SetLinkModeSetting(LinkMode mode) {
    SettingsStore store;
    const QString section = QStringLiteral("Link"), key = QStringLiteral("FastTick");
    if (mode == LinkMode::Adaptive)
        store.remove(section, key);
    else
        store.write<bool>(section, key, mode == LinkMode::Fast);
    store.sync();
}

std::unique_ptr<Transport> CreateTransport(const QString& name) {
    const QString resolved = ResolvePortName(name);
    if (resolved.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive)) {
        QString host;
        quint16 port = 0;
        if (!TcpTransport::parseUrl(resolved, &host, &port))
            throw VoltarisError(PortMessages::BadPortName(resolved));
        return std::make_unique<TcpTransport>(host, port);
    }
    if (resolved.isEmpty() || resolved.contains(QLatin1String("://")))
        throw VoltarisError(PortMessages::BadPortName(resolved));
    return std::make_unique<SerialTransport>(resolved);
}

}  // namespace voltaris
