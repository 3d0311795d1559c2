#include "sim/SimNetwork.h"

#include "base/Errors.h"
#include "comm/Frames.h"

#include <QJsonArray>
#include <cmath>

namespace voltaris {

namespace {

constexpr quint8 kAuxAddress = 255;
constexpr qint32 kAuxBaud = 4800;

QString hexBytes(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' '));
}

// Deterministic noise of `n` bytes whose CRC is certainly wrong.
QByteArray noise(qsizetype n, quint32 seed) {
    QByteArray out(n, '\0');
    quint32 x = seed * 2654435761u + 0x9E3779B9u;
    for (qsizetype i = 0; i < n; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        out[i] = static_cast<char>(x >> 24);
    }
    if (n >= 3 && VerifyFrameCRC(out))
        out[n - 1] = static_cast<char>(out[n - 1] ^ 0x01);
    return out;
}

void spoilCrc(QByteArray& bytes) {
    if (!bytes.isEmpty())
        bytes[bytes.size() - 1] = static_cast<char>(bytes.back() ^ 0xFF);
}

}  // namespace

SimInstrument& SimNetwork::addInstrument(quint32 model, quint8 address, int speedCode,
                                         qint64 nowMs) {
    if (address < 1)
        throw VoltarisError(QStringLiteral("Instrument address %1 is outside 1..255").arg(address));
    const qint32 baud = SimInstrument::BaudForSpeedCode(speedCode);
    if (baud == 0)
        throw VoltarisError(QStringLiteral("Speed code %1 is outside 0..3").arg(speedCode));
    for (const auto& other : m_instruments) {
        if (other->address() == address && other->baudRate() == baud)
            throw VoltarisError(
                QStringLiteral("Two instruments would answer at address %1 at %2 baud")
                    .arg(address)
                    .arg(baud));
    }
    // Each instrument sees its own load, a few minutes apart.
    const double seed = 211.0 * static_cast<double>(m_instruments.size());
    m_instruments.push_back(
        std::make_unique<SimInstrument>(model, address, speedCode, nowMs, seed));
    return *m_instruments.back();
}

quint8 SimNetwork::lineAddress(int i) const {
    if (m_auxiliary && i == 0)
        return kAuxAddress;
    return m_instruments.at(i)->address();
}

qint32 SimNetwork::lineBaud(int i) const {
    if (m_auxiliary && i == 0)
        return kAuxBaud;
    return m_instruments.at(i)->baudRate();
}

namespace {

// Milliseconds `bytes` take on the wire, unrounded: start bit, data bits, parity, stop bits.
double exactWireMs(qsizetype bytes, const Transport::LineSettings& line) {
    if (line.baudRate <= 0 || bytes <= 0)
        return 0;
    const int bits = 1 + line.dataBits + (line.parity == Transport::Parity::None ? 0 : 1) +
                     (line.stopBits == Transport::StopBits::Two ? 2 : 1);
    return static_cast<double>(bytes) * bits * 1000.0 / line.baudRate;
}

}  // namespace

int SimNetwork::WireTimeMs(qsizetype bytes, const Transport::LineSettings& line) {
    return static_cast<int>(std::ceil(exactWireMs(bytes, line)));
}

void SimNetwork::logDiscarded(const QByteArray& bytes, qint64 nowMs) {
    if (bytes.isEmpty())
        return;
    log(QJsonObject{{QStringLiteral("t"), nowMs},
                    {QStringLiteral("dir"), QStringLiteral("rx")},
                    {QStringLiteral("bytes"), hexBytes(bytes)},
                    {QStringLiteral("note"), QStringLiteral("discarded: no frame")}});
}

SimReply SimNetwork::handleRequest(const QByteArray& frame, const Transport::LineSettings& line,
                                   qint64 nowMs) {
    SimReply reply;
    if (m_timing.enabled)
        reply.requestWireMs = WireTimeMs(frame.size(), line);
    QJsonObject rx{{QStringLiteral("t"), nowMs},
                   {QStringLiteral("dir"), QStringLiteral("rx")},
                   {QStringLiteral("baud"), line.baudRate},
                   {QStringLiteral("bytes"), hexBytes(frame)}};
    const auto silent = [&](const QString& why) {
        rx[QStringLiteral("note")] = QStringLiteral("silent: ") + why;
        log(rx);
        return reply;
    };
    if (frame.size() < 4 || !VerifyFrameCRC(frame))
        return silent(QStringLiteral("bad CRC"));
    const SimRequest request = SimRequest::fromFrame(frame);
    if (line.dataBits != 8 || line.parity != Transport::Parity::None)
        return silent(QStringLiteral("the line is not 8 data bits without parity"));

    QList<int> responders;
    int atOtherSpeed = -1;
    for (int i = 0; i < count(); ++i) {
        if (m_auxiliary && i > 0)
            break;
        if (lineAddress(i) != request.address)
            continue;
        if (lineBaud(i) == line.baudRate)
            responders.append(i);
        else
            atOtherSpeed = i;
    }
    if (responders.isEmpty()) {
        if (atOtherSpeed >= 0)
            return silent(QStringLiteral("address %1 listens at %2 baud, the line runs at %3")
                              .arg(request.address)
                              .arg(lineBaud(atOtherSpeed))
                              .arg(line.baudRate));
        return silent(QStringLiteral("no instrument at address %1").arg(request.address));
    }

    // Faults count the requests that reached an instrument.
    const qint64 n = m_answered++;
    QList<SimFaultSpec> active;
    for (const SimFaultSpec& f : m_faults) {
        const bool applies =
            f.fault == SimFault::Unplug ? n >= f.count : (f.count == 0 || n < f.count);
        if (applies && f.fault != SimFault::None)
            active.append(f);
    }
    QJsonArray faultNames;
    for (const SimFaultSpec& f : active)
        faultNames.append(SimFaultName(f.fault));
    for (const SimFaultSpec& f : active) {
        // The request never reaches the instrument: nothing is carried out.
        if (f.fault == SimFault::Unplug) {
            reply.unplug = true;
            rx[QStringLiteral("note")] = QStringLiteral("unplugged");
            log(rx);
            return reply;
        }
        if (f.fault == SimFault::Silent)
            return silent(QStringLiteral("fault"));
    }

    Transport::LineSettings replyLine = line;
    QString note;
    for (int i : responders) {
        SimInstrument::Answer a = m_instruments.at(i)->answer(request, nowMs);
        m_dirty |= a.stateChanged;
        if (a.speedChanged && !(m_auxiliary && i == 0))
            replyLine.baudRate = m_instruments.at(i)->baudRate();
        if (reply.bytes.isEmpty()) {
            reply.bytes = a.reply;
            note = a.note;
        } else {
            // Two instruments talking at once: the receiver sees their bits mixed.
            for (qsizetype k = 0; k < a.reply.size(); ++k) {
                if (k < reply.bytes.size())
                    reply.bytes[k] = static_cast<char>(reply.bytes[k] | a.reply[k]);
                else
                    reply.bytes.append(a.reply[k]);
            }
            if (VerifyFrameCRC(reply.bytes))
                spoilCrc(reply.bytes);
            note = QStringLiteral("collision of %1 instruments").arg(responders.size());
        }
    }
    rx[QStringLiteral("note")] = note;
    log(rx);

    if (replyLine.baudRate != line.baudRate) {
        // Sent at another speed than the receiver's: it reads a different number of bytes,
        // none of them right.
        const qsizetype n2 =
            qMax<qsizetype>(1, reply.bytes.size() * line.baudRate / replyLine.baudRate);
        reply.bytes = noise(n2, static_cast<quint32>(replyLine.baudRate));
    }
    int extraMs = 0;
    for (const SimFaultSpec& f : active) {
        switch (f.fault) {
            case SimFault::BadCrc:
                spoilCrc(reply.bytes);
                break;
            case SimFault::Garbage:
                reply.bytes = noise(reply.bytes.size(), static_cast<quint32>(n));
                break;
            case SimFault::ShortReply:
                reply.bytes = reply.bytes.left(reply.bytes.size() / 2);
                break;
            case SimFault::Delay:
                extraMs += f.delayMs;
                break;
            case SimFault::LineError:
                reply.bytes.clear();
                reply.lineError = true;
                break;
            default:
                break;
        }
    }
    if (m_timing.enabled) {
        // Rounded up once for the whole exchange: rounding each frame would add up to a
        // millisecond per frame, a third of a short exchange at 38400 baud.
        reply.delayMs = static_cast<int>(
            std::ceil(exactWireMs(frame.size(), line) + m_timing.turnaroundMs +
                      exactWireMs(reply.bytes.isEmpty() ? 1 : reply.bytes.size(), replyLine)));
    }
    reply.delayMs += extraMs;

    QJsonObject tx{{QStringLiteral("t"), nowMs + reply.delayMs},
                   {QStringLiteral("dir"), QStringLiteral("tx")},
                   {QStringLiteral("baud"), replyLine.baudRate},
                   {QStringLiteral("bytes"), hexBytes(reply.bytes)},
                   {QStringLiteral("delay_ms"), reply.delayMs}};
    if (!faultNames.isEmpty())
        tx[QStringLiteral("faults")] = faultNames;
    if (reply.lineError)
        tx[QStringLiteral("note")] = QStringLiteral("line error");
    log(tx);
    return reply;
}

}  // namespace voltaris
