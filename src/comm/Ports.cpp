#include "comm/Ports.h"

#include <QRegularExpression>

#include "base/Errors.h"
#include "base/SettingsStore.h"
#include "comm/PortMessages.h"
#include "comm/SerialTransport.h"
#include "comm/TcpTransport.h"

namespace voltaris {

QString PortNameForIndex(int portIndex) {
    if (portIndex < 0)
        return {};
    const QString key = QStringLiteral("COM%1").arg(portIndex + 1);
    const QString def = QStringLiteral("/dev/ttyUSB%1").arg(portIndex);
    SettingsStore store;
    const QString value = store.value(QStringLiteral("Ports"), key, def).trimmed();
    return value.isEmpty() ? def : value;
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

bool FastTickSetting() {
    return SettingsStore().read<bool>(QStringLiteral("Link"), QStringLiteral("FastTick"), false);
}

void SetFastTickSetting(bool on) {
    SettingsStore store;
    store.write<bool>(QStringLiteral("Link"), QStringLiteral("FastTick"), on);
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
