#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "base/Errors.h"
#include "variables/GlobalScale.h"

namespace GlobalScale = voltaris::GlobalScale;
using voltaris::IndexError;

TEST(GlobalScale, SampleTextIsTheIntegerElevenElevenShownAtItsStep) {
    // The sample text of each row is what 1111 looks like at that step, so formatting 1111
    // checks multiplier, format and prefix of every row against it.
    for (int step = 0; step < GlobalScale::StepCount; ++step) {
        SCOPED_TRACE(step);
        EXPECT_EQ(GlobalScale::FormatScaled(1111, step, QStringLiteral(".")),
                  GlobalScale::Row(step).SampleText);
    }
    EXPECT_EQ(GlobalScale::Row(0).SampleText, QStringLiteral("11.11m"));
    EXPECT_EQ(GlobalScale::Row(2).SampleText, QStringLiteral("1.111"));
    EXPECT_EQ(GlobalScale::Row(10).SampleText, QStringLiteral("111.1M"));
    EXPECT_EQ(GlobalScale::Row(17).SampleText, QStringLiteral("1111T"));
}

TEST(GlobalScale, FactorsArePowersOfTenAsSingles) {
    // 1111 x factor must be the quantity the sample text names ("11.11m" = 0.01111).
    const double prefixValue[] = {1e-3, 1e-3, 1,   1,   1,   1,   1e3,  1e3,  1e3,
                                  1e6,  1e6,  1e6, 1e9, 1e9, 1e9, 1e12, 1e12, 1e12};
    for (int step = 0; step < GlobalScale::StepCount; ++step) {
        SCOPED_TRACE(step);
        const GlobalScale::ScaleRow& row = GlobalScale::Row(step);
        const double shown = 1111.0 * row.DisplayMultiplier * prefixValue[step];
        const double stored = 1111.0 * row.Factor;
        EXPECT_NEAR(stored / shown, 1.0, 1e-6);
    }
    EXPECT_EQ(GlobalScale::Factor(5), 1.0f);
    EXPECT_EQ(GlobalScale::Factor(2), 0.001f);
    // The two largest powers are not exact in single precision.
    EXPECT_EQ(static_cast<double>(GlobalScale::Factor(16)), 99999997952.0);
    EXPECT_EQ(static_cast<double>(GlobalScale::Factor(17)), 999999995904.0);
    EXPECT_EQ(GlobalScale::DefaultStep, 5);
}

TEST(GlobalScale, StepOutsideTheTableIsAnIndexError) {
    for (int step : {-1, 18, 32767}) {
        EXPECT_FALSE(GlobalScale::IsValidStep(step));
        EXPECT_THROW(GlobalScale::Row(step), IndexError);
        EXPECT_THROW(GlobalScale::Factor(step), IndexError);
        EXPECT_THROW(GlobalScale::FormatScaled(1, step, QStringLiteral(".")), IndexError);
    }
}

TEST(GlobalScale, FormatScaledPlacesSignSeparatorAndLeadingZero) {
    const struct {
        qint16 integer;
        int step;
        const char* point;
        const char* text;
    } cases[] = {
        {0, 2, ".", "0.000"},        {0, 5, ".", "0"},
        {-5, 3, ".", "-0.05"},       {5, 4, ",", "0,5"},
        {-950, 2, ",", "-0,950"},    {7, 0, ",", "0,07m"},
        {32767, 5, ".", "32767"},    {-32768, 3, ".", "-327.68"},
        {12345, 15, ".", "123.45T"}, {2304, 4, "'", "230'4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(GlobalScale::FormatScaled(c.integer, c.step, QString::fromUtf8(c.point)),
                  QString::fromUtf8(c.text));
    }
}

TEST(GlobalScale, InitScaleTableIsIdempotentAcrossThreads) {
    std::vector<std::thread> threads;
    std::vector<float> seen(8);
    for (std::size_t i = 0; i < seen.size(); ++i) {
        threads.emplace_back([&seen, i] {
            GlobalScale::InitScaleTable();
            GlobalScale::InitScaleTable();
            seen[i] = GlobalScale::Factor(static_cast<int>(i % GlobalScale::StepCount));
        });
    }
    for (std::thread& t : threads)
        t.join();
    const float expected[] = {1e-5f, 1e-4f, 1e-3f, 1e-2f, 1e-1f, 1.0f, 10.0f, 100.0f};
    for (std::size_t i = 0; i < seen.size(); ++i)
        EXPECT_EQ(seen[i], expected[i]) << i;
}
