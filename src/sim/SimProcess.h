#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace voltaris {

// voltaris-sim run as a child process. Its first line of output names the line to talk to:
// the pseudo-terminal's path, or tcp://HOST:PORT; firstLine() is empty when it did not start.
// The process is killed when the object goes.
class SimProcess {
public:
    SimProcess(const QString& program, const QStringList& args) {
        m_process.setProgram(program);
        m_process.setArguments(args);
        m_process.setReadChannel(QProcess::StandardOutput);
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return;
        while (!m_process.canReadLine() && m_process.waitForReadyRead(5000)) {
        }
        m_first = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~SimProcess() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    QString firstLine() const { return m_first; }
    // Ends it as Ctrl-C would and returns its exit code (-1 when it did not end).
    int stop() {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            return -1;
        return m_process.exitCode();
    }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
    QString m_first;
};

}  // namespace voltaris
