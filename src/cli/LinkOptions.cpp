#include "cli/LinkOptions.h"

#include <utility>

#include "cli/Cli.h"
#include "comm/CWirrel.h"
#include "comm/Ports.h"
#include "comm/TcpTransport.h"

#include <QRegularExpression>

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
const QString kKeepGoing = QStringLiteral("--keep-going");

// COM1..COM4, a device path or tcp://HOST:PORT; what looks like another COM name or
// another scheme is refused here rather than when the port does not open.
void checkPortName(const QString& name) {
    static const QRegularExpression comName(QStringLiteral("^COM\\d*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    bool ok = true;
    if (ComPortIndex(name))
        return;
    if (comName.match(name).hasMatch())
        ok = false;
    else if (name.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive))
        ok = TcpTransport::parseUrl(name, nullptr, nullptr);
    else
        ok = !name.contains(QLatin1String("://"));
    if (!ok)
        throw UsageError(
            QStringLiteral("--port takes COM1..COM4, a device path or tcp://HOST:PORT, not '%1'")
                .arg(name));
}

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
    return {kAuto, kFast, kClassic, kAdaptive, kKeepGoing, kSave};
}

QStringList LinkOptions::valuedNames() {
    return {kPort, kInterface, kAddress, kAll};
}

LinkOptions LinkOptions::parse(const ArgList& args, LinkUse use) {
    LinkOptions o;
    if (args.has(kPort)) {
        const QString p = args.value(kPort).trimmed();
        if (p.isEmpty())
            throw UsageError(
                QStringLiteral("--port needs a device, COM1..COM4 or tcp://HOST:PORT"));
        checkPortName(p);
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
    o.keepGoing = args.flag(kKeepGoing);
    if (int(o.address.has_value()) + int(o.autoAddress) + int(o.all.has_value()) > 1)
        throw UsageError(QStringLiteral("give only one of --address, --auto and --all"));
    if (o.all && use == LinkUse::OneInstrument)
        throw UsageError(QStringLiteral(
            "this command works on one instrument: use --address N instead of --all"));
    if (o.keepGoing && use != LinkUse::EveryInstrument)
        throw UsageError(QStringLiteral("--keep-going applies to transmit and reset"));
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
    if (o.keepGoing && network.Addresses(type).size() < 2)
        throw UsageError(QStringLiteral(
            "--keep-going goes on past an instrument of a network: it needs --interface network "
            "--all N"));
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
        if (!portName.isEmpty())
            SetPortNameForIndex(comm.ComPort(), portName);
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
