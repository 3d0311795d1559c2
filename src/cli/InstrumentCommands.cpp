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
#include "comm/LinkExchange.h"
#include "comm/TransferProcedure.h"
#include "comm/WirrelObj.h"
#include "memmap/CGestioneMemMap.h"
#include "model/Configuration.h"
#include "model/ModelCatalogue.h"

namespace voltaris::cli {

namespace {

const QString kLinkUsage = QStringLiteral(
    "[--port PATH|COMn|tcp://HOST:PORT] [--interface aux|single|network] "
    "[--address N|--auto] [--all N] [--fast|--classic|--adaptive] [--save]");

ArgList linkArgs(const QStringList& args, QStringList flags = {}, QStringList valued = {}) {
    return ArgList(args, flags + LinkOptions::flagNames(), valued + LinkOptions::valuedNames());
}

QString modelName(qint32 model) {
    if (const ModelEntry* e = ModelCatalogue::standard().lookup(model))
        return e->name;
    // The instrument reports no variant byte: match on the low three bytes.
    for (const ModelEntry& e : ModelCatalogue::standard().entries())
        if ((e.id & 0x00FFFFFF) == (model & 0x00FFFFFF))
            return e.name;
    return QStringLiteral("0x%1").arg(static_cast<quint32>(model), 8, 16, QLatin1Char('0'));
}

bool configurationExists(Session& s, qint32 id) {
    if (s.archive.exists(id))
        return true;
    s.ctx.err << QStringLiteral("There is no configuration with ID %1.").arg(id) << '\n';
    return false;
}

// Runs one operation of the transfer procedure with progress on standard error and Ctrl-C
// as its cancel. Exit status: done, failed (the message is out) or cancelled.
int runTransfer(Session& s, LinkSettings& link, qint32 action, qint32 id,
                TransferProcedure::AfterWriteHook afterWrite = {}) {
    Clock& clock = Clock::real();
    WirrelObj component(clock);
    TransferProcedure procedure(clock, component, s.archive);
    procedure.setAction(action);
    procedure.setIDProgramma(id);
    procedure.setAfterWriteHook(std::move(afterWrite));
    procedure.Create(link.comm, link.network);
    ConfigureLink(procedure.link(), link);

    ProgressView view(s.ctx);
    QObject::connect(&procedure, &TransferProcedure::connectionLine,
                     [&](const QString& t) { view.setCaption(t); });
    QObject::connect(&procedure, &TransferProcedure::operationLine,
                     [&](const QString& t) { view.setOperation(t); });
    QObject::connect(&procedure, &TransferProcedure::progress,
                     [&](int v, int min, int max) { view.setProgress(v, min, max); });
    QObject::connect(&procedure, &TransferProcedure::message,
                     [&](int, const QString&, int) { view.clear(); });
    InterruptWatch watch([&] { procedure.Cancel(); });
    bool ok = false;
    try {
        ok = procedure.Run();
    } catch (...) {
        view.clear();
        throw;
    }
    view.clear();
    if (procedure.Cancelled() || watch.interrupted())
        return kCancelled;
    return ok ? kDone : kFailed;
}

QString frameText(const QByteArray& frame) {
    return QString::fromLatin1(frame.toHex(' ').toUpper());
}

// The frames a transmission would send, without sending anything.
int dryRun(Session& s, const LinkSettings& link, qint32 id) {
    CGestioneMemMap map(s.archive);
    map.setIDProgramma(id);
    map.ConvertUserSetupToMemoryMap();
    const qint32 model = map.InstrModel() & 0x00FFFFFF;
    const qint16 iface = link.comm.InterfaceType();
    QList<quint8> addresses;
    if (iface == 0)
        addresses << 255;
    else if (link.network.ModeConfig() != 0)
        for (int a = 1; a <= (iface == 2 ? link.network.TotalInstrNetwork() : 1); ++a)
            addresses << static_cast<quint8>(a);
    else
        addresses << static_cast<quint8>(link.network.NetworkAdd());
    if (iface != 0 && link.network.ModeConfig() == 0 && link.network.SelNetworkAdd() == 0)
        s.ctx.err << QStringLiteral(
                         "The address is searched for on the line; the frames are "
                         "shown for address %1.")
                         .arg(addresses.first())
                  << '\n';
    s.ctx.out << QStringLiteral("# %1, model %2, interface %3")
                     .arg(map.UserSetup().UsoInstr().NomeProgramma(), modelName(model),
                          InterfaceName(iface))
              << '\n';
    for (const quint8 address : addresses) {
        s.ctx.out << QStringLiteral("# address %1").arg(address) << '\n';
        const auto show = [&](const QByteArray& f) {
            const quint16 reg = static_cast<quint16>(static_cast<quint8>(f.at(2)) << 8 |
                                                     static_cast<quint8>(f.at(3)));
            const quint16 value = static_cast<quint16>(static_cast<quint8>(f.at(4)) << 8 |
                                                       static_cast<quint8>(f.at(5)));
            s.ctx.out << frameText(f) << "  write " << reg << ' ' << RegisterName(reg) << " = 0x"
                      << QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper() << '\n';
        };
        quint8 last = address;
        for (const PlannedWrite& w : PlanWrite(map, address, model, iface)) {
            show(w.frame);
            last = static_cast<quint8>(w.frame.at(0));
        }
        for (const quint8 code : {quint8(1), quint8(6)})
            show(BuildResetCommand(last, code));
    }
    return kDone;
}

// Reads the written blocks back and lists every word that differs.
bool verifyBlocks(Session& s, TransferProcedure& p, quint8 address) {
    const CGestioneMemMap& map = *p.memoryMap();
    const quint8 t = static_cast<quint8>(p.DetectedModel() & 0xFF);
    struct Span {
        quint16 first;
        int count;
        std::function<qint16(int)> word;
    };
    QList<Span> spans{{kRegParam, 8, [&](int i) { return map.ParamMemMap(i); }}};
    if (t == 2 || t == 3)
        for (int b = 0; b < 3; ++b)
            spans.push_back({static_cast<quint16>(kRegAnalogOut + 8 * b), 8,
                             [&, b](int i) { return map.AnalogOutMemMap(8 * b + i); }});
    if (t == 4 || t == 5 || t == 16) {
        for (int b = 0; b < 16; ++b)
            spans.push_back({static_cast<quint16>(kRegAlarm + 8 * b), 8,
                             [&, b](int i) { return map.AlarmMemMap(8 * b + i); }});
        for (int b = 0; b < 2; ++b)
            spans.push_back({static_cast<quint16>(kRegPulse + 8 * b), 8,
                             [&, b](int i) { return map.PulseMemMap(8 * b + i); }});
    }
    int differences = 0;
    for (const Span& span : spans) {
        QByteArray reply;
        if (!p.Exchange(BuildReadRequest(address, span.first, static_cast<quint8>(span.count)),
                        ReadReplyLength(span.count), &reply))
            return false;
        const QVector<qint16> got = ReplyWords(reply, span.count);
        for (int i = 0; i < span.count; ++i) {
            if (got.at(i) == span.word(i))
                continue;
            ++differences;
            const quint16 reg = static_cast<quint16>(span.first + i);
            s.ctx.out << QStringLiteral("address %1 register %2 %3: written 0x%4, read 0x%5")
                             .arg(address)
                             .arg(reg)
                             .arg(RegisterName(reg))
                             .arg(static_cast<quint16>(span.word(i)), 4, 16, QLatin1Char('0'))
                             .arg(static_cast<quint16>(got.at(i)), 4, 16, QLatin1Char('0'))
                      << '\n';
        }
    }
    if (differences == 0)
        s.ctx.err
            << QStringLiteral("Address %1: the instrument holds what was written.").arg(address)
            << '\n';
    return differences == 0;
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
                LinkSettings link = ResolveLinkSettings(LinkOptions::parse(a));
                if (!configurationExists(s, id))
                    return int(kFailed);
                if (a.flag(QStringLiteral("--dry-run")))
                    return dryRun(s, link, id);
                TransferProcedure::AfterWriteHook hook;
                if (a.flag(QStringLiteral("--verify")))
                    hook = [&s](TransferProcedure& p, quint8 address) {
                        return verifyBlocks(s, p, address);
                    };
                return runTransfer(s, link, TransferProcedure::WriteConfiguration, id, hook);
            }};
}

Command readCommand() {
    return {QStringLiteral("read"), QStringLiteral("[--archive] LINK"),
            QStringLiteral("read the instrument's configuration into id 2 (--archive: and into "
                           "a new id, printed)"),
            [](Session& s, const QStringList& args) {
                const ArgList a = linkArgs(args, {QStringLiteral("--archive")});
                a.expectPositionals(0);
                LinkSettings link = ResolveLinkSettings(LinkOptions::parse(a));
                const int status =
                    runTransfer(s, link, TransferProcedure::ReadConfiguration, Archive::ReservedId);
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
    return {QStringLiteral("reset"), QStringLiteral("KIND LINK"),
            QStringLiteral("KIND: ") + kResetKinds.join(u' '),
            [](Session& s, const QStringList& args) {
                const ArgList a = linkArgs(args);
                const QString kind = a.require(0, QStringLiteral("reset kind"));
                a.expectPositionals(1);
                const qsizetype action = kResetKinds.indexOf(kind.toLower());
                if (action < 0)
                    throw UsageError(QStringLiteral("unknown reset kind %1 (one of: %2)")
                                         .arg(kind, kResetKinds.join(QStringLiteral(", "))));
                LinkSettings link = ResolveLinkSettings(LinkOptions::parse(a));
                return runTransfer(s, link, static_cast<qint32>(action), -1);
            }};
}

Command scanCommand() {
    return {QStringLiteral("scan"), QStringLiteral("LINK"),
            QStringLiteral("find the instruments: every speed, every address that answers "
                           "(--address N: that one; --all N: N..1)"),
            [](Session& s, const QStringList& args) {
                const ArgList a = linkArgs(args);
                a.expectPositionals(0);
                const LinkOptions options = LinkOptions::parse(a);
                LinkSettings link = ResolveLinkSettings(options);
                const bool aux = link.comm.InterfaceType() == 0;
                struct Speed {
                    qint32 index;
                    qint32 baud;
                };
                const QList<Speed> speeds =
                    aux ? QList<Speed>{{2, 4800}}
                        : QList<Speed>{{4, 38400}, {5, 19200}, {3, 9600}, {2, 4800}};
                QList<quint8> addresses;
                if (aux)
                    addresses << 255;
                else if (options.address)
                    addresses << static_cast<quint8>(*options.address);
                else
                    // A network of N asks N..1 only; otherwise the whole line.
                    for (int i = options.all ? *options.all : 255; i >= 1; --i)
                        addresses << static_cast<quint8>(i);

                Clock& clock = Clock::real();
                WirrelObj component(clock);
                StandaloneLink standalone(clock, component);
                CWirrel& wirrel = standalone.link;
                ConfigureLink(wirrel, link);
                bool cancelled = false;
                InterruptWatch watch([&] {
                    cancelled = true;
                    wirrel.setCancelTxRx(true);
                });
                ProgressView view(s.ctx);
                const auto exchange = [&](const QByteArray& request, int length) {
                    return standalone.exchange(request, length);
                };
                struct Found {
                    qint32 baud;
                    quint8 address;
                    qint32 model;
                };
                QList<Found> found;
                for (const Speed& sp : speeds) {
                    if (cancelled)
                        break;
                    view.setCaption(QStringLiteral("%1 baud").arg(sp.baud));
                    if (!wirrel.OpenRs232(link.comm.ComPort() + 1, sp.index, 0, 0)) {
                        view.clear();
                        UserMessages::current().show(UserMessages::Icon::Warning, ResString(208),
                                                     wirrel.OpenErrorText().isEmpty()
                                                         ? ResString(209)
                                                         : wirrel.OpenErrorText());
                        return int(kFailed);
                    }
                    wirrel.setDTR(true);
                    wirrel.setRTS(false);
                    const SearchTiming timing(wirrel);
                    for (int i = 0; i < addresses.size() && !cancelled; ++i) {
                        const quint8 address = addresses.at(i);
                        view.setOperation(FormatResString(222, QString::number(address)));
                        view.setProgress(i, 0, int(addresses.size()));
                        if (exchange(BuildReadRequest(address, kRegModelHigh, 1), 7) != 0)
                            continue;
                        const QByteArray high = wirrel.FrameRx();
                        if (exchange(BuildReadRequest(address, kRegModelLow, 1), 7) != 0)
                            continue;
                        const qint32 model =
                            ModelFromRegisters(ReplyWord(wirrel.FrameRx(), 0), ReplyWord(high, 0));
                        found.push_back({sp.baud, address, model});
                        view.clear();
                        s.ctx.err << QStringLiteral("%1 baud, address %2: %3")
                                         .arg(sp.baud)
                                         .arg(address)
                                         .arg(modelName(model))
                                  << '\n';
                    }
                    wirrel.CloseRs232();
                }
                view.clear();
                if (cancelled || watch.interrupted())
                    return int(kCancelled);
                if (found.isEmpty()) {
                    UserMessages::current().show(UserMessages::Icon::Warning, ResString(208),
                                                 ResString(228));
                    return int(kFailed);
                }
                s.ctx.out << QStringLiteral("%1  %2  %3")
                                 .arg(QStringLiteral("BAUD"), 5)
                                 .arg(QStringLiteral("ADDRESS"), 7)
                                 .arg(QStringLiteral("MODEL"))
                          << '\n';
                for (const Found& f : found)
                    s.ctx.out << QStringLiteral("%1  %2  %3")
                                     .arg(f.baud, 5)
                                     .arg(f.address, 7)
                                     .arg(modelName(f.model))
                              << '\n';
                return int(kDone);
            }};
}

}  // namespace voltaris::cli
