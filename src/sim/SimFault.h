#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace voltaris {

// Faults the simulated line can inject. Tests loop over AllSimFaults() so that every
// consumer of the line is exercised against each of them.
enum class SimFault {
    None,
    Silent,      // the instrument does not answer
    BadCrc,      // the reply's CRC is wrong
    Garbage,     // the reply is replaced by noise of the same length
    ShortReply,  // only the first half of the reply arrives
    Delay,       // the reply comes `delayMs` later than it would
    LineError,   // the UART reports a line error instead of the reply (in-process line only)
    Unplug,      // the port goes away
};

// One injected fault. `count` limits it to the first `count` answered requests (0: all of
// them); for Unplug the port goes away once `count` requests have been answered.
struct SimFaultSpec {
    SimFault fault = SimFault::None;
    int count = 0;
    int delayMs = 0;

    bool operator==(const SimFaultSpec&) const = default;
};

inline constexpr int kDefaultFaultDelayMs = 4000;

// Command-line name of a fault: "silent", "badcrc", "garbage", "short", "delay",
// "lineerror", "unplug" ("none" for None).
QString SimFaultName(SimFault fault);
std::optional<SimFault> SimFaultFromName(const QString& name);

// Parses "NAME[:K]", or "delay[:MS[:K]]" (MS defaults to kDefaultFaultDelayMs).
// Throws VoltarisError naming the text when it is not of that form.
SimFaultSpec ParseSimFault(const QString& text);

// Every fault but None, in declaration order.
const QList<SimFault>& AllSimFaults();

}  // namespace voltaris
