#pragma once

#include "comm/Frames.h"

#include <QList>
#include <QtGlobal>
#include <array>

namespace voltaris {

// What the live values depend on: words of the parameter block and the model's class.
struct SimMeasureSetup {
    int system = 0;        // wiring system 0..4 (register 416)
    quint16 ratioTA = 1;   // CT ratio (register 410)
    quint16 ratioTV = 10;  // VT ratio in tenths (register 411)
    int intTimePot = 15;   // demand power integration, minutes (register 414)
    int intTimeCorr = 15;  // thermal current integration, minutes (register 415)
    bool highVoltageClass = true;

    bool operator==(const SimMeasureSetup&) const = default;
};

// One configured alarm, decoded from an alarm block of the memory map.
struct SimAlarm {
    int variable = 0;  // variable code watched
    int delayS = 0;    // the condition must hold this long before the alarm activates
    int type = 0;      // 0 up with hysteresis, 1 down with hysteresis, 2 in window, 3 out of window
    bool enabled = false;
    int output = 0;  // 0: output 1, 1: output 2
    bool orLogic = false;
    bool activeAtStartup = false;
    float lower = 0;
    float upper = 0;
};

// Energy and hour counters in their engineering units (kWh, kvarh, hours).
struct SimCounters {
    double activeTotal = 0;
    double reactiveTotal = 0;
    double activePartial = 0;
    double reactivePartial = 0;
    double hours = 0;
};

// A three-phase load as an instrument measures it, as a function of time: slowly moving
// voltages, currents and power factors scaled by the transformer ratios, demand values as
// sliding averages, maxima and minima, counters that integrate the power, and alarm states
// that follow the configured alarms. Everything is deterministic in the time given.
class SimLiveModel {
public:
    static constexpr int kValueCount = kLiveValueCount;  // 61
    static constexpr int kWordCount = 2 * kValueCount;   // registers 0..121
    static constexpr int kExtremeFirst = 48;             // codes 48..60
    static constexpr int kExtremeCount = 13;

    // `seed` shifts the load's phase so that instruments of one network differ.
    explicit SimLiveModel(double seed = 0, qint64 nowMs = 0);

    const SimMeasureSetup& setup() const { return m_setup; }
    // New measuring settings apply from `nowMs`; the counters keep what they counted so far.
    void setSetup(const SimMeasureSetup& setup, qint64 nowMs);
    // Alarms of the committed configuration; each starts in its power-on state.
    void setAlarms(const QList<SimAlarm>& alarms, bool out1IsAlarm, bool out2IsAlarm, qint64 nowMs);

    // Moves counters, extremes and alarm states on to `nowMs`; an earlier time does nothing.
    void advanceTo(qint64 nowMs);

    // The value of code 0..60 at `nowMs` in engineering units; counters 43..46 in tenths,
    // 47 in hundredths. Variables that the wiring system does not have read 0.
    double value(int code, qint64 nowMs);
    // Registers 0..121: value v in words 2v (low) and 2v + 1 (high); singles, counters as
    // signed 32-bit integers.
    std::array<qint16, kWordCount> registers(qint64 nowMs);
    // Register 259 or 260: the alarm of output 0 or 1 is active (only for an alarm output).
    bool alarmActive(int output) const;

    // Resets of register 8430.
    void reset(ResetCode code, qint64 nowMs);

    SimCounters counters() const { return m_counters; }
    void setCounters(const SimCounters& c) { m_counters = c; }
    std::array<double, kExtremeCount> extremes() const { return m_extremes; }
    void setExtremes(const std::array<double, kExtremeCount>& e) { m_extremes = e; }

    // Counter wrap-around: 8 digits before the tenths, 6 before the hundredths.
    static constexpr qint64 kEnergyWrapTenths = 1000000000;
    static constexpr qint64 kHoursWrapHundredths = 100000000;

private:
    struct AlarmState {
        SimAlarm alarm;
        bool active = false;
        double pendingSince = -1;  // time the activation condition started holding; -1 none
    };
    using Instant = std::array<double, 32>;  // codes 0..31

    Instant instant(double t) const;
    std::array<double, 11> demand(double t) const;  // codes 32..42
    std::array<double, kValueCount> values(double t) const;
    void sample(const Instant& now, const std::array<double, 11>& dmd, bool withDemand);
    void restartExtremes(double t);
    void stepAlarms(double t, const std::array<double, kValueCount>& v);
    bool present(int code) const;

    double m_seed = 0;
    SimMeasureSetup m_setup;
    SimCounters m_counters;
    std::array<double, kExtremeCount> m_extremes{};
    double m_lastT = 0;            // seconds of the last advance
    double m_demandSince = -1e18;  // demand windows start no earlier than this
    QList<AlarmState> m_alarms;
    bool m_outIsAlarm[2] = {false, false};
    bool m_outActive[2] = {false, false};
};

}  // namespace voltaris
