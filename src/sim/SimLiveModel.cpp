#include "sim/SimLiveModel.h"

#include "base/MBytes.h"
#include "variables/VariableCatalogue.h"

#include <algorithm>
#include <cmath>

namespace voltaris {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr int kDemandFirst = 32;
constexpr int kDemandCount = 11;  // codes 32..42
constexpr double kMaxStepS = 1.0;
constexpr int kMaxSteps = 2000;
constexpr double kDemandEveryS = 10.0;  // demand values move slowly: sample them less often

double wave(double t, double periodS, double phase) {
    return std::sin(kTwoPi * t / periodS + phase);
}

// Phase-to-phase voltage of two phase voltages 120 degrees apart.
double lineToLine(double a, double b) {
    return std::sqrt(a * a + b * b + a * b);
}

// Asymmetry in percent: spread of the values over their mean.
double asymmetry(double a, double b, double c) {
    const double mean = (a + b + c) / 3.0;
    if (mean <= 0)
        return 0;
    return (std::max({a, b, c}) - std::min({a, b, c})) / mean * 100.0;
}

const std::array<quint8, SimLiveModel::kValueCount>& systemMasks() {
    static const std::array<quint8, SimLiveModel::kValueCount> masks = [] {
        std::array<quint8, SimLiveModel::kValueCount> m{};
        const VariableCatalogue& cat = VariableCatalogue::standard();
        for (int code = 0; code < SimLiveModel::kValueCount; ++code)
            m[code] = cat.systemMask(code);
        return m;
    }();
    return masks;
}

qint32 wrapCounter(double units, double scale, qint64 wrap) {
    const double n = std::floor(units * scale);
    if (!(n >= 0))
        return 0;
    return static_cast<qint32>(static_cast<qint64>(std::fmod(n, static_cast<double>(wrap))));
}

}  // namespace

SimLiveModel::SimLiveModel(double seed, qint64 nowMs) : m_seed(seed) {
    // A meter that has been in service for a while: counters and extremes already hold
    // something, and the load ran before the simulator started.
    m_counters = {12345.6, 4567.8, 1234.5, 456.7, 3456.78};
    m_lastT = nowMs / 1000.0;
    restartExtremes(m_lastT - 3600.0);
    for (double t = m_lastT - 3600.0; t <= m_lastT; t += 60.0)
        sample(instant(t), demand(t), true);
}

bool SimLiveModel::present(int code) const {
    if (code < 0 || code >= kValueCount || m_setup.system < 0 || m_setup.system > 7)
        return false;
    return (systemMasks()[code] >> m_setup.system) & 1u;
}

void SimLiveModel::setSetup(const SimMeasureSetup& setup, qint64 nowMs) {
    advanceTo(nowMs);
    const bool rescaled = setup.system != m_setup.system || setup.ratioTA != m_setup.ratioTA ||
                          setup.ratioTV != m_setup.ratioTV ||
                          setup.highVoltageClass != m_setup.highVoltageClass;
    m_setup = setup;
    // Extremes of another wiring or scale would be meaningless from now on.
    if (rescaled)
        restartExtremes(m_lastT);
}

void SimLiveModel::setAlarms(const QList<SimAlarm>& alarms, bool out1IsAlarm, bool out2IsAlarm,
                             qint64 nowMs) {
    advanceTo(nowMs);
    m_alarms.clear();
    for (const SimAlarm& a : alarms) {
        AlarmState s;
        s.alarm = a;
        s.active = a.activeAtStartup;
        m_alarms.append(s);
    }
    m_outIsAlarm[0] = out1IsAlarm;
    m_outIsAlarm[1] = out2IsAlarm;
    stepAlarms(m_lastT, values(m_lastT));
}

SimLiveModel::Instant SimLiveModel::instant(double t) const {
    Instant x{};
    const int sys = m_setup.system;
    const bool balanced = sys == 3 || sys == 4;
    const int phases = sys == 1 ? 1 : sys == 2 ? 2 : 3;
    const double tt = t + m_seed;
    // Secondary nominal values: 230 V or 57.7 V phase to neutral, 5 A current transformers.
    const double vNom = (m_setup.highVoltageClass ? 230.0 : 57.735) * m_setup.ratioTV / 10.0;
    const double iNom = 5.0 * m_setup.ratioTA;
    const double load = 0.62 + 0.18 * wave(tt, 600, 0) + 0.06 * wave(tt, 73, 1.3);
    static constexpr double kDv[3] = {0, 0.006, -0.004};
    static constexpr double kDi[3] = {0, -0.07, 0.08};
    static constexpr double kDpf[3] = {0, -0.02, 0.015};

    double v[3] = {0, 0, 0};
    double re = 0;
    double im = 0;
    for (int k = 0; k < phases; ++k) {
        const int kk = balanced ? 0 : k;
        v[k] = vNom * (1 + 0.008 * wave(tt, 97, 2.0 * kk) + (balanced ? 0 : kDv[k]));
        const double i = iNom * load * (1 + (balanced ? 0 : kDi[k] + 0.03 * wave(tt, 130, kk)));
        const double pf = 0.92 + 0.04 * wave(tt, 420, 0.9 * kk) + (balanced ? 0 : kDpf[k]);
        const double s = v[k] * i;
        x[k] = v[k];
        x[6 + k] = i;
        x[10 + k] = s * pf;
        x[13 + k] = s;
        x[16 + k] = s * std::sqrt(1 - pf * pf);
        x[20 + k] = pf;
        const double angle = -kTwoPi * k / 3.0 - std::acos(pf);
        re += i * std::cos(angle);
        im += i * std::sin(angle);
        x[23] += v[k] / phases;
        x[25] += x[10 + k];
        x[26] += s;
        x[27] += x[16 + k];
    }
    x[9] = std::hypot(re, im);
    if (phases == 3) {
        x[3] = lineToLine(v[0], v[1]);
        x[4] = lineToLine(v[1], v[2]);
        x[5] = lineToLine(v[2], v[0]);
        x[24] = (x[3] + x[4] + x[5]) / 3.0;
        x[19] = -1.0;  // the instrument's "sequence correct"
        x[30] = asymmetry(v[0], v[1], v[2]);
        x[31] = asymmetry(x[3], x[4], x[5]);
    } else if (phases == 2) {
        x[3] = lineToLine(v[0], v[1]);
        x[24] = x[3];
    }
    x[28] = x[26] > 0 ? x[25] / x[26] : 0;
    x[29] = 50.0 + 0.03 * wave(tt, 45, 0);
    return x;
}

std::array<double, 11> SimLiveModel::demand(double t) const {
    std::array<double, kDemandCount> d{};
    // Sliding averages over the integration times, by Simpson's rule; after a demand reset
    // the window starts at the reset, so the values build up again.
    const auto average = [this, t](double windowS, const auto& pick) {
        const double from = std::max(t - windowS, m_demandSince);
        if (from >= t)
            return std::array<double, 3>{};
        constexpr int n = 12;
        const double h = (t - from) / n;
        std::array<double, 3> sum{};
        for (int j = 0; j <= n; ++j) {
            const double w = (j == 0 || j == n) ? 1 : (j % 2 ? 4 : 2);
            const auto p = pick(instant(from + j * h));
            for (int q = 0; q < 3; ++q)
                sum[q] += w * p[q];
        }
        for (double& s : sum)
            s = s * h / 3.0 / windowS;
        return sum;
    };
    const double tCorr = std::max(1, m_setup.intTimeCorr) * 60.0;
    const double tPot = std::max(1, m_setup.intTimePot) * 60.0;
    const auto amps = average(tCorr, [](const Instant& x) {
        return std::array<double, 3>{x[6], x[7], x[8]};
    });
    std::array<double, 7> pw{};
    {
        // Seven power averages share one window; evaluate the load once per point.
        const double from = std::max(t - tPot, m_demandSince);
        if (from < t) {
            constexpr int n = 12;
            const double h = (t - from) / n;
            for (int j = 0; j <= n; ++j) {
                const double w = (j == 0 || j == n) ? 1 : (j % 2 ? 4 : 2);
                const Instant x = instant(from + j * h);
                const double p[7] = {x[10], x[11], x[12], x[13], x[14], x[15], 0};
                for (int q = 0; q < 6; ++q)
                    pw[q] += w * p[q];
                pw[6] += w * x[25];
                d[10] += w * x[26];
            }
            for (double& s : pw)
                s = s * h / 3.0 / tPot;
            d[10] = d[10] * h / 3.0 / tPot;
        }
    }
    d[0] = amps[0];
    d[1] = amps[1];
    d[2] = amps[2];
    for (int q = 0; q < 6; ++q)
        d[3 + q] = pw[q];
    d[9] = pw[6];
    return d;
}

void SimLiveModel::restartExtremes(double t) {
    const Instant x = instant(t);
    const auto d = demand(t);
    m_extremes[0] = std::max({x[6], x[7], x[8]});
    m_extremes[1] = std::max({d[0], d[1], d[2]});
    for (int k = 0; k < 3; ++k) {
        m_extremes[2 + k] = x[6 + k];
        m_extremes[5 + k] = x[10 + k];
        m_extremes[10 + k] = x[20 + k];
    }
    m_extremes[8] = d[9];
    m_extremes[9] = d[10];
}

void SimLiveModel::sample(const Instant& x, const std::array<double, 11>& d, bool withDemand) {
    auto& e = m_extremes;
    e[0] = std::max({e[0], x[6], x[7], x[8]});
    for (int k = 0; k < 3; ++k) {
        e[2 + k] = std::max(e[2 + k], x[6 + k]);
        e[5 + k] = std::max(e[5 + k], x[10 + k]);
        e[10 + k] = std::min(e[10 + k], x[20 + k]);
    }
    if (withDemand) {
        e[1] = std::max({e[1], d[0], d[1], d[2]});
        e[8] = std::max(e[8], d[9]);
        e[9] = std::max(e[9], d[10]);
    }
}

void SimLiveModel::advanceTo(qint64 nowMs) {
    const double t = nowMs / 1000.0;
    if (!(t > m_lastT))
        return;
    const double span = t - m_lastT;
    const int n = std::clamp(static_cast<int>(std::ceil(span / kMaxStepS)), 1, kMaxSteps);
    const double h = span / n;
    const int demandEvery = std::max(1, static_cast<int>(kDemandEveryS / h));
    bool alarmsWatchDemand = false;
    for (const AlarmState& a : m_alarms)
        alarmsWatchDemand |=
            a.alarm.variable >= kDemandFirst && a.alarm.variable < kDemandFirst + kDemandCount;

    Instant prev = instant(m_lastT);
    std::array<double, kDemandCount> dmd{};
    bool haveDemand = false;
    for (int i = 1; i <= n; ++i) {
        const double ti = (i == n) ? t : m_lastT + i * h;
        const Instant x = instant(ti);
        // Imported energy only: the simulated load never exports.
        const double hoursStep = h / 3600.0;
        const double kwh = std::max(0.0, (prev[25] + x[25]) / 2) / 1000.0 * hoursStep;
        const double kvarh = std::max(0.0, (prev[27] + x[27]) / 2) / 1000.0 * hoursStep;
        m_counters.activeTotal += kwh;
        m_counters.activePartial += kwh;
        m_counters.reactiveTotal += kvarh;
        m_counters.reactivePartial += kvarh;
        m_counters.hours += hoursStep;
        const bool withDemand = (i % demandEvery == 0) || i == n || alarmsWatchDemand;
        if (withDemand) {
            dmd = demand(ti);
            haveDemand = true;
        }
        sample(x, dmd, withDemand);
        if (!m_alarms.isEmpty()) {
            if (!haveDemand) {
                dmd = demand(ti);
                haveDemand = true;
            }
            std::array<double, kValueCount> v{};
            for (int c = 0; c < 32; ++c)
                v[c] = present(c) ? x[c] : 0;
            for (int c = 0; c < kDemandCount; ++c)
                v[kDemandFirst + c] = present(kDemandFirst + c) ? dmd[c] : 0;
            stepAlarms(ti, v);
        }
        prev = x;
    }
    m_lastT = t;
}

std::array<double, SimLiveModel::kValueCount> SimLiveModel::values(double t) const {
    std::array<double, kValueCount> v{};
    const Instant x = instant(t);
    for (int c = 0; c < 32; ++c)
        v[c] = x[c];
    const auto d = demand(t);
    for (int c = 0; c < kDemandCount; ++c)
        v[kDemandFirst + c] = d[c];
    v[43] = wrapCounter(m_counters.activeTotal, 10, kEnergyWrapTenths);
    v[44] = wrapCounter(m_counters.reactiveTotal, 10, kEnergyWrapTenths);
    v[45] = wrapCounter(m_counters.activePartial, 10, kEnergyWrapTenths);
    v[46] = wrapCounter(m_counters.reactivePartial, 10, kEnergyWrapTenths);
    v[47] = wrapCounter(m_counters.hours, 100, kHoursWrapHundredths);
    for (int c = 0; c < kExtremeCount; ++c)
        v[kExtremeFirst + c] = m_extremes[c];
    for (int c = 0; c < kValueCount; ++c) {
        if (!present(c))
            v[c] = 0;
    }
    return v;
}

double SimLiveModel::value(int code, qint64 nowMs) {
    advanceTo(nowMs);
    if (code < 0 || code >= kValueCount)
        return 0;
    return values(nowMs / 1000.0)[code];
}

std::array<qint16, SimLiveModel::kWordCount> SimLiveModel::registers(qint64 nowMs) {
    advanceTo(nowMs);
    const auto v = values(nowMs / 1000.0);
    std::array<qint16, kWordCount> words{};
    for (int c = 0; c < kValueCount; ++c) {
        const qint32 pattern = IsCounterValue(c) ? static_cast<qint32>(v[c])
                                                 : MBytes::LongFromSingle(static_cast<float>(v[c]));
        words[2 * c] = MBytes::LoWord(pattern);
        words[2 * c + 1] = MBytes::HiWord(pattern);
    }
    return words;
}

void SimLiveModel::stepAlarms(double t, const std::array<double, kValueCount>& v) {
    for (AlarmState& s : m_alarms) {
        const SimAlarm& a = s.alarm;
        if (!a.enabled)
            continue;
        const double x = (a.variable >= 0 && a.variable < kValueCount) ? v[a.variable] : 0;
        bool on = false;
        bool off = true;
        switch (a.type) {
            case 0:  // up: on above the upper limit, off again below the lower one
                on = x > a.upper;
                off = x < a.lower;
                break;
            case 1:  // down: on below the lower limit, off again above the upper one
                on = x < a.lower;
                off = x > a.upper;
                break;
            case 2:
                on = x >= a.lower && x <= a.upper;
                off = !on;
                break;
            case 3:
                on = x < a.lower || x > a.upper;
                off = !on;
                break;
            default:
                break;
        }
        if (s.active) {
            if (off) {
                s.active = false;
                s.pendingSince = -1;
            }
        } else if (on) {
            if (s.pendingSince < 0)
                s.pendingSince = t;
            if (t - s.pendingSince >= a.delayS - 1e-9)
                s.active = true;
        } else {
            s.pendingSince = -1;
        }
    }
    for (int out = 0; out < 2; ++out) {
        bool first = true;
        bool state = false;
        for (const AlarmState& s : m_alarms) {
            if (!s.alarm.enabled || s.alarm.output != out)
                continue;
            if (first)
                state = s.active;
            else
                state = s.alarm.orLogic ? (state || s.active) : (state && s.active);
            first = false;
        }
        m_outActive[out] = m_outIsAlarm[out] && state;
    }
}

bool SimLiveModel::alarmActive(int output) const {
    return output >= 0 && output < 2 && m_outActive[output];
}

void SimLiveModel::reset(ResetCode code, qint64 nowMs) {
    advanceTo(nowMs);
    const double t = m_lastT;
    switch (code) {
        case ResetCode::Total:
            m_counters = {};
            m_demandSince = t;
            restartExtremes(t);
            break;
        case ResetCode::Demand:
            m_demandSince = t;
            break;
        case ResetCode::EnergyAndHours:
            m_counters = {};
            break;
        case ResetCode::TotalEnergy:
            m_counters.activeTotal = 0;
            m_counters.reactiveTotal = 0;
            break;
        case ResetCode::PartialEnergy:
            m_counters.activePartial = 0;
            m_counters.reactivePartial = 0;
            break;
        case ResetCode::HourCounter:
            m_counters.hours = 0;
            break;
        case ResetCode::MaxMin:
            restartExtremes(t);
            break;
    }
}

}  // namespace voltaris
