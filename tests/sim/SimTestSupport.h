#pragma once

#include "base/MBytes.h"
#include "comm/Frames.h"
#include "sim/SimNetwork.h"

#include <QVector>
#include <optional>

namespace voltaris::test {

inline Transport::LineSettings line(qint32 baud) {
    Transport::LineSettings s;
    s.baudRate = baud;
    return s;
}

// Sends one request and returns what comes back.
inline QByteArray ask(SimNetwork& net, const QByteArray& request, qint32 baud = 9600,
                      qint64 nowMs = 0) {
    return net.handleRequest(request, line(baud), nowMs).bytes;
}

// Reads `count` registers; nullopt when the reply is missing, has a bad CRC or is not a
// read reply of that length.
inline std::optional<QVector<qint16>> readWords(SimNetwork& net, quint8 address, quint16 reg,
                                                quint8 count, qint32 baud = 9600,
                                                qint64 nowMs = 0) {
    const QByteArray r = ask(net, BuildReadRequest(address, reg, count), baud, nowMs);
    if (r.size() != ReadReplyLength(count) || !VerifyFrameCRC(r) || r.at(1) != 0x04)
        return std::nullopt;
    return ReplyWords(r, count);
}

inline std::optional<qint16> readWord(SimNetwork& net, quint8 address, quint16 reg,
                                      qint32 baud = 9600, qint64 nowMs = 0) {
    const auto w = readWords(net, address, reg, 1, baud, nowMs);
    if (!w)
        return std::nullopt;
    return w->at(0);
}

// Writes one register; true when the instrument echoed the request.
inline bool writeWord(SimNetwork& net, quint8 address, quint16 reg, qint16 value,
                      qint32 baud = 9600, qint64 nowMs = 0) {
    const QByteArray req = BuildWriteRequest(address, reg, value);
    return ask(net, req, baud, nowMs) == req;
}

// The exception code of a reply, or -1 when it is no exception reply.
inline int exceptionCode(const QByteArray& reply) {
    if (reply.size() != 5 || !VerifyFrameCRC(reply) || !(static_cast<quint8>(reply.at(1)) & 0x80))
        return -1;
    return static_cast<quint8>(reply.at(2));
}

// Live value v from the 122 measurement words (registers 0..121).
inline float liveSingle(const QVector<qint16>& words, int v) {
    return LiveSingle(words.at(2 * v), words.at(2 * v + 1));
}
inline qint32 liveCounter(const QVector<qint16>& words, int v) {
    return LiveCounter(words.at(2 * v), words.at(2 * v + 1));
}

// All 122 measurement words as the live window reads them: 11 reads of 12 from 0.
inline QVector<qint16> readLive(SimNetwork& net, quint8 address, qint64 nowMs, qint32 baud = 9600) {
    QVector<qint16> words;
    for (int start = 0; start <= 120; start += 12) {
        const auto w = readWords(net, address, static_cast<quint16>(start), 12, baud, nowMs);
        if (!w)
            return {};
        words += *w;
    }
    words.resize(122);
    return words;
}

}  // namespace voltaris::test
