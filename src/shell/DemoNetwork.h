#pragma once

#include <QProcess>
#include <QString>

namespace voltaris::shell {

// The demonstration's instruments: voltaris-sim serving a network of three instruments on a
// pseudo-terminal for as long as this object lives, with COM1 standing for it (for this run
// only: the settings keep the installer's own port).
class DemoNetwork {
public:
    DemoNetwork() = default;
    ~DemoNetwork();
    DemoNetwork(const DemoNetwork&) = delete;
    DemoNetwork& operator=(const DemoNetwork&) = delete;

    // Starts the simulator found in `binDir`; false with `error` set when it does not start.
    bool Start(const QString& binDir, QString* error);
    // The pseudo-terminal the instruments answer on.
    QString Port() const { return m_port; }

private:
    QProcess m_sim;
    QString m_port;
};

}  // namespace voltaris::shell
