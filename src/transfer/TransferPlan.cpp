#include "transfer/TransferPlan.h"

#include "memmap/CGestioneMemMap.h"
#include "model/CCommConfig.h"
#include "model/CNetworkAddMsgSetup.h"
#include "model/ModelCatalogue.h"

namespace voltaris {

bool ReplyMatchesRequest(const QByteArray& request, const QByteArray& reply) {
    if (request.size() < kRequestLength || reply.size() < 3)
        return false;
    if (reply.at(0) != request.at(0) || reply.at(1) != request.at(1))
        return false;
    if (static_cast<quint8>(request.at(1)) == kFuncReadRegisters)
        return static_cast<quint8>(reply.at(2)) == 2 * static_cast<quint8>(request.at(5)) &&
               reply.size() == ReadReplyLength(static_cast<quint8>(request.at(5)));
    // A write is answered by its echo.
    return reply == request;
}

QString RegisterName(quint16 reg) {
    const auto in = [reg](int first, int count) { return reg >= first && reg < first + count; };
    if (in(kRegParam, CGestioneMemMap::ParamWords)) {
        if (reg == kRegNetworkAddress)
            return QStringLiteral("ParamMemMap(8) network address");
        if (reg == kRegBaudRate)
            return QStringLiteral("ParamMemMap(9) baud rate");
        return QStringLiteral("ParamMemMap(%1)").arg(reg - kRegParam);
    }
    for (int i = 0; i < CGestioneMemMap::DigOutWords; ++i)
        if (reg == CGestioneMemMap::DigOutRegisters[i])
            return QStringLiteral("DigOutMemMap(%1)").arg(i);
    if (in(kRegAnalogOut, CGestioneMemMap::AnalogOutWords))
        return QStringLiteral("AnalogOutMemMap(%1)").arg(reg - kRegAnalogOut);
    if (in(kRegAlarm, CGestioneMemMap::AlarmWords))
        return QStringLiteral("AlarmMemMap(%1)").arg(reg - kRegAlarm);
    if (in(kRegPulse, CGestioneMemMap::PulseWords))
        return QStringLiteral("PulseMemMap(%1)").arg(reg - kRegPulse);
    switch (reg) {
        case kRegModelHigh:
            return QStringLiteral("model (high word)");
        case kRegModelLow:
            return QStringLiteral("model (low word)");
        case kRegUnlockBlocks:
            return QStringLiteral("output programming start");
        case kRegBlocksWritten:
            return QStringLiteral("output programming end");
        case kRegReset:
            return QStringLiteral("reset command");
        default:
            return QStringLiteral("register %1").arg(reg);
    }
}

QList<ResetCode> ResetCommandsForAction(qint32 action) {
    switch (action) {
        case 0:
            return {ResetCode::Total};
        case 1:
            return {ResetCode::EnergyAndHours};
        case 2:
            return {ResetCode::Demand, ResetCode::MaxMin};
        case 3:
            return {ResetCode::MaxMin};
        case 4:
            return {ResetCode::Demand};
        case 5:
            return {ResetCode::TotalEnergy};
        case 6:
            return {ResetCode::HourCounter};
        case 7:
            return {ResetCode::PartialEnergy};
        default:
            return {};
    }
}

QList<PlannedWrite> PlanWrite(const CGestioneMemMap& map, quint8 address, qint32 detectedModel,
                              qint16 interfaceType) {
    QList<PlannedWrite> plan;
    const auto add = [&](quint16 reg, qint16 value) {
        plan.push_back({BuildWriteRequest(address, reg, value), {}, true, {}, false});
    };
    const auto mark = [&](int value) { plan.back().progressAfter << value; };
    for (int i = 0; i < 8; ++i)
        add(static_cast<quint16>(kRegParam + i), map.ParamMemMap(i));
    mark(1);
    if (HasAnalogOutputs(detectedModel)) {
        for (int i = 0; i < CGestioneMemMap::AnalogOutWords; ++i)
            add(static_cast<quint16>(kRegAnalogOut + i), map.AnalogOutMemMap(i));
        mark(2);
    }
    if (HasAlarmBlocks(detectedModel)) {
        add(kRegUnlockBlocks, kUnlockBlocksValue);
        for (int i = 0; i < CGestioneMemMap::DigOutWords; ++i)
            add(static_cast<quint16>(CGestioneMemMap::DigOutRegisters[i]), map.DigOutMemMap(i));
        mark(3);
        for (int i = 0; i < CGestioneMemMap::AlarmWords; ++i)
            add(static_cast<quint16>(kRegAlarm + i), map.AlarmMemMap(i));
        mark(4);
        for (int i = 0; i < CGestioneMemMap::PulseWords; ++i)
            add(static_cast<quint16>(kRegPulse + i), map.PulseMemMap(i));
        add(kRegBlocksWritten, 0);
    }
    mark(5);
    if (HasNetworkAddress(detectedModel) && (interfaceType == CCommConfig::AuxiliaryPort ||
                                             interfaceType == CCommConfig::SingleInstrument)) {
        add(kRegNetworkAddress, map.ParamMemMap(8));
        plan.back().traceBefore = QStringLiteral("Programmazione indirizzo di rete");
        // A single instrument answers at its new address from now on.
        const quint8 next = interfaceType == CCommConfig::SingleInstrument
                                ? static_cast<quint8>(map.ParamMemMap(8))
                                : address;
        // The instrument may answer at its new speed, or not at all: the outcome is ignored.
        plan.push_back({BuildWriteRequest(next, kRegBaudRate, map.ParamMemMap(9)),
                        {},
                        false,
                        QStringLiteral("Programmazione baud rate"),
                        interfaceType == CCommConfig::SingleInstrument});
    }
    mark(6);
    return plan;
}

namespace {

// Registers that carry a command, or move the instrument to another address or speed: their
// value cannot be read back as written.
bool isCommandRegister(quint16 reg) {
    return reg == kRegUnlockBlocks || reg == kRegBlocksWritten || reg == kRegNetworkAddress ||
           reg == kRegBaudRate || reg == kRegReset;
}

}  // namespace

QList<ReadBackSpan> PlanReadBack(const QList<PlannedWrite>& plan) {
    constexpr int kSpanWords = 8;
    QList<ReadBackSpan> spans;
    for (const PlannedWrite& w : plan) {
        if (static_cast<quint8>(w.frame.at(1)) != kFuncWriteRegister)
            continue;
        const quint16 reg = static_cast<quint16>(static_cast<quint8>(w.frame.at(2)) << 8 |
                                                 static_cast<quint8>(w.frame.at(3)));
        if (isCommandRegister(reg))
            continue;
        const qint16 value = static_cast<qint16>(static_cast<quint8>(w.frame.at(4)) << 8 |
                                                 static_cast<quint8>(w.frame.at(5)));
        if (spans.isEmpty() || spans.back().written.size() >= kSpanWords ||
            spans.back().first + spans.back().written.size() != reg)
            spans.push_back({reg, {}});
        spans.back().written.push_back(value);
    }
    return spans;
}

void NormaliseNetworkForInterface(const CCommConfig& comm, CNetworkAddMsgSetup& network) {
    if (comm.InterfaceType() != CCommConfig::AuxiliaryPort)
        return;
    network.setInterfaceType(0);
    network.setModeConfig(0);
    network.setSelNetworkAdd(1);
    network.setNetworkAdd(CNetworkAddMsgSetup::AuxiliaryAddress);
}

QList<DryRunAddress> PlanDryRun(const CGestioneMemMap& map, const CCommConfig& comm,
                                const CNetworkAddMsgSetup& network) {
    QList<qint16> addresses = network.Addresses(comm.InterfaceType());
    if (comm.InterfaceType() != CCommConfig::Network && addresses.size() > 1)
        addresses = addresses.mid(0, 1);
    const qint32 model = ReportedModel(map.InstrModel());
    QList<DryRunAddress> result;
    for (const qint16 a : addresses) {
        if (a < CNetworkAddMsgSetup::MinAddress || a > CNetworkAddMsgSetup::MaxAddress)
            continue;
        DryRunAddress d{static_cast<quint8>(a), {}};
        quint8 last = d.address;
        for (const PlannedWrite& w : PlanWrite(map, d.address, model, comm.InterfaceType())) {
            d.frames << w.frame;
            last = static_cast<quint8>(w.frame.at(0));
        }
        for (const ResetCode code : kAfterWriteResets)
            d.frames << BuildResetCommand(last, code);
        result << d;
    }
    return result;
}

}  // namespace voltaris
