#include "cli/LinkOptions.h"

#include <utility>

#include "cli/Cli.h"
#include "comm/CWirrel.h"
#include "comm/Ports.h"

namespace voltaris::cli {

namespace {

const QString kPort = QStringLiteral("--port");
const QString kInterface = QStringLiteral("--interface");
const QString kAddress = QStringLiteral("--address");
const QString kAuto = QStringLiteral("--auto");
const QString kAll = QStringLiteral("--all");
const QString kFast = QStringLiteral("--fast");
const QString kClassic = QStringLiteral("--classic");
const QString kAdaptive = QStringLiteral("--adaptive");
const QString kSave = QStringLiteral("--save");

qint16 parseAddress(const QString& option, const QString& text) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || !CNetworkAddMsgSetup::IsValidAddress(v))
        throw UsageError(QStringLiteral("%1 takes a number from %2 to %3, not '%4'")
                             .arg(option)
                             .arg(CNetworkAddMsgSetup::MinAddress)
                             .arg(CNetworkAddMsgSetup::MaxAddress)
                             .arg(text));
    return static_cast<qint16>(v);
}

}  // namespace

QStringList LinkOptions::flagNames() {
    return {kAuto, kFast, kClassic, kAdaptive, kSave};
}

QStringList LinkOptions::valuedNames() {
    return {kPort, kInterface, kAddress, kAll};
}

LinkOptions LinkOptions::parse(const ArgList& args) {
    LinkOptions o;
    if (args.has(kPort)) {
        const QString p = args.value(kPort).trimmed();
        if (p.isEmpty())
            throw UsageError(
                QStringLiteral("--port needs a device, COM1..COM4 or tcp://HOST:PORT"));
        o.port = p;
    }
    if (args.has(kInterface)) {
        const QString i = args.value(kInterface).toLower();
        if (i == QLatin1String("aux"))
            o.interfaceType = CCommConfig::AuxiliaryPort;
        else if (i == QLatin1String("single"))
            o.interfaceType = CCommConfig::SingleInstrument;
        else if (i == QLatin1String("network"))
            o.interfaceType = CCommConfig::Network;
        else
            throw UsageError(QStringLiteral("--interface takes aux, single or network, not '%1'")
                                 .arg(args.value(kInterface)));
    }
    if (args.has(kAddress))
        o.address = parseAddress(kAddress, args.value(kAddress));
    o.autoAddress = args.flag(kAuto);
    if (args.has(kAll))
        o.all = parseAddress(kAll, args.value(kAll));
    const std::pair<QString, LinkMode> modes[] = {
        {kFast, LinkMode::Fast}, {kClassic, LinkMode::Classic}, {kAdaptive, LinkMode::Adaptive}};
    for (const auto& [flag, mode] : modes) {
        if (!args.flag(flag))
            continue;
        if (o.mode)
            throw UsageError(QStringLiteral("give only one of --fast, --classic and --adaptive"));
        o.mode = mode;
    }
    o.save = args.flag(kSave);
    if (int(o.address.has_value()) + int(o.autoAddress) + int(o.all.has_value()) > 1)
        throw UsageError(QStringLiteral("give only one of --address, --auto and --all"));
    return o;
}

QString LinkSettings::effectivePort() const {
    if (!portName.isEmpty())
        return portName;
    return QStringLiteral("COM%1").arg(comm.ComPort() + 1);
}

void ApplyLinkOptions(const LinkOptions& o, CCommConfig& comm, CNetworkAddMsgSetup& network) {
    if (o.port)
        if (const auto index = ComPortIndex(*o.port))
            comm.setComPort(static_cast<qint16>(*index));
    if (o.interfaceType)
        comm.setInterfaceType(*o.interfaceType);
    const qint16 type = comm.InterfaceType();
    const CNetworkAddMsgSetup::Choices choices = CNetworkAddMsgSetup::ChoicesFor(type);
    if (!choices.any() && (o.address || o.autoAddress || o.all))
        throw UsageError(QStringLiteral(
            "the auxiliary port reaches one instrument at address 255: --address, --auto and "
            "--all do not apply"));
    if (o.all && !choices.wholeNetwork)
        throw UsageError(QStringLiteral("--all needs --interface network"));
    if (o.autoAddress && !choices.searchedAddress)
        throw UsageError(QStringLiteral(
            "in a network the address is given by hand: use --address N (or --all N)"));
    if (o.address) {
        network.setModeConfig(0);
        network.setSelNetworkAdd(1);
        network.setNetworkAdd(*o.address);
    } else if (o.autoAddress) {
        network.setModeConfig(0);
        network.setSelNetworkAdd(0);
    } else if (o.all) {
        network.setModeConfig(1);
        network.setTotalInstrNetwork(*o.all);
    }
    network.Settle(type);
}

LinkSettings::LinkSettings(const LinkOptions& o) {
    comm.LoadData(QString());
    network.LoadData(QString());
    ApplyLinkOptions(o, comm, network);
    if (o.port && !ComPortIndex(*o.port))
        portName = *o.port;
    mode = o.mode.value_or(LinkModeSetting());
    if (o.save) {
        comm.SaveData(QString());
        network.SaveData(QString());
        if (o.mode)
            SetLinkModeSetting(*o.mode);
    }
}

LinkSettings ResolveLinkSettings(const LinkOptions& o) {
    return LinkSettings(o);
}

void ConfigureLink(CWirrel& link, const LinkSettings& s) {
    link.setPortName(s.portName);
    link.setLinkMode(s.mode);
}

QString InterfaceName(qint16 interfaceType) {
    switch (interfaceType) {
        case CCommConfig::AuxiliaryPort:
            return QStringLiteral("aux");
        case CCommConfig::SingleInstrument:
            return QStringLiteral("single");
        case CCommConfig::Network:
            return QStringLiteral("network");
        default:
            return QString::number(interfaceType);
    }
}

}  // namespace voltaris::cli
