#include <gtest/gtest.h>

#include "LinkTestSupport.h"

using namespace voltaris;
using namespace voltaris::test;
using Fault = Transport::Fault;

namespace {

struct Component {
    VirtualClock clock;
    ScriptedTransport line{clock};
    WirrelObj obj{clock, line};
    QList<std::pair<qint32, QString>> statuses;

    Component() {
        QObject::connect(&obj, &WirrelObj::CommStatus, [this](qint32 code, const QString& text) {
            statuses.append({code, text});
        });
    }
    QList<qint32> codes() const {
        QList<qint32> out;
        for (const auto& s : statuses)
            out.append(s.first);
        return out;
    }
    void send(const QByteArray& request, qint32 expected) {
        obj.setBytesToReceive(expected);
        obj.setTxFrame(request);
        obj.StartTxRx();
    }
};

const QByteArray kRequest = BuildReadRequest(1, kRegModelHigh, 1);
const QByteArray kReply = ReadReply(1, {0x0023});

TEST(WirrelObj, CollectsExactlyTheExpectedBytes) {
    struct Case {
        const char* name;
        QByteArray arriving;
        int pieces;
        QByteArray rx;  // empty: no reply complete
    };
    const QList<Case> cases = {
        {"whole", kReply, 1, kReply},
        {"three pieces", kReply, 3, kReply},
        {"byte by byte", kReply, 7, kReply},
        {"trailing bytes dropped", kReply + QByteArray("\x01\x02\x03", 3), 2, kReply},
        {"short", kReply.left(5), 2, {}},
    };
    for (const auto& c : cases) {
        Component comp;
        comp.obj.setPortOpen(true);
        comp.line.push(ScriptedTransport::reply(c.arriving, 20, c.pieces));
        comp.send(kRequest, 7);
        EXPECT_TRUE(comp.statuses.isEmpty()) << "raised from inside StartTxRx: " << c.name;
        comp.clock.runUntilIdle();
        if (c.rx.isEmpty()) {
            EXPECT_TRUE(comp.statuses.isEmpty()) << c.name;
            continue;
        }
        EXPECT_EQ(comp.codes(), QList<qint32>{WirrelObj::csRxComplete}) << c.name;
        EXPECT_EQ(comp.obj.RxFrame(), c.rx) << c.name;
        EXPECT_EQ(comp.line.sent().size(), 1);
        EXPECT_EQ(comp.line.sent()[0].bytes, kRequest);
    }
}

TEST(WirrelObj, BytesOutsideAnExchangeAreDropped) {
    Component comp;
    comp.obj.setPortOpen(true);
    comp.line.inject("noise");
    comp.clock.runUntilIdle();
    EXPECT_TRUE(comp.statuses.isEmpty());
    // After a complete reply, more bytes are not the start of anything.
    comp.line.push(ScriptedTransport::reply(kReply));
    comp.send(kRequest, 7);
    comp.clock.runUntilIdle();
    comp.line.inject(kReply);
    comp.clock.runUntilIdle();
    EXPECT_EQ(comp.codes(), QList<qint32>{WirrelObj::csRxComplete});
    EXPECT_EQ(comp.obj.RxFrame(), kReply);
}

TEST(WirrelObj, StaleBytesAreFlushedBeforeEachRequest) {
    Component comp;
    comp.obj.setPortOpen(true);
    comp.line.injectQuietly(QByteArray("\xEE\xEE\xEE", 3));
    comp.line.push(ScriptedTransport::reply(kReply));
    comp.send(kRequest, 7);
    comp.clock.runUntilIdle();
    EXPECT_EQ(comp.line.discards(), 1);
    EXPECT_EQ(comp.obj.RxFrame(), kReply);
}

TEST(WirrelObj, LineFaultsBecomeTheCountedStatusCodes) {
    const std::pair<Fault, qint32> faults[] = {
        {Fault::Other, WirrelObj::csIoError},
        {Fault::LineError, WirrelObj::csLineError},
        {Fault::EndOfFile, WirrelObj::csEndOfFile},
        {Fault::Unplugged, WirrelObj::csPortLost},
    };
    for (const auto& [fault, code] : faults) {
        Component comp;
        comp.obj.setPortOpen(true);
        comp.line.push(ScriptedTransport::fault(fault));
        comp.send(kRequest, 7);
        comp.clock.runUntilIdle();
        EXPECT_EQ(comp.codes(), QList<qint32>{code}) << int(fault);
        const bool closes = fault == Fault::EndOfFile || fault == Fault::Unplugged;
        EXPECT_EQ(comp.obj.PortOpen(), !closes);
    }
}

TEST(WirrelObj, RequestOnAClosedPortIsReportedNotSent) {
    Component comp;
    comp.send(kRequest, 7);
    comp.clock.runUntilIdle();
    EXPECT_EQ(comp.codes(), QList<qint32>{WirrelObj::csNotSent});
    EXPECT_TRUE(comp.line.sent().isEmpty());
}

TEST(WirrelObj, ReplyOfAnAbandonedRequestIsNotReported) {
    Component comp;
    comp.obj.setPortOpen(true);
    comp.send(kRequest, 7);
    comp.line.inject(kReply);  // complete: its status is on its way
    comp.obj.HangUp();
    comp.clock.runUntilIdle();
    EXPECT_TRUE(comp.statuses.isEmpty());
    // Closing does the same.
    comp.send(kRequest, 7);
    comp.line.inject(kReply);
    comp.obj.setPortOpen(false);
    comp.clock.runUntilIdle();
    EXPECT_TRUE(comp.statuses.isEmpty());
}

TEST(WirrelObj, UnsupportedControlLinesAreTracedAndLeaveThePortOpen) {
    TraceCapture trace;
    Component comp;
    comp.line.setControlLinesSupported(false);
    comp.obj.setPortOpen(true);
    comp.obj.setDTR(true);
    comp.obj.setRTS(false);
    EXPECT_TRUE(comp.obj.PortOpen());
    EXPECT_TRUE(comp.obj.DTR());
    ASSERT_EQ(trace.lines.size(), 2);
    EXPECT_TRUE(trace.lines[0].startsWith("DTR non supportato da script"));
    EXPECT_TRUE(trace.lines[1].startsWith("RTS non supportato da script"));
    comp.line.raise(Fault::Unsupported);
    comp.clock.runUntilIdle();
    EXPECT_TRUE(comp.statuses.isEmpty());
    EXPECT_TRUE(comp.obj.PortOpen());
}

TEST(WirrelObj, PropertyCodesAndTheirLineSettings) {
    Component comp;
    const std::pair<qint32, qint32> bauds[] = {{2, 4800}, {3, 9600}, {5, 19200}, {6, 38400}};
    for (const auto& [code, baud] : bauds) {
        comp.obj.setBaudRate(code);
        EXPECT_EQ(comp.obj.lineSettings().baudRate, baud);
    }
    comp.obj.setParity(WirrelObj::parOdd);
    EXPECT_EQ(comp.obj.lineSettings().parity, Transport::Parity::Odd);
    comp.obj.setStopBits(WirrelObj::stopTwo);
    EXPECT_EQ(comp.obj.lineSettings().stopBits, Transport::StopBits::Two);

    EXPECT_THROW(comp.obj.setBaudRate(10), ComponentError);
    EXPECT_THROW(comp.obj.setBaudRate(-1), ComponentError);
    EXPECT_THROW(comp.obj.setParity(3), ComponentError);
    EXPECT_THROW(comp.obj.setStopBits(WirrelObj::stopOneAndHalf), ComponentError);
    EXPECT_THROW(comp.obj.setDataBits(9), ComponentError);
    EXPECT_THROW(comp.obj.setConnectionType(2), ComponentError);
    EXPECT_EQ(comp.obj.BaudRate(), 6);

    // A change while open reaches the line.
    comp.obj.setPortOpen(true);
    comp.obj.setBaudRate(2);
    EXPECT_EQ(comp.line.settings().baudRate, 4800);
}

TEST(WirrelObj, OpenFailureCarriesTheLinesReason) {
    Component comp;
    comp.line.failOpenWith(Fault::PermissionDenied, "Permission denied on script.");
    try {
        comp.obj.setPortOpen(true);
        FAIL() << "no error";
    } catch (const ComponentError& e) {
        EXPECT_EQ(e.message(), "Permission denied on script.");
    }
    EXPECT_FALSE(comp.obj.PortOpen());
    comp.obj.setPortOpen(false);  // closing a closed port is fine
}

TEST(WirrelObj, OpensThePortNamedByTheFactory) {
    VirtualClock clock;
    WirrelObj obj(clock);
    QStringList asked;
    ScriptedTransport* made = nullptr;
    obj.setTransportFactory([&](const QString& name) {
        asked << name;
        auto t = std::make_unique<ScriptedTransport>(clock);
        made = t.get();
        return std::unique_ptr<Transport>(std::move(t));
    });
    obj.setPortName("/dev/ttyS7");
    obj.setPortOpen(true);
    EXPECT_EQ(asked, QStringList{"/dev/ttyS7"});
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->isOpen());
    EXPECT_EQ(obj.transport(), made);
    obj.setPortOpen(false);
    EXPECT_FALSE(made->isOpen());
}

TEST(WirrelObj, DestroyedWithAStatusOnItsWay) {
    VirtualClock clock;
    ScriptedTransport line(clock);
    {
        WirrelObj obj(clock, line);
        obj.setPortOpen(true);
        line.raise(Fault::LineError);
    }
    clock.runUntilIdle();  // the queued status finds nobody and does nothing
    SUCCEED();
}

}  // namespace
