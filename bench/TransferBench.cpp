// Transfer timings against voltaris-sim with real line timing over a pseudo-terminal at
// 38400 baud: a type-4 configuration with 16 alarms (classic, adaptive - the default - and fast
// link) and a network of 8 instruments, each beside the physical minimum for the same frames. The
// live cycle has a benchmark of its own (LiveCycleBench).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <utility>

#include "BenchSupport.h"

#include "archive/Archive.h"
#include "base/Clock.h"
#include "base/DataFolder.h"
#include "comm/CWirrel.h"
#include "comm/WirrelObj.h"
#include "model/CCommConfig.h"
#include "model/CNetworkAddMsgSetup.h"
#include "model/Configuration.h"
#include "transfer/TransferProcedure.h"

using namespace voltaris;

namespace {

// Writes configuration `id` to instruments 1..count (one instrument: manual address 1) and
// prints the time beside the physical minimum of the frames the simulator saw.
double transmit(bench::LoggedSim& sim, Archive& archive, qint32 id, int count, LinkMode mode,
                const char* what) {
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
    p.link().setPortName(sim.path);
    p.link().setLinkMode(mode);
    QElapsedTimer t;
    t.start();
    const bool ok = p.exec().ok();
    const double ms = t.elapsed();
    const bench::LineFigures f = sim.takeFrames();
    if (!ok) {
        std::printf("%-36s failed\n", what);
        return -1;
    }
    std::printf(
        "%-36s %7.0f ms  minimum %6.0f ms  x%5.2f  %4d exchanges  %4.2f work ticks "
        "and %5.2f ms of link overhead each\n",
        what, ms, f.minimumMs, ms / f.minimumMs, f.requests,
        ms / f.requests / CWirrel::kWorkIntervalMs, (ms - f.simulatorMs) / f.requests);
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    DataFolder::set(dir.path());
    Archive::provision(dir.path(),
                       {QCoreApplication::applicationDirPath() + u'/' + Archive::TemplateFileName});
    Archive archive;
    archive.open(dir.filePath(Archive::ArchiveFileName));
    Configuration c;
    c.UsoInstr().setNomeProgramma(QStringLiteral("Bench"));
    c.UsoInstr().setInstrModel(0x00240004);
    c.DigOutConfig().setDigOut1(1);
    c.DigOutConfig().setNumAlarm1(16);
    const qint32 id = c.create(archive);

    std::printf(
        "writing a type-4 configuration with 16 alarms at 38400 baud; the instrument "
        "turns round in %.0f ms\n",
        bench::kSimTurnaroundMs);
    bool failed = false;
    {
        bench::LoggedSim sim({QStringLiteral("KM6.1.x.R2.KX@1:38400")});
        const std::pair<LinkMode, const char*> modes[] = {
            {LinkMode::Classic, "one instrument, classic link"},
            {LinkMode::Adaptive, "one instrument, adaptive link"},
            {LinkMode::Fast, "one instrument, fast link"}};
        for (const auto& [mode, what] : modes)
            failed |= transmit(sim, archive, id, 1, mode, what) < 0;
    }
    {
        QStringList eight;
        for (int a = 1; a <= 8; ++a)
            eight << QStringLiteral("KM6.1.x.R2.KX@%1:38400").arg(a);
        bench::LoggedSim sim(eight);
        for (const LinkMode mode : {LinkMode::Adaptive, LinkMode::Fast}) {
            const bool fast = mode == LinkMode::Fast;
            const double one = transmit(
                sim, archive, id, 1, mode,
                fast ? "one instrument of 8, fast link" : "one instrument of 8, adaptive link");
            const double ms =
                transmit(sim, archive, id, 8, mode,
                         fast ? "network of 8, fast link" : "network of 8, adaptive link");
            if (one > 0 && ms > 0)
                std::printf("network of 8 / (8 x one instrument) = %.2f\n", ms / (8 * one));
            failed |= one < 0 || ms < 0;
        }
    }
    return failed ? 1 : 0;
}
