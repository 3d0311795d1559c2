#include "sim/SimMain.h"

#include "base/Clock.h"
#include "base/Errors.h"
#include "sim/SimModels.h"
#include "sim/SimOptions.h"
#include "sim/SimServers.h"
#include "sim/SimStateFile.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <memory>

namespace voltaris {

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

void printErr(const QString& text) {
    std::fputs(qPrintable(text + QLatin1Char('\n')), stderr);
    std::fflush(stderr);
}

void printOut(const QString& text) {
    std::fputs(qPrintable(text + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

constexpr int kStateSaveMs = 5000;

}  // namespace

int RunSim(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();

    SimOptions options;
    try {
        options = ParseSimOptions(args);
    } catch (const VoltarisError& e) {
        printErr(QStringLiteral("voltaris-sim: %1").arg(e.message()));
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(SimUsage()), stdout);
        return 0;
    }

    Clock& clock = Clock::real();
    SimNetwork network;
    std::unique_ptr<SimFrameLog> frameLog;
    try {
        for (const SimInstrumentSpec& s : options.instruments)
            network.addInstrument(s.model, static_cast<quint8>(s.address), s.speedCode,
                                  clock.nowMs());
        network.setAuxiliary(options.auxiliary);
        network.setTiming(options.timing);
        network.setFaults(options.faults);
        for (int i = 0; i < network.count(); ++i)
            for (const auto& [reg, value] : options.held)
                network.instrument(i).holdRegister(reg, value);
        if (!options.stateFile.isEmpty()) {
            for (const QString& w : LoadSimState(network, options.stateFile, clock.nowMs()))
                printErr(QStringLiteral("voltaris-sim: %1").arg(w));
        }
        if (!options.logFile.isEmpty()) {
            frameLog = std::make_unique<SimFrameLog>(options.logFile);
            network.setLogSink([log = frameLog.get()](const QJsonObject& e) { log->write(e); });
        }
    } catch (const VoltarisError& e) {
        printErr(QStringLiteral("voltaris-sim: %1").arg(e.message()));
        return 2;
    }

    const auto saveState = [&]() {
        if (options.stateFile.isEmpty())
            return;
        try {
            SaveSimState(network, options.stateFile, clock.nowMs());
            network.clearStateDirty();
        } catch (const VoltarisError& e) {
            printErr(QStringLiteral("voltaris-sim: %1").arg(e.message()));
        }
    };
    const auto finish = [&]() {
        saveState();
        app.quit();
    };

    std::unique_ptr<SimPtyServer> pty;
    std::unique_ptr<SimTcpServer> tcp;
    try {
        if (options.mode == SimOptions::Mode::Pty) {
            pty = std::make_unique<SimPtyServer>(network);
            pty->start();
            QObject::connect(pty.get(), &SimPtyServer::unplugged, &app, [&] {
                printErr(QStringLiteral("voltaris-sim: %1 unplugged").arg(pty->path()));
                finish();
            });
            printOut(pty->path());
        } else {
            const qint32 baud = options.lineBaud != 0 ? options.lineBaud : network.lineBaud(0);
            tcp = std::make_unique<SimTcpServer>(network, baud);
            tcp->start(options.listenAddress, options.tcpPort);
            QObject::connect(tcp.get(), &SimTcpServer::unplugged, &app, [&] {
                printErr(QStringLiteral("voltaris-sim: %1 unplugged").arg(tcp->url()));
                finish();
            });
            printOut(tcp->url());
        }
    } catch (const VoltarisError& e) {
        printErr(QStringLiteral("voltaris-sim: %1").arg(e.message()));
        return 1;
    }
    for (int i = 0; i < network.count(); ++i) {
        const SimInstrument& inst = network.instrument(i);
        const QString name = SimModelName(inst.model());
        printErr(QStringLiteral("voltaris-sim: %1 (0x%2) at address %3, %4 baud")
                     .arg(name.isEmpty() ? QStringLiteral("model") : name)
                     .arg(inst.model(), 8, 16, QLatin1Char('0'))
                     .arg(network.lineAddress(i))
                     .arg(network.lineBaud(i)));
    }

    // Signals end the run through the event loop, so the state is saved on the way out.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) {
        printErr(QStringLiteral("voltaris-sim: cannot set up signal handling"));
        return 1;
    }
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [&] {
        char c;
        [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], &c, 1);
        finish();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);

    QTimer saver;
    if (!options.stateFile.isEmpty()) {
        QObject::connect(&saver, &QTimer::timeout, &app, [&] {
            if (network.stateDirty())
                saveState();
        });
        saver.start(kStateSaveMs);
        saveState();
    }

    const int status = app.exec();
    ::close(g_signalPipe[0]);
    ::close(g_signalPipe[1]);
    return status;
}

}  // namespace voltaris
