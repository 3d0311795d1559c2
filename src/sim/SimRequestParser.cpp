#include "sim/SimRequestParser.h"

#include "comm/Frames.h"

namespace voltaris {

int SimRequestParser::FrameLength(QByteArrayView bytes) {
    if (bytes.size() < 2)
        return 0;
    const auto at = [&bytes](int i) { return static_cast<quint8>(bytes[i]); };
    switch (at(1)) {
        case 0x01:
        case 0x02:
        case 0x03:
        case 0x04:
        case 0x05:
        case 0x06:
        case 0x08:
            return 8;
        case 0x07:
        case 0x0B:
        case 0x0C:
        case 0x11:
            return 4;
        case 0x16:
            return 10;
        case 0x0F:
        case 0x10:  // address, function, start, count, byte count, data, CRC
            return bytes.size() < 7 ? 0 : 9 + at(6);
        case 0x17:
            return bytes.size() < 11 ? 0 : 13 + at(10);
        default:
            return -1;
    }
}

void SimRequestParser::feed(QByteArrayView bytes, qint64 nowMs) {
    if (!m_buffer.isEmpty() && nowMs - m_lastMs > m_gapMs) {
        m_dropped += m_buffer.size();
        m_buffer.clear();
    }
    m_lastMs = nowMs;
    m_buffer.append(bytes);
    if (m_buffer.size() > kMaxBuffer) {
        const qsizetype excess = m_buffer.size() - kMaxBuffer;
        m_dropped += excess;
        m_buffer.remove(0, excess);
    }
}

std::optional<QByteArray> SimRequestParser::next() {
    while (m_buffer.size() >= 2) {
        const int length = FrameLength(m_buffer);
        if (length == 0 || (length > 0 && m_buffer.size() < length))
            return std::nullopt;
        if (length > 0) {
            const QByteArray candidate = m_buffer.left(length);
            if (VerifyFrameCRC(candidate)) {
                m_buffer.remove(0, length);
                return candidate;
            }
        }
        m_buffer.remove(0, 1);
        ++m_dropped;
    }
    return std::nullopt;
}

}  // namespace voltaris
