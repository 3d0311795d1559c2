#include "comm/Frames.h"

#include "base/Errors.h"
#include "base/MBytes.h"

namespace voltaris {

using namespace MBytes;

namespace {

constexpr quint16 kCrcStart = 0xFFFF;
constexpr quint16 kCrcPoly = 0xA001;

QByteArray request(quint8 address, quint8 function, quint16 reg, quint8 b4, quint8 b5) {
    QByteArray frame(kRequestLength, '\0');
    frame[0] = static_cast<char>(address);
    frame[1] = static_cast<char>(function);
    frame[2] = static_cast<char>(HiByte(reg));
    frame[3] = static_cast<char>(LoByte(reg));
    frame[4] = static_cast<char>(b4);
    frame[5] = static_cast<char>(b5);
    StoreCRC(frame);
    return frame;
}

}  // namespace

quint16 Crc16(QByteArrayView bytes) {
    quint16 crc = kCrcStart;
    for (char c : bytes) {
        crc ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit) {
            const bool low = crc & 1u;
            crc >>= 1;
            if (low)
                crc ^= kCrcPoly;
        }
    }
    return crc;
}

quint16 CalcCRC(QByteArrayView frame) {
    if (frame.size() <= 2)
        return kCrcStart;
    return Crc16(frame.first(frame.size() - 2));
}

void StoreCRC(QByteArray& frame) {
    if (frame.size() < 2)
        return;
    const quint16 crc = CalcCRC(frame);
    frame[frame.size() - 2] = static_cast<char>(LoByte(crc));
    frame[frame.size() - 1] = static_cast<char>(HiByte(crc));
}

QByteArray AppendCRC(QByteArray body) {
    const quint16 crc = Crc16(body);
    body.append(static_cast<char>(LoByte(crc)));
    body.append(static_cast<char>(HiByte(crc)));
    return body;
}

bool VerifyFrameCRC(QByteArrayView frame) {
    const qsizetype n = frame.size();
    if (n < 3)
        return false;
    const quint16 stored = static_cast<quint16>(
        MakeWord(static_cast<quint8>(frame[n - 2]), static_cast<quint8>(frame[n - 1])));
    return CalcCRC(frame) == stored;
}

QByteArray BuildReadRequest(quint8 address, quint16 reg, quint8 count) {
    return request(address, kFuncReadRegisters, reg, 0x00, count);
}

QByteArray BuildWriteRequest(quint8 address, quint16 reg, qint16 value) {
    return request(address, kFuncWriteRegister, reg, HiByte(value), LoByte(value));
}

QByteArray BuildResetCommand(quint8 address, quint8 code) {
    return request(address, kFuncWriteRegister, kRegReset, code, 0x00);
}

QByteArray BuildResetCommand(quint8 address, ResetCode code) {
    return BuildResetCommand(address, static_cast<quint8>(code));
}

qint16 ReplyWord(QByteArrayView reply, int k) {
    if (k < 0 || 4 + 2 * qsizetype(k) >= reply.size())
        throw IndexError(
            QStringLiteral("Reply of %1 bytes has no word %2.").arg(reply.size()).arg(k));
    return MakeWord(static_cast<quint8>(reply[4 + 2 * k]), static_cast<quint8>(reply[3 + 2 * k]));
}

QVector<qint16> ReplyWords(QByteArrayView reply, int count) {
    QVector<qint16> words;
    words.reserve(qMax(count, 0));
    for (int k = 0; k < count; ++k)
        words.append(ReplyWord(reply, k));
    return words;
}

qint32 ModelFromRegisters(qint16 reg223, qint16 reg211) {
    return MakeLong(reg223, reg211);
}

bool ModelMatches(qint32 configuredModel, qint32 detectedModel) {
    return (configuredModel & 0x00FFFFFF) == detectedModel;
}

bool IsCounterValue(int v) {
    return v >= 43 && v <= 47;
}

qint32 LivePattern(qint16 regLow, qint16 regHigh) {
    return MakeLong(regLow, regHigh);
}

float LiveSingle(qint16 regLow, qint16 regHigh) {
    return SingleFromLong(LivePattern(regLow, regHigh));
}

qint32 LiveCounter(qint16 regLow, qint16 regHigh) {
    return LivePattern(regLow, regHigh);
}

}  // namespace voltaris
