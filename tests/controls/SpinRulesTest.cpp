#include <gtest/gtest.h>

#include "controls/SpinRules.h"

using namespace voltaris::controls;

TEST(SpinRules, FormatsPatternsAndUnits) {
    struct Case {
        float value;
        float factor;
        const char* pattern;
        const char* unit;
        const char* point;
        const char* text;
    };
    const Case cases[] = {
        {125, 0.1f, "###0.0", "", ".", "12.5"},
        {125, 0.1f, "###0.0", "", ",", "12,5"},
        {50, 1.0f, "##0", "%", ".", "50 %"},
        {0, 1.0f, "#0", "s.", ".", "0 s."},
        {1234, 0.01f, "##0.00", "", ".", "12.34"},
        {5, 0.01f, "##0.00", "", ".", "0.05"},
        {3, 0.1f, "####0", "", ".", "0"},
        {5, 0.1f, "#0", "", ".", "1"},  // halves away from zero
        {-5, 0.1f, "#0", "", ".", "-1"},
        {-4, 0.01f, "#0.0", "", ".", "0.0"},  // no "-" on a zero result
        {-1234, 0.1f, "###0.0", "%", ".", "-123.4 %"},
        {9999, 0.01f, "#0.0", "", ".", "100.0"},  // the carry runs into a new digit
        {32767, 1.0f, "#0", "", ".", "32767"},
        {7, 1.0f, "###0.0", "", ".", "7.0"},
    };
    for (const Case& c : cases) {
        const QString formatted = FormatPattern(c.value * c.factor, QString::fromLatin1(c.pattern),
                                                QString::fromLatin1(c.point));
        EXPECT_EQ(ComposeText(formatted, QString::fromLatin1(c.unit)), QString::fromLatin1(c.text))
            << c.value << " x " << c.factor << " in " << c.pattern;
    }
}

TEST(SpinRules, DoubleAndSingleProductsDiffer) {
    // 16777217 has no single-precision form: the 32-bit field must not lose it.
    EXPECT_EQ(FormatPattern(16777217.0, "#0", "."), "16777217");
    EXPECT_EQ(FormatPattern(float(16777217), "#0", "."), "16777216");
    EXPECT_EQ(RangeTip("1", "30"), "Min:1 Max:30");
}

TEST(SpinRules, ClampsAboveThenBelow) {
    struct Case {
        qint32 value, min, max, expected;
    };
    const Case cases[] = {
        {40, 1, 30, 30}, {-5, 1, 30, 1},  {15, 1, 30, 15},
        {1, 1, 30, 1},   {30, 1, 30, 30}, {15, 20, 10, 20},  // crossed limits: the lower one wins
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClampValue(c.value, c.min, c.max), c.expected)
            << c.value << " in " << c.min << ".." << c.max;
}

TEST(SpinRules, StepsWithAndWithoutWrap) {
    struct Case {
        qint32 value, increment;
        bool up;
        qint32 min, max;
        bool wrap;
        qint32 expected;
    };
    const Case cases[] = {
        {30, 1, true, 1, 30, true, 1},
        {1, 1, false, 1, 30, true, 30},
        {30, 1, true, 1, 30, false, 30},
        {1, 1, false, 1, 30, false, 1},
        {25, 10, true, 1, 30, true, 1},  // overshoot wraps to the other limit, not past it
        {25, 10, true, 1, 30, false, 30},
        {20, 10, true, 1, 30, true, 30},  // landing on the limit is not passing it
        {5, 10, false, 1, 30, true, 30},
        {2147483600, 1000, true, 0, 2147483647, false, 2147483647},  // no 32-bit overflow
        {-2147483600, 1000, false, -2147483647 - 1, 0, false, -2147483647 - 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StepValue(c.value, c.increment, c.up, c.min, c.max, c.wrap), c.expected)
            << c.value << (c.up ? " up " : " down ") << c.increment << " wrap " << c.wrap;
}

TEST(SpinRules, PressCountSaturatesAndKeepsItsStep) {
    SpinAcceleration acc;
    acc.Start(1, 10);
    for (int i = 0; i < 40000; ++i)
        acc.Repeat16(10, 2000);
    EXPECT_EQ(acc.Count(), 32767);
    EXPECT_EQ(acc.Increment(), 100);

    // fast x 100 is computed in 32 bits: 400 x 100 is not below 32767, so no third stage.
    acc.Start(1, 10);
    for (int i = 0; i < 30; ++i)
        acc.Repeat16(400, 32767);
    EXPECT_EQ(acc.Increment(), 400);
}
