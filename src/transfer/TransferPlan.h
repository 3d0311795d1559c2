#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "comm/Frames.h"

namespace voltaris {

class CCommConfig;
class CGestioneMemMap;
class CNetworkAddMsgSetup;

// One write request of a configuration transfer, in sending order.
struct PlannedWrite {
    QByteArray frame;
    QList<int> progressAfter;  // progress values (of 6) reached after it
    bool judged = true;        // false: sent, outcome ignored (the new baud rate)
    QString traceBefore;       // trace line written before it, or empty
    bool followSpeed = false;  // the link follows the speed written (a single instrument)
};

// The writes of the configuration blocks to `address` for an instrument reporting
// `detectedModel` (its low byte chooses the blocks), reached over `interfaceType`.
QList<PlannedWrite> PlanWrite(const CGestioneMemMap& map, quint8 address, qint32 detectedModel,
                              qint16 interfaceType);

// A run of registers to read back after writing, with the values written into them.
struct ReadBackSpan {
    quint16 first = 0;
    QList<qint16> written;
};
// The configuration registers `plan` wrote (not the commands, the address or the speed), as
// reads of at most 8 registers over consecutive runs.
QList<ReadBackSpan> PlanReadBack(const QList<PlannedWrite>& plan);

// A register that read back other than written.
struct RegisterDifference {
    quint8 address = 0;
    quint16 reg = 0;
    qint16 written = 0;
    qint16 read = 0;
};

// A name for a register of the configuration ("ParamMemMap(3)", "AlarmMemMap(17)", the
// special registers by what they do), for listings and differences.
QString RegisterName(quint16 reg);

// True when `reply` (CRC already checked) answers `request`: same address and function, the
// byte count of a read, the echo of a write. A foreign or stale frame is refused like a bad
// CRC, so the link asks again.
bool ReplyMatchesRequest(const QByteArray& request, const QByteArray& reply);

// The reset commands an Action 0..7 sends, in order (operation line 232 + action); empty for
// any other action.
QList<ResetCode> ResetCommandsForAction(qint32 action);
// The two commands that make an instrument take a configuration just written.
inline constexpr ResetCode kAfterWriteResets[] = {ResetCode::Demand, ResetCode::MaxMin};

// The network record as an operation over `comm` uses it: the auxiliary port is the one
// instrument at 255 (interface 0, single mode, manual address).
void NormaliseNetworkForInterface(const CCommConfig& comm, CNetworkAddMsgSetup& network);
// What a transmission would send to one address, without sending anything: the plan for the
// configured model and the resets that follow.
struct DryRunAddress {
    quint8 address = 0;
    QList<QByteArray> frames;
};
QList<DryRunAddress> PlanDryRun(const CGestioneMemMap& map, const CCommConfig& comm,
                                const CNetworkAddMsgSetup& network);

}  // namespace voltaris
