#include "sim/SimOptions.h"

#include "base/Errors.h"
#include "comm/Frames.h"
#include "sim/SimInstrument.h"
#include "sim/SimModels.h"

#include <QSet>

namespace voltaris {

namespace {

VoltarisError usage(const QString& text) {
    return VoltarisError(text);
}

int parseNumber(const QString& option, const QString& value, int min, int max) {
    bool ok = false;
    const int n = value.toInt(&ok);
    if (!ok || n < min || n > max)
        throw usage(QStringLiteral("%1 takes a number from %2 to %3, not \"%4\"")
                        .arg(option)
                        .arg(min)
                        .arg(max)
                        .arg(value));
    return n;
}

int speedCode(const QString& what, const QString& text) {
    bool ok = false;
    const int code = SimInstrument::SpeedCodeForBaud(text.toInt(&ok));
    if (!ok || code < 0)
        throw usage(QStringLiteral("%1: the speed must be 4800, 9600, 19200 or 38400, not \"%2\"")
                        .arg(what, text));
    return code;
}

}  // namespace

SimInstrumentSpec ParseSimInstrument(const QString& text) {
    SimInstrumentSpec instrumentSpec;
    instrumentSpec.address = 0;
    QString rest = text;
    const qsizetype colon = rest.lastIndexOf(u':');
    const qsizetype at = rest.lastIndexOf(u'@');
    if (colon >= 0 && colon > at) {
        instrumentSpec.speedCode = speedCode(text, rest.mid(colon + 1));
        rest.truncate(colon);
    }
    if (at >= 0) {
        bool ok = false;
        instrumentSpec.address = rest.mid(at + 1).toInt(&ok);
        if (!ok || instrumentSpec.address < 1 || instrumentSpec.address > 255)
            throw usage(QStringLiteral("%1: the address must be 1 to 255").arg(text));
        rest.truncate(at);
    }
    instrumentSpec.model = ResolveSimModel(rest);
    return instrumentSpec;
}

SimOptions ParseSimOptions(const QStringList& args) {
    SimOptions o;
    bool modeGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        const auto value = [&]() -> QString {
            if (i + 1 >= args.size())
                throw usage(QStringLiteral("%1 needs a value").arg(a));
            return args.at(++i);
        };
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
        } else if (a == QLatin1String("--pty") || a == QLatin1String("--tcp")) {
            if (modeGiven)
                throw usage(QStringLiteral("Give one of --pty and --tcp"));
            modeGiven = true;
            if (a == QLatin1String("--tcp")) {
                o.mode = SimOptions::Mode::Tcp;
                o.tcpPort = static_cast<quint16>(parseNumber(a, value(), 0, 65535));
            }
        } else if (a == QLatin1String("--listen")) {
            o.listenAddress = value();
        } else if (a == QLatin1String("--line-baud")) {
            const QString v = value();
            o.lineBaud = SimInstrument::BaudForSpeedCode(speedCode(a, v));
        } else if (a == QLatin1String("--instrument")) {
            o.instruments.append(ParseSimInstrument(value()));
        } else if (a == QLatin1String("--aux")) {
            o.auxiliary = true;
        } else if (a == QLatin1String("--timing")) {
            o.timing.enabled = true;
        } else if (a == QLatin1String("--turnaround")) {
            o.timing.enabled = true;
            o.timing.turnaroundMs = parseNumber(a, value(), 0, 10000);
        } else if (a == QLatin1String("--state")) {
            o.stateFile = value();
        } else if (a == QLatin1String("--log")) {
            o.logFile = value();
        } else if (a == QLatin1String("--hold")) {
            const QStringList parts = value().split(u'=');
            if (parts.size() != 2)
                throw VoltarisError(QStringLiteral("--hold takes REG=VALUE, not '%1'")
                                        .arg(parts.join(u'=')));
            o.held.append({static_cast<quint16>(parseNumber(a, parts[0], kRegParam, kRegConfigLast)),
                           static_cast<qint16>(parseNumber(a, parts[1], -32768, 65535))});
        } else if (a == QLatin1String("--fault")) {
            o.faults.append(ParseSimFault(value()));
        } else {
            throw usage(QStringLiteral("Unknown option \"%1\"; see --help").arg(a));
        }
    }
    if (o.help)
        return o;
    if (!modeGiven)
        throw usage(QStringLiteral("Give --pty or --tcp PORT; see --help"));
    if (o.instruments.isEmpty())
        o.instruments.append(ParseSimInstrument(QStringLiteral("KM5.1.x.R2.KX@1")));
    if (o.auxiliary && o.instruments.size() > 1)
        throw usage(
            QStringLiteral("The auxiliary port reaches one instrument; give one "
                           "--instrument with --aux"));
    if (o.lineBaud != 0 && o.mode != SimOptions::Mode::Tcp)
        throw usage(
            QStringLiteral("--line-baud is for --tcp; on a pseudo-terminal the "
                           "speed is the one the program sets"));
    for (const SimFaultSpec& f : o.faults) {
        if (f.fault == SimFault::LineError)
            throw usage(
                QStringLiteral("The lineerror fault exists only on the in-process "
                               "line; a pseudo-terminal or TCP cannot carry it"));
    }
    // Instruments without an address take the lowest one still free at their speed.
    QSet<QPair<int, int>> taken;
    for (const SimInstrumentSpec& s : o.instruments) {
        if (s.address == 0)
            continue;
        const QPair<int, int> key(s.address, s.speedCode);
        if (taken.contains(key))
            throw usage(QStringLiteral("Two instruments at address %1 and %2 baud")
                            .arg(s.address)
                            .arg(SimInstrument::BaudForSpeedCode(s.speedCode)));
        taken.insert(key);
    }
    for (SimInstrumentSpec& s : o.instruments) {
        if (s.address != 0)
            continue;
        int a = 1;
        while (a <= 255 && taken.contains(QPair<int, int>(a, s.speedCode)))
            ++a;
        if (a > 255)
            throw usage(QStringLiteral("No free address left"));
        s.address = a;
        taken.insert(QPair<int, int>(a, s.speedCode));
    }
    return o;
}

QString SimUsage() {
    return QStringLiteral(
        "Usage: voltaris-sim (--pty | --tcp PORT) [options]\n"
        "\n"
        "Simulates Zel instruments on a serial line: one instrument, an RS485 network or the\n"
        "auxiliary port, answering read (0x04) and write (0x06) requests in RTU framing.\n"
        "\n"
        "Line:\n"
        "  --pty                 serve on a new pseudo-terminal; its path is the first line\n"
        "                        printed. An instrument answers only while the program has\n"
        "                        set the terminal to its speed.\n"
        "  --tcp PORT            serve RTU frames over TCP, as a serial-to-Ethernet gateway\n"
        "                        (0: any free port); tcp://HOST:PORT is the first line printed\n"
        "  --listen ADDRESS      TCP: address to listen on (default 127.0.0.1)\n"
        "  --line-baud BAUD      TCP: speed of the gateway's serial line\n"
        "                        (default: the first instrument's speed)\n"
        "\n"
        "Instruments:\n"
        "  --instrument MODEL[@ADDRESS][:BAUD]\n"
        "                        repeatable; MODEL is a catalogue name (KM6.1.x.R2.KX) or an\n"
        "                        identifier (0x00240004); ADDRESS 1..255 (default: the next\n"
        "                        free one from 1); BAUD 4800, 9600, 19200 or 38400 (default\n"
        "                        9600). Without it: KM5.1.x.R2.KX@1:9600.\n"
        "  --aux                 auxiliary port: the instrument answers address 255 at 4800\n"
        "                        baud\n"
        "\n"
        "Behaviour:\n"
        "  --timing              real line timing: a reply is complete after the request's\n"
        "                        and the reply's time on the wire plus the turnaround\n"
        "  --turnaround MS       turnaround of the instrument (default 5; implies --timing)\n"
        "  --state FILE          keep the instruments' configuration, address, speed,\n"
        "                        counters and extremes in FILE across restarts (JSON)\n"
        "  --log FILE            append one JSON line per frame received or sent\n"
        "  --hold REG=VALUE      repeatable; configuration register REG (409..592) reads\n"
        "                        VALUE whatever is written: an instrument that does not\n"
        "                        take a setting\n"
        "  --fault NAME[:K]      repeatable; inject a fault into the first K answered\n"
        "                        requests (no K: into every one):\n"
        "                          silent       the instrument does not answer\n"
        "                          badcrc       the reply's CRC is wrong\n"
        "                          garbage      noise instead of the reply\n"
        "                          short        only half of the reply arrives\n"
        "                          delay[:MS[:K]]  the reply comes MS later (default 4000)\n"
        "                          unplug[:K]   the port goes away after K answered requests\n"
        "                                       and the simulator ends\n"
        "  -h, --help            show this text\n"
        "\n"
        "Registers: 0..121 live values (61 values, singles low word first; 43..47 counters\n"
        "as 32-bit integers in tenths and hundredths), 211/223 model, 259/260 alarm states,\n"
        "409..592 configuration (420, 421, 424 read 0), 255 = 0xC0C0 before and 263 = 0\n"
        "after writing the output module (419, 422, 423, 449..592), 417 address,\n"
        "418 speed code (0..3; the reply goes out at the new speed), 8430 resets (code 0..6\n"
        "in the high byte).\n"
        "\n"
        "Exit status: 0 ended by a signal or an unplug fault, 1 the line could not be set up,\n"
        "2 bad usage or a bad state file.\n");
}

}  // namespace voltaris
