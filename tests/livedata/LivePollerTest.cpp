// The live poller against the in-process simulator and a scripted line, in virtual time.
#include <gtest/gtest.h>

#include <QJsonObject>
#include <QLocale>

#include "EngineSupport.h"
#include "LinkTestSupport.h"
#include "base/ResString.h"
#include "livedata/LivePoller.h"
#include "model/CCommConfig.h"
#include "model/CNetworkAddMsgSetup.h"
#include "sim/SimNetwork.h"
#include "sim/SimTransport.h"

using namespace voltaris;
using namespace voltaris::test;
using Outcome = EngineOutcome::Status;
using L = LivePoller;

namespace {

constexpr quint32 kModel = 0x00230004;

QList<QByteArray> cycleList(quint8 address) {
    const QVector<QByteArray> frames = L::CycleRequests(address);
    return QList<QByteArray>(frames.begin(), frames.end());
}

struct Frame {
    qint32 baud;
    QByteArray bytes;
};

// A live window's engine on a simulated line; every request that reaches the line is kept.
struct SimLive {
    TraceCapture trace;
    VirtualClock clock;
    SimNetwork net;
    std::unique_ptr<SimTransport> line;
    std::unique_ptr<WirrelObj> component;
    CCommConfig comm;
    CNetworkAddMsgSetup network;
    std::unique_ptr<LivePoller> poller;
    QList<Frame> frames;
    int cleared = 0;

    SimLive() {
        net.setLogSink([this](const QJsonObject& e) {
            if (e.value("dir").toString() == "rx" && e.contains("baud"))
                frames.append({e.value("baud").toInt(),
                               QByteArray::fromHex(e.value("bytes").toString().toLatin1())});
        });
    }
    LivePoller& make() {
        line = std::make_unique<SimTransport>(net, clock);
        component = std::make_unique<WirrelObj>(clock, *line);
        poller = std::make_unique<LivePoller>(clock, *component);
        poller->Create(comm, network);
        QObject::connect(poller.get(), &L::TablesCleared, [this] { ++cleared; });
        return *poller;
    }
    // Requests after the address search (reads of anything but 211).
    QList<QByteArray> pollFrames() const {
        QList<QByteArray> out;
        for (const Frame& f : frames)
            if (!(quint8(f.bytes[2]) == 0 && quint8(f.bytes[3]) == kRegModelHigh))
                out.append(f.bytes);
        return out;
    }
    QStringList messageTexts() const {
        QStringList out;
        for (const auto& e : trace.messages.entries())
            out << e.text;
        return out;
    }
};

TEST(LivePoller, AuxiliaryPortPollsAddress255At4800WithoutSearch) {
    SimLive s;
    s.net.addInstrument(kModel, 7, 1);
    s.net.setAuxiliary(true);
    s.comm.setInterfaceType(CCommConfig::AuxiliaryPort);
    LivePoller& p = s.make();
    p.setMaxCycles(2);
    EXPECT_EQ(RunToFinish(p, s.clock), Outcome::Done);
    EXPECT_TRUE(p.ReturnValue());
    EXPECT_TRUE(s.messageTexts().isEmpty());
    EXPECT_EQ(p.AddressValue(), 255);
    EXPECT_EQ(p.AddressMax(), 255);
    EXPECT_FALSE(p.AddressEnabled());
    EXPECT_FALSE(p.ChangeAddress(5));
    const QVector<QByteArray> cycle = L::CycleRequests(255);
    ASSERT_EQ(s.frames.size(), 2 * cycle.size());
    for (int i = 0; i < s.frames.size(); ++i) {
        EXPECT_EQ(s.frames[i].baud, 4800);
        EXPECT_EQ(s.frames[i].bytes, cycle[i % cycle.size()]) << i;
    }
    EXPECT_FALSE(s.line->isOpen());
    // A three-phase load: the frequency and the totals are there.
    EXPECT_NE(p.Decoder().Cell(CInstrViewVar::Electrical, 10, 2), "-----");
    EXPECT_TRUE(p.Decoder().Cell(CInstrViewVar::Electrical, 10, 2).endsWith("Hz"));
    EXPECT_NE(p.Decoder().Cell(CInstrViewVar::Counters, 4, 1), "-----");
    EXPECT_EQ(p.CyclesShown(), 2);
}

TEST(LivePoller, CycleFramesAreTheDocumentedOnes) {
    const QVector<QByteArray> f = L::CycleRequests(1);
    ASSERT_EQ(f.size(), 14);
    EXPECT_EQ(f[0], QByteArray::fromHex("010401A00001") + f[0].right(2));
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(f[1 + i], BuildReadRequest(1, quint16(12 * i), 12));
    EXPECT_EQ(f[12], BuildReadRequest(1, 422, 1));
    EXPECT_EQ(f[13], BuildReadRequest(1, 259, 2));
}

TEST(LivePoller, SingleInstrumentIsFoundBySpeedAndAddressIntoTheSpinOnly) {
    SimLive s;
    s.net.addInstrument(kModel, 17, 2);  // 19200 baud
    s.comm.setInterfaceType(CCommConfig::SingleInstrument);
    LivePoller& p = s.make();
    QList<bool> autoDetect;
    QObject::connect(&p, &L::AutoDetectVisible, [&](bool on) { autoDetect << on; });
    QList<QPair<int, int>> tried;
    QObject::connect(&p, &L::searching, [&](int baud, int address) {
        tried.append({baud, address});
    });
    p.setMaxCycles(1);
    EXPECT_EQ(RunToFinish(p, s.clock), Outcome::Done);
    // Each address sent during the search is announced with its speed, in order.
    ASSERT_EQ(tried.size(), 255 + 239);
    for (int i = 0; i < tried.size(); ++i) {
        EXPECT_EQ(tried[i].first, i < 255 ? 38400 : 19200) << i;
        EXPECT_EQ(tried[i].second, i < 255 ? 255 - i : 255 - (i - 255)) << i;
    }
    EXPECT_TRUE(s.trace.lines.contains("Tentativo connessione con RS232 a 38400 baud..."));
    EXPECT_TRUE(s.trace.lines.contains("Tentativo connessione con RS232 a 19200 baud..."));
    EXPECT_FALSE(s.trace.lines.contains("Tentativo connessione con RS232 a 9600 baud..."));
    EXPECT_EQ(autoDetect, QList<bool>({true, false}));
    EXPECT_EQ(p.AddressValue(), 17);
    EXPECT_FALSE(p.AddressEnabled());
    EXPECT_EQ(s.network.NetworkAdd(), 1);  // the record keeps its address
    // 255 unanswered scan reads at 38400, then 255 down to 17 at 19200, then the cycle.
    ASSERT_EQ(s.frames.size(), 255 + 239 + 14);
    for (int i = 0; i < 255; ++i) {
        EXPECT_EQ(s.frames[i].baud, 38400);
        EXPECT_EQ(s.frames[i].bytes, BuildReadRequest(quint8(255 - i), 211, 1));
    }
    EXPECT_EQ(s.frames[255 + 238].bytes, BuildReadRequest(17, 211, 1));
    EXPECT_EQ(s.pollFrames(), cycleList(17));
    EXPECT_EQ(s.frames.last().baud, 19200);
    EXPECT_TRUE(s.trace.lines.contains("Start ReadSystem()"));
    EXPECT_TRUE(s.trace.lines.contains("Start ReadElettricDataVar()"));
    EXPECT_TRUE(s.trace.lines.contains("Start ReadAlarmSetupStatus()"));
}

TEST(LivePoller, CaptionsFollowTheCycle) {
    SimLive s;
    s.net.addInstrument(kModel, 3, 3);  // 38400 baud
    s.comm.setInterfaceType(CCommConfig::SingleInstrument);
    s.network.setSelNetworkAdd(1);
    s.network.setNetworkAdd(3);
    LivePoller& p = s.make();
    QStringList captions;
    QObject::connect(&p, &L::connectionLine, [&](const QString& c) { captions << c; });
    p.setMaxCycles(1);
    EXPECT_EQ(RunToFinish(p, s.clock), Outcome::Done);
    EXPECT_EQ(captions, QStringList({ResString(229), "Network address 3", "Network address 3",
                                     ResString(203), ResString(242), ResString(241)}));
    EXPECT_EQ(s.frames.size(), 1 + 14);
}

TEST(LivePoller, NetworkSpinRangeAndASilentAddressClearsAndKeepsPolling) {
    SimLive s;
    s.net.addInstrument(kModel, 1, 1);
    s.net.addInstrument(kModel, 2, 1);
    s.comm.setInterfaceType(CCommConfig::Network);
    s.network.setModeConfig(1);
    s.network.setTotalInstrNetwork(5);
    LivePoller& p = s.make();
    QList<qint16> shownFrom;
    QObject::connect(&p, &L::CycleShown, [&](qint64 cycle) {
        shownFrom << p.CurrentAddress();
        if (cycle == 1) {
            EXPECT_EQ(p.AddressMax(), 5);
            EXPECT_TRUE(p.AddressEnabled());
            EXPECT_FALSE(p.ChangeAddress(6));
            EXPECT_FALSE(p.ChangeAddress(0));
            EXPECT_TRUE(p.ChangeAddress(4));  // no instrument there
            s.clock.callLater(30000, [&] { EXPECT_TRUE(p.ChangeAddress(2)); });
        } else {
            p.Cancel();
        }
    });
    EXPECT_EQ(RunToFinish(p, s.clock), Outcome::Cancelled);
    EXPECT_FALSE(p.ReturnValue());
    EXPECT_EQ(shownFrom, QList<qint16>({1, 2}));
    EXPECT_TRUE(s.messageTexts().isEmpty());
    // The address change and each unanswered cycle at address 4 cleared the tables.
    EXPECT_GE(s.cleared, 3);
    int toFour = 0;
    for (const QByteArray& f : s.pollFrames())
        toFour += quint8(f[0]) == 4;
    // Each unanswered cycle is one request sent three times, then the next cycle.
    EXPECT_GE(toFour, 9);
    EXPECT_EQ(toFour % 3, 0);
    EXPECT_TRUE(s.trace.lines.contains("Cancellata procedura TxRx"));
    EXPECT_FALSE(s.line->isOpen());
}

TEST(LivePoller, AddressChangeMidCycleDiscardsThatCycle) {
    SimLive s;
    s.net.addInstrument(kModel, 1, 1);
    s.net.addInstrument(kModel, 2, 1);
    s.comm.setInterfaceType(CCommConfig::Network);
    s.network.setModeConfig(1);
    s.network.setTotalInstrNetwork(3);
    LivePoller& p = s.make();
    bool changed = false;
    QObject::connect(&p, &L::connectionLine, [&](const QString& c) {
        if (!changed && c == ResString(242)) {
            changed = true;
            EXPECT_TRUE(p.ChangeAddress(2));
        }
    });
    QList<qint64> shownAfterFrames;
    QObject::connect(&p, &L::CycleShown, [&](qint64) {
        shownAfterFrames << s.pollFrames().size();
        p.Cancel();
    });
    EXPECT_EQ(RunToFinish(p, s.clock), Outcome::Cancelled);
    // The first cycle's system read went to 1, the rest of it to 2, and nothing of it was
    // shown; the second cycle (all to 2) was.
    EXPECT_EQ(shownAfterFrames, QList<qint64>({28}));
    const QList<QByteArray> f = s.pollFrames();
    ASSERT_EQ(f.size(), 28);
    EXPECT_EQ(f[0], L::CycleRequests(1)[0]);
    for (int i = 1; i < 28; ++i)
        EXPECT_EQ(f[i], L::CycleRequests(2)[i % 14]) << i;
    EXPECT_TRUE(s.messageTexts().isEmpty());
}

TEST(LivePoller, SingleInstrumentThatFallsSilentEndsWith207) {
    SimLive s;
    s.net.addInstrument(kModel, 1, 1);
    s.comm.setInterfaceType(CCommConfig::SingleInstrument);
    s.network.setSelNetworkAdd(1);
    LivePoller& p = s.make();
    QObject::connect(&p, &L::CycleShown, [&] { s.net.setFaults({{SimFault::Silent, 0, 0}}); });
    EXPECT_EQ(RunToFinish(p, s.clock), Outcome::Failed);
    EXPECT_FALSE(p.ReturnValue());
    EXPECT_EQ(p.CyclesShown(), 1);
    ASSERT_EQ(s.trace.messages.entries().size(), 1);
    EXPECT_EQ(s.trace.messages.entries()[0].text, ResString(207));
    EXPECT_EQ(s.trace.messages.entries()[0].title, ResString(208));
    EXPECT_EQ(s.trace.messages.entries()[0].icon, UserMessages::Icon::Warning);
    EXPECT_FALSE(s.line->isOpen());
}

// What the user sees for each fault of the simulator, injected from the first request.
struct FaultExpectation {
    Outcome outcome;
    int message;  // 0: none
};

FaultExpectation expectationFor(SimFault fault) {
    switch (fault) {
        case SimFault::Silent:
        case SimFault::ShortReply:
            return {Outcome::Failed, 207};
        case SimFault::BadCrc:
        case SimFault::Garbage:
            return {Outcome::Failed, 215};
        case SimFault::LineError:
        case SimFault::Unplug:
            return {Outcome::Failed, 206};
        case SimFault::Delay:
            // A reply later than the timeout answers the resent request.
            return {Outcome::Done, 0};
        case SimFault::None:
            break;
    }
    ADD_FAILURE() << "no expectation for fault " << SimFaultName(fault).toStdString();
    return {Outcome::Failed, -1};
}

class LiveFaults : public ::testing::TestWithParam<SimFault> {};

TEST_P(LiveFaults, EachFaultEndsWithItsMessageAndThePortClosed) {
    const SimFault fault = GetParam();
    const FaultExpectation c = expectationFor(fault);
    SimLive s;
    s.net.addInstrument(kModel, 1, 1);
    s.net.setAuxiliary(true);
    s.net.setFaults({{fault, 0, fault == SimFault::Delay ? kDefaultFaultDelayMs : 0}});
    s.comm.setInterfaceType(CCommConfig::AuxiliaryPort);
    LivePoller& p = s.make();
    p.setMaxCycles(1);
    EXPECT_EQ(RunToFinish(p, s.clock), c.outcome);
    EXPECT_EQ(p.ReturnValue(), c.outcome == Outcome::Done);
    EXPECT_EQ(s.messageTexts(), c.message ? QStringList{ResString(c.message)} : QStringList{});
    for (const auto& e : s.trace.messages.entries()) {
        EXPECT_EQ(e.title, ResString(208));
        EXPECT_EQ(e.icon, UserMessages::Icon::Warning);
    }
    EXPECT_EQ(p.CyclesShown(), c.outcome == Outcome::Done ? 1 : 0);
    EXPECT_FALSE(s.line->isOpen());
}

INSTANTIATE_TEST_SUITE_P(Sim, LiveFaults, ::testing::ValuesIn(AllSimFaults()),
                         [](const auto& info) { return SimFaultName(info.param).toStdString(); });

// The gap between the ends of two cycles, with `pauseMs` between cycles.
qint64 cycleGap(int pauseMs) {
    SimLive s;
    s.net.addInstrument(kModel, 7, 1);
    s.net.setAuxiliary(true);
    s.comm.setInterfaceType(CCommConfig::AuxiliaryPort);
    LivePoller& p = s.make();
    p.setCyclePause(pauseMs);
    p.setMaxCycles(2);
    QList<qint64> shown;
    QObject::connect(&p, &L::CycleShown, [&](qint64) { shown << s.clock.nowMs(); });
    EXPECT_EQ(RunToFinish(p, s.clock), Outcome::Done);
    EXPECT_EQ(s.frames.size(), 2 * 14);
    return shown.size() == 2 ? shown[1] - shown[0] : -1;
}

TEST(LivePoller, ThePauseComesBetweenCycles) {
    const qint64 busy = cycleGap(0);
    ASSERT_GE(busy, 0);
    EXPECT_EQ(cycleGap(1000), busy + 1000);
    EXPECT_EQ(cycleGap(250), busy + 250);
}

TEST(LivePoller, CancelDuringThePauseEndsItSoon) {
    SimLive s;
    s.net.addInstrument(kModel, 7, 1);
    s.net.setAuxiliary(true);
    s.comm.setInterfaceType(CCommConfig::AuxiliaryPort);
    LivePoller& p = s.make();
    p.setCyclePause(60000);
    qint64 cancelledAt = -1;
    QObject::connect(&p, &L::CycleShown, [&](qint64) {
        s.clock.callLater(500, [&] {
            cancelledAt = s.clock.nowMs();
            p.Cancel();
        });
    });
    EXPECT_EQ(RunToFinish(p, s.clock), Outcome::Cancelled);
    EXPECT_FALSE(p.ReturnValue());
    EXPECT_EQ(p.CyclesShown(), 1);
    EXPECT_EQ(s.frames.size(), 14);
    ASSERT_GE(cancelledAt, 0);
    EXPECT_LE(s.clock.nowMs() - cancelledAt, 200);
    EXPECT_FALSE(s.line->isOpen());
}

TEST(LivePoller, CancelDuringTheBaudSearchStopsIt) {
    SimLive s;
    s.net.addInstrument(kModel, 3, 1);
    s.comm.setInterfaceType(CCommConfig::SingleInstrument);
    LivePoller& p = s.make();
    s.clock.callLater(1200, [&] { p.Cancel(); });
    EXPECT_EQ(RunToFinish(p, s.clock), Outcome::Cancelled);
    EXPECT_FALSE(p.ReturnValue());
    EXPECT_TRUE(s.trace.lines.contains("Operazione annullata !!!"));
    EXPECT_FALSE(s.trace.lines.contains("Tentativo connessione con RS232 a 19200 baud..."));
    EXPECT_TRUE(s.messageTexts().isEmpty());
    EXPECT_FALSE(s.frames.isEmpty());
    for (const Frame& f : s.frames)
        EXPECT_EQ(f.baud, 38400);
    EXPECT_LE(s.clock.nowMs(), 2000);
    EXPECT_FALSE(s.line->isOpen());
}

TEST(LivePoller, NoInstrumentAtAnySpeedGives228) {
    SimLive s;
    s.net.addInstrument(kModel, 3, 1);
    s.comm.setInterfaceType(CCommConfig::SingleInstrument);
    s.network.setSelNetworkAdd(1);
    s.network.setNetworkAdd(5);
    LivePoller& p = s.make();
    QList<QList<int>> progress;
    QObject::connect(&p, &L::progress, [&](int v, int mn, int mx) {
        progress << QList<int>{mn, mx, v};
    });
    EXPECT_EQ(RunToFinish(p, s.clock), Outcome::Failed);
    EXPECT_EQ(s.messageTexts(), QStringList{ResString(228)});
    EXPECT_TRUE(s.trace.lines.contains("Errore nell'autorilevamento del baudrate"));
    ASSERT_EQ(s.frames.size(), 4);
    const QList<qint32> bauds = {38400, 19200, 9600, 4800};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.frames[i].baud, bauds[i]);
        EXPECT_EQ(s.frames[i].bytes, BuildReadRequest(5, 211, 1));
    }
    // One address: minimum one below it.
    EXPECT_EQ(progress.last(), QList<int>({4, 5, 5}));
    EXPECT_FALSE(s.line->isOpen());
}

TEST(LivePoller, APortThatDoesNotOpenIsNamed) {
    for (qint16 interfaceType : {qint16(0), qint16(1)}) {
        TraceCapture trace;
        VirtualClock clock;
        WirrelObj component(clock);
        CCommConfig comm;
        CNetworkAddMsgSetup network;
        comm.setInterfaceType(interfaceType);
        LivePoller p(clock, component);
        p.Create(comm, network);
        p.setPortName(QStringLiteral("/nonexistent/voltaris-tty"));
        EXPECT_EQ(RunToFinish(p, clock), Outcome::Failed);
        ASSERT_EQ(trace.messages.entries().size(), 1);
        EXPECT_TRUE(trace.messages.entries()[0].text.contains("/nonexistent/voltaris-tty"))
            << trace.messages.entries()[0].text.toStdString();
        EXPECT_EQ(trace.messages.entries()[0].title, ResString(208));
    }
}

// Lamps from the output functions (422) and the alarm states (259, 260), on a scripted line.
struct LampCase {
    quint16 functions;
    qint16 alarm1, alarm2;
    quint32 general, out1, out2;
};

TEST(LivePoller, LampRules) {
    const QList<LampCase> cases = {
        {0x0000, 1, 1, L::Grey, L::Grey, L::Grey},
        {0x00AA, 0, 0, L::Green, L::Green, L::Grey},
        {0x00AA, 1, 0, L::Red, L::Red, L::Grey},
        {0x00AA, 0, 1, L::Red, L::Green, L::Grey},
        // Output 1 is no alarm output: its lamps stay grey whatever 259 says.
        {0xAA00, 1, 0, L::Grey, L::Grey, L::Green},
        {0xAA00, 0, 1, L::Grey, L::Grey, L::Red},
        {0xAAAA, 0, 1, L::Red, L::Green, L::Red},
        {0xAAAA, 2, 0, L::Green, L::Green, L::Green},
        {0x55AA, 1, 1, L::Red, L::Red, L::Grey},
    };
    for (const LampCase& c : cases) {
        TraceCapture trace;
        VirtualClock clock;
        ScriptedTransport line(clock);
        WirrelObj component(clock, line);
        CCommConfig comm;
        CNetworkAddMsgSetup network;
        comm.setInterfaceType(CCommConfig::AuxiliaryPort);
        line.push(ScriptedTransport::reply(ReadReply(255, {1})));
        for (int i = 0; i < 11; ++i)
            line.push(ScriptedTransport::reply(ReadReply(255, QList<qint16>(12, 0))));
        line.push(ScriptedTransport::reply(ReadReply(255, {qint16(c.functions)})));
        line.push(ScriptedTransport::reply(ReadReply(255, {c.alarm1, c.alarm2})));
        LivePoller p(clock, component);
        p.Create(comm, network);
        QList<QList<quint32>> lamps;
        QObject::connect(&p, &L::LampsChanged, [&](quint32 g, quint32 a, quint32 b) {
            lamps << QList<quint32>{g, a, b};
        });
        p.setMaxCycles(1);
        ASSERT_EQ(RunToFinish(p, clock), Outcome::Done);
        ASSERT_EQ(lamps.size(), 2);
        EXPECT_EQ(lamps[0], QList<quint32>({L::Grey, L::Grey, L::Grey}));  // on loading
        EXPECT_EQ(lamps[1], QList<quint32>({c.general, c.out1, c.out2})) << c.functions;
        EXPECT_EQ(line.settings().baudRate, 4800);
        QList<QByteArray> sent;
        for (const auto& s : line.sent())
            sent << s.bytes;
        EXPECT_EQ(sent, cycleList(255));
        // System 1 (single phase): L2 voltage is not shown, L1 is.
        EXPECT_EQ(p.Decoder().Cell(CInstrViewVar::Electrical, 2, 3), "-----");
        EXPECT_EQ(p.Decoder().Cell(CInstrViewVar::Electrical, 2, 2),
                  QStringLiteral("0") + QLocale::system().decimalPoint() + QStringLiteral("000V"));
    }
}

}  // namespace
