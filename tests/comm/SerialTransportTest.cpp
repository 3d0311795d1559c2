#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>

#include "LinkTestSupport.h"
#include "RealTimeSupport.h"
#include "TestSupport.h"
#include "base/ResString.h"
#include "comm/PortMessages.h"
#include "comm/SerialTransport.h"

using namespace voltaris;
using namespace voltaris::test;
using Fault = Transport::Fault;

namespace {

class Serial : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureCoreApp();
        if (!pty.ok())
            GTEST_SKIP() << "no pseudo-terminals here";
    }
    Pty pty;
};

struct FaultLog {
    QList<Fault> faults;
    void watch(Transport& t) {
        QObject::connect(&t, &Transport::faultOccurred,
                         [this](Fault f, const QString&) { faults.append(f); });
    }
};

// A process that holds a lock for as long as the test wants.
struct OtherProgram {
    pid_t pid = -1;
    OtherProgram() {
        pid = ::fork();
        if (pid == 0) {
            ::pause();
            ::_exit(0);
        }
    }
    void end() {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        pid = -1;
    }
    ~OtherProgram() { end(); }
};

TEST(SerialPort, MissingDeviceIsMessage209) {
    EnsureCoreApp();
    SerialTransport t("/dev/ttyVoltarisMissing0");
    EXPECT_FALSE(t.open({}));
    EXPECT_EQ(t.lastFault(), Fault::NotFound);
    EXPECT_TRUE(t.lastError().startsWith(ResString(209))) << t.lastError().toStdString();
    EXPECT_TRUE(t.lastError().contains("/dev/ttyVoltarisMissing0"));
    EXPECT_FALSE(t.isOpen());
}

TEST_F(Serial, ReplyInPiecesIsCollectedByLength) {
    SerialTransport line(pty.slavePath());
    WirrelObj obj(Clock::real(), line);
    QList<qint32> codes;
    QObject::connect(&obj, &WirrelObj::CommStatus,
                     [&](qint32 code, const QString&) { codes.append(code); });
    obj.setBaudRate(6);
    obj.setPortOpen(true);
    ASSERT_TRUE(obj.PortOpen());
    EXPECT_EQ(line.settings().baudRate, 38400);

    const QByteArray request = BuildReadRequest(1, kRegModelHigh, 1);
    const QByteArray reply = ReadReply(1, {0x0023});
    obj.setBytesToReceive(7);
    obj.setTxFrame(request);
    obj.StartTxRx();
    EXPECT_EQ(pty.read(8), request);
    pty.write(reply.left(2));
    Pump(30);
    pty.write(reply.mid(2, 3));
    Pump(30);
    EXPECT_TRUE(codes.isEmpty());
    pty.write(reply.mid(5) + QByteArray("\x99\x98", 2));  // two bytes too many
    ASSERT_TRUE(WaitFor([&] { return !codes.isEmpty(); }));
    Pump(50);
    EXPECT_EQ(codes, QList<qint32>{WirrelObj::csRxComplete});
    EXPECT_EQ(obj.RxFrame(), reply);
}

TEST_F(Serial, StaleBytesAreFlushed) {
    SerialTransport line(pty.slavePath());
    ASSERT_TRUE(line.open({}));
    pty.write("stale");
    ::usleep(50 * 1000);  // in the terminal's buffer, not yet read by anyone
    line.discardInput();
    pty.write("fresh");
    QByteArray got;
    WaitFor([&] {
        got += line.readAll();
        return got.size() >= 5;
    });
    Pump(30);
    got += line.readAll();
    EXPECT_EQ(got, "fresh");
}

TEST_F(Serial, VanishedDeviceIsOneUnplug) {
    // Closing the master side takes the terminal's device node away, as unplugging a USB
    // adapter does.
    SerialTransport line(pty.slavePath());
    FaultLog log;
    log.watch(line);
    ASSERT_TRUE(line.open({}));
    pty.closeMaster();
    ASSERT_TRUE(WaitFor([&] { return !log.faults.isEmpty(); }));
    Pump(200);  // the hung-up terminal keeps signalling: still one report
    EXPECT_EQ(log.faults, QList<Fault>{Fault::Unplugged});
    EXPECT_FALSE(line.isOpen());
    EXPECT_EQ(line.lastError(), PortMessages::ConnectionLost(pty.slavePath()));
}

TEST_F(Serial, HungUpLineIsOneEndOfFile) {
    SerialTransport line(pty.slavePath());
    FaultLog log;
    log.watch(line);
    ASSERT_TRUE(line.open({}));
    // Hang the terminal up while its device stays: every read now returns end of file.
    const int fd = ::open(pty.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    const int hung = ::ioctl(fd, TIOCVHANGUP);
    ::close(fd);
    if (hung != 0)
        GTEST_SKIP() << "cannot hang up a terminal here";
    ASSERT_TRUE(WaitFor([&] { return !log.faults.isEmpty(); }));
    Pump(200);
    EXPECT_EQ(log.faults, QList<Fault>{Fault::EndOfFile});
    EXPECT_FALSE(line.isOpen());
    EXPECT_EQ(line.lastError(), PortMessages::ClosedAtOtherEnd(pty.slavePath()));
}

TEST_F(Serial, ControlLinesOfAPseudoTerminalAreRefusedButThePortStays) {
    SerialTransport line(pty.slavePath());
    FaultLog log;
    log.watch(line);
    ASSERT_TRUE(line.open({}));
    EXPECT_FALSE(line.setDtr(true));
    EXPECT_EQ(line.lastFault(), Fault::Unsupported);
    EXPECT_FALSE(line.setRts(false));
    EXPECT_FALSE(line.cts());
    EXPECT_FALSE(line.dsr());
    EXPECT_FALSE(line.cd());
    Pump(50);
    EXPECT_TRUE(line.isOpen());
    EXPECT_TRUE(log.faults.isEmpty());
    line.write("ok");
    EXPECT_EQ(pty.read(2), "ok");
}

TEST_F(Serial, LockFileOfARunningProgramIsNamed) {
    const QString lockFile = SerialTransport::lockFileCandidates(pty.slavePath()).first();
    if (!QFileInfo(QFileInfo(lockFile).path()).isWritable())
        GTEST_SKIP() << "cannot write " << lockFile.toStdString();
    OtherProgram other;
    // The way the classic serial programs write it: the process id in ten columns.
    writeFile(lockFile, QByteArray::number(other.pid).rightJustified(10, ' ') + "\n");

    SerialTransport line(pty.slavePath());
    EXPECT_FALSE(line.open({}));
    EXPECT_EQ(line.lastFault(), Fault::InUse);
    EXPECT_TRUE(line.lastError().startsWith(ResString(209)));
    EXPECT_TRUE(line.lastError().contains(lockFile)) << line.lastError().toStdString();
    EXPECT_TRUE(line.lastError().contains(QString::number(other.pid)));
    EXPECT_TRUE(QFile::exists(lockFile));  // not ours to remove

    // Once that program has gone, its lock is stale and the port opens.
    other.end();
    TraceCapture trace;
    EXPECT_TRUE(line.open({})) << line.lastError().toStdString();
    EXPECT_TRUE(trace.lines.contains("Rimosso file di lock orfano " + lockFile));
    line.close();
    EXPECT_FALSE(QFile::exists(lockFile));
}

TEST_F(Serial, PortOpenTwiceIsInUse) {
    SerialTransport first(pty.slavePath());
    SerialTransport second(pty.slavePath());
    ASSERT_TRUE(first.open({}));
    EXPECT_FALSE(second.open({}));
    EXPECT_EQ(second.lastFault(), Fault::InUse);
    EXPECT_TRUE(second.lastError().startsWith(ResString(209)));
}

TEST_F(Serial, PermissionDeniedNamesTheDeviceAndTheGroup) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to open the terminal as another user";
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(fds[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(100);
        SerialTransport line(pty.slavePath());
        const bool opened = line.open({});
        const QByteArray text = line.lastError().toUtf8();
        (void)!::write(fds[1], text.constData(), size_t(text.size()));
        ::_exit(opened ? 101 : int(line.lastFault()));
    }
    ::close(fds[1]);
    QByteArray text;
    char buf[512];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0)
        text.append(buf, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), int(Fault::PermissionDenied));
    const QString message = QString::fromUtf8(text);
    EXPECT_EQ(message, PortMessages::PermissionDenied(pty.slavePath()));
    EXPECT_TRUE(message.contains(pty.slavePath()));
    EXPECT_TRUE(message.contains("dialout"));
}

TEST(SerialPort, LockFileNamesFollowTheDevice) {
    const QStringList usb = SerialTransport::lockFileCandidates("/dev/ttyUSB0");
    EXPECT_EQ(usb.first(), "/var/lock/LCK..ttyUSB0");
    EXPECT_TRUE(usb.contains("/run/lock/LCK..ttyUSB0"));
    EXPECT_EQ(SerialTransport::lockFileCandidates("/dev/pts/4").first(), "/var/lock/LCK..pts_4");
    EXPECT_EQ(SerialTransport::lockFileCandidates("/tmp/x/tty").first(),
              "/var/lock/LCK.._tmp_x_tty");
}

}  // namespace
