#include "SimTestSupport.h"

#include "sim/SimInstrument.h"

#include <gtest/gtest.h>

using namespace voltaris;
using namespace voltaris::test;

namespace {

constexpr quint32 kR2 = 0x00240004;

struct Alarm {
    int variable = 6;  // A L1
    int type = 0;
    float lower = 0;
    float upper = 0;
    int output = 0;
    int delayS = 0;
    bool orLogic = false;
    bool startup = false;
    bool enabled = true;
};

// Programs the output module the way a configuration transfer does: 255, the digital
// output words, the alarm blocks, 263.
void program(SimNetwork& net, quint8 fn1, quint8 fn2, const QList<Alarm>& alarms, qint64 t = 0) {
    ASSERT_TRUE(writeWord(net, 1, 255, kUnlockBlocksValue, 9600, t));
    ASSERT_TRUE(writeWord(net, 1, 422, static_cast<qint16>((fn2 << 8) | fn1), 9600, t));
    for (int b = 0; b < alarms.size(); ++b) {
        const Alarm& a = alarms.at(b);
        const quint16 base = static_cast<quint16>(449 + 8 * b);
        const int w1 = a.type | (a.enabled ? 0x08 : 0) | (a.output ? 0x10 : 0) |
                       (a.orLogic ? 0x20 : 0) | (a.startup ? 0x40 : 0);
        const qint32 lo = MBytes::LongFromSingle(a.lower);
        const qint32 hi = MBytes::LongFromSingle(a.upper);
        const qint16 words[6] = {static_cast<qint16>((a.delayS << 8) | a.variable),
                                 static_cast<qint16>(w1),
                                 MBytes::LoWord(lo),
                                 MBytes::HiWord(lo),
                                 MBytes::LoWord(hi),
                                 MBytes::HiWord(hi)};
        for (int i = 0; i < 6; ++i)
            ASSERT_TRUE(writeWord(net, 1, static_cast<quint16>(base + i), words[i], 9600, t));
    }
    ASSERT_TRUE(writeWord(net, 1, 263, 0, 9600, t));
}

QVector<qint16> states(SimNetwork& net, qint64 t) {
    const auto w = readWords(net, 1, 259, 2, 9600, t);
    return w ? *w : QVector<qint16>{};
}

// The simulated current of L1 stays between about 1.9 and 4.3 A at CT ratio 1.
struct StateCase {
    const char* what;
    quint8 fn1, fn2;
    QList<Alarm> alarms;
    QVector<qint16> expected;
};

class AlarmState : public ::testing::TestWithParam<StateCase> {};

TEST_P(AlarmState, FollowsTheConfiguredAlarms) {
    const StateCase& c = GetParam();
    SimNetwork net;
    net.addInstrument(kR2, 1, 1);
    program(net, c.fn1, c.fn2, c.alarms);
    EXPECT_EQ(states(net, 1000), c.expected);
}

constexpr quint8 kAl = 0xAA;
constexpr quint8 kPu = 0xBB;

INSTANTIATE_TEST_SUITE_P(
    Cases, AlarmState,
    ::testing::Values(
        StateCase{"up alarm above its limit", kAl, kPu, {{6, 0, 0.5f, 1.0f}}, {1, 0}},
        StateCase{"up alarm below its limit", kAl, kPu, {{6, 0, 9.0f, 10.0f}}, {0, 0}},
        StateCase{"down alarm", kAl, kPu, {{6, 1, 1.0f, 1.5f}}, {0, 0}},
        StateCase{"down alarm under its limit", kAl, kPu, {{6, 1, 8.0f, 9.0f}}, {1, 0}},
        StateCase{"in window", kAl, kPu, {{6, 2, 1.0f, 5.0f}}, {1, 0}},
        StateCase{"out of window", kAl, kPu, {{6, 3, 1.0f, 5.0f}}, {0, 0}},
        StateCase{"frequency in window", kAl, kPu, {{29, 2, 49.9f, 50.1f}}, {1, 0}},
        StateCase{
            "disabled alarm", kAl, kPu, {{6, 2, 1.0f, 5.0f, 0, 0, false, false, false}}, {0, 0}},
        StateCase{"output 2", kPu, kAl, {{6, 2, 1.0f, 5.0f, 1}}, {0, 1}},
        StateCase{
            "alarm of output 2 while output 1 has none", kAl, kAl, {{6, 2, 1.0f, 5.0f, 1}}, {0, 1}},
        StateCase{"output not in alarm mode", kPu, kPu, {{6, 2, 1.0f, 5.0f}}, {0, 0}},
        StateCase{"remote-controlled output", 0xCC, kPu, {{6, 2, 1.0f, 5.0f}}, {0, 0}},
        StateCase{"AND of a true and a false alarm",
                  kAl,
                  kPu,
                  {{6, 2, 1.0f, 5.0f}, {6, 3, 1.0f, 5.0f}},
                  {0, 0}},
        StateCase{"OR of a true and a false alarm",
                  kAl,
                  kPu,
                  {{6, 3, 1.0f, 5.0f}, {6, 2, 1.0f, 5.0f, 0, 0, true}},
                  {1, 0}},
        StateCase{"up alarm held by its power-on state",
                  kAl,
                  kPu,
                  {{6, 0, 0.0f, 1000.0f, 0, 0, false, true}},
                  {1, 0}},
        StateCase{"window alarm ignores its power-on state",
                  kAl,
                  kPu,
                  {{6, 3, 1.0f, 5.0f, 0, 0, false, true}},
                  {0, 0}}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(SimAlarms, DelayHoldsBackTheActivation) {
    SimNetwork net;
    net.addInstrument(kR2, 1, 1);
    program(net, kAl, kPu, {{6, 2, 1.0f, 5.0f, 0, 30}});
    EXPECT_EQ(states(net, 1000), (QVector<qint16>{0, 0}));
    EXPECT_EQ(states(net, 29000), (QVector<qint16>{0, 0}));
    EXPECT_EQ(states(net, 31000), (QVector<qint16>{1, 0}));
}

TEST(SimAlarms, NewLimitsApplyOnlyAfter263) {
    SimNetwork net;
    net.addInstrument(kR2, 1, 1);
    program(net, kAl, kPu, {{6, 2, 1.0f, 5.0f}});
    EXPECT_EQ(states(net, 1000), (QVector<qint16>{1, 0}));
    ASSERT_TRUE(writeWord(net, 1, 255, kUnlockBlocksValue, 9600, 2000));
    ASSERT_TRUE(writeWord(net, 1, 450, 0x0003 | 0x08, 9600, 2000));  // now out of window
    EXPECT_EQ(states(net, 3000), (QVector<qint16>{1, 0}));
    ASSERT_TRUE(writeWord(net, 1, 263, 0, 9600, 4000));
    EXPECT_EQ(states(net, 5000), (QVector<qint16>{0, 0}));
}

TEST(SimAlarms, StateFollowsAMovingValue) {
    // Up alarm with hysteresis on A L1: on above 3.6 A, off below 2.6 A. The load swings
    // between about 1.9 and 4.3 A over ten minutes, so the alarm comes and goes.
    SimNetwork net;
    net.addInstrument(kR2, 1, 1);
    program(net, kAl, kPu, {{6, 0, 2.6f, 3.6f}});
    int changes = 0;
    qint16 last = states(net, 0).value(0);
    bool sawHysteresis = false;
    for (qint64 t = 1000; t <= 20 * 60 * 1000; t += 5000) {
        const qint16 s = states(net, t).value(0);
        changes += s != last;
        last = s;
        const double amps = net.instrument(0).live().value(6, t);
        if (amps > 3.6) {
            EXPECT_EQ(s, 1) << t;
        }
        if (amps < 2.6) {
            EXPECT_EQ(s, 0) << t;
        }
        sawHysteresis |= s == 1 && amps < 3.6;
    }
    EXPECT_GE(changes, 2);
    EXPECT_TRUE(sawHysteresis);
}

}  // namespace
