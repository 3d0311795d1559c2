#include "SimTestSupport.h"

#include "base/Errors.h"
#include "sim/SimFault.h"
#include "sim/SimRequestParser.h"

#include <gtest/gtest.h>

using namespace voltaris;
using namespace voltaris::test;

namespace {

constexpr quint32 kR2 = 0x00240004;

// What the line carries back for a read of 211 (good reply: 7 bytes) under each fault.
class FaultEffect : public ::testing::TestWithParam<SimFault> {};

TEST_P(FaultEffect, OnTheReply) {
    const SimFault fault = GetParam();
    SimNetwork net;
    net.addInstrument(kR2, 1, 1);
    const QByteArray good = ask(net, BuildReadRequest(1, 211));
    ASSERT_EQ(good.size(), 7);
    net.setFaults({SimFaultSpec{fault, 0, fault == SimFault::Delay ? 4000 : 0}});
    const SimReply r = net.handleRequest(BuildReadRequest(1, 211), line(9600), 0);
    switch (fault) {
        case SimFault::Silent:
            EXPECT_TRUE(r.bytes.isEmpty());
            break;
        case SimFault::BadCrc:
            ASSERT_EQ(r.bytes.size(), 7);
            EXPECT_EQ(r.bytes.left(5), good.left(5));
            EXPECT_FALSE(VerifyFrameCRC(r.bytes));
            break;
        case SimFault::Garbage:
            ASSERT_EQ(r.bytes.size(), 7);
            EXPECT_NE(r.bytes.left(5), good.left(5));
            EXPECT_FALSE(VerifyFrameCRC(r.bytes));
            break;
        case SimFault::ShortReply:
            EXPECT_EQ(r.bytes, good.left(3));
            break;
        case SimFault::Delay:
            EXPECT_EQ(r.bytes, good);
            EXPECT_EQ(r.delayMs, 4000);
            break;
        case SimFault::LineError:
            EXPECT_TRUE(r.lineError);
            EXPECT_TRUE(r.bytes.isEmpty());
            break;
        case SimFault::Unplug:
            EXPECT_TRUE(r.unplug);
            EXPECT_TRUE(r.bytes.isEmpty());
            break;
        case SimFault::None:
            FAIL();
    }
    EXPECT_EQ(r.unplug, fault == SimFault::Unplug);
    EXPECT_EQ(r.lineError, fault == SimFault::LineError);
}

INSTANTIATE_TEST_SUITE_P(All, FaultEffect, ::testing::ValuesIn(AllSimFaults()),
                         [](const auto& info) { return SimFaultName(info.param).toStdString(); });

TEST(SimFaults, CountLimitsAFaultToTheFirstReplies) {
    SimNetwork net;
    net.addInstrument(kR2, 1, 1);
    net.setFaults({SimFaultSpec{SimFault::BadCrc, 2}});
    const auto crcOk = [&] { return VerifyFrameCRC(ask(net, BuildReadRequest(1, 211))); };
    EXPECT_FALSE(crcOk());
    EXPECT_FALSE(crcOk());
    EXPECT_TRUE(crcOk());
    EXPECT_TRUE(crcOk());
}

TEST(SimFaults, UnplugComesAfterKReplies) {
    SimNetwork net;
    net.addInstrument(kR2, 1, 1);
    net.setFaults({SimFaultSpec{SimFault::Unplug, 2}});
    EXPECT_FALSE(net.handleRequest(BuildReadRequest(1, 211), line(9600), 0).unplug);
    EXPECT_FALSE(net.handleRequest(BuildReadRequest(1, 211), line(9600), 0).unplug);
    EXPECT_TRUE(net.handleRequest(BuildReadRequest(1, 211), line(9600), 0).unplug);
}

TEST(SimFaults, SilenceLosesTheRequestABadReplyDoesNot) {
    SimNetwork net;
    SimInstrument& inst = net.addInstrument(kR2, 1, 1);
    net.setFaults({SimFaultSpec{SimFault::Silent, 1}, SimFaultSpec{SimFault::BadCrc, 2}});
    ask(net, BuildWriteRequest(1, 416, 3));
    EXPECT_EQ(inst.configWord(416), 0);  // never heard
    ask(net, BuildWriteRequest(1, 416, 4));
    EXPECT_EQ(inst.configWord(416), 4);  // carried out, only the echo was spoilt
}

TEST(SimFaults, RequestsNobodyAnswersDoNotCount) {
    SimNetwork net;
    net.addInstrument(kR2, 1, 1);
    net.setFaults({SimFaultSpec{SimFault::Silent, 1}});
    EXPECT_TRUE(ask(net, BuildReadRequest(2, 211)).isEmpty());
    EXPECT_TRUE(ask(net, BuildReadRequest(1, 211), 19200).isEmpty());
    EXPECT_TRUE(ask(net, BuildReadRequest(1, 211)).isEmpty());
    EXPECT_FALSE(ask(net, BuildReadRequest(1, 211)).isEmpty());
}

TEST(SimFaults, LineTiming) {
    SimNetwork net;
    net.addInstrument(kR2, 1, 1);
    net.setTiming({true, 5});
    // 8 request bytes and 7 reply bytes of 10 bits at 9600 baud: 8.33 + 5 + 7.29 ms, rounded
    // up once.
    SimReply r = net.handleRequest(BuildReadRequest(1, 211), line(9600), 0);
    EXPECT_EQ(r.requestWireMs, 9);
    EXPECT_EQ(r.delayMs, 21);
    net.setFaults({SimFaultSpec{SimFault::Delay, 0, 100}});
    r = net.handleRequest(BuildReadRequest(1, 211), line(9600), 0);
    EXPECT_EQ(r.delayMs, 121);
    Transport::LineSettings s = line(4800);
    s.parity = Transport::Parity::Even;
    s.stopBits = Transport::StopBits::Two;
    EXPECT_EQ(SimNetwork::WireTimeMs(29, s), 73);  // 29 x 12 bits
}

TEST(SimFaults, ParseNamesAndCounts) {
    struct Case {
        const char* text;
        SimFaultSpec faultSpec;
    };
    const Case ok[] = {
        {"silent", {SimFault::Silent, 0, 0}},
        {"BadCrc:3", {SimFault::BadCrc, 3, 0}},
        {"garbage:1", {SimFault::Garbage, 1, 0}},
        {"short", {SimFault::ShortReply, 0, 0}},
        {"delay", {SimFault::Delay, 0, kDefaultFaultDelayMs}},
        {"delay:500", {SimFault::Delay, 0, 500}},
        {"delay:500:2", {SimFault::Delay, 2, 500}},
        {"lineerror", {SimFault::LineError, 0, 0}},
        {"unplug:4", {SimFault::Unplug, 4, 0}},
    };
    for (const Case& c : ok)
        EXPECT_EQ(ParseSimFault(QString::fromLatin1(c.text)), c.faultSpec) << c.text;
    for (const char* bad :
         {"", "none", "noise", "badcrc:x", "badcrc:-1", "badcrc:1:2", "delay:1:2:3"})
        EXPECT_THROW(ParseSimFault(QString::fromLatin1(bad)), VoltarisError) << bad;
    for (SimFault f : AllSimFaults())
        EXPECT_EQ(SimFaultFromName(SimFaultName(f)), f);
}

TEST(SimRequestParser, CutsTheStreamIntoFrames) {
    const QByteArray a = BuildReadRequest(1, 211);
    const QByteArray b = BuildWriteRequest(1, 416, 2);
    struct Case {
        const char* what;
        QList<QByteArray> chunks;
        QList<QByteArray> frames;
        qint64 dropped;
    };
    QByteArray multi = QByteArray::fromHex("0110019900020400010002");  // 0x10, two registers
    multi = AppendCRC(multi);
    QByteArray badCrc = a;
    badCrc[7] = static_cast<char>(badCrc[7] ^ 1);
    const Case cases[] = {
        {"one frame", {a}, {a}, 0},
        {"two frames in one piece", {a + b}, {a, b}, 0},
        {"split anywhere", {a.left(3), a.mid(3) + b.left(1), b.mid(1)}, {a, b}, 0},
        {"noise before a frame", {QByteArray::fromHex("ff00") + a}, {a}, 2},
        {"bad CRC dropped byte by byte", {badCrc + b}, {b}, 8},
        {"unknown function", {QByteArray::fromHex("0145") + a}, {a}, 2},
        {"write of several registers", {multi + a}, {multi, a}, 0},
    };
    for (const Case& c : cases) {
        SimRequestParser p;
        QList<QByteArray> got;
        for (const QByteArray& chunk : c.chunks) {
            p.feed(chunk, 0);
            while (auto f = p.next())
                got.append(*f);
        }
        EXPECT_EQ(got, c.frames) << c.what;
        EXPECT_EQ(p.droppedBytes(), c.dropped) << c.what;
    }
}

TEST(SimRequestParser, APauseDropsAnUnfinishedFrame) {
    const QByteArray a = BuildReadRequest(1, 211);
    SimRequestParser p(50);
    p.feed(a.left(5), 0);
    EXPECT_FALSE(p.next());
    p.feed(a, 200);
    EXPECT_EQ(p.next(), a);
    EXPECT_EQ(p.droppedBytes(), 5);
}

TEST(SimRequestParser, BufferIsBounded) {
    SimRequestParser p;
    // A frame that announces more data than ever comes.
    p.feed(QByteArray::fromHex("0110000000ff"), 0);
    for (int i = 0; i < 10; ++i)
        p.feed(QByteArray(100, '\x01'), 0);
    while (p.next()) {
    }
    EXPECT_LE(p.pendingBytes(), SimRequestParser::kMaxBuffer);
}

}  // namespace
