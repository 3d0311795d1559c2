// The engines' contract as a window relies on it: cancel at any stage ends the work within one
// exchange with the port closed and nothing stored, deleting a running engine is safe, a
// second start is refused, and each failure reaches the user once, through the signal.
#include <gtest/gtest.h>

#include <functional>

#include "ArchiveSupport.h"
#include "MemMapTestSupport.h"
#include "TraceCapture.h"
#include "TransferTestSupport.h"
#include "archive/Archive.h"
#include "base/ResString.h"
#include "comm/CWirrel.h"
#include "model/Configuration.h"
#include "model/ConfigurationJson.h"
#include "transfer/InstrumentScan.h"

using namespace voltaris;
using namespace voltaris::test;

namespace {

constexpr qint32 kModel = 0x00240004;  // digital outputs: every block is written
constexpr quint8 kAddress = 7;
constexpr int kSpeed4800 = 0;   // the last speed the search tries
constexpr int kSpeed38400 = 3;  // the first

enum class Stage { BaudSearch, AddressScan, Writing, Reading };

const char* stageName(Stage s) {
    switch (s) {
        case Stage::BaudSearch:
            return "baud search";
        case Stage::AddressScan:
            return "address scan";
        case Stage::Writing:
            return "writing";
        default:
            return "reading";
    }
}

// A procedure on a line with one instrument that the automatic search has to find: at 4800
// baud (every speed before it is tried) at address 7 (every address above it is asked).
class EngineContract : public ArchiveFixture {
protected:
    void SetUp() override {
        ArchiveFixture::SetUp();
        Configuration c;
        fillConfiguration(c, kModel, OutputUse::BothAlarms);
        id = c.create(archive);
        newRig();
    }
    void newRig(int speedCode = kSpeed4800) {
        r = std::make_unique<TransferRig>(archive);
        r->net.addInstrument(kModel, kAddress, speedCode);
        r->comm.setInterfaceType(CCommConfig::SingleInstrument);
        r->network.setModeConfig(0);
        r->network.setSelNetworkAdd(0);
    }
    qint32 actionFor(Stage s) const {
        return s == Stage::Reading ? TransferProcedure::ReadConfiguration
                                   : TransferProcedure::WriteConfiguration;
    }
    qint32 idFor(Stage s) const { return s == Stage::Reading ? Archive::ReservedId : id; }
    QByteArray instrumentSlot() {
        Configuration c;
        c.load(archive, Archive::ReservedId);
        return ConfigurationToJsonText(c);
    }
    // Calls `act` once, from the clock, when the procedure has reached `stage`.
    void when(Stage stage, std::function<void()> act) {
        auto done = std::make_shared<bool>(false);
        auto fire = [this, done, act] {
            if (*done)
                return;
            *done = true;
            r->clock.callLater(0, act);
        };
        TransferProcedure* p = r->procedure.get();
        QObject::connect(
            p, &Engine::progress, [this, stage, fire](int value, int minimum, int maximum) {
                const bool searching = maximum == 255;
                const qint32 baud = r->line->settings().baudRate;
                if (stage == Stage::BaudSearch && searching && baud == 19200 && value > minimum)
                    fire();
                if (stage == Stage::AddressScan && searching && baud == 4800 && value >= 200)
                    fire();
                if ((stage == Stage::Writing || stage == Stage::Reading) && !searching &&
                    value >= 2)
                    fire();
            });
    }
    std::unique_ptr<TransferRig> r;
    qint32 id = 0;
    TempDir files;
};

TEST_F(EngineContract, CancelAtEachStageEndsWithinOneExchange) {
    for (const Stage stage :
         {Stage::BaudSearch, Stage::AddressScan, Stage::Writing, Stage::Reading}) {
        SCOPED_TRACE(stageName(stage));
        newRig();
        TraceCapture trace;
        const QByteArray slot = instrumentSlot();
        r->make(actionFor(stage), idFor(stage), files.path());
        qint64 cancelledAt = -1;
        qsizetype requestsAtCancel = -1;
        when(stage, [&] {
            cancelledAt = r->clock.nowMs();
            requestsAtCancel = r->line->requests.size();
            r->procedure->cancel();
        });
        EXPECT_EQ(RunToFinish(*r->procedure, r->clock), EngineOutcome::Cancelled);
        ASSERT_GE(cancelledAt, 0) << "the stage was never reached";
        EXPECT_LE(r->line->requests.size() - requestsAtCancel, 1);
        EXPECT_LE(r->clock.nowMs() - cancelledAt, CWirrel::kTimeOutMs + CWirrel::kWorkIntervalMs);
        EXPECT_TRUE(r->messageIds.isEmpty());
        EXPECT_TRUE(trace.messages.entries().isEmpty());
        EXPECT_FALSE(r->line->isOpen());
        EXPECT_FALSE(r->procedure->isRunning());
        EXPECT_EQ(instrumentSlot(), slot);
    }
}

TEST_F(EngineContract, DeletingARunningProcedureClosesThePortAndStoresNothing) {
    for (const Stage stage :
         {Stage::BaudSearch, Stage::AddressScan, Stage::Writing, Stage::Reading}) {
        SCOPED_TRACE(stageName(stage));
        newRig();
        const QByteArray slot = instrumentSlot();
        r->make(actionFor(stage), idFor(stage), files.path());
        bool finished = false;
        QObject::connect(r->procedure.get(), &Engine::finished, [&] { finished = true; });
        bool deleted = false;
        when(stage, [&] {
            r->procedure.reset();
            deleted = true;
        });
        ASSERT_TRUE(r->procedure->start());
        while (!deleted)
            r->clock.yield();
        // Whatever the line and the clock still hold runs without the procedure.
        r->clock.runUntilIdle(60000);
        EXPECT_FALSE(finished);
        EXPECT_FALSE(r->line->isOpen());
        EXPECT_EQ(instrumentSlot(), slot);
    }
}

TEST_F(EngineContract, ASecondStartWhileRunningIsRefused) {
    newRig(kSpeed38400);
    r->network.setSelNetworkAdd(1);
    r->network.setNetworkAdd(kAddress);
    r->make(TransferProcedure::WriteConfiguration, id, files.path());
    int finishedCount = 0;
    QObject::connect(r->procedure.get(), &Engine::finished, [&] { ++finishedCount; });
    ASSERT_TRUE(r->procedure->start());
    EXPECT_FALSE(r->procedure->start());
    while (r->procedure->isRunning())
        r->clock.yield();
    EXPECT_EQ(finishedCount, 1);
    EXPECT_TRUE(r->procedure->outcome().ok());
    const qsizetype once = r->line->requests.size();
    // Ended, it may run again: the same requests once more.
    EXPECT_EQ(RunToFinish(*r->procedure, r->clock), EngineOutcome::Done);
    EXPECT_EQ(r->line->requests.size(), 2 * once);
}

// The engines report a failure through their signal only: the command line prints it and a
// window shows it, so a message sent anywhere else would reach the user twice.
TEST_F(EngineContract, AFailureIsOneMessageThroughTheSignal) {
    TraceCapture trace;
    r->network.setSelNetworkAdd(1);
    r->network.setNetworkAdd(kAddress + 1);  // nobody there
    r->make(TransferProcedure::WriteConfiguration, id, files.path());
    QList<EngineOutcome> outcomes;
    QObject::connect(r->procedure.get(), &Engine::finished,
                     [&](const EngineOutcome& o) { outcomes << o; });
    ASSERT_TRUE(r->procedure->start());
    while (r->procedure->isRunning())
        r->clock.yield();
    EXPECT_EQ(r->messageIds, QList<int>{228});
    EXPECT_TRUE(trace.messages.entries().isEmpty());
    ASSERT_EQ(outcomes.size(), 1);
    EXPECT_EQ(outcomes[0].status, EngineOutcome::Failed);
    EXPECT_EQ(outcomes[0].messageId, 228);
}

TEST_F(EngineContract, TheLineOpenedAndClosedSignalFollowsThePort) {
    newRig(kSpeed38400);
    r->network.setSelNetworkAdd(1);
    r->network.setNetworkAdd(kAddress);
    r->make(TransferProcedure::ReadConfiguration, Archive::ReservedId, files.path());
    QList<bool> states;
    QObject::connect(r->procedure.get(), &Engine::lineOpened,
                     [&](bool open) { states << (open == r->line->isOpen()) << open; });
    EXPECT_EQ(RunToFinish(*r->procedure, r->clock), EngineOutcome::Done);
    // Opened for the search at 38400, closed, opened for the operation, closed.
    EXPECT_EQ(states, (QList<bool>{true, true, true, false, true, true, true, false}));
}

// The scan on virtual time: every speed, the addresses asked, Ctrl-C between two of them.
TEST(InstrumentScanEngine, FindsEachInstrumentAtItsSpeedAndCancelsBetweenAddresses) {
    VirtualClock clock;
    SimNetwork net;
    net.addInstrument(0x00230004, 3, 3);
    net.addInstrument(0x00210001, 1, 1);
    SimTransport line(net, clock);
    WirrelObj component(clock, line);
    CCommConfig comm;
    comm.setInterfaceType(CCommConfig::Network);
    {
        InstrumentScan scan(clock, component);
        scan.Create(comm, InstrumentScan::Addresses(comm.InterfaceType(), 0, 3));
        EXPECT_EQ(RunToFinish(scan, clock), EngineOutcome::Done);
        ASSERT_EQ(scan.Instruments().size(), 2);
        EXPECT_EQ(scan.Instruments()[0].baud, 38400);
        EXPECT_EQ(scan.Instruments()[0].address, 3);
        EXPECT_EQ(scan.Instruments()[1].baud, 9600);
        EXPECT_EQ(scan.Instruments()[1].address, 1);
        EXPECT_FALSE(line.isOpen());
    }
    {
        InstrumentScan scan(clock, component);
        scan.Create(comm, InstrumentScan::Addresses(comm.InterfaceType(), 0, 0));
        QObject::connect(&scan, &Engine::progress, [&](int value, int, int) {
            if (value == 10)
                scan.cancel();
        });
        EXPECT_EQ(RunToFinish(scan, clock), EngineOutcome::Cancelled);
        EXPECT_FALSE(line.isOpen());
    }
}

TEST(InstrumentScanEngine, Addresses) {
    const struct {
        qint16 iface;
        int address, count;
        QList<quint8> expected;
    } cases[] = {
        {CCommConfig::AuxiliaryPort, 5, 3, {255}},
        {CCommConfig::SingleInstrument, 5, 0, {5}},
        {CCommConfig::Network, 0, 3, {3, 2, 1}},
        {CCommConfig::Network, 256, 1, {1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InstrumentScan::Addresses(c.iface, c.address, c.count), c.expected)
            << c.iface << " " << c.address << " " << c.count;
    const QList<quint8> all = InstrumentScan::Addresses(CCommConfig::Network, 0, 0);
    ASSERT_EQ(all.size(), 255);
    EXPECT_EQ(all.first(), 255);
    EXPECT_EQ(all.last(), 1);
}

}  // namespace
