// Exact fixed-point texts of the report, the live tables and the command line.

#include <gtest/gtest.h>

#include <limits>

#include "base/Errors.h"
#include "variables/FixedPoint.h"

using namespace voltaris;

namespace {

TEST(FixedPoint, FormatsExactly) {
    constexpr qint64 kMin = std::numeric_limits<qint64>::min();
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    const struct {
        qint64 raw;
        int decimals;
        const char* text;
    } cases[] = {
        {5, 1, "0.5"},
        {-1, 1, "-0.1"},
        {-5, 2, "-0.05"},
        {0, 1, "0.0"},
        {0, 0, "0"},
        {-7, 0, "-7"},
        {1005, 1, "100.5"},
        {1250, 2, "12.50"},
        {1, 3, "0.001"},
        // Values a double would round: 2^53 + 1 and 0.1-style tails.
        {9007199254740993LL, 1, "900719925474099.3"},
        {2147483647, 1, "214748364.7"},
        {-2147483648LL, 2, "-21474836.48"},
        {kMax, 2, "92233720368547758.07"},
        {kMin, 1, "-922337203685477580.8"},
        {kMin, 18, "-9.223372036854775808"},
        {123, 18, "0.000000000000000123"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.raw);
        EXPECT_EQ(FormatFixed(c.raw, c.decimals), QLatin1String(c.text)) << c.decimals;
    }
}

TEST(FixedPoint, UsesTheGivenSeparatorAndRefusesImpossibleDecimals) {
    EXPECT_EQ(FormatFixed(-12345, 2, QStringLiteral(",")), QStringLiteral("-123,45"));
    EXPECT_EQ(FormatFixed(7, 0, QStringLiteral(",")), QStringLiteral("7"));
    EXPECT_THROW(FormatFixed(1, -1), IndexError);
    EXPECT_THROW(FormatFixed(1, 19), IndexError);
}

}  // namespace
