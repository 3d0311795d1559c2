#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QVector>
#include <QtGlobal>

// Request and reply frames of the instruments: RTU framing with function 0x04 (read
// registers) and 0x06 (write one register), words high byte first, CRC-16 appended low
// byte first.
namespace voltaris {

// Register addresses (zero-based, as sent on the line).
inline constexpr quint16 kRegLiveValues = 0;         // 61 values x 2 registers, read 11 x 12
inline constexpr quint16 kRegModelHigh = 211;        // model identifier, high word
inline constexpr quint16 kRegModelLow = 223;         // model identifier, low word
inline constexpr quint16 kRegUnlockBlocks = 255;     // written 0xC0C0 before the output blocks
inline constexpr quint16 kRegAlarmStates = 259;      // 259, 260: alarm state of output 1, 2
inline constexpr quint16 kRegBlocksWritten = 263;    // written 0x0000 after the pulse block
inline constexpr quint16 kRegParam = 409;            // parameter block, 10 words (409..418)
inline constexpr quint16 kRegWiringSystem = 416;     // parameter word 7
inline constexpr quint16 kRegNetworkAddress = 417;   // parameter word 8
inline constexpr quint16 kRegBaudRate = 418;         // parameter word 9; its reply is ignored
inline constexpr quint16 kRegDigOut = 419;           // digital output block read as 419..423
inline constexpr quint16 kRegOutputFunctions = 422;  // digital output word 1
inline constexpr quint16 kRegDigOutWord2 = 423;      // digital output word 2
inline constexpr quint16 kRegAnalogOut = 425;        // analogue output block, 24 words
inline constexpr quint16 kRegAlarm = 449;            // alarm block, 128 words
inline constexpr quint16 kRegPulse = 577;            // pulse block, 16 words
inline constexpr quint16 kRegReset = 8430;           // reset command register

inline constexpr qint16 kUnlockBlocksValue = static_cast<qint16>(0xC0C0);
inline constexpr quint8 kOutputIsAlarm = 0xAA;  // output function byte of an alarm output
inline constexpr int kLiveValueCount = 61;
inline constexpr int kMaxReadCount = 12;  // registers per read request
// The live reads cover 11 requests of 12 registers from kRegLiveValues (0..131).
inline constexpr quint16 kRegLiveLast = kRegLiveValues + 11 * kMaxReadCount - 1;
// The configuration runs from the parameter block to the end of the pulse block (409..592).
inline constexpr quint16 kRegConfigLast = kRegPulse + 15;
inline constexpr int kRequestLength = 8;
inline constexpr int kWriteReplyLength = 8;  // a write is answered by its echo

inline constexpr quint8 kFuncReadRegisters = 0x04;
inline constexpr quint8 kFuncWriteRegister = 0x06;

// Reset command codes, carried in the high byte of the value written to kRegReset.
enum class ResetCode : quint8 {
    Total = 0,
    Demand = 1,
    EnergyAndHours = 2,
    TotalEnergy = 3,
    PartialEnergy = 4,
    HourCounter = 5,
    MaxMin = 6,
};

// CRC-16 (polynomial 0xA001 reflected, start 0xFFFF) over every byte of `bytes`.
quint16 Crc16(QByteArrayView bytes);
// CRC-16 over all bytes of `frame` but the last two (where the CRC goes); 0xFFFF when the
// frame has two bytes or fewer.
quint16 CalcCRC(QByteArrayView frame);
// Fills the last two bytes of `frame` (reserved for it) with CalcCRC, low byte first.
// A frame shorter than two bytes is left alone.
void StoreCRC(QByteArray& frame);
// `body` followed by its CRC, low byte first (builds replies and requests from a body).
QByteArray AppendCRC(QByteArray body);
// True when the last two bytes of `frame` hold CalcCRC of it, low byte first. A frame of
// fewer than three bytes has nothing to check and is refused.
bool VerifyFrameCRC(QByteArrayView frame);

// Read of `count` registers (1 to 12) from `reg` on the instrument at `address`.
QByteArray BuildReadRequest(quint8 address, quint16 reg, quint8 count = 1);
// Write of `value` (high byte first) into register `reg`.
QByteArray BuildWriteRequest(quint8 address, quint16 reg, qint16 value);
// Reset command: write of register 8430 with the code in the high byte, 0x00 in the low.
QByteArray BuildResetCommand(quint8 address, ResetCode code);
QByteArray BuildResetCommand(quint8 address, quint8 code);

// Length of the reply to a read of `count` registers: 5 + 2 x count.
constexpr int ReadReplyLength(int count) {
    return 5 + 2 * count;
}

// Word k (from 0) of a read reply, signed: high byte at 3 + 2k, low byte at 4 + 2k.
// Throws IndexError when the reply has no such word.
qint16 ReplyWord(QByteArrayView reply, int k);
// The first `count` words of a read reply; throws IndexError when it is too short.
QVector<qint16> ReplyWords(QByteArrayView reply, int count);

// The instrument's model from register 223 (low word) and 211 (high word).
qint32 ModelFromRegisters(qint16 reg223, qint16 reg211);
// A configured model matches when its low three bytes equal the detected identifier;
// its top byte never takes part.
bool ModelMatches(qint32 configuredModel, qint32 detectedModel);

// Live value v (0 to 60) spans registers 2v (low word) and 2v + 1 (high word).
// Values 43 to 47 (energy counters and hour counter) are signed 32-bit integers,
// every other value is an IEEE single.
bool IsCounterValue(int v);
qint32 LivePattern(qint16 regLow, qint16 regHigh);
float LiveSingle(qint16 regLow, qint16 regHigh);
qint32 LiveCounter(qint16 regLow, qint16 regHigh);

}  // namespace voltaris
