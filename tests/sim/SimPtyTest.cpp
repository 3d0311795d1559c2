// End-to-end tests of the voltaris-sim executable on a pseudo-terminal and over TCP, with
// an independent Modbus master (mbpoll) and with a plain termios client.
#include "TestSupport.h"

#include "base/Clock.h"
#include "comm/CWirrel.h"
#include "comm/Frames.h"
#include "comm/LinkExchange.h"
#include "comm/WirrelObj.h"
#include "sim/SimProcess.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpSocket>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace voltaris;
using namespace voltaris::test;

namespace {

// voltaris-sim built beside the tests.
class SimProcess : public voltaris::SimProcess {
public:
    explicit SimProcess(const QStringList& args)
        : voltaris::SimProcess(QStringLiteral(VOLTARIS_SIM_EXE), args) {}
};

struct MasterRun {
    int exitCode = -1;
    QString output;
};

MasterRun mbpoll(const QString& device, const QStringList& args, const QStringList& values = {}) {
    const QString exe = QStandardPaths::findExecutable(QStringLiteral("mbpoll"));
    if (exe.isEmpty())
        return {-2, QStringLiteral("mbpoll is not installed (scripts/deps.sh installs it)")};
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(exe, QStringList{QStringLiteral("-m"), QStringLiteral("rtu"), QStringLiteral("-P"),
                             QStringLiteral("none"), QStringLiteral("-1"), QStringLiteral("-0"),
                             QStringLiteral("-o"), QStringLiteral("0.5")} +
                     args + QStringList{device} + values);
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return {-3, QStringLiteral("mbpoll did not end")};
    }
    return {p.exitCode(), QString::fromLocal8Bit(p.readAll())};
}

// The value mbpoll printed for register `reg`, or nothing.
std::optional<int> printed(const MasterRun& run, int reg) {
    const QRegularExpression re(QStringLiteral("\\[%1\\]:\\s+(-?\\d+)").arg(reg));
    const auto m = re.match(run.output);
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toInt();
}

// A plain serial client on the pseudo-terminal, as a program using termios would be.
class TermiosClient {
public:
    explicit TermiosClient(const QString& path) {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY);
    }
    ~TermiosClient() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool ok() const { return m_fd >= 0; }
    void setSpeed(speed_t speed) {
        termios t{};
        tcgetattr(m_fd, &t);
        cfmakeraw(&t);
        cfsetspeed(&t, speed);
        tcsetattr(m_fd, TCSANOW, &t);
        tcflush(m_fd, TCIOFLUSH);
    }
    // Sends a request and collects what comes back within `waitMs`.
    QByteArray exchange(const QByteArray& request, qsizetype expected, int waitMs = 400) {
        if (::write(m_fd, request.constData(), request.size()) != request.size())
            return {};
        QByteArray got;
        while (got.size() < expected) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, waitMs) <= 0)
                break;
            char buf[256];
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, n);
        }
        return got;
    }

private:
    int m_fd = -1;
};

TEST(SimPty, MbpollReadsTheModelAndWritesARegister) {
    TempDir dir;
    const QString log = dir.file(QStringLiteral("frames.jsonl"));
    SimProcess sim({QStringLiteral("--pty"), QStringLiteral("--instrument"),
                    QStringLiteral("KM6.1.x.R2.KX@3:19200"), QStringLiteral("--log"), log});
    const QString pty = sim.firstLine();
    ASSERT_TRUE(pty.startsWith(QStringLiteral("/dev/"))) << pty.toStdString();
    const QStringList at = {QStringLiteral("-a"), QStringLiteral("3"), QStringLiteral("-b"),
                            QStringLiteral("19200")};
    const QStringList input = {QStringLiteral("-t"), QStringLiteral("3"), QStringLiteral("-c"),
                               QStringLiteral("1"), QStringLiteral("-r")};

    MasterRun r = mbpoll(pty, at + input + QStringList{QStringLiteral("211")});
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_EQ(printed(r, 211), 0x24);
    r = mbpoll(pty, at + input + QStringList{QStringLiteral("223")});
    EXPECT_EQ(printed(r, 223), 4) << r.output.toStdString();

    // One holding register written with function 0x06, then read back as the program does.
    r = mbpoll(pty,
               at + QStringList{QStringLiteral("-t"), QStringLiteral("4"), QStringLiteral("-r"),
                                QStringLiteral("416")},
               {QStringLiteral("4")});
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    r = mbpoll(pty, at + input + QStringList{QStringLiteral("416")});
    EXPECT_EQ(printed(r, 416), 4) << r.output.toStdString();

    EXPECT_EQ(sim.stop(), 0);
    const QList<QByteArray> lines = readFile(log).trimmed().split('\n');
    bool sawWrite = false;
    for (const QByteArray& l : lines) {
        const QJsonObject o = QJsonDocument::fromJson(l).object();
        sawWrite |= o.value(QStringLiteral("dir")).toString() == QLatin1String("rx") &&
                    o.value(QStringLiteral("bytes"))
                        .toString()
                        .startsWith(QStringLiteral("03 06 01 a0 00 04"));
    }
    EXPECT_TRUE(sawWrite) << readFile(log).constData();
}

TEST(SimPty, MbpollAtAnotherSpeedGetsNoAnswer) {
    SimProcess sim({QStringLiteral("--pty"), QStringLiteral("--instrument"),
                    QStringLiteral("KM6.1.x.R2.KX@1:9600")});
    const QString pty = sim.firstLine();
    ASSERT_FALSE(pty.isEmpty());
    for (const char* baud : {"4800", "19200", "38400"}) {
        const MasterRun r =
            mbpoll(pty, {QStringLiteral("-a"), QStringLiteral("1"), QStringLiteral("-b"),
                         QLatin1String(baud), QStringLiteral("-t"), QStringLiteral("3"),
                         QStringLiteral("-r"), QStringLiteral("211")});
        EXPECT_NE(r.exitCode, 0) << baud << r.output.toStdString();
        EXPECT_FALSE(printed(r, 211)) << baud;
    }
    const MasterRun r =
        mbpoll(pty, {QStringLiteral("-a"), QStringLiteral("1"), QStringLiteral("-b"),
                     QStringLiteral("9600"), QStringLiteral("-t"), QStringLiteral("3"),
                     QStringLiteral("-r"), QStringLiteral("211")});
    EXPECT_EQ(printed(r, 211), 0x24) << r.output.toStdString();
}

TEST(SimPty, FollowsTheSpeedTheProgramSetsAndChangesItsOwn) {
    SimProcess sim({QStringLiteral("--pty"), QStringLiteral("--instrument"),
                    QStringLiteral("KM6.1.x.S1.KX@1:9600")});
    TermiosClient c(sim.firstLine());
    ASSERT_TRUE(c.ok());
    const QByteArray req = BuildReadRequest(1, 211);
    c.setSpeed(B38400);
    EXPECT_TRUE(c.exchange(req, 7).isEmpty());
    c.setSpeed(B9600);
    EXPECT_EQ(c.exchange(req, 7), AppendCRC(QByteArray::fromHex("0104020024")));
    // 418 = 3: the echo goes out at 38400, which a 9600 receiver cannot read.
    const QByteArray toFast = BuildWriteRequest(1, 418, 3);
    const QByteArray echo = c.exchange(toFast, 8);
    EXPECT_NE(echo, toFast);
    EXPECT_TRUE(c.exchange(req, 7).isEmpty());
    c.setSpeed(B38400);
    EXPECT_EQ(c.exchange(req, 7).size(), 7);
}

TEST(SimPty, StateSurvivesARestart) {
    TempDir dir;
    const QStringList args = {QStringLiteral("--pty"), QStringLiteral("--instrument"),
                              QStringLiteral("KM6.1.x.S1.KX@1:9600"), QStringLiteral("--state"),
                              dir.file(QStringLiteral("state.json"))};
    {
        SimProcess sim(args);
        TermiosClient c(sim.firstLine());
        ASSERT_TRUE(c.ok());
        c.setSpeed(B9600);
        const QByteArray w = BuildWriteRequest(1, 410, 250);
        ASSERT_EQ(c.exchange(w, 8), w);
        const QByteArray a = BuildWriteRequest(1, 417, 12);
        ASSERT_EQ(c.exchange(a, 8), a);
        EXPECT_EQ(sim.stop(), 0);
    }
    SimProcess sim(args);
    TermiosClient c(sim.firstLine());
    ASSERT_TRUE(c.ok());
    c.setSpeed(B9600);
    const QByteArray reply = c.exchange(BuildReadRequest(12, 410), 7);
    ASSERT_EQ(reply.size(), 7);
    EXPECT_EQ(ReplyWord(reply, 0), 250);
}

TEST(SimPty, UnplugTakesThePortAwayAndEnds) {
    SimProcess sim(
        {QStringLiteral("--pty"), QStringLiteral("--fault"), QStringLiteral("unplug:1")});
    const QString pty = sim.firstLine();
    TermiosClient c(pty);
    ASSERT_TRUE(c.ok());
    c.setSpeed(B9600);
    EXPECT_EQ(c.exchange(BuildReadRequest(1, 211), 7).size(), 7);
    EXPECT_TRUE(c.exchange(BuildReadRequest(1, 211), 7).isEmpty());
    ASSERT_TRUE(sim.process().waitForFinished(5000));
    EXPECT_EQ(sim.process().exitCode(), 0);
    EXPECT_FALSE(QFile::exists(pty) && TermiosClient(pty).ok());
}

TEST(SimPty, TheProgramsLinkFindsTheInstrumentAtItsSpeed) {
    // The serial port and the timers of the program need an application object.
    test::EnsureCoreApp();

    SimProcess sim({QStringLiteral("--pty"), QStringLiteral("--timing"),
                    QStringLiteral("--instrument"), QStringLiteral("KM5.3.x.RS.KX@17:19200")});
    ASSERT_FALSE(sim.firstLine().isEmpty());
    Clock& clock = Clock::real();
    WirrelObj component(clock);
    StandaloneLink standalone(clock, component);
    CWirrel& link = standalone.link;
    link.setPortName(sim.firstLine());
    const auto exchange = [&](quint8 address) {
        return standalone.exchange(BuildReadRequest(address, 211), 7);
    };
    // The baud search of the program: 38400, then 19200, one short try per address.
    ASSERT_TRUE(link.OpenRs232(1, 4, 0, 0)) << link.OpenErrorText().toStdString();
    link.setTimeOutRx(500);
    link.setMaxErrorTimeOut(1);
    EXPECT_EQ(exchange(17), CWirrel::leTimeOut);
    link.CloseRs232();
    ASSERT_TRUE(link.OpenRs232(1, 5, 0, 0));
    EXPECT_EQ(exchange(16), CWirrel::leTimeOut);
    EXPECT_EQ(exchange(17), CWirrel::leOk);
    EXPECT_EQ(link.FrameRx(), AppendCRC(QByteArray::fromHex("1104020021")));
    link.CloseRs232();
}

TEST(SimPty, BadUsageEndsWithStatus2) {
    QProcess p;
    p.start(QStringLiteral(VOLTARIS_SIM_EXE),
            {QStringLiteral("--pty"), QStringLiteral("--fault"), QStringLiteral("zap")});
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(p.readAllStandardError().contains("zap"));
    p.start(QStringLiteral(VOLTARIS_SIM_EXE), {QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().contains("--instrument MODEL[@ADDRESS][:BAUD]"));
}

TEST(SimTcp, CarriesRtuFramesAtTheGatewaySpeed) {
    SimProcess sim({QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--instrument"),
                    QStringLiteral("KM6.1.x.RS.KX@4:19200"), QStringLiteral("--instrument"),
                    QStringLiteral("KM6.1.x.S1.KX@5:9600")});
    const QString url = sim.firstLine();
    const QRegularExpression re(QStringLiteral("^tcp://127\\.0\\.0\\.1:(\\d+)$"));
    const auto m = re.match(url);
    ASSERT_TRUE(m.hasMatch()) << url.toStdString();
    QTcpSocket s;
    s.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(m.captured(1).toInt()));
    ASSERT_TRUE(s.waitForConnected(5000));
    const auto exchange = [&s](const QByteArray& req, qsizetype n) {
        s.write(req);
        s.waitForBytesWritten(1000);
        QByteArray got;
        while (got.size() < n && s.waitForReadyRead(400))
            got += s.readAll();
        return got;
    };
    EXPECT_EQ(exchange(BuildReadRequest(4, 223), 7), AppendCRC(QByteArray::fromHex("0404020010")));
    // The gateway runs at the first instrument's speed: the 9600 instrument stays silent.
    EXPECT_TRUE(exchange(BuildReadRequest(5, 223), 7).isEmpty());
    // Two requests in one segment are both answered.
    EXPECT_EQ(exchange(BuildReadRequest(4, 211) + BuildReadRequest(4, 223), 14).size(), 14);
}

}  // namespace
