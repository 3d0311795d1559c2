#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>

#include "archive/Archive.h"
#include "base/Clock.h"
#include "base/ResString.h"
#include "cli/Command.h"
#include "cli/InstrumentCommands.h"
#include "cli/InstrumentSession.h"
#include "cli/LinkOptions.h"
#include "comm/CWirrel.h"
#include "comm/Frames.h"
#include "comm/WirrelObj.h"
#include "memmap/CGestioneMemMap.h"
#include "model/Configuration.h"
#include "model/ModelCatalogue.h"
#include "transfer/InstrumentScan.h"
#include "transfer/TransferProcedure.h"

namespace voltaris::cli {

namespace {

const QString kLinkUsage = QStringLiteral(
    "[--port PATH|COMn|tcp://HOST:PORT] [--interface aux|single|network] "
    "[--address N|--auto] [--all N [--keep-going]] [--fast|--classic|--adaptive] [--save]");

ArgList linkArgs(const QStringList& args, QStringList flags = {}, QStringList valued = {}) {
    return ArgList(args, flags + LinkOptions::flagNames(), valued + LinkOptions::valuedNames());
}

QString outcomeName(TransferProcedure::AddressOutcome::Result result) {
    switch (result) {
        case TransferProcedure::AddressOutcome::Done:
            return QStringLiteral("done");
        case TransferProcedure::AddressOutcome::Failed:
            return QStringLiteral("failed");
        default:
            return QStringLiteral("not tried");
    }
}

// Every address of a network operation and how it ended.
void printOutcomes(QTextStream& out, const QList<TransferProcedure::AddressOutcome>& outcomes) {
    out << QStringLiteral("%1  %2  %3")
               .arg(QStringLiteral("ADDRESS"), 7)
               .arg(QStringLiteral("OUTCOME"), -9)
               .arg(QStringLiteral("CAUSE"))
               .trimmed()
        << '\n';
    for (const TransferProcedure::AddressOutcome& o : outcomes)
        out << QStringLiteral("%1  %2  %3")
                   .arg(o.address, 7)
                   .arg(outcomeName(o.result), -9)
                   .arg(o.cause)
                   .trimmed()
            << '\n';
}

// Runs one operation of the transfer procedure with progress on standard error and Ctrl-C
// as its cancel. Exit status: done, failed (the message is out) or cancelled.
int runTransfer(Session& s, LinkSettings& link, const LinkOptions& options, qint32 action,
                qint32 id, bool verify = false) {
    Clock& clock = Clock::real();
    WirrelObj component(clock);
    TransferProcedure procedure(clock, component, s.archive);
    procedure.setAction(action);
    procedure.setIDProgramma(id);
    procedure.setVerifyAfterWrite(verify);
    procedure.setKeepGoing(options.keepGoing);
    procedure.Create(link.comm, link.network);
    ConfigureLink(procedure.link(), link);

    ProgressView view(s.ctx);
    QObject::connect(
        &procedure, &TransferProcedure::readBack,
        [&](quint8 address, const QList<RegisterDifference>& differences) {
            view.clear();
            for (const RegisterDifference& d : differences)
                s.ctx.out << QStringLiteral("address %1 register %2 %3: written 0x%4, read 0x%5")
                                 .arg(d.address)
                                 .arg(d.reg)
                                 .arg(RegisterName(d.reg))
                                 .arg(static_cast<quint16>(d.written), 4, 16, QLatin1Char('0'))
                                 .arg(static_cast<quint16>(d.read), 4, 16, QLatin1Char('0'))
                          << '\n';
            if (differences.isEmpty())
                s.ctx.err << QStringLiteral("Address %1: the instrument holds what was written.")
                                 .arg(address)
                          << '\n';
        });
    const int status = RunEngine(procedure, &view);
    if (options.keepGoing)
        printOutcomes(s.ctx.out, procedure.AddressOutcomes());
    if (status != kDone && procedure.PartlyWrittenAddress() != 0)
        s.ctx.err << QStringLiteral(
                         "The instrument at address %1 now holds a partly written "
                         "configuration: transmit it again before using it.")
                         .arg(procedure.PartlyWrittenAddress())
                  << '\n';
    return status;
}

QString frameText(const QByteArray& frame) {
    return QString::fromLatin1(frame.toHex(' ').toUpper());
}

// The frames a transmission would send, without sending anything.
int dryRun(Session& s, const LinkSettings& link, qint32 id) {
    CGestioneMemMap map(s.archive);
    map.setIDProgramma(id);
    map.ConvertUserSetupToMemoryMap();
    const qint32 model = ReportedModel(map.InstrModel());
    const qint16 iface = link.comm.InterfaceType();
    const QList<DryRunAddress> plan = PlanDryRun(map, link.comm, link.network);
    if (link.network.SearchesAddress(iface) && !plan.isEmpty())
        s.ctx.err << QStringLiteral(
                         "The address is searched for on the line; the frames are "
                         "shown for address %1.")
                         .arg(plan.first().address)
                  << '\n';
    s.ctx.out << QStringLiteral("# %1, model %2, interface %3")
                     .arg(map.UserSetup().UsoInstr().NomeProgramma(), ModelName(model),
                          InterfaceName(iface))
              << '\n';
    for (const DryRunAddress& d : plan) {
        s.ctx.out << QStringLiteral("# address %1").arg(d.address) << '\n';
        for (const QByteArray& f : d.frames) {
            const quint16 reg = static_cast<quint16>(static_cast<quint8>(f.at(2)) << 8 |
                                                     static_cast<quint8>(f.at(3)));
            const quint16 value = static_cast<quint16>(static_cast<quint8>(f.at(4)) << 8 |
                                                       static_cast<quint8>(f.at(5)));
            s.ctx.out << frameText(f) << "  write " << reg << ' ' << RegisterName(reg) << " = 0x"
                      << QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper() << '\n';
        }
    }
    return kDone;
}

const QStringList kResetKinds{QStringLiteral("all"),        QStringLiteral("counters"),
                              QStringLiteral("maxmin-dmd"), QStringLiteral("maxmin"),
                              QStringLiteral("dmd"),        QStringLiteral("total-energy"),
                              QStringLiteral("hours"),      QStringLiteral("partial-energy")};

}  // namespace

Command transmitCommand() {
    return {QStringLiteral("transmit"), QStringLiteral("ID [--verify] [--dry-run] LINK"),
            QStringLiteral("write a configuration to the instrument(s)"),
            [](Session& s, const QStringList& args) {
                const ArgList a =
                    linkArgs(args, {QStringLiteral("--verify"), QStringLiteral("--dry-run")});
                const qint32 id = a.requireId(0);
                a.expectPositionals(1);
                const LinkOptions options = LinkOptions::parse(a, LinkUse::EveryInstrument);
                LinkSettings link = ResolveLinkSettings(options);
                if (!requireConfiguration(s, id, Purpose::Use))
                    return int(kFailed);
                if (a.flag(QStringLiteral("--dry-run")))
                    return dryRun(s, link, id);
                return runTransfer(s, link, options, TransferProcedure::WriteConfiguration, id,
                                   a.flag(QStringLiteral("--verify")));
            }};
}

Command readCommand() {
    return {QStringLiteral("read"), QStringLiteral("[--archive] LINK"),
            QStringLiteral("read the instrument's configuration into id 2 (--archive: and into "
                           "a new id, printed)"),
            [](Session& s, const QStringList& args) {
                const ArgList a = linkArgs(args, {QStringLiteral("--archive")});
                a.expectPositionals(0);
                const LinkOptions options = LinkOptions::parse(a, LinkUse::OneInstrument);
                LinkSettings link = ResolveLinkSettings(options);
                const int status = runTransfer(
                    s, link, options, TransferProcedure::ReadConfiguration, Archive::ReservedId);
                if (status != kDone)
                    return status;
                if (a.flag(QStringLiteral("--archive"))) {
                    Configuration c;
                    c.load(s.archive, Archive::ReservedId);
                    s.ctx.out << c.copyToNewId(s.archive) << '\n';
                }
                return int(kDone);
            }};
}

Command resetCommand() {
    return {
        QStringLiteral("reset"), QStringLiteral("KIND [--yes] LINK"),
        QStringLiteral("KIND: ") + kResetKinds.join(u' '), [](Session& s, const QStringList& args) {
            const ArgList a = linkArgs(args, {QStringLiteral("--yes")});
            const QString kind = a.require(0, QStringLiteral("reset kind"));
            a.expectPositionals(1);
            const qsizetype action = kResetKinds.indexOf(kind.toLower());
            if (action < 0)
                throw UsageError(QStringLiteral("unknown reset kind %1 (one of: %2)")
                                     .arg(kind, kResetKinds.join(QStringLiteral(", "))));
            const LinkOptions options = LinkOptions::parse(a, LinkUse::EveryInstrument);
            LinkSettings link = ResolveLinkSettings(options);
            // Counters and extremes are gone for good once reset: ask, as delete does.
            if (const int status = confirmOrStatus(
                    s, a.flag(QStringLiteral("--yes")), QStringLiteral("reset"), ResString(1016),
                    QStringLiteral("Reset %1 on the instrument(s)?").arg(kResetKinds[action])))
                return status;
            return runTransfer(s, link, options, static_cast<qint32>(action), -1);
        }};
}

Command scanCommand() {
    return {
        QStringLiteral("scan"), QStringLiteral("LINK"),
        QStringLiteral("find the instruments: every speed, every address that answers "
                       "(--address N: that one; --all N: N..1)"),
        [](Session& s, const QStringList& args) {
            const ArgList a = linkArgs(args);
            a.expectPositionals(0);
            const LinkOptions options = LinkOptions::parse(a, LinkUse::Scan);
            LinkSettings link = ResolveLinkSettings(options);
            Clock& clock = Clock::real();
            WirrelObj component(clock);
            InstrumentScan scan(clock, component);
            scan.Create(link.comm, InstrumentScan::Addresses(link.comm.InterfaceType(),
                                                             options.address ? *options.address : 0,
                                                             options.all ? *options.all : 0));
            ConfigureLink(scan.link(), link);
            ProgressView view(s.ctx);
            QObject::connect(&scan, &InstrumentScan::found, [&](const InstrumentScan::Found& f) {
                view.clear();
                s.ctx.err << QStringLiteral("%1 baud, address %2: %3")
                                 .arg(f.baud)
                                 .arg(f.address)
                                 .arg(ModelName(f.model))
                          << '\n';
            });
            const int status = RunEngine(scan, &view);
            if (status != kDone)
                return status;
            s.ctx.out << QStringLiteral("%1  %2  %3")
                             .arg(QStringLiteral("BAUD"), 5)
                             .arg(QStringLiteral("ADDRESS"), 7)
                             .arg(QStringLiteral("MODEL"))
                      << '\n';
            for (const InstrumentScan::Found& f : scan.Instruments())
                s.ctx.out << QStringLiteral("%1  %2  %3")
                                 .arg(f.baud, 5)
                                 .arg(f.address, 7)
                                 .arg(ModelName(f.model))
                          << '\n';
            return int(kDone);
        }};
}

QString FormatPorts(const QList<SerialPortEntry>& present, const QList<ComPortMapping>& map) {
    QString text;
    if (present.isEmpty()) {
        text += QStringLiteral("No serial port found on this machine.\n");
    } else {
        QList<QStringList> rows{{QStringLiteral("DEVICE"), QStringLiteral("COM"),
                                 QStringLiteral("BY-ID"), QStringLiteral("MAKER"),
                                 QStringLiteral("PRODUCT")}};
        for (int p = 0; p < present.size(); ++p) {
            QStringList coms;
            for (const ComPortMapping& m : map)
                if (m.present == p)
                    coms << m.name;
            const SerialPortEntry& e = present[p];
            rows << QStringList{e.device, coms.isEmpty() ? QStringLiteral("-") : coms.join(','),
                                e.byId.isEmpty() ? QStringLiteral("-") : e.byId,
                                e.manufacturer.isEmpty() ? QStringLiteral("-") : e.manufacturer,
                                e.product.isEmpty() ? QStringLiteral("-") : e.product};
        }
        QList<int> width(rows.first().size(), 0);
        for (const QStringList& row : rows)
            for (int c = 0; c < row.size(); ++c)
                width[c] = qMax(width[c], int(row[c].size()));
        for (const QStringList& row : rows) {
            QString line;
            for (int c = 0; c < row.size(); ++c)
                line += QStringLiteral("%1  ").arg(row[c], -width[c]);
            text += line.trimmed() + QLatin1Char('\n');
        }
    }
    text += QLatin1Char('\n');
    for (const ComPortMapping& m : map)
        text += DescribeComPort(m, present) + QLatin1Char('\n');
    return text;
}

QByteArray PortsJson(const QList<SerialPortEntry>& present, const QList<ComPortMapping>& map) {
    QJsonArray ports, coms;
    for (const SerialPortEntry& e : present)
        ports.append(QJsonObject{{QStringLiteral("device"), e.device},
                                 {QStringLiteral("byId"), e.byId},
                                 {QStringLiteral("maker"), e.manufacturer},
                                 {QStringLiteral("product"), e.product}});
    for (const ComPortMapping& m : map)
        coms.append(QJsonObject{
            {QStringLiteral("name"), m.name},
            {QStringLiteral("port"), m.port},
            {QStringLiteral("gateway"), m.gateway},
            {QStringLiteral("device"),
             m.present < 0 || m.present >= present.size() ? QJsonValue() : QJsonValue(present[m.present].device)}});
    return QJsonDocument(QJsonObject{{QStringLiteral("ports"), ports},
                                     {QStringLiteral("com"), coms}})
        .toJson(QJsonDocument::Indented);
}

Command portsCommand() {
    return {QStringLiteral("ports"), QStringLiteral("[--json]"),
            QStringLiteral("this machine's serial ports and the device each of COM1..COM4 stands "
                           "for"),
            [](Session& s, const QStringList& args) {
                const ArgList a(args, {QStringLiteral("--json")}, {});
                a.expectPositionals(0);
                const QList<SerialPortEntry> present = AvailableSerialPorts();
                const QList<ComPortMapping> map = MapComPorts(present);
                if (a.flag(QStringLiteral("--json")))
                    s.ctx.out << PortsJson(present, map);
                else
                    s.ctx.out << FormatPorts(present, map);
                return int(kDone);
            }};
}

}  // namespace voltaris::cli
