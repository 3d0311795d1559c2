// One live polling cycle against voltaris-sim with real line timing at 38400 baud over a
// pseudo-terminal, with the classic, adaptive (default) and fast link, beside the physical
// minimum for the same frames. A plain program that prints its figures.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <cstdio>

#include "BenchSupport.h"

#include "base/Clock.h"
#include "comm/CWirrel.h"
#include "comm/Frames.h"
#include "comm/WirrelObj.h"
#include "livedata/LivePoller.h"
#include "model/CCommConfig.h"
#include "model/CNetworkAddMsgSetup.h"

using namespace voltaris;

namespace {

constexpr qint32 kBaud = 38400;
constexpr int kCycles = 5;

double wireMs(int bytes) {
    return bench::wireMs(bytes, kBaud);
}

double minimumCycleMs() {
    double ms = 0;
    for (const QByteArray& request : LivePoller::CycleRequests(1)) {
        const int count = quint8(request[5]);
        ms += wireMs(request.size()) + wireMs(ReadReplyLength(count));
    }
    return ms;
}

// Milliseconds per cycle after the first one was shown; -1 when polling failed.
double measure(const QString& port, LinkMode mode) {
    Clock& clock = Clock::real();
    WirrelObj component(clock);
    CCommConfig comm;
    comm.setInterfaceType(CCommConfig::SingleInstrument);
    CNetworkAddMsgSetup network;
    network.setSelNetworkAdd(1);
    network.setNetworkAdd(1);
    LivePoller poller(clock, component);
    poller.Create(comm, network);
    poller.setPortName(port);
    poller.setLinkMode(mode);
    poller.setMaxCycles(kCycles + 1);
    QElapsedTimer timer;
    QObject::connect(&poller, &LivePoller::CycleShown, [&](qint64 cycle) {
        if (cycle == 1)
            timer.start();
    });
    if (!poller.exec().ok())
        return -1;
    return double(timer.elapsed()) / kCycles;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    bench::LoggedSim sim({QStringLiteral("KM5.1.x.R2.KX@1:38400")});
    if (sim.path.isEmpty()) {
        out << "voltaris-sim did not start (build the voltaris-sim target)\n";
        return 1;
    }
    const QString port = sim.path;
    const double minimum = minimumCycleMs();
    const int exchanges = int(LivePoller::CycleRequests(1).size());
    out << "one live cycle (" << exchanges << " exchanges) at 38400 baud, mean of " << kCycles
        << " cycles; the instrument turns round in " << bench::kSimTurnaroundMs << " ms\n";
    out << QStringLiteral("  physical minimum      %1 ms\n").arg(minimum, 8, 'f', 1);
    const double tick = measure(port, LinkMode::Classic);
    const double adaptive = measure(port, LinkMode::Adaptive);
    const double fast = measure(port, LinkMode::Fast);
    double simulator = 0;
    for (const QByteArray& request : LivePoller::CycleRequests(1))
        simulator +=
            bench::simExchangeMs(int(request.size()), ReadReplyLength(quint8(request[5])), kBaud);
    const auto line = [&](const char* what, double ms) {
        out << QStringLiteral(
                   "  %1%2 ms  x%3 of the minimum  %4 work ticks and %5 ms of link "
                   "overhead per exchange\n")
                   .arg(QLatin1String(what), -25)
                   .arg(ms, 8, 'f', 1)
                   .arg(ms / minimum, 0, 'f', 2)
                   .arg(ms / exchanges / CWirrel::kWorkIntervalMs, 0, 'f', 2)
                   .arg((ms - simulator) / exchanges, 0, 'f', 2);
    };
    line("classic link", tick);
    line("adaptive link (default)", adaptive);
    line("fast link", fast);
    return tick < 0 || adaptive < 0 || fast < 0 ? 1 : 0;
}
