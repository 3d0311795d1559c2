// The link wrapper and its component on the in-process simulator line, in virtual time,
// against every injected fault.
#include "SimTestSupport.h"

#include "base/Clock.h"
#include "comm/CWirrel.h"
#include "comm/WirrelObj.h"
#include "sim/SimTransport.h"

#include <gtest/gtest.h>
#include <memory>

using namespace voltaris;
using namespace voltaris::test;

namespace {

// A link as a window owns it, on a line with one KM5.1 S1 at address 1, 9600 baud, with
// real line timing (a good read of 211 is answered 22 ms after it starts).
struct SimLink {
    VirtualClock clock;
    SimNetwork net;
    std::unique_ptr<SimTransport> line;
    std::unique_ptr<WirrelObj> component;
    std::unique_ptr<Timer> timeOut = clock.createTimer();
    std::unique_ptr<Timer> rs232Manager = clock.createTimer();
    CWirrel link{clock};

    explicit SimLink(const QList<SimFaultSpec>& faults) {
        net.addInstrument(0x00230001, 1, 1);
        net.setTiming({true, 5});
        net.setFaults(faults);
        line = std::make_unique<SimTransport>(net, clock);
        component = std::make_unique<WirrelObj>(clock, *line);
        link.Create(*timeOut, *rs232Manager, *component, -1);
        // The times below are those of the 200 ms work tick.
        link.setLinkMode(LinkMode::Classic);
        QObject::connect(&link, &CWirrel::VerifyCRC,
                         [](bool& ok, const QByteArray& frame) { ok = VerifyFrameCRC(frame); });
    }

    // One exchange as the windows run it; the error and the virtual time it took.
    qint32 exchange(const QByteArray& request, qint16 replyLength) {
        link.setCommMode(1);
        link.setFrameTx(request);
        link.setByteToReceive(replyLength);
        const qint64 start = clock.nowMs();
        link.StartTxRx();
        while (link.TxRxInProgress() && clock.nowMs() - start < 60000)
            clock.yield();
        elapsed = clock.nowMs() - start;
        return link.Error();
    }
    qint64 elapsed = 0;
};

struct LinkCase {
    SimFaultSpec fault;
    qint32 error;
    int transmissions;  // requests that reached the line
    qint64 elapsedMs;
};

void PrintTo(const LinkCase& c, std::ostream* os) {
    *os << SimFaultName(c.fault.fault).toStdString() << ":" << c.fault.count;
}

class LinkOverSim : public ::testing::TestWithParam<LinkCase> {};

TEST_P(LinkOverSim, ErrorTransmissionsAndTime) {
    const LinkCase& c = GetParam();
    SimLink s({c.fault});
    ASSERT_TRUE(s.link.OpenRs232(1, 3, 0, 0));  // index 3: 9600 baud
    const qint32 error = s.exchange(BuildReadRequest(1, 211), 7);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(s.line->requestsWritten(), c.transmissions);
    EXPECT_EQ(s.elapsed, c.elapsedMs);
    if (error == CWirrel::leOk) {
        EXPECT_EQ(s.link.FrameRx(), AppendCRC(QByteArray::fromHex("0104020023")));
    }
}

// Times: the first transmission leaves on the first 200 ms tick; a reply (8 + 7 bytes at
// 9600 baud plus 5 ms: 20.6, so 21 ms) or a line error (8 bytes and one byte time plus 5 ms:
// 15 ms) restarts the tick, and the next tick takes it; a try times out 3000 ms after it was
// sent.
INSTANTIATE_TEST_SUITE_P(
    Faults, LinkOverSim,
    ::testing::Values(
        LinkCase{{SimFault::None}, CWirrel::leOk, 1, 421},
        LinkCase{{SimFault::Silent}, CWirrel::leTimeOut, 3, 9200},
        LinkCase{{SimFault::BadCrc}, CWirrel::leCRC, 3, 1463},
        LinkCase{{SimFault::Garbage}, CWirrel::leCRC, 3, 1463},
        LinkCase{{SimFault::ShortReply}, CWirrel::leTimeOut, 3, 9200},
        // A reply later than the timeout arrives while the resend waits and is taken for
        // its reply, as on a real line; one later than all three tries is never seen.
        LinkCase{{SimFault::Delay, 0, 4000}, CWirrel::leOk, 2, 4421},
        LinkCase{{SimFault::Delay, 0, 10000}, CWirrel::leTimeOut, 3, 9200},
        LinkCase{{SimFault::LineError}, CWirrel::leUART, 3, 845},
        // The port goes away at the first request; the two resends find it closed.
        LinkCase{{SimFault::Unplug}, CWirrel::leUART, 1, 800},
        // Faults on the first replies only: the link's retries get through.
        LinkCase{{SimFault::Silent, 1}, CWirrel::leOk, 2, 3421},
        LinkCase{{SimFault::BadCrc, 2}, CWirrel::leOk, 3, 1263},
        LinkCase{{SimFault::Garbage, 1}, CWirrel::leOk, 2, 842},
        LinkCase{{SimFault::ShortReply, 2}, CWirrel::leOk, 3, 6421},
        LinkCase{{SimFault::LineError, 2}, CWirrel::leOk, 3, 851},
        LinkCase{{SimFault::Delay, 1, 4000}, CWirrel::leOk, 2, 3421},
        LinkCase{{SimFault::Unplug, 1}, CWirrel::leOk, 1, 421}),
    [](const auto& info) {
        return SimFaultName(info.param.fault.fault).toStdString() +
               std::to_string(info.param.fault.count) + "_" +
               std::to_string(info.param.fault.delayMs);
    });

TEST(LinkOverSim, WrongSpeedTimesOutAndTheScanFindsTheAddress) {
    SimLink s({});
    ASSERT_TRUE(s.link.OpenRs232(1, 4, 0, 0));  // 38400: the instrument listens at 9600
    s.link.setTimeOutRx(500);
    s.link.setMaxErrorTimeOut(1);
    EXPECT_EQ(s.exchange(BuildReadRequest(1, 211), 7), CWirrel::leTimeOut);
    s.link.CloseRs232();
    ASSERT_TRUE(s.link.OpenRs232(1, 3, 0, 0));
    int found = 0;
    for (int a = 255; a >= 1 && !found; --a) {
        if (s.exchange(BuildReadRequest(static_cast<quint8>(a), 211), 7) == CWirrel::leOk)
            found = a;
    }
    EXPECT_EQ(found, 1);
}

}  // namespace
