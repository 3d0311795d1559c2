#include "SimTestSupport.h"

#include "sim/SimInstrument.h"
#include "sim/SimLiveModel.h"
#include "variables/VariableCatalogue.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace voltaris;
using namespace voltaris::test;

namespace {

constexpr qint64 kHour = 3600 * 1000;
constexpr quint32 kHigh = 0x00230004;  // KM5.1: 230 V class

SimMeasureSetup setupFor(int system, quint16 ta = 1, quint16 tv = 10, bool high = true) {
    SimMeasureSetup s;
    s.system = system;
    s.ratioTA = ta;
    s.ratioTV = tv;
    s.highVoltageClass = high;
    return s;
}

std::array<double, 61> valuesAt(SimLiveModel& m, qint64 t) {
    std::array<double, 61> v{};
    for (int c = 0; c < 61; ++c)
        v[c] = m.value(c, t);
    return v;
}

// Codes each wiring system has (the catalogue's masks).
const QList<int> kSystem1 = {0,  6,  9,  10, 13, 16, 20, 23, 25, 26, 27, 28, 29, 32, 35,
                             38, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 53, 56, 57, 58};

TEST(SimLiveModel, VariablesOutsideTheWiringSystemReadZero) {
    for (int system = 0; system <= 4; ++system) {
        SimLiveModel m;
        m.setSetup(setupFor(system), 0);
        const auto v = valuesAt(m, 1000);
        const quint8 bit = static_cast<quint8>(1u << system);
        int present = 0;
        for (int c = 0; c < 61; ++c) {
            const bool has = VariableCatalogue::standard().systemMask(c) & bit;
            if (!has) {
                EXPECT_EQ(v[c], 0.0) << "system " << system << " code " << c;
            }
            present += has;
        }
        if (system == 1) {
            for (int c : kSystem1)
                EXPECT_NE(v[c], 0.0) << "single phase code " << c;
            EXPECT_EQ(present, kSystem1.size());
        }
    }
}

TEST(SimLiveModel, UnbalancedThreePhaseIsPlausible) {
    SimLiveModel m;
    const auto v = valuesAt(m, 5 * 60 * 1000);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(v[k], 230.0, 230.0 * 0.03) << "V L" << k + 1 << "-N";
        EXPECT_NEAR(v[3 + k], 398.4, 398.4 * 0.03) << "V L-L " << k;
        EXPECT_GT(v[6 + k], 1.0);
        EXPECT_LT(v[6 + k], 5.5);
        EXPECT_GT(v[20 + k], 0.8);
        EXPECT_LE(v[20 + k], 1.0);
        EXPECT_NEAR(v[10 + k], v[0 + k] * v[6 + k] * v[20 + k], 1e-6 * v[13 + k]);
        EXPECT_NEAR(v[13 + k] * v[13 + k], v[10 + k] * v[10 + k] + v[16 + k] * v[16 + k],
                    1e-6 * v[13 + k] * v[13 + k]);
    }
    EXPECT_NE(v[0], v[1]);
    EXPECT_NE(v[6], v[8]);
    EXPECT_GT(v[9], 0.0);  // unequal currents leave some in the neutral
    EXPECT_LT(v[9], v[6]);
    EXPECT_NEAR(v[25], v[10] + v[11] + v[12], 1e-6 * v[25]);
    EXPECT_NEAR(v[28], v[25] / v[26], 1e-9);
    EXPECT_EQ(v[19], -1.0);  // phase sequence correct
    EXPECT_NEAR(v[29], 50.0, 0.05);
    EXPECT_GT(v[30], 0.0);
    EXPECT_LT(v[30], 5.0);
}

TEST(SimLiveModel, BalancedSystemsHaveEqualPhases) {
    for (int system : {3, 4}) {
        SimLiveModel m;
        m.setSetup(setupFor(system), 0);
        const auto v = valuesAt(m, 7 * 60 * 1000);
        EXPECT_EQ(v[3], v[4]) << system;
        EXPECT_EQ(v[4], v[5]) << system;
        EXPECT_EQ(v[6], v[7]) << system;
        EXPECT_EQ(v[7], v[8]) << system;
        EXPECT_EQ(v[31], 0.0) << system;
        EXPECT_EQ(v[19], -1.0) << system;
        if (system == 4) {
            EXPECT_EQ(v[0], v[1]);
            EXPECT_EQ(v[1], v[2]);
            EXPECT_EQ(v[10], v[12]);
            EXPECT_EQ(v[30], 0.0);
            EXPECT_NEAR(v[3], v[0] * std::sqrt(3.0), 1e-9 * v[3]);
            EXPECT_NEAR(v[25], 3 * v[10], 1e-9 * v[25]);
        } else {
            // Without neutral only the system powers exist: P = sqrt(3) V I PF.
            EXPECT_EQ(v[0], 0.0);
            EXPECT_EQ(v[10], 0.0);
            EXPECT_NEAR(v[25], std::sqrt(3.0) * v[3] * v[6] * v[28], 1e-6 * v[25]);
        }
    }
}

TEST(SimLiveModel, SingleAndTwoPhaseSystems) {
    SimLiveModel one;
    one.setSetup(setupFor(1), 0);
    const auto a = valuesAt(one, 60000);
    EXPECT_EQ(a[25], a[10]);
    EXPECT_NEAR(a[9], a[6], 1e-9);  // the neutral carries the phase current
    EXPECT_EQ(a[23], a[0]);

    SimLiveModel two;
    two.setSetup(setupFor(2), 0);
    const auto b = valuesAt(two, 60000);
    EXPECT_NEAR(b[25], b[10] + b[11], 1e-9 * b[25]);
    EXPECT_NEAR(b[3], std::sqrt(b[0] * b[0] + b[1] * b[1] + b[0] * b[1]), 1e-9 * b[3]);
    EXPECT_EQ(b[24], b[3]);
    EXPECT_EQ(b[2], 0.0);
}

TEST(SimLiveModel, RatiosAndVoltageClassScaleTheValues) {
    SimLiveModel base;
    SimLiveModel scaled;
    scaled.setSetup(setupFor(0, 100, 200), 0);
    SimLiveModel low;
    low.setSetup(setupFor(0, 1, 10, false), 0);
    const qint64 t = 90000;
    EXPECT_NEAR(scaled.value(0, t), 20 * base.value(0, t), 1e-9 * scaled.value(0, t));
    EXPECT_NEAR(scaled.value(6, t), 100 * base.value(6, t), 1e-9 * scaled.value(6, t));
    EXPECT_NEAR(scaled.value(25, t), 2000 * base.value(25, t), 1e-9 * scaled.value(25, t));
    EXPECT_NEAR(low.value(0, t), 57.7, 57.7 * 0.03);
    EXPECT_NEAR(low.value(3, t), 100.0, 3.0);
}

TEST(SimLiveModel, CountersCountUpInTenthsAndHundredths) {
    SimLiveModel m;
    const auto before = valuesAt(m, 0);
    const auto after = valuesAt(m, kHour);
    // One hour of roughly 3 x 230 V x 3 A x 0.92: about 1.9 kWh, 19 tenths.
    const double kwhTenths = after[43] - before[43];
    EXPECT_GT(kwhTenths, 10);
    EXPECT_LT(kwhTenths, 40);
    EXPECT_EQ(after[45] - before[45], kwhTenths);
    EXPECT_GT(after[44] - before[44], 0);
    EXPECT_NEAR(after[47] - before[47], 100, 1);  // hundredths of an hour
    // The energy counted agrees with the average power over the hour.
    SimLiveModel probe;
    double kwh = 0;
    for (int s = 5; s < 3600; s += 10)
        kwh += probe.value(25, s * 1000LL) / 1000.0 * 10 / 3600.0;
    EXPECT_NEAR(kwhTenths, kwh * 10, 1.5);
}

TEST(SimLiveModel, RegistersCarrySinglesAndCountersLowWordFirst) {
    SimLiveModel m;
    const qint64 t = 123456;
    const auto words = m.registers(t);
    for (int c = 0; c < 61; ++c) {
        const qint16 lo = words[2 * c];
        const qint16 hi = words[2 * c + 1];
        if (IsCounterValue(c))
            EXPECT_EQ(LiveCounter(lo, hi), static_cast<qint32>(m.value(c, t))) << c;
        else
            EXPECT_EQ(LiveSingle(lo, hi), static_cast<float>(m.value(c, t))) << c;
    }
    EXPECT_EQ(LiveCounter(words[86], words[87]), 123456);  // 12345.6 kWh at the start
}

TEST(SimLiveModel, DemandBuildsUpAfterAResetAndExtremesBoundTheValues) {
    SimLiveModel m;
    const qint64 t0 = kHour;
    m.reset(ResetCode::Demand, t0);
    EXPECT_EQ(m.value(41, t0), 0.0);
    const double half = m.value(41, t0 + 7 * 60 * 1000 + 30 * 1000);
    const double full = m.value(41, t0 + 15 * 60 * 1000);
    const double now = m.value(25, t0 + 15 * 60 * 1000);
    EXPECT_GT(half, 0.3 * full);
    EXPECT_LT(half, 0.7 * full);
    EXPECT_NEAR(full, now, 0.35 * now);
    const qint64 t = t0 + 20 * 60 * 1000;
    for (int k = 0; k < 3; ++k) {
        EXPECT_GE(m.value(50 + k, t), m.value(6 + k, t));
        EXPECT_GE(m.value(53 + k, t), m.value(10 + k, t));
        EXPECT_LE(m.value(58 + k, t), m.value(20 + k, t));
    }
    EXPECT_GE(m.value(48, t), m.value(50, t));
    EXPECT_GE(m.value(56, t), m.value(41, t));
}

// What each reset command leaves at zero (counters, demand) or restarts (maxima).
struct ResetCase {
    ResetCode code;
    bool totals, partials, hours, demand, maxima;
};

class ResetEffect : public ::testing::TestWithParam<ResetCase> {};

TEST_P(ResetEffect, ClearsExactlyItsValues) {
    const ResetCase& c = GetParam();
    SimNetwork net;
    net.addInstrument(kHigh, 1, 1);
    // 4050 s: the load is near its low point, so an old maximum is above the present value.
    const qint64 t = 4050 * 1000;
    const QVector<qint16> before = readLive(net, 1, t);
    ASSERT_TRUE(writeWord(net, 1, kRegReset, static_cast<qint16>(static_cast<quint8>(c.code) << 8),
                          9600, t));
    const QVector<qint16> after = readLive(net, 1, t);
    ASSERT_EQ(after.size(), 122);
    const auto zero = [&](int v) { return liveCounter(after, v) == 0; };
    EXPECT_EQ(zero(43) && zero(44), c.totals);
    EXPECT_EQ(zero(45) && zero(46), c.partials);
    EXPECT_EQ(zero(47), c.hours);
    if (!c.totals) {
        EXPECT_EQ(liveCounter(after, 43), liveCounter(before, 43));
    }
    EXPECT_EQ(liveSingle(after, 41) == 0.0f, c.demand);
    EXPECT_EQ(liveSingle(after, 32) == 0.0f, c.demand);
    const float maxNow =
        std::max({liveSingle(after, 6), liveSingle(after, 7), liveSingle(after, 8)});
    EXPECT_EQ(liveSingle(after, 48) == maxNow, c.maxima);
    EXPECT_EQ(liveSingle(after, 50) == liveSingle(after, 6), c.maxima);
    if (!c.maxima) {
        EXPECT_EQ(liveSingle(after, 48), liveSingle(before, 48));
    }
    // Counters go on counting after their reset.
    const QVector<qint16> later = readLive(net, 1, t + kHour);
    EXPECT_GT(liveCounter(later, 43), liveCounter(after, 43));
    EXPECT_GT(liveCounter(later, 47), liveCounter(after, 47));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ResetEffect,
    ::testing::Values(ResetCase{ResetCode::Total, true, true, true, true, true},
                      ResetCase{ResetCode::Demand, false, false, false, true, false},
                      ResetCase{ResetCode::EnergyAndHours, true, true, true, false, false},
                      ResetCase{ResetCode::TotalEnergy, true, false, false, false, false},
                      ResetCase{ResetCode::PartialEnergy, false, true, false, false, false},
                      ResetCase{ResetCode::HourCounter, false, false, true, false, false},
                      ResetCase{ResetCode::MaxMin, false, false, false, false, true}),
    [](const auto& info) { return std::to_string(static_cast<int>(info.param.code)); });

TEST(SimLiveModel, CountersWrapAroundLikeTheDisplay) {
    SimLiveModel m;
    SimCounters c = m.counters();
    c.activeTotal = 99999999.95;
    c.hours = 999999.995;
    m.setCounters(c);
    const qint64 t = 10 * 60 * 1000;
    EXPECT_LT(m.value(43, t), 100);
    EXPECT_LT(m.value(47, t), 100);
}

}  // namespace
