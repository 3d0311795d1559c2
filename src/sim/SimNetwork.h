#pragma once

#include "comm/Transport.h"
#include "sim/SimFault.h"
#include "sim/SimInstrument.h"

#include <QJsonObject>
#include <QList>
#include <functional>
#include <memory>

namespace voltaris {

// Line timing: without it replies come at once (plus any Delay fault); with it a reply is
// complete after the request's and the reply's time on the wire plus the turnaround.
struct SimTiming {
    bool enabled = false;
    int turnaroundMs = 5;
};

// What the line carries back for one request.
struct SimReply {
    QByteArray bytes;        // what arrives; empty: nothing
    int requestWireMs = 0;   // time the request takes on the wire
    int delayMs = 0;         // from the start of the request until the reply is complete
    bool lineError = false;  // the receiver reports a line error instead of bytes
    bool unplug = false;     // the port goes away
};

// Instruments sharing one line (a single instrument, an RS485 network, or the auxiliary
// port), with the faults injected on that line. Pure: bytes and the time in, reply out.
class SimNetwork {
public:
    using LogSink = std::function<void(const QJsonObject&)>;

    SimNetwork() = default;

    // Adds an instrument; throws VoltarisError on a bad address or speed code, or when
    // another instrument already answers at that address and speed.
    SimInstrument& addInstrument(quint32 model, quint8 address, int speedCode, qint64 nowMs = 0);
    int count() const { return static_cast<int>(m_instruments.size()); }
    SimInstrument& instrument(int i) { return *m_instruments.at(i); }

    // Auxiliary port: the first instrument answers address 255 at 4800 baud, whatever its
    // serial module holds.
    void setAuxiliary(bool on) { m_auxiliary = on; }
    bool auxiliary() const { return m_auxiliary; }

    void setFaults(const QList<SimFaultSpec>& faults) { m_faults = faults; }
    const QList<SimFaultSpec>& faults() const { return m_faults; }
    void setTiming(const SimTiming& timing) { m_timing = timing; }
    const SimTiming& timing() const { return m_timing; }
    // Receives one JSON object per frame received or sent.
    void setLogSink(LogSink sink) { m_log = std::move(sink); }

    // Line address and speed an instrument answers at.
    quint8 lineAddress(int i) const;
    qint32 lineBaud(int i) const;

    // One request frame as it arrived on a line with `line` settings at `nowMs`.
    SimReply handleRequest(const QByteArray& frame, const Transport::LineSettings& line,
                           qint64 nowMs);
    // Logs bytes the request parser threw away.
    void logDiscarded(const QByteArray& bytes, qint64 nowMs);

    // Requests that reached an instrument so far (what fault counts refer to).
    qint64 answeredCount() const { return m_answered; }
    // True once something that the state file keeps has changed; cleared by the saver.
    bool stateDirty() const { return m_dirty; }
    void clearStateDirty() { m_dirty = false; }

    // Time `bytes` take on the wire: start bit, data bits, parity, stop bits per byte.
    static int WireTimeMs(qsizetype bytes, const Transport::LineSettings& line);

private:
    void log(const QJsonObject& entry) const {
        if (m_log)
            m_log(entry);
    }

    std::vector<std::unique_ptr<SimInstrument>> m_instruments;
    bool m_auxiliary = false;
    QList<SimFaultSpec> m_faults;
    SimTiming m_timing;
    LogSink m_log;
    qint64 m_answered = 0;
    bool m_dirty = false;
};

}  // namespace voltaris
