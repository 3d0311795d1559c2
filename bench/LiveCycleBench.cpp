// One live polling cycle against voltaris-sim with real line timing at 38400 baud over a
// pseudo-terminal, with the default link and the fast link, beside the physical minimum
// for the same frames. A plain program that prints its figures.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <cstdio>

#include "BenchSupport.h"

#include "base/Clock.h"
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
double measure(const QString& port, bool fast) {
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
    poller.setFastTick(fast);
    poller.setMaxCycles(kCycles + 1);
    QElapsedTimer timer;
    QObject::connect(&poller, &LivePoller::CycleShown, [&](qint64 cycle) {
        if (cycle == 1)
            timer.start();
    });
    if (poller.Run() != LivePoller::Outcome::Finished)
        return -1;
    return double(timer.elapsed()) / kCycles;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    bench::SimProcess sim({QStringLiteral("KM5.1.x.R2.KX@1:38400")});
    if (sim.path.isEmpty()) {
        out << "voltaris-sim did not start (build the voltaris-sim target)\n";
        return 1;
    }
    const QString port = sim.path;
    const double minimum = minimumCycleMs();
    const double tickBound = 14 * 2 * 200.0;  // two work ticks per exchange
    out << "one live cycle (14 exchanges) at 38400 baud, mean of " << kCycles << " cycles\n";
    out << QStringLiteral("  physical minimum      %1 ms\n").arg(minimum, 8, 'f', 1);
    const double tick = measure(port, false);
    const double fast = measure(port, true);
    out << QStringLiteral("  default link          %1 ms  (bound: %2 ms) %3\n")
               .arg(tick, 8, 'f', 1)
               .arg(tickBound, 0, 'f', 0)
               .arg(tick >= 0 && tick <= tickBound ? "ok" : "OVER");
    out << QStringLiteral("  fast link             %1 ms  (%2 x minimum, goal 1.5) %3\n")
               .arg(fast, 8, 'f', 1)
               .arg(fast / minimum, 0, 'f', 2)
               .arg(fast >= 0 && fast <= 1.5 * minimum ? "ok" : "OVER");
    return tick < 0 || fast < 0 ? 1 : 0;
}
