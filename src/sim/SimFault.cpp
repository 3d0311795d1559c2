#include "sim/SimFault.h"

#include "base/Errors.h"

#include <QStringList>
#include <array>
#include <utility>

namespace voltaris {

namespace {

constexpr std::array<std::pair<SimFault, const char*>, 8> kNames{{
    {SimFault::None, "none"},
    {SimFault::Silent, "silent"},
    {SimFault::BadCrc, "badcrc"},
    {SimFault::Garbage, "garbage"},
    {SimFault::ShortReply, "short"},
    {SimFault::Delay, "delay"},
    {SimFault::LineError, "lineerror"},
    {SimFault::Unplug, "unplug"},
}};

int parseCount(const QString& text, const QString& part) {
    bool ok = false;
    const int n = part.toInt(&ok);
    if (!ok || n < 0)
        throw VoltarisError(
            QStringLiteral("Bad fault \"%1\": \"%2\" is not a count of 0 or more").arg(text, part));
    return n;
}

}  // namespace

QString SimFaultName(SimFault fault) {
    for (const auto& [f, name] : kNames) {
        if (f == fault)
            return QString::fromLatin1(name);
    }
    return {};
}

std::optional<SimFault> SimFaultFromName(const QString& name) {
    const QString lower = name.trimmed().toLower();
    for (const auto& [f, n] : kNames) {
        if (lower == QLatin1String(n))
            return f;
    }
    return std::nullopt;
}

SimFaultSpec ParseSimFault(const QString& text) {
    const QStringList parts = text.split(u':');
    const auto fault = SimFaultFromName(parts.at(0));
    if (!fault || *fault == SimFault::None) {
        QStringList names;
        for (SimFault f : AllSimFaults())
            names << SimFaultName(f);
        throw VoltarisError(QStringLiteral("Unknown fault \"%1\"; known faults: %2")
                                .arg(parts.at(0), names.join(QStringLiteral(", "))));
    }
    SimFaultSpec faultSpec;
    faultSpec.fault = *fault;
    if (faultSpec.fault == SimFault::Delay) {
        if (parts.size() > 3)
            throw VoltarisError(
                QStringLiteral("Bad fault \"%1\": expected delay[:MS[:K]]").arg(text));
        faultSpec.delayMs = parts.size() > 1 ? parseCount(text, parts.at(1)) : kDefaultFaultDelayMs;
        faultSpec.count = parts.size() > 2 ? parseCount(text, parts.at(2)) : 0;
    } else {
        if (parts.size() > 2)
            throw VoltarisError(QStringLiteral("Bad fault \"%1\": expected %2[:K]")
                                    .arg(text, SimFaultName(faultSpec.fault)));
        faultSpec.count = parts.size() > 1 ? parseCount(text, parts.at(1)) : 0;
    }
    return faultSpec;
}

const QList<SimFault>& AllSimFaults() {
    static const QList<SimFault> all{SimFault::Silent,     SimFault::BadCrc, SimFault::Garbage,
                                     SimFault::ShortReply, SimFault::Delay,  SimFault::LineError,
                                     SimFault::Unplug};
    return all;
}

}  // namespace voltaris
