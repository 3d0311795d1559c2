#pragma once
// What the line benchmarks share: voltaris-sim started on a pseudo-terminal with real line
// timing, and the physical minimum time of frames on the wire.

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "sim/SimProcess.h"

namespace voltaris::bench {

// Time on the wire of one frame of `bytes` bytes: 10 bits per byte, plus the silence of 3.5
// characters that ends a frame (fixed at 1.75 ms above 19200 baud).
inline double wireMs(int bytes, double baud) {
    const double silence = baud > 19200 ? 1.75 : 3.5 * 10 * 1000.0 / baud;
    return bytes * 10 * 1000.0 / baud + silence;
}

// voltaris-sim's turnaround with real line timing: the time the instrument takes between
// the end of a request and the start of its reply.
inline constexpr double kSimTurnaroundMs = 5;

// What voltaris-sim itself takes for one exchange with real line timing: both frames' bits on
// the wire plus its turnaround (it keeps no silence between frames). No link can be faster
// against it; the difference is the link's own overhead.
inline double simExchangeMs(int requestBytes, int replyBytes, double baud) {
    return (requestBytes + replyBytes) * 10 * 1000.0 / baud + kSimTurnaroundMs;
}

// What went over the line: the requests the simulator took and the physical minimum time of
// those frames and their replies.
struct LineFigures {
    int requests = 0;
    double minimumMs = 0;
    double simulatorMs = 0;  // what the simulator itself takes for them (simExchangeMs)
};

// voltaris-sim (next to the benchmark) on a pseudo-terminal with real line timing and a frame
// log, running the given instruments ("MODEL@ADDRESS:BAUD") with `extra` arguments (faults);
// `path` is empty when it did not start.
class LoggedSim {
public:
    explicit LoggedSim(const QStringList& instruments, const QStringList& extra = {}) {
        QStringList args{QStringLiteral("--pty"), QStringLiteral("--timing"),
                         QStringLiteral("--log"), m_dir.filePath(QStringLiteral("frames.log"))};
        for (const QString& i : instruments)
            args << QStringLiteral("--instrument") << i;
        args << extra;
        m_sim = std::make_unique<SimProcess>(
            QCoreApplication::applicationDirPath() + QStringLiteral("/voltaris-sim"), args);
        path = m_sim->firstLine();
    }

    // The frames of the simulator's log since the last call, counted and timed.
    LineFigures takeFrames() {
        LineFigures f;
        QFile log(m_dir.filePath(QStringLiteral("frames.log")));
        if (!log.open(QIODevice::ReadOnly) || !log.seek(m_logOffset))
            return f;
        while (!log.atEnd()) {
            const QJsonObject e = QJsonDocument::fromJson(log.readLine()).object();
            if (e.value(QStringLiteral("note")).toString().startsWith(QStringLiteral("discarded")))
                continue;
            const int bytes = int(
                QByteArray::fromHex(e.value(QStringLiteral("bytes")).toString().toLatin1()).size());
            const double baud = e.value(QStringLiteral("baud")).toDouble();
            f.minimumMs += wireMs(bytes, baud);
            f.simulatorMs += bytes * 10 * 1000.0 / baud;
            if (e.value(QStringLiteral("dir")).toString() == QStringLiteral("rx")) {
                ++f.requests;
                f.simulatorMs += kSimTurnaroundMs;
            }
        }
        m_logOffset = log.pos();
        return f;
    }

    QString path;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SimProcess> m_sim;
    qint64 m_logOffset = 0;
};

}  // namespace voltaris::bench
