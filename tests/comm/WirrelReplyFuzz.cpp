#include "WirrelReplyFuzz.h"

#include "LinkTestSupport.h"

namespace voltaris::test {

namespace {

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool atEnd() const { return m_pos >= m_size; }
    quint8 byte() { return atEnd() ? 0 : m_data[m_pos++]; }
    QByteArray bytes(size_t n) {
        n = std::min(n, m_size - std::min(m_pos, m_size));
        QByteArray out(reinterpret_cast<const char*>(m_data + m_pos), qsizetype(n));
        m_pos += n;
        return out;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

QList<ScriptedTransport::Step> script(Reader& in) {
    static const Transport::Fault faults[] = {Transport::Fault::LineError, Transport::Fault::Other,
                                              Transport::Fault::EndOfFile,
                                              Transport::Fault::Unplugged};
    QList<ScriptedTransport::Step> steps;
    while (!in.atEnd() && steps.size() < 24) {
        const quint8 h = in.byte();
        switch (h >> 6) {
            case 0:
            case 1: {
                const QByteArray bytes = in.bytes(h & 0x7F);
                const int delay = in.byte() * 20;
                const int pieces = 1 + in.byte() % 4;
                steps.append(ScriptedTransport::reply(bytes, delay, pieces));
                break;
            }
            case 2:
                steps.append(ScriptedTransport::fault(faults[h & 3], ((h >> 2) & 0xF) * 50));
                break;
            default:
                steps.append(ScriptedTransport::silent());
                break;
        }
    }
    return steps;
}

constexpr qint64 kLimitMs = 120000;

}  // namespace

FuzzOutcome FuzzWirrelReply(const uint8_t* data, size_t size) {
    FuzzOutcome out;
    if (size < 2)
        return out;
    Reader in(data, size);
    const qint16 expected = qint16(1 + in.byte() % 40);
    const quint8 options = in.byte();
    // 0x20: adaptive; otherwise 0x01 chooses fast or classic.
    const LinkMode mode = (options & 0x20)   ? LinkMode::Adaptive
                          : (options & 0x01) ? LinkMode::Fast
                                             : LinkMode::Classic;
    const bool verify = !(options & 0x02);
    const qint16 maxTimeOuts = qint16(1 + ((options >> 2) & 0x03));
    const bool cancel = options & 0x10;
    const bool scan = options & 0x40;
    const qint32 commMode = (options & 0x80) ? 0 : 1;

    ScriptedLink l(verify);
    l.link.setLinkMode(mode);
    l.link.setMaxErrorTimeOut(maxTimeOuts);
    if (scan)
        l.link.setTimeOutRx(500);
    if (!l.open()) {
        out.violation = QStringLiteral("the scripted line did not open");
        return out;
    }
    l.line.pushAll(script(in));
    if (cancel)
        l.clock.callLater(1000, [&l] { l.link.setCancelTxRx(true); });

    const QByteArray request = BuildReadRequest(1, kRegModelHigh, 1);
    for (int round = 0; round < 2; ++round) {
        const int sentBefore = int(l.line.sent().size());
        const qint32 error = l.exchange(request, expected, commMode, kLimitMs);
        const int sent = int(l.line.sent().size()) - sentBefore;
        if (round == 0) {
            out.error = error;
            out.transmissions = sent;
        }
        if (l.link.TxRxInProgress())
            out.violation = QStringLiteral("exchange still running after %1 ms").arg(kLimitMs);
        else if (error < CWirrel::leOk || error > CWirrel::leCRC)
            out.violation = QStringLiteral("error code %1").arg(error);
        else if (sent > maxTimeOuts + 4)
            out.violation = QStringLiteral("%1 transmissions").arg(sent);
        else if (l.timeOut->isEnabled() || l.rs232Manager->isEnabled())
            out.violation = QStringLiteral("a timer still runs between exchanges");
        else if (error == CWirrel::leOk && l.link.FrameRx().size() != expected)
            out.violation = QStringLiteral("reply of %1 bytes taken").arg(l.link.FrameRx().size());
        else if (error == CWirrel::leOk && verify && !VerifyFrameCRC(l.link.FrameRx()))
            out.violation = QStringLiteral("reply with a bad CRC taken");
        if (!out.violation.isEmpty())
            return out;
        if (error == CWirrel::leOk && verify) {
            // What the windows do with an accepted read reply.
            const QByteArray rx = l.link.FrameRx();
            const int words = rx.size() >= 5 ? (int(rx.size()) - 5) / 2 : 0;
            const QVector<qint16> w = ReplyWords(rx, words);
            if (!w.isEmpty())
                (void)LiveSingle(w.first(), w.last());
        }
    }
    return out;
}

}  // namespace voltaris::test
