#include "SimTestSupport.h"

#include "base/Clock.h"
#include "sim/SimTransport.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QList>
#include <memory>

using namespace voltaris;
using namespace voltaris::test;

namespace {

constexpr quint32 kS1 = 0x00230001;

// Records what the transport signals, with the virtual time it happened at.
struct Recorder {
    QList<qint64> written;
    QList<qint64> ready;
    QList<Transport::Fault> faults;
    QByteArray data;

    Recorder(SimTransport& t, VirtualClock& clock) {
        QObject::connect(&t, &Transport::bytesWritten,
                         [this, &clock](qint64) { written.append(clock.nowMs()); });
        QObject::connect(&t, &Transport::readyRead, [this, &t, &clock] {
            ready.append(clock.nowMs());
            data += t.readAll();
        });
        QObject::connect(&t, &Transport::faultOccurred,
                         [this](Transport::Fault f, const QString&) { faults.append(f); });
    }
};

struct Fixture {
    VirtualClock clock;
    SimNetwork net;
    std::unique_ptr<SimTransport> transport;

    explicit Fixture(bool timing = true) {
        net.addInstrument(kS1, 1, 1);
        net.setTiming({timing, 5});
        transport = std::make_unique<SimTransport>(net, clock);
    }
};

TEST(SimTransport, RepliesAfterTheLineTimeInVirtualTime) {
    Fixture f;
    Recorder rec(*f.transport, f.clock);
    ASSERT_TRUE(f.transport->open(line(9600)));
    const QByteArray req = BuildReadRequest(1, 211);
    EXPECT_EQ(f.transport->write(req), 8);
    f.clock.runUntilIdle();
    EXPECT_EQ(rec.written, QList<qint64>{9});
    EXPECT_EQ(rec.ready, QList<qint64>{21});  // 8.33 + 5 + 7.29 ms, rounded up once
    EXPECT_EQ(rec.data, AppendCRC(QByteArray::fromHex("01040200 23")));
    EXPECT_TRUE(rec.faults.isEmpty());
}

TEST(SimTransport, WithoutTimingTheRequestLeavesBeforeTheReplyArrives) {
    Fixture f(false);
    QList<QString> order;
    QObject::connect(f.transport.get(), &Transport::bytesWritten,
                     [&] { order.append(QStringLiteral("written")); });
    QObject::connect(f.transport.get(), &Transport::readyRead,
                     [&] { order.append(QStringLiteral("ready")); });
    ASSERT_TRUE(f.transport->open(line(9600)));
    f.transport->write(BuildReadRequest(1, 211));
    f.clock.runUntilIdle();
    EXPECT_EQ(order, (QList<QString>{QStringLiteral("written"), QStringLiteral("ready")}));
    EXPECT_EQ(f.clock.nowMs(), 0);
}

TEST(SimTransport, WrongSpeedGetsNoAnswer) {
    Fixture f;
    Recorder rec(*f.transport, f.clock);
    ASSERT_TRUE(f.transport->open(line(19200)));
    f.transport->write(BuildReadRequest(1, 211));
    f.clock.runUntilIdle();
    EXPECT_EQ(rec.written.size(), 1);
    EXPECT_TRUE(rec.ready.isEmpty());
    ASSERT_TRUE(f.transport->applySettings(line(9600)));
    f.transport->write(BuildReadRequest(1, 211));
    f.clock.runUntilIdle();
    EXPECT_EQ(rec.ready.size(), 1);
}

TEST(SimTransport, LineErrorIsReportedAsAFault) {
    Fixture f;
    Recorder rec(*f.transport, f.clock);
    f.net.setFaults({SimFaultSpec{SimFault::LineError, 1}});
    ASSERT_TRUE(f.transport->open(line(9600)));
    f.transport->write(BuildReadRequest(1, 211));
    f.clock.runUntilIdle();
    EXPECT_EQ(rec.faults, QList<Transport::Fault>{Transport::Fault::LineError});
    EXPECT_TRUE(rec.data.isEmpty());
    EXPECT_TRUE(f.transport->isOpen());
    f.transport->write(BuildReadRequest(1, 211));
    f.clock.runUntilIdle();
    EXPECT_EQ(rec.data.size(), 7);
}

TEST(SimTransport, UnplugClosesOnceAndForGood) {
    Fixture f;
    Recorder rec(*f.transport, f.clock);
    f.net.setFaults({SimFaultSpec{SimFault::Unplug, 1}});
    ASSERT_TRUE(f.transport->open(line(9600)));
    f.transport->write(BuildReadRequest(1, 211));
    f.clock.runUntilIdle();
    f.transport->write(BuildReadRequest(1, 211));
    f.clock.runUntilIdle();
    EXPECT_EQ(rec.faults, QList<Transport::Fault>{Transport::Fault::Unplugged});
    EXPECT_EQ(rec.data.size(), 7);  // the first request was answered
    EXPECT_FALSE(f.transport->isOpen());
    EXPECT_TRUE(f.transport->unplugged());
    EXPECT_EQ(f.transport->write(BuildReadRequest(1, 211)), -1);
    EXPECT_FALSE(f.transport->open(line(9600)));
    EXPECT_EQ(f.transport->lastFault(), Transport::Fault::NotFound);
}

TEST(SimTransport, ClosingOrDestroyingDropsPendingReplies) {
    Fixture f;
    Recorder rec(*f.transport, f.clock);
    ASSERT_TRUE(f.transport->open(line(9600)));
    f.transport->write(BuildReadRequest(1, 211));
    f.transport->close();
    ASSERT_TRUE(f.transport->open(line(9600)));
    f.clock.runUntilIdle();
    EXPECT_TRUE(rec.ready.isEmpty());
    EXPECT_TRUE(f.transport->readAll().isEmpty());

    f.transport->write(BuildReadRequest(1, 211));
    f.transport.reset();
    f.clock.runUntilIdle();  // must not touch the destroyed transport
    EXPECT_TRUE(rec.ready.isEmpty());
}

TEST(SimTransport, SpeedChangeStrandsTheLinkAtTheOldSpeed) {
    Fixture f;
    Recorder rec(*f.transport, f.clock);
    ASSERT_TRUE(f.transport->open(line(9600)));
    f.transport->write(BuildWriteRequest(1, 418, 2));
    f.clock.runUntilIdle();
    EXPECT_FALSE(rec.data.isEmpty());
    EXPECT_FALSE(VerifyFrameCRC(rec.data));
    rec.data.clear();
    f.transport->write(BuildReadRequest(1, 211));
    f.clock.runUntilIdle();
    EXPECT_TRUE(rec.data.isEmpty());
    f.transport->applySettings(line(19200));
    f.transport->write(BuildReadRequest(1, 211));
    f.clock.runUntilIdle();
    EXPECT_TRUE(VerifyFrameCRC(rec.data));
}

TEST(SimTransport, ControlLinesOnlyWhileOpen) {
    Fixture f;
    EXPECT_FALSE(f.transport->setDtr(true));
    ASSERT_TRUE(f.transport->open(line(9600)));
    EXPECT_TRUE(f.transport->setDtr(true));
    EXPECT_TRUE(f.transport->setRts(false));
    EXPECT_TRUE(f.transport->dtr());
    EXPECT_FALSE(f.transport->open(line(9600)));
    EXPECT_EQ(f.transport->lastFault(), Transport::Fault::InUse);
}

}  // namespace
