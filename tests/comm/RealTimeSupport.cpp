#include "RealTimeSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

namespace voltaris::test {

Pty::Pty() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return;
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        ::close(m_master);
        m_master = -1;
        return;
    }
    m_slave = QString::fromLocal8Bit(::ptsname(m_master));
}

Pty::~Pty() {
    closeMaster();
}

void Pty::write(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0)
            return;
        done += n;
    }
}

QByteArray Pty::read(int count, int ms) {
    QByteArray out;
    QElapsedTimer t;
    t.start();
    while (out.size() < count && t.elapsed() < ms) {
        // Let the code under test write what it has queued.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        pollfd pfd{m_master, POLLIN, 0};
        if (::poll(&pfd, 1, 5) <= 0 || !(pfd.revents & POLLIN))
            continue;
        char buf[256];
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0)
            out.append(buf, n);
    }
    return out;
}

void Pty::closeMaster() {
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

}  // namespace voltaris::test
