// The exchange cadence of the link against voltaris-sim with real line timing at 38400 baud
// over a pseudo-terminal: a run of reads of one register and of twelve registers with the
// classic link (200 ms work tick), the adaptive link (the default) and the fast link, and the
// adaptive link against an instrument whose first reply is damaged; each beside the physical
// minimum for the same frames. A plain program that prints its figures.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "BenchSupport.h"
#include "base/Clock.h"
#include "comm/CWirrel.h"
#include "comm/Frames.h"
#include "comm/LinkExchange.h"
#include "comm/WirrelObj.h"

using namespace voltaris;

namespace {

constexpr qint32 kBaudIndex = 4;  // 38400 in the link's table

struct Run {
    double ms = -1;
    int exchanges = 0;
    double minimumMs = 0;
    double simulatorMs = 0;
};

// `count` reads of `registers` registers from address 1; ms is -1 when an exchange failed.
Run exchanges(bench::LoggedSim& sim, LinkMode mode, int count, quint8 registers) {
    Clock& clock = Clock::real();
    WirrelObj component(clock);
    StandaloneLink standalone(clock, component);
    CWirrel& link = standalone.link;
    link.setPortName(sim.path);
    link.setLinkMode(mode);
    Run run;
    if (!link.OpenRs232(1, kBaudIndex, 0, 0))
        return run;
    const QByteArray request = BuildReadRequest(1, 0, registers);
    const int replyLength = ReadReplyLength(registers);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < count; ++i) {
        if (standalone.exchange(request, replyLength) != CWirrel::leOk) {
            link.CloseRs232();
            return run;
        }
    }
    run.ms = double(t.elapsed());
    link.CloseRs232();
    const bench::LineFigures f = sim.takeFrames();
    run.exchanges = f.requests;
    run.minimumMs = f.minimumMs;
    run.simulatorMs = f.simulatorMs;
    return run;
}

const char* modeName(LinkMode mode) {
    switch (mode) {
        case LinkMode::Adaptive:
            return "adaptive";
        case LinkMode::Fast:
            return "fast";
        case LinkMode::Classic:
            return "classic";
    }
    return "?";
}

// Prints one row; false when the run failed.
bool print(const char* what, const Run& r) {
    if (r.ms < 0) {
        std::printf("%-40s failed\n", what);
        return false;
    }
    std::printf("%-40s %7.0f ms %9.2f ms %9.2f ms %7.2fx %14.2f %11.2f ms\n", what, r.ms,
                r.ms / r.exchanges, r.minimumMs / r.exchanges, r.ms / r.minimumMs,
                r.ms / r.exchanges / CWirrel::kWorkIntervalMs,
                (r.ms - r.simulatorMs) / r.exchanges);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bench::LoggedSim sim({QStringLiteral("KM6.1.x.R2.KX@1:38400")});
    if (sim.path.isEmpty()) {
        std::fprintf(stderr, "voltaris-sim did not start (build the voltaris-sim target)\n");
        return 1;
    }
    std::printf("exchange cadence at 38400 baud against voltaris-sim (turnaround %.0f ms)\n",
                bench::kSimTurnaroundMs);
    std::printf("%-40s %9s %12s %12s %8s %14s %14s\n", "", "total", "per exchange", "minimum",
                "ratio", "ticks/exchange", "link overhead");
    bool failed = false;
    for (const quint8 registers : {quint8(1), quint8(12)}) {
        for (const LinkMode mode : {LinkMode::Classic, LinkMode::Adaptive, LinkMode::Fast}) {
            // The classic link spends whole work ticks: fewer exchanges keep the run short.
            const int count = mode == LinkMode::Classic ? 20 : 200;
            char what[64];
            std::snprintf(what, sizeof what, "%d x read %2d, %s link", count, registers,
                          modeName(mode));
            failed |= !print(what, exchanges(sim, mode, count, registers));
        }
    }
    {
        // The first reply comes with a bad CRC: the adaptive link goes classic at once.
        bench::LoggedSim damaged({QStringLiteral("KM6.1.x.R2.KX@1:38400")},
                                 {QStringLiteral("--fault"), QStringLiteral("badcrc:1")});
        failed |= !print("20 x read  1, adaptive, first reply bad",
                         exchanges(damaged, LinkMode::Adaptive, 20, 1));
    }
    std::printf(
        "link overhead: time per exchange beyond what the simulator itself takes (both\n"
        "frames' bits on the wire and its turnaround). Goals: classic link at most 2 work\n"
        "ticks per exchange; fast and adaptive link within 1.5x of the minimum.\n");
    return failed ? 1 : 0;
}
