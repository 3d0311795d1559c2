#include "shell/DemoNetwork.h"

#include <QDir>

#include "comm/Ports.h"

namespace voltaris::shell {

DemoNetwork::~DemoNetwork() {
    SetPortOverride(0, QString());
    if (m_sim.state() != QProcess::NotRunning) {
        m_sim.terminate();
        if (!m_sim.waitForFinished(3000))
            m_sim.kill();
        m_sim.waitForFinished(1000);
    }
}

bool DemoNetwork::Start(const QString& binDir, QString* error) {
    const QString program = QDir(binDir).filePath(QStringLiteral("voltaris-sim"));
    const QString model = QStringLiteral("KM6.1.x.R2.KX");
    QStringList args{QStringLiteral("--pty")};
    for (int address = 1; address <= 3; ++address)
        args << QStringLiteral("--instrument")
             << QStringLiteral("%1@%2:38400").arg(model).arg(address);
    m_sim.setProcessChannelMode(QProcess::SeparateChannels);
    m_sim.start(program, args);
    // The simulator prints its terminal's path as its first line.
    if (!m_sim.waitForStarted(5000) || !m_sim.waitForReadyRead(5000) || !m_sim.canReadLine()) {
        m_sim.waitForReadyRead(2000);
    }
    m_port = QString::fromLocal8Bit(m_sim.readLine()).trimmed();
    if (m_port.isEmpty()) {
        *error = QStringLiteral("%1 did not start: %2")
                     .arg(QDir::toNativeSeparators(program),
                          m_sim.errorString() + QLatin1Char(' ') +
                              QString::fromLocal8Bit(m_sim.readAllStandardError()).trimmed());
        return false;
    }
    SetPortOverride(0, m_port);
    return true;
}

}  // namespace voltaris::shell
