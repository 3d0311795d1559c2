#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <functional>

namespace voltaris::test {

// Runs the event loop until `done` holds or `ms` have passed; returns `done()`.
inline bool WaitFor(const std::function<bool()>& done, int ms = 2000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    return done();
}

// Runs the event loop for `ms`.
inline void Pump(int ms) {
    WaitFor([] { return false; }, ms);
}

// A pseudo-terminal pair: the test plays the instrument on the master side, the code under
// test opens the slave path like a serial device.
class Pty {
public:
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return m_master >= 0; }
    QString slavePath() const { return m_slave; }
    void write(const QByteArray& bytes);
    // What the slave side has sent, waiting up to `ms` for `count` bytes.
    QByteArray read(int count, int ms = 2000);
    void closeMaster();

private:
    int m_master = -1;
    QString m_slave;
};

}  // namespace voltaris::test
