// The transfer's pure rules by tables: which replies answer which requests, what a write
// sends for each module and interface, what the check after writing reads, the reset
// commands of each action and the frames of a dry run.
#include <gtest/gtest.h>

#include "ArchiveSupport.h"
#include "MemMapTestSupport.h"
#include "ModelTestSupport.h"
#include "comm/Frames.h"
#include "livedata/LivePoller.h"
#include "memmap/CGestioneMemMap.h"
#include "model/CCommConfig.h"
#include "model/CNetworkAddMsgSetup.h"
#include "model/Configuration.h"
#include "transfer/TransferPlan.h"

using namespace voltaris;
using namespace voltaris::test;

namespace {

quint16 regOf(const QByteArray& f) {
    return static_cast<quint16>(static_cast<quint8>(f.at(2)) << 8 | static_cast<quint8>(f.at(3)));
}

TEST(TransferPlan, ReplyMatchesRequest) {
    const QByteArray read = BuildReadRequest(7, kRegAlarm, 8);
    const QByteArray write = BuildWriteRequest(7, kRegParam, 0x1234);
    const auto readReply = [](quint8 address, quint8 function, int count, int words) {
        QByteArray body;
        body.append(char(address)).append(char(function)).append(char(2 * count));
        body.append(QByteArray(2 * words, '\0'));
        return AppendCRC(body);
    };
    const struct {
        const char* what;
        QByteArray request, reply;
        bool matches;
    } cases[] = {
        {"read answered", read, readReply(7, kFuncReadRegisters, 8, 8), true},
        {"another address", read, readReply(8, kFuncReadRegisters, 8, 8), false},
        {"another function", read, readReply(7, kFuncWriteRegister, 8, 8), false},
        {"byte count of another read", read, readReply(7, kFuncReadRegisters, 1, 1), false},
        {"count right, words missing", read, readReply(7, kFuncReadRegisters, 8, 7), false},
        {"write echoed", write, write, true},
        {"echo of another value", write, BuildWriteRequest(7, kRegParam, 0x1235), false},
        {"echo of another register", write, BuildWriteRequest(7, kRegParam + 1, 0x1234), false},
        {"too short to judge", read, QByteArray("\x07\x04", 2), false},
        {"no request", QByteArray(), write, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplyMatchesRequest(c.request, c.reply), c.matches) << c.what;
}

TEST(TransferPlan, ResetCommandsOfEachAction) {
    using R = ResetCode;
    const QList<QList<ResetCode>> expected = {
        {R::Total},  {R::EnergyAndHours}, {R::Demand, R::MaxMin}, {R::MaxMin},
        {R::Demand}, {R::TotalEnergy},    {R::HourCounter},       {R::PartialEnergy}};
    for (qint32 action = 0; action < 8; ++action)
        EXPECT_EQ(ResetCommandsForAction(action), expected[action]) << action;
    for (const qint32 action : {-2, -1, 8, 232})
        EXPECT_TRUE(ResetCommandsForAction(action).isEmpty()) << action;
}

TEST(TransferPlan, LampsFromOutputFunctionsAndAlarmStates) {
    using L = LivePoller;
    for (int bits = 0; bits < 16; ++bits) {
        const bool out1 = bits & 1, out2 = bits & 2, alarm1 = bits & 4, alarm2 = bits & 8;
        const L::Lamps l = L::LampsFor(out1, out2, alarm1, alarm2);
        const auto lamp = [](bool used, bool on) {
            return !used ? L::Grey : on ? L::Red : L::Green;
        };
        SCOPED_TRACE(bits);
        EXPECT_EQ(l.general, lamp(out1, alarm1 || alarm2));
        EXPECT_EQ(l.out1, lamp(out1, alarm1));
        EXPECT_EQ(l.out2, lamp(out2, alarm2));
    }
}

class PlanFixture : public ArchiveFixture {
protected:
    CGestioneMemMap& mapFor(qint32 model) {
        Configuration c;
        fillConfiguration(c, model, OutputUse::BothAlarms);
        map = std::make_unique<CGestioneMemMap>(archive);
        map->setIDProgramma(c.create(archive));
        map->ConvertUserSetupToMemoryMap();
        return *map;
    }
    std::unique_ptr<CGestioneMemMap> map;
};

// Per module type and interface: how many writes, which special ones, the progress marks.
TEST_F(PlanFixture, WriteByModuleAndInterface) {
    const struct {
        qint32 model;
        qint16 iface;
        int writes;           // judged and not
        bool addressAndBaud;  // 417 and 418 at the end
    } cases[] = {
        {0x00230001, CCommConfig::SingleInstrument, 8 + 2, true},
        {0x00230001, CCommConfig::Network, 8, false},
        {0x00230102, CCommConfig::AuxiliaryPort, 8 + 24, false},
        {0x00230303, CCommConfig::SingleInstrument, 8 + 24, false},
        {0x00240004, CCommConfig::SingleInstrument, 8 + 1 + 3 + 128 + 16 + 1, false},
        {0x00240005, CCommConfig::AuxiliaryPort, 8 + 1 + 3 + 128 + 16 + 1 + 2, true},
        {0x00240005, CCommConfig::Network, 8 + 1 + 3 + 128 + 16 + 1, false},
        {0x00240010, CCommConfig::SingleInstrument, 8 + 1 + 3 + 128 + 16 + 1 + 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 iface %2").arg(c.model, 8, 16).arg(c.iface).toStdString());
        const CGestioneMemMap& m = mapFor(c.model);
        const QList<PlannedWrite> plan = PlanWrite(m, 9, c.model, c.iface);
        ASSERT_EQ(plan.size(), c.writes);
        QList<int> marks;
        for (const PlannedWrite& w : plan) {
            marks += w.progressAfter;
            EXPECT_EQ(static_cast<quint8>(w.frame.at(1)), kFuncWriteRegister);
        }
        EXPECT_EQ(marks.last(), 6);
        EXPECT_TRUE(std::is_sorted(marks.begin(), marks.end()));
        const PlannedWrite& last = plan.last();
        EXPECT_EQ(regOf(last.frame) == kRegBaudRate, c.addressAndBaud);
        if (c.addressAndBaud) {
            EXPECT_EQ(regOf(plan[plan.size() - 2].frame), kRegNetworkAddress);
            EXPECT_FALSE(last.judged);  // the instrument may answer at its new speed
            const bool single = c.iface == CCommConfig::SingleInstrument;
            EXPECT_EQ(last.followSpeed, single);
            EXPECT_EQ(static_cast<quint8>(last.frame.at(0)),
                      single ? static_cast<quint8>(m.ParamMemMap(8)) : 9);
        }
        for (const PlannedWrite& w : plan.mid(0, plan.size() - (c.addressAndBaud ? 1 : 0)))
            EXPECT_TRUE(w.judged);
    }
}

// The check after writing reads back exactly the configuration words written, in runs of at
// most 8 consecutive registers, never the commands, the address or the speed.
TEST_F(PlanFixture, ReadBackCoversEveryConfigurationWordWritten) {
    for (const qint32 model : {0x00230001, 0x00230303, 0x00240004, 0x00240010}) {
        SCOPED_TRACE(QString::number(model, 16).toStdString());
        const QList<PlannedWrite> plan =
            PlanWrite(mapFor(model), 9, model, CCommConfig::SingleInstrument);
        QMap<quint16, qint16> written;
        for (const PlannedWrite& w : plan) {
            const quint16 reg = regOf(w.frame);
            if (reg != kRegUnlockBlocks && reg != kRegBlocksWritten && reg != kRegNetworkAddress &&
                reg != kRegBaudRate)
                written.insert(reg, static_cast<qint16>(static_cast<quint8>(w.frame.at(4)) << 8 |
                                                        static_cast<quint8>(w.frame.at(5))));
        }
        QMap<quint16, qint16> read;
        for (const ReadBackSpan& s : PlanReadBack(plan)) {
            EXPECT_GE(s.written.size(), 1);
            EXPECT_LE(s.written.size(), 8);
            for (int i = 0; i < s.written.size(); ++i)
                read.insert(static_cast<quint16>(s.first + i), s.written[i]);
        }
        EXPECT_EQ(read, written);
    }
}

TEST_F(PlanFixture, DryRunVisitsTheProceduresAddresses) {
    const CGestioneMemMap& m = mapFor(0x00240004);
    const struct {
        qint16 iface;
        qint16 mode, manual, address, total;
        QList<quint8> addresses;
    } cases[] = {
        {CCommConfig::AuxiliaryPort, 1, 0, 5, 3, {255}},
        {CCommConfig::SingleInstrument, 0, 1, 5, 3, {5}},
        {CCommConfig::Network, 1, 1, 5, 3, {1, 2, 3}},
        {CCommConfig::Network, 0, 1, 5, 3, {5}},
    };
    for (const auto& c : cases) {
        CCommConfig comm;
        comm.setInterfaceType(c.iface);
        CNetworkAddMsgSetup network;
        network.setModeConfig(c.mode);
        network.setSelNetworkAdd(c.manual);
        network.setNetworkAdd(c.address);
        network.setTotalInstrNetwork(c.total);
        const QList<DryRunAddress> plan = PlanDryRun(m, comm, network);
        QList<quint8> addresses;
        for (const DryRunAddress& d : plan) {
            addresses << d.address;
            ASSERT_GE(d.frames.size(), 2);
            EXPECT_EQ(d.frames[d.frames.size() - 2],
                      BuildResetCommand(d.address, ResetCode::Demand));
            EXPECT_EQ(d.frames.last(), BuildResetCommand(d.address, ResetCode::MaxMin));
        }
        EXPECT_EQ(addresses, c.addresses) << c.iface;
    }
}

}  // namespace
