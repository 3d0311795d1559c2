#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace voltaris {

// Cuts a byte stream from the line into request frames. RTU frames carry no length, so the
// length follows from the function code; a candidate whose CRC fails, or a byte that starts
// no known frame, is dropped one byte at a time until the stream is in step again. A pause
// longer than the gap drops an unfinished frame, as an instrument's receiver does.
class SimRequestParser {
public:
    explicit SimRequestParser(int gapMs = 100) : m_gapMs(gapMs) {}

    void feed(QByteArrayView bytes, qint64 nowMs);
    // The next complete frame with a good CRC; nullopt when none is complete yet.
    std::optional<QByteArray> next();
    void clear() { m_buffer.clear(); }

    // Bytes thrown away so far (bad CRC, unknown function, gap, overflow).
    qint64 droppedBytes() const { return m_dropped; }
    qsizetype pendingBytes() const { return m_buffer.size(); }

    // Length of the frame that starts `bytes`: 0 when more bytes are needed to tell,
    // -1 when the function code starts no frame this parser knows.
    static int FrameLength(QByteArrayView bytes);

    static constexpr qsizetype kMaxBuffer = 512;

private:
    QByteArray m_buffer;
    qint64 m_lastMs = 0;
    qint64 m_dropped = 0;
    int m_gapMs;
};

}  // namespace voltaris
