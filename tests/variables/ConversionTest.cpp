#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TraceCapture.h"
#include "base/Errors.h"
#include "variables/CFloatToIntDPScale.h"

using voltaris::AssertFailed;
using voltaris::CFloatToIntDPScale;
using voltaris::IndexError;
using voltaris::RecordingMessages;
using voltaris::UserMessages;
using voltaris::test::TraceCapture;

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct Expected {
    qint16 integer;
    qint16 step;
};

void expectCheckFailed(const TraceCapture& capture, const QString& text) {
    ASSERT_EQ(capture.messages.entries().size(), 1);
    const RecordingMessages::Entry& box = capture.messages.entries().first();
    EXPECT_EQ(box.icon, UserMessages::Icon::Error);
    EXPECT_EQ(box.title, QStringLiteral("g_Trace.BugAssert fallito: "));
    EXPECT_EQ(box.text, text);
    EXPECT_TRUE(capture.lines.contains(QStringLiteral("g_Trace.BugAssert fallito: ") + text))
        << capture.lines.join(u'|').toStdString();
}

}  // namespace

TEST(CFloatToIntDPScale, AutomaticStepKeepsThreeOrFourDigits) {
    const struct {
        float value;
        Expected out;
    } cases[] = {
        {230.4f, {2304, 4}},
        {-230.4f, {-2304, 4}},
        {12345.0f, {1234, 6}},  // 1234.5: the half goes to the even 1234
        {12355.0f, {1236, 6}},  // 1235.5: to the even 1236
        {0.0005f, {0, 2}},      // below a thousandth
        {0.0f, {0, 2}},
        {-0.0f, {0, 2}},
        {0.001f, {1, 2}},  // the limit compared in single precision
        {0.000999f, {0, 2}},
        {0.0123f, {12, 2}},
        {9.5f, {9500, 2}},
        {10.0f, {1000, 3}},
        {99.99f, {9999, 3}},  // 99.99f x 100 rounds to the single 9999
        {100.0f, {1000, 4}},
        {1000.0f, {1000, 5}},
        {1234.5f, {1234, 5}},
        {-1234.5f, {-1234, 5}},
        {2345.5f, {2346, 5}},
        {9999.0f, {9999, 5}},
        {10000.0f, {1000, 6}},
        {99999.0f, {10000, 6}},  // 9999.9 rounds up to five digits, still 16 bits
        {1.5e6f, {1500, 8}},
        {1e15f, {1000, 17}},
        {9.99e15f, {9990, 17}},  // the largest magnitude that has a step
    };
    CFloatToIntDPScale scaler;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        scaler.setFloatValue(c.value);
        EXPECT_EQ(scaler.IntValue(), c.out.integer);
        EXPECT_EQ(scaler.DPScale(), c.out.step);
        EXPECT_EQ(scaler.FloatValue(), c.value);
    }
}

TEST(CFloatToIntDPScale, AutomaticConversionIsTraced) {
    TraceCapture capture;
    CFloatToIntDPScale scaler;
    scaler.setFloatValue(230.4f);
    EXPECT_EQ(capture.lines, QStringList{QStringLiteral("ConvertFloatToDPScale m_Float=230.4")});
}

TEST(CFloatToIntDPScale, ValueBeyondTheLastStepFailsTheCheck) {
    for (float value : {1e16f, -1e16f, std::numeric_limits<float>::max(), kInf, -kInf}) {
        SCOPED_TRACE(value);
        TraceCapture capture;
        CFloatToIntDPScale scaler;
        scaler.setFloatValue(1.0f);
        EXPECT_THROW(scaler.setFloatValue(value), AssertFailed);
        expectCheckFailed(capture,
                          QStringLiteral("Valore float da convertire troppo grande: Info>17"));
        EXPECT_EQ(scaler.IntValue(), 0);
        EXPECT_EQ(scaler.DPScale(), 2);
    }
}

TEST(CFloatToIntDPScale, ValueThatIsNoNumberFallsBackToZeroAtStepTwo) {
    TraceCapture capture;
    CFloatToIntDPScale scaler;
    scaler.setFloatValue(kNaN);
    EXPECT_EQ(scaler.IntValue(), 0);
    EXPECT_EQ(scaler.DPScale(), 2);
    EXPECT_TRUE(capture.messages.entries().isEmpty());
    ASSERT_EQ(capture.lines.size(), 3);
    EXPECT_EQ(capture.lines.at(1),
              QStringLiteral("Errore nr. 6 in ConvertFloatToDPScale():Overflow"));
    EXPECT_TRUE(capture.lines.at(2).startsWith(QStringLiteral("m_Float=")))
        << capture.lines.at(2).toStdString();
}

TEST(CFloatToIntDPScale, TargetStep) {
    const struct {
        float value;
        qint16 target;
        Expected out;
    } cases[] = {
        {0.95f, 2, {950, 2}},     {-0.95f, 2, {-950, 2}},      {45.0f, 3, {4500, 3}},
        {49.98f, 3, {4998, 3}},   {2.5f, 4, {25, 4}},          {1.0f, 2, {1000, 2}},
        {123456.0f, 8, {123, 8}},  // 123.456
        {0.0f, 3, {0, 5}},         // zero stops the shifting: step 5 whatever the target
        {0.0f, 17, {0, 5}},       {0.00001f, 2, {0, 2}},  // 0.01 is not zero: the shifting goes on
        {0.5f, 5, {0, 5}},        {1.5f, 5, {2, 5}},           {2.5f, 5, {2, 5}},
        {-2.5f, 5, {-2, 5}},      {999.9f, 4, {9999, 4}},  // x is exactly 9999: still four digits
        {9999.4f, 5, {9999, 5}},  {-15000.0f, 5, {-15000, 5}},  // the check bounds the value from
                                                                // above only
    };
    CFloatToIntDPScale scaler;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " at " << c.target);
        scaler.SetFloatValue(c.value, c.target);
        EXPECT_EQ(scaler.IntValue(), c.out.integer);
        EXPECT_EQ(scaler.DPScale(), c.out.step);
        EXPECT_EQ(scaler.FloatValue(), c.value);
    }
}

TEST(CFloatToIntDPScale, StoredLimitOfNineThousandNineHundredNinetyNineReadsBack) {
    // A limit of 9999 at step 4 sent as a single must come back as the same integer.
    CFloatToIntDPScale scaler;
    scaler.IntDPScale(9999, 4);
    scaler.SetFloatValue(scaler.FloatValue(), 4);
    EXPECT_EQ(scaler.IntValue(), 9999);
    EXPECT_EQ(scaler.DPScale(), 4);
}

TEST(CFloatToIntDPScale, TargetConversionIsTraced) {
    TraceCapture capture;
    CFloatToIntDPScale scaler;
    scaler.SetFloatValue(0.95f, 2);
    EXPECT_EQ(
        capture.lines,
        QStringList{QStringLiteral("ConvertFloatToDPScaleTarget m_Float=0.95 m_DPScaleTarget=2")});
}

TEST(CFloatToIntDPScale, TargetTooFineForFourDigitsFailsTheCheck) {
    const struct {
        float value;
        qint16 target;
    } cases[] = {{100.0f, 3}, {9999.5f, 5}, {kNaN, 2}, {kInf, 9}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " at " << c.target);
        TraceCapture capture;
        CFloatToIntDPScale scaler;
        EXPECT_THROW(scaler.SetFloatValue(c.value, c.target), AssertFailed);
        expectCheckFailed(
            capture,
            QStringLiteral("Conversione float con DPTarget=%1 non riuscita !!!").arg(c.target));
        EXPECT_EQ(scaler.IntValue(), 0);
        EXPECT_EQ(scaler.DPScale(), 1);
    }
}

TEST(CFloatToIntDPScale, TargetOverflowFallsBackToZeroAtStepOne) {
    for (float value : {-50000.0f, -kInf}) {
        SCOPED_TRACE(value);
        TraceCapture capture;
        CFloatToIntDPScale scaler;
        scaler.SetFloatValue(value, 5);
        EXPECT_EQ(scaler.IntValue(), 0);
        EXPECT_EQ(scaler.DPScale(), 1);
        EXPECT_TRUE(capture.messages.entries().isEmpty());
        ASSERT_EQ(capture.lines.size(), 3);
        EXPECT_EQ(capture.lines.at(1),
                  QStringLiteral("Errore nr. 6 in ConvertFloatToDPScale():Overflow"));
        EXPECT_EQ(capture.lines.at(2), QStringLiteral("m_Float=") + QString::number(value, 'g', 7));
    }
}

TEST(CFloatToIntDPScale, IntegerAndStepGiveTheSingle) {
    CFloatToIntDPScale scaler;
    // -950 x 0.001f is one unit in the last place beyond -0.95f: 0.001f is a bit above 0.001.
    scaler.IntDPScale(-950, 2);
    EXPECT_FLOAT_EQ(scaler.FloatValue(), -0.95f);
    EXPECT_EQ(scaler.IntValue(), -950);
    EXPECT_EQ(scaler.DPScale(), 2);
    scaler.IntDPScale(-1, 5);
    EXPECT_EQ(scaler.FloatValue(), -1.0f);
    scaler.IntDPScale(1, 17);
    EXPECT_EQ(static_cast<double>(scaler.FloatValue()), 999999995904.0);
    scaler.IntDPScale(2304, 4);
    EXPECT_FLOAT_EQ(scaler.FloatValue(), 230.4f);
}

TEST(CFloatToIntDPScale, IntegerAtAStepOutsideTheTableIsRefused) {
    CFloatToIntDPScale scaler;
    scaler.IntDPScale(5, 6);
    for (qint16 step : {qint16(-1), qint16(18)}) {
        EXPECT_THROW(scaler.IntDPScale(7, step), IndexError);
        EXPECT_EQ(scaler.IntValue(), 5);
        EXPECT_EQ(scaler.DPScale(), 6);
        EXPECT_EQ(scaler.FloatValue(), 50.0f);
    }
}
