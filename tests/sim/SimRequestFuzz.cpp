#include "SimRequestFuzz.h"

#include "comm/Frames.h"
#include "sim/SimNetwork.h"
#include "sim/SimRequestParser.h"

#include <cstdio>
#include <cstdlib>

namespace voltaris::test {

namespace {

void check(bool ok, const char* what, const QByteArray& request, const QByteArray& reply) {
    if (ok)
        return;
    std::fprintf(stderr, "broken: %s\nrequest %s\nreply   %s\n", what,
                 request.toHex(' ').constData(), reply.toHex(' ').constData());
    std::abort();
}

}  // namespace

int FuzzSimRequest(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    static constexpr qint32 kBauds[4] = {4800, 9600, 19200, 38400};
    Transport::LineSettings line;
    line.baudRate = kBauds[data[0] & 3];
    const QByteArray stream(reinterpret_cast<const char*>(data + 1),
                            static_cast<qsizetype>(size - 1));

    SimNetwork net;
    net.addInstrument(0x00240004, 1, data[0] & 3);  // outputs
    net.addInstrument(0x00230001, 2, data[0] & 3);  // serial module
    net.addInstrument(0x00230303, 3, 1);            // analogue outputs
    net.setAuxiliary(data[0] & 4);

    // The frames found must not depend on how the stream was cut.
    SimRequestParser whole;
    whole.feed(stream, 0);
    QList<QByteArray> frames;
    while (auto f = whole.next())
        frames.append(*f);
    SimRequestParser bytewise;
    QList<QByteArray> frames2;
    for (char c : stream) {
        bytewise.feed(QByteArrayView(&c, 1), 0);
        while (auto f = bytewise.next())
            frames2.append(*f);
    }
    check(frames == frames2, "frames depend on how the stream is cut", stream, {});

    qint64 now = 0;
    for (const QByteArray& frame : frames) {
        check(frame.size() >= 4 && VerifyFrameCRC(frame), "parser passed a bad frame", frame, {});
        const quint8 address = static_cast<quint8>(frame.at(0));
        int sharing = 0;
        for (int i = 0; i < net.count(); ++i)
            sharing += net.lineAddress(i) == address && net.lineBaud(i) == line.baudRate;
        const SimReply r = net.handleRequest(frame, line, now);
        now += 50;
        check(!r.unplug && !r.lineError && r.delayMs == 0, "fault without faults", frame, r.bytes);
        if (r.bytes.isEmpty())
            continue;
        check(sharing > 0, "answer from nobody", frame, r.bytes);
        check(r.bytes.size() <= 5 + 2 * 125, "reply too long", frame, r.bytes);
        const bool speedChange = frame.at(1) == kFuncWriteRegister &&
                                 static_cast<quint8>(frame.at(2)) == 0x01 &&
                                 static_cast<quint8>(frame.at(3)) == 0xA2;
        if (!VerifyFrameCRC(r.bytes)) {
            check(sharing > 1 || speedChange, "bad CRC from a single instrument", frame, r.bytes);
            continue;
        }
        check(r.bytes.at(0) == frame.at(0), "reply from another address", frame, r.bytes);
        const quint8 fn = static_cast<quint8>(r.bytes.at(1));
        if (fn & 0x80) {
            check(r.bytes.size() == 5 && (fn & 0x7F) == static_cast<quint8>(frame.at(1)),
                  "malformed exception", frame, r.bytes);
            const quint8 code = static_cast<quint8>(r.bytes.at(2));
            check(code >= 1 && code <= 4, "unknown exception code", frame, r.bytes);
        } else if (fn == kFuncReadRegisters) {
            const int count =
                static_cast<quint8>(frame.at(4)) << 8 | static_cast<quint8>(frame.at(5));
            check(r.bytes.size() == ReadReplyLength(count), "read reply length", frame, r.bytes);
        } else {
            check(fn == kFuncWriteRegister && r.bytes == frame.left(8), "write not echoed", frame,
                  r.bytes);
        }
    }
    return 0;
}

}  // namespace voltaris::test
