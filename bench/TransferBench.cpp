// Transfer timings against voltaris-sim with real line timing over a pseudo-terminal at
// 38400 baud: a type-4 configuration with 16 alarms (default and fast link), one live cycle,
// and a network of 8 instruments. Each time is printed beside the physical minimum for the
// same frames: 10 bits per byte, plus a silence of 3.5 characters per frame (1.75 ms above
// 19200 baud).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "archive/Archive.h"
#include "base/Clock.h"
#include "base/DataFolder.h"
#include "comm/CWirrel.h"
#include "comm/Frames.h"
#include "comm/TransferProcedure.h"
#include "comm/WirrelObj.h"
#include "model/CCommConfig.h"
#include "model/CNetworkAddMsgSetup.h"
#include "model/Configuration.h"

using namespace voltaris;

namespace {

constexpr double kBaud = 38400;

double frameMs(int bytes) {
    return bytes * 10 * 1000.0 / kBaud + 1.75;
}

// Wire time of one exchange: request and reply.
double exchangeMs(int requestBytes, int replyBytes) {
    return frameMs(requestBytes) + frameMs(replyBytes);
}

class Sim {
public:
    explicit Sim(int instruments) {
        QStringList args{"--pty", "--timing"};
        for (int a = 1; a <= instruments; ++a)
            args << "--instrument" << QStringLiteral("KM6.1.x.R2.KX@%1:38400").arg(a);
        m_p.start(QStringLiteral(VOLTARIS_SIM_EXE), args);
        m_p.waitForStarted(5000);
        while (!m_p.canReadLine() && m_p.waitForReadyRead(5000)) {
        }
        path = QString::fromLocal8Bit(m_p.readLine()).trimmed();
    }
    ~Sim() {
        m_p.kill();
        m_p.waitForFinished(5000);
    }
    QString path;

private:
    QProcess m_p;
};

// Writes configuration `id` to instruments 1..count (one instrument: manual address 1).
double transmit(Archive& archive, qint32 id, const QString& port, int count, bool fast,
                int& exchanges, double& minimumMs) {
    Clock& clock = Clock::real();
    WirrelObj component(clock);
    TransferProcedure p(clock, component, archive);
    CCommConfig comm;
    CNetworkAddMsgSetup network;
    comm.setInterfaceType(count > 1 ? 2 : 1);
    network.setModeConfig(count > 1 ? 1 : 0);
    network.setSelNetworkAdd(1);
    network.setNetworkAdd(1);
    network.setTotalInstrNetwork(static_cast<qint16>(count));
    p.setAction(TransferProcedure::WriteConfiguration);
    p.setIDProgramma(id);
    p.Create(comm, network);
    p.link().setPortName(port);
    p.link().setFastTick(fast);
    QElapsedTimer t;
    t.start();
    const bool ok = p.Run();
    const double ms = t.elapsed();
    if (!ok)
        std::fprintf(stderr, "transmission failed\n");
    // The search read, then per address: 2 model reads, 157 writes, 2 resets.
    const int writes = 8 + 1 + 3 + 128 + 16 + 1 + 2;
    exchanges = 1 + count * (2 + writes);
    minimumMs = exchangeMs(8, 7) * (1 + 2 * count) + exchangeMs(8, 8) * writes * count;
    return ms;
}

double liveCycle(const QString& port, bool fast, int& exchanges, double& minimumMs) {
    Clock& clock = Clock::real();
    WirrelObj component(clock);
    auto timeOut = clock.createTimer();
    auto manager = clock.createTimer();
    CWirrel link(clock);
    link.Create(*timeOut, *manager, component, -1);
    QObject::connect(&link, &CWirrel::VerifyCRC,
                     [](bool& ok, const QByteArray& f) { ok = VerifyFrameCRC(f); });
    link.setPortName(port);
    link.setFastTick(fast);
    if (!link.OpenRs232(1, 4, 0, 0))
        return -1;
    struct Read {
        quint16 reg;
        quint8 count;
    };
    QList<Read> reads{{kRegWiringSystem, 1}};
    for (int i = 0; i < 11; ++i)
        reads.push_back({static_cast<quint16>(12 * i), 12});
    reads.push_back({kRegOutputFunctions, 1});
    reads.push_back({kRegAlarmStates, 2});
    QElapsedTimer t;
    t.start();
    minimumMs = 0;
    for (const Read& r : reads) {
        link.setCommMode(1);
        link.setFrameTx(BuildReadRequest(1, r.reg, r.count));
        link.setByteToReceive(static_cast<qint16>(ReadReplyLength(r.count)));
        link.StartTxRx();
        while (link.TxRxInProgress())
            clock.yield();
        minimumMs += exchangeMs(8, ReadReplyLength(r.count));
    }
    const double ms = t.elapsed();
    link.CloseRs232();
    exchanges = int(reads.size());
    return ms;
}

void print(const char* what, double ms, double minimumMs, int exchanges) {
    std::printf("%-34s %8.0f ms   minimum %7.0f ms   x%.2f   %.2f work ticks per exchange\n", what,
                ms, minimumMs, ms / minimumMs, ms / exchanges / CWirrel::kWorkIntervalMs);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    DataFolder::set(dir.path());
    Archive::provision(dir.path(), {QStringLiteral(VOLTARIS_TEMPLATE_PATH)});
    Archive archive;
    archive.open(dir.filePath(Archive::ArchiveFileName));
    Configuration c;
    c.UsoInstr().setNomeProgramma(QStringLiteral("Bench"));
    c.UsoInstr().setInstrModel(0x00240004);
    c.DigOutConfig().setDigOut1(1);
    c.DigOutConfig().setNumAlarm1(16);
    const qint32 id = c.create(archive);

    int n = 0;
    double minimum = 0;
    {
        Sim sim(1);
        for (const bool fast : {false, true}) {
            const double ms = transmit(archive, id, sim.path, 1, fast, n, minimum);
            print(fast ? "type-4 configuration, fast link" : "type-4 configuration, default link",
                  ms, minimum, n);
        }
        for (const bool fast : {false, true}) {
            const double ms = liveCycle(sim.path, fast, n, minimum);
            print(fast ? "live cycle, fast link" : "live cycle, default link", ms, minimum, n);
        }
    }
    {
        Sim sim(8);
        const double one = transmit(archive, id, sim.path, 1, true, n, minimum);
        print("one instrument of 8, fast link", one, minimum, n);
        const double ms = transmit(archive, id, sim.path, 8, true, n, minimum);
        print("network of 8, fast link", ms, minimum, n);
        std::printf("network of 8 / (8 x one instrument) = %.2f\n", ms / (8 * one));
    }
    return 0;
}
