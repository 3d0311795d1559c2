#include <gtest/gtest.h>

#include "TraceCapture.h"
#include "base/Errors.h"
#include "variables/CVariableRangeScale.h"

using voltaris::CVariableRangeScale;
using voltaris::test::TraceCapture;

namespace {

constexpr qint32 KM51 = 0x00230004;  // higher voltage class (480 V / 828 V)
constexpr qint32 KM53 = 0x00210004;  // higher
constexpr qint32 KM61 = 0x00240004;  // lower class (144 V / 249.6 V)
constexpr qint32 KM63 = 0x00220004;  // lower
constexpr int kNoStep = -1;          // only the variable is set: chosen step 17

struct RangeCase {
    const char* what;
    qint32 model;
    qint32 tv;
    qint32 ta;
    qint16 code;
    int step;
    qint16 minimo;
    qint16 massimo;
    qint16 dpScaleMax;
    const char* unit;
};

// Full scales worked out by hand, then the automatic step: 600 -> 6000 at 4, 480 -> 4800
// at 4, 1497600 -> 1497.6 at 8 -> 1498, power 10 x 480 / 10 x 5 x 1.2 = 2880 at 5 (x3 for
// system powers), x TA 100 -> 288000 -> 2880 at 7.
const RangeCase kCases[] = {
    {"A, CT 100, step 4", KM51, 10, 100, 6, 4, 0, 6000, 4, "A"},
    {"A, CT 100, coarser step 5", KM51, 10, 100, 6, 5, 0, 6000, 4, "A"},
    {"A, CT 100, variable only", KM51, 10, 100, 6, kNoStep, 0, 6000, 4, "A"},
    {"A, CT 100, finer step 3", KM51, 10, 100, 6, 3, 0, 9999, 0, "A"},
    {"A max dmd, CT 100", KM51, 10, 100, 49, 4, 0, 6000, 4, "A"},
    {"A, CT 1: 6 A", KM51, 10, 1, 7, 2, 0, 6000, 2, "A"},
    {"A, CT 60000: 360000 A", KM51, 10, 60000, 8, 7, 0, 3600, 7, "A"},
    {"V L-N, KM5.1", KM51, 10, 1, 0, 4, 0, 4800, 4, "V"},
    {"V L-N, KM5.1, finer step", KM51, 10, 1, 0, 3, 0, 9999, 0, "V"},
    {"V L-L, KM5.1", KM51, 10, 1, 3, 4, 0, 8280, 4, "V"},
    {"V L-N sys, KM5.3, VT 10.0", KM53, 100, 1, 23, 5, 0, 4800, 5, "V"},
    {"V L-N, KM6.1", KM61, 10, 1, 0, 4, 0, 1440, 4, "V"},
    {"V L-L sys, KM6.3", KM63, 10, 1, 24, 4, 0, 2496, 4, "V"},
    {"V L-L, KM6.3, VT 6000.0", KM63, 60000, 1, 3, 8, 0, 1498, 8, "V"},
    {"variant byte ignored", 0x01230004, 10, 1, 0, 4, 0, 4800, 4, "V"},
    {"object defaults: VT 0.1", KM51, 1, 1, 1, 3, 0, 4800, 3, "V"},
    {"W L1", KM51, 10, 1, 10, 5, -2880, 2880, 5, "W"},
    {"W L1, finer step", KM51, 10, 1, 10, 4, -9999, 9999, 0, "W"},
    {"W sys", KM51, 10, 1, 25, 5, -8640, 8640, 5, "W"},
    {"VA sys", KM51, 10, 1, 26, 5, 0, 8640, 5, "VA"},
    {"var sys", KM51, 10, 1, 27, 5, -8640, 8640, 5, "var"},
    {"var L1", KM51, 10, 1, 16, 5, -2880, 2880, 5, "var"},
    {"VA L1, finer step", KM51, 10, 1, 13, 4, 0, 9999, 0, "VA"},
    {"W L1 dmd", KM51, 10, 1, 35, 5, 0, 2880, 5, "W"},
    {"W dmd", KM51, 10, 1, 41, 5, 0, 2880, 5, "W"},
    {"W max", KM51, 10, 1, 53, 5, -2880, 2880, 5, "W"},
    {"W L1, CT 100", KM51, 10, 100, 10, 7, -2880, 2880, 7, "W"},
    {"W L1, CT 100, finer step", KM51, 10, 100, 10, 6, -9999, 9999, 0, "W"},
    {"W L1, KM6.1, CT 5: 4320 W", KM61, 10, 5, 10, 5, -4320, 4320, 5, "W"},
    {"PF L1", KM51, 10, 1, 20, 9, -1000, 1000, 2, ""},
    {"PF sys", KM51, 10, 1, 28, 5, -1000, 1000, 2, ""},
    {"PF L1 min", KM51, 10, 1, 58, kNoStep, -1000, 1000, 2, ""},
    {"ASY L-N", KM51, 10, 1, 30, 2, 0, 3000, 4, "%"},
    {"ASY L-L", KM51, 10, 1, 31, kNoStep, 0, 3000, 4, "%"},
    {"Hz", KM51, 10, 1, 29, 2, 4500, 6500, 3, "Hz"},
    {"phase sequence", KM51, 10, 1, 19, 5, 0, 1, 5, ""},
    {"kWh counter", KM51, 10, 1, 43, 5, 0, 0, 0, ""},
    {"hour counter", KM51, 10, 1, 47, kNoStep, 0, 0, 0, ""},
    {"code outside the catalogue", KM51, 10, 1, 61, 5, 0, 0, 0, ""},
    {"negative code", KM51, 10, 1, -1, 5, 0, 0, 0, ""},
};

}  // namespace

TEST(CVariableRangeScale, ComputeRangeByClassAndStep) {
    for (const RangeCase& c : kCases) {
        SCOPED_TRACE(c.what);
        CVariableRangeScale range;
        range.setInstrModel(c.model);
        range.setRapportoTV(c.tv);
        range.setRapportoTA(c.ta);
        range.setVariable(c.code);
        if (c.step != kNoStep)
            range.setScaleSelect(static_cast<qint16>(c.step));
        EXPECT_EQ(range.Minimo(), c.minimo);
        EXPECT_EQ(range.Massimo(), c.massimo);
        EXPECT_EQ(range.DPScaleMax(), c.dpScaleMax);
        EXPECT_EQ(range.UnitaIngegneristica(), QString::fromUtf8(c.unit));
        EXPECT_EQ(range.VariableType().Variable(), c.code);
    }
}

TEST(CVariableRangeScale, DefaultsAreTheFirstCatalogueModelAndUnitRatios) {
    CVariableRangeScale range;
    EXPECT_EQ(range.InstrModel(), 0x00230004);
    EXPECT_EQ(range.RapportoTV(), 1);
    EXPECT_EQ(range.RapportoTA(), 1);
    EXPECT_EQ(range.Minimo(), 0);
    EXPECT_EQ(range.Massimo(), 0);
    EXPECT_EQ(range.DPScaleMax(), 0);
    EXPECT_TRUE(range.UnitaIngegneristica().isEmpty());
    EXPECT_EQ(range.VariableType().Variable(), 0);
}

TEST(CVariableRangeScale, NewVariableStartsAgainFromTheCoarsestStep) {
    CVariableRangeScale range;
    range.setRapportoTA(100);
    range.setVariable(6);
    range.setScaleSelect(3);
    ASSERT_EQ(range.Massimo(), 9999);
    range.setVariable(7);
    EXPECT_EQ(range.Massimo(), 6000);
    EXPECT_EQ(range.DPScaleMax(), 4);
}

TEST(CVariableRangeScale, ResultsFollowChangedRatiosAtTheNextComputation) {
    CVariableRangeScale range;
    range.setVariable(6);
    EXPECT_EQ(range.Massimo(), 6000);
    EXPECT_EQ(range.DPScaleMax(), 2);
    range.setRapportoTA(100);
    range.setScaleSelect(4);
    EXPECT_EQ(range.Massimo(), 6000);
    EXPECT_EQ(range.DPScaleMax(), 4);
}

TEST(CVariableRangeScale, FullScaleBeyondEveryStepFailsTheCheck) {
    TraceCapture capture;
    CVariableRangeScale range;
    range.setRapportoTV(2147483647);
    range.setRapportoTA(2147483647);
    EXPECT_THROW(range.setVariable(25), voltaris::AssertFailed);
    EXPECT_EQ(capture.messages.entries().size(), 1);
}
