#include <gtest/gtest.h>

#include <functional>

#include "ModelTestSupport.h"
#include "model/Configuration.h"
#include "model/Validation.h"

using namespace voltaris;
using test::Fields;
using test::Text;

namespace {

constexpr qint32 KM51_R2 = 0x00230004;
constexpr qint32 KM53_O2 = 0x01210004;
constexpr qint32 KM61_R2 = 0x00240004;
constexpr qint32 KM63_R2 = 0x00220004;
constexpr qint32 KM61_A1 = 0x00240103;
constexpr qint32 KM63_A3 = 0x00220303;
constexpr qint32 KM61_RS = 0x00240010;
constexpr qint32 KM61_S1 = 0x00240001;

// A configuration the wizard could have produced: the model with its settled system, a
// CT ratio of 100 (current full scale 600 A: 6000 at scale 4).
void MakeValid(Configuration& c, qint32 model) {
    c.UsoInstr().setNomeProgramma(QStringLiteral("Quadro"));
    c.UsoInstr().setInstrModel(model);
    c.UsoInstr().setSystem(SettledSystem(model));
    c.UsoInstr().setRapportoTA(100);
    for (int output = 1; output <= 3; ++output) {
        CAnalogOutSetup& a = c.AnalogOutSetup(output);
        a.setVariabileRipetuta(6);
        a.setScaleSelect(4);
        a.setMaxIn(6000);
        a.setMaxOut(100);
    }
}

// Output 1 in alarm mode with `count` alarms, each on "A L1" at scale 4 within 0..6000.
void UseAlarms(Configuration& c, int output, int count) {
    CDigOutConfig& d = c.DigOutConfig();
    if (output == 1) {
        d.setDigOut1(CDigOutConfig::Alarm);
        d.setNumAlarm1(qint16(count));
    } else {
        d.setDigOut2(CDigOutConfig::Alarm);
        d.setNumAlarm2(qint16(count));
    }
    CAlarm& a = c.Alarm(output);
    for (int i = 0; i < qMin(count, 16); ++i) {
        a.setVarControllata(i, 6);
        a.setScaleSelect(i, 4);
        a.setMinAlarm(i, 100);
        a.setMaxAlarm(i, 5000);
    }
}

struct Case {
    const char* name;
    qint32 model;
    std::function<void(Configuration&)> change;
    QStringList refused;  // fields named, in order
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class Rules : public testing::TestWithParam<Case> {};

TEST_P(Rules, NameExactlyTheOffendingFields) {
    Configuration c;
    MakeValid(c, GetParam().model);
    GetParam().change(c);
    const FieldProblems problems = ValidateConfiguration(c);
    EXPECT_EQ(Fields(problems), GetParam().refused) << Text(problems);
    for (const FieldProblem& p : problems)
        EXPECT_FALSE(p.text.isEmpty());
}

const Case kCases[] = {
    {"ValidAsTheWizardLeavesIt", KM61_R2, [](Configuration&) {}, {}},
    {"EveryCatalogueModelWithItsSettledSystem", KM53_O2, [](Configuration&) {}, {}},
    {"EmptyName",
     KM61_R2,
     [](Configuration& c) { c.UsoInstr().setNomeProgramma("  "); },
     {"CUsoInstr.NomeProgramma"}},
    {"ModelZeroOfANewRecord",
     KM61_R2,
     [](Configuration& c) { c.UsoInstr().setInstrModel(0); },
     {"CUsoInstr.InstrModel"}},
    // Which outputs exist is unknown for an uncatalogued model: only the model is named.
    {"UncataloguedModelSkipsTheOutputs",
     KM61_R2,
     [](Configuration& c) {
         c.UsoInstr().setInstrModel(0x00990004);
         c.DigOutConfig().setDigOut1(CDigOutConfig::Alarm);
         c.DigOutConfig().setNumAlarm1(1);
         c.Alarm(1).setVarControllata(0, 99);
     },
     {"CUsoInstr.InstrModel"}},
    {"UsageRangesAtTheirLimits",
     KM61_R2,
     [](Configuration& c) {
         CUsoInstr& u = c.UsoInstr();
         u.setFilterScale(100);
         u.setIntTimeCorr(30);
         u.setFilterCoeff(32);
         u.setRapportoTV(60000);
         u.setRapportoTA(60000);
         u.setIntTimePot(30);
         u.setNetworkAddVexbus(255);
     },
     {}},
    {"UsageRangesAtTheirLowerLimits",
     KM61_R2,
     [](Configuration& c) {
         CUsoInstr& u = c.UsoInstr();
         u.setFilterScale(0);
         u.setIntTimeCorr(1);
         u.setFilterCoeff(1);
         u.setRapportoTV(10);
         u.setRapportoTA(1);
         u.setIntTimePot(1);
         u.setNetworkAddVexbus(1);
     },
     {}},
    {"UsageRangesJustOutside",
     KM61_R2,
     [](Configuration& c) {
         CUsoInstr& u = c.UsoInstr();
         u.setFilterScale(101);
         u.setIntTimeCorr(0);
         u.setFilterCoeff(33);
         u.setRapportoTV(9);
         u.setRapportoTA(60001);
         u.setSystem(5);
         u.setIntTimePot(31);
         u.setNetworkAddVexbus(0);
     },
     {"CUsoInstr.FilterScale", "CUsoInstr.IntTimeCorr", "CUsoInstr.FilterCoeff",
      "CUsoInstr.RapportoTV", "CUsoInstr.RapportoTA", "CUsoInstr.System", "CUsoInstr.IntTimePot",
      "CUsoInstr.NetworkAddVexbus"}},
    {"NegativeValues",
     KM61_R2,
     [](Configuration& c) {
         c.UsoInstr().setFilterScale(-1);
         c.UsoInstr().setSystem(-1);
     },
     {"CUsoInstr.FilterScale", "CUsoInstr.System"}},
    {"System0NotOfferedOnKM61",
     KM61_R2,
     [](Configuration& c) { c.UsoInstr().setSystem(0); },
     {"CUsoInstr.System"}},
    {"System2NotOfferedOnKM51",
     KM51_R2,
     [](Configuration& c) { c.UsoInstr().setSystem(2); },
     {"CUsoInstr.System"}},
    {"System3OfferedOnKM63", KM63_R2, [](Configuration& c) { c.UsoInstr().setSystem(3); }, {}},
    {"System2OfferedOnKM53", KM53_O2, [](Configuration& c) { c.UsoInstr().setSystem(2); }, {}},
    {"System1OfferedOnKM51", KM51_R2, [](Configuration& c) { c.UsoInstr().setSystem(1); }, {}},
    {"DigitalOutputRanges",
     KM61_R2,
     [](Configuration& c) {
         CDigOutConfig& d = c.DigOutConfig();
         d.setDigOut1(3);
         d.setStatusDigOut1(2);
         d.setDigOut2(-1);
         d.setNumAlarm2(17);
         d.setStatusDigOut2(-1);
     },
     {"CDigOutConfig.DigOut1", "CDigOutConfig.StatusDigOut1", "CDigOutConfig.DigOut2",
      "CDigOutConfig.NumAlarm2", "CDigOutConfig.StatusDigOut2"}},
    {"SixteenAlarmsShared",
     KM61_R2,
     [](Configuration& c) {
         UseAlarms(c, 1, 8);
         UseAlarms(c, 2, 8);
     },
     {}},
    {"SeventeenAlarmsOnTwoOutputs",
     KM61_R2,
     [](Configuration& c) {
         UseAlarms(c, 1, 10);
         UseAlarms(c, 2, 7);
     },
     {"CDigOutConfig.NumAlarm2"}},
    {"PulseRanges",
     KM61_R2,
     [](Configuration& c) {
         c.PulseOutSetup(1).setSelectCounter(2);
         c.PulseOutSetup(1).setPulseOut(0);
         c.PulseOutSetup(2).setPulseOut(50001);
         c.PulseOutSetup(2).setPulseOutStatus(2);
     },
     {"CPulseOutSetup1.SelectCounter", "CPulseOutSetup1.PulseOut", "CPulseOutSetup2.PulseOut",
      "CPulseOutSetup2.PulseOutStatus"}},
    {"PulseLimits",
     KM61_R2,
     [](Configuration& c) {
         c.PulseOutSetup(1).setPulseOut(50000);
         c.PulseOutSetup(2).setSelectCounter(1);
     },
     {}},
    // The plain alarm ranges hold for all 16 entries, in use or not.
    {"AlarmRangesOnEveryEntry",
     KM61_S1,
     [](Configuration& c) {
         c.Alarm(1).setDelayTime(15, 256);
         c.Alarm(1).setAlarmType(3, 4);
         c.Alarm(2).setAlarmStatus(0, 2);
         c.Alarm(2).setLogicFunction(1, -1);
         c.Alarm(2).setAlarmStartup(2, 2);
     },
     {"CAlarm1.AlarmType[3]", "CAlarm1.DelayTime[15]", "CAlarm2.AlarmStatus[0]",
      "CAlarm2.LogicFunction[1]", "CAlarm2.AlarmStartup[2]"}},
    {"SerialRanges",
     KM61_R2,
     [](Configuration& c) {
         c.SerialComm().setNetworkAdd(256);
         c.SerialComm().setBaudRate(4);
     },
     {"CSerialComm.NetworkAdd", "CSerialComm.BaudRate"}},
    {"AlarmsInUseAreValid", KM61_R2, [](Configuration& c) { UseAlarms(c, 1, 16); }, {}},
    {"AlarmVariableNotOfferedInSingle",
     KM61_R2,
     [](Configuration& c) {
         UseAlarms(c, 1, 2);
         c.UsoInstr().setSystem(1);
         c.Alarm(1).setVarControllata(1, 2);  // V L3-N
     },
     {"CAlarm1.VarControllata[1]"}},
    {"AlarmOnACounterVariable",
     KM61_R2,
     [](Configuration& c) {
         UseAlarms(c, 1, 1);
         c.Alarm(1).setVarControllata(0, 43);
     },
     {"CAlarm1.VarControllata[0]"}},
    {"AlarmScaleAboveDPScaleMax",
     KM61_R2,
     [](Configuration& c) {
         UseAlarms(c, 1, 1);
         c.Alarm(1).setScaleSelect(0, 5);
     },
     {"CAlarm1.ScaleSelect[0]"}},
    {"AlarmScaleBelowTwo",
     KM61_R2,
     [](Configuration& c) {
         UseAlarms(c, 1, 1);
         c.Alarm(1).setScaleSelect(0, 1);
     },
     {"CAlarm1.ScaleSelect[0]"}},
    // At a finer scale than the full scale's the page offers up to 9999.
    {"AlarmAtAFinerScale",
     KM61_R2,
     [](Configuration& c) {
         UseAlarms(c, 1, 1);
         c.Alarm(1).setScaleSelect(0, 3);
         c.Alarm(1).setMaxAlarm(0, 9999);
     },
     {}},
    {"AlarmLimitsOutsideTheRange",
     KM61_R2,
     [](Configuration& c) {
         UseAlarms(c, 1, 2);
         c.Alarm(1).setMinAlarm(0, -1);
         c.Alarm(1).setMaxAlarm(1, 6001);
     },
     {"CAlarm1.MinAlarm[0]", "CAlarm1.MaxAlarm[1]"}},
    {"AlarmLowerAboveUpper",
     KM61_R2,
     [](Configuration& c) {
         UseAlarms(c, 1, 1);
         c.Alarm(1).setMinAlarm(0, 3000);
         c.Alarm(1).setMaxAlarm(0, 2000);
     },
     {"CAlarm1.MinAlarm[0]"}},
    {"PowerFactorLimits",
     KM61_R2,
     [](Configuration& c) {
         UseAlarms(c, 1, 2);
         for (int i = 0; i < 2; ++i) {
             c.Alarm(1).setVarControllata(i, 20);
             c.Alarm(1).setScaleSelect(i, 2);
             c.Alarm(1).setMinAlarm(i, -1000);
             c.Alarm(1).setMaxAlarm(i, 1000);
         }
         c.Alarm(1).setMaxAlarm(1, 1001);
     },
     {"CAlarm1.MaxAlarm[1]"}},
    // Active system power may go negative; apparent power may not.
    {"PowerSigns",
     KM61_R2,
     [](Configuration& c) {
         UseAlarms(c, 1, 2);
         c.Alarm(1).setVarControllata(0, 25);
         c.Alarm(1).setVarControllata(1, 26);
         // Full scale 259.2 kW: 2592 at scale 7.
         for (int i = 0; i < 2; ++i) {
             c.Alarm(1).setScaleSelect(i, 7);
             c.Alarm(1).setMinAlarm(i, -10);
             c.Alarm(1).setMaxAlarm(i, 2592);
         }
     },
     {"CAlarm1.MinAlarm[1]"}},
    {"AlarmsBeyondTheCountAreFree",
     KM61_R2,
     [](Configuration& c) {
         UseAlarms(c, 1, 2);
         c.Alarm(1).setVarControllata(2, 60);
         c.Alarm(1).setScaleSelect(2, 17);
         c.Alarm(1).setMinAlarm(2, 5);
     },
     {}},
    {"AlarmsOfAPulseOutputAreFree",
     KM61_R2,
     [](Configuration& c) {
         c.DigOutConfig().setNumAlarm1(3);
         c.Alarm(1).setVarControllata(0, 60);
     },
     {}},
    {"SecondOutputOfATypeSixteenModelIsFree",
     KM61_RS,
     [](Configuration& c) {
         UseAlarms(c, 2, 1);
         c.Alarm(2).setVarControllata(0, 60);
     },
     {}},
    {"SecondOutputOfATypeFourModelIsChecked",
     KM61_R2,
     [](Configuration& c) {
         UseAlarms(c, 2, 1);
         c.Alarm(2).setVarControllata(0, 60);
     },
     {"CAlarm2.VarControllata[0]"}},
    // Limits need both ratios to compute the range: a bad ratio is named alone.
    {"BadRatioSkipsTheLimits",
     KM61_R2,
     [](Configuration& c) {
         UseAlarms(c, 1, 1);
         c.UsoInstr().setRapportoTA(0);
         c.Alarm(1).setScaleSelect(0, 17);
     },
     {"CUsoInstr.RapportoTA"}},
    {"ModelWithoutAnalogueOutputsIgnoresThem",
     KM61_R2,
     [](Configuration& c) {
         c.AnalogOutSetup(1).setMaxOut(1000);
         c.AnalogOutSetup(1).setScaleSelect(0);
     },
     {}},
    {"OneAnalogueOutputIsChecked",
     KM61_A1,
     [](Configuration& c) {
         c.AnalogOutSetup(1).setMaxOut(1000);
         c.AnalogOutSetup(1).setMinOut(-1);
         c.AnalogOutSetup(2).setMaxOut(1000);
         c.AnalogOutSetup(3).setScaleSelect(0);
     },
     {"CAnalogOutSetup1.MaxOut", "CAnalogOutSetup1.MinOut"}},
    {"ThreeAnalogueOutputsAreChecked",
     KM63_A3,
     [](Configuration& c) {
         c.AnalogOutSetup(1).setVariabileRipetuta(43);
         c.AnalogOutSetup(2).setScaleSelect(5);
         c.AnalogOutSetup(3).setMinIn(6000);
         c.AnalogOutSetup(3).setMaxIn(0);
     },
     {"CAnalogOutSetup1.VariabileRipetuta", "CAnalogOutSetup2.ScaleSelect",
      "CAnalogOutSetup3.MinIn"}},
    {"AnalogueInputAboveTheRange",
     KM63_A3,
     [](Configuration& c) { c.AnalogOutSetup(2).setMaxIn(6001); },
     {"CAnalogOutSetup2.MaxIn"}},
};

INSTANTIATE_TEST_SUITE_P(Validation, Rules, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.name);
                         });

TEST(Validation, MessagesSayWhatIsAllowed) {
    Configuration c;
    MakeValid(c, KM61_R2);
    c.UsoInstr().setRapportoTV(5);
    c.UsoInstr().setSystem(0);
    UseAlarms(c, 1, 1);
    c.Alarm(1).setMaxAlarm(0, 7000);
    const FieldProblems p = ValidateConfiguration(c);
    ASSERT_EQ(p.size(), 2) << Text(p);
    EXPECT_EQ(p[0].message(), "CUsoInstr.RapportoTV: 5 is outside 10..60000");
    EXPECT_EQ(p[1].message(),
              "CUsoInstr.System: 0 (Unbalanced, 3-phase with or without neutral) is not offered "
              "for KM6.1.x.R2.KX: only 1 or 4");
    // The ratio is refused, so the range is not computed: fix it and look again.
    c.UsoInstr().setRapportoTV(10);
    c.UsoInstr().setSystem(4);
    const FieldProblems q = ValidateConfiguration(c);
    ASSERT_EQ(q.size(), 1) << Text(q);
    EXPECT_EQ(q[0].message(),
              "CAlarm1.MaxAlarm[0]: 7000 is outside 0..6000 at scale 4 (0.0A..600.0A)");
}

TEST(Validation, SettledSystemAndAlarmsInUse) {
    EXPECT_EQ(SettledSystem(KM51_R2), 4);
    EXPECT_EQ(SettledSystem(KM61_R2), 4);
    EXPECT_EQ(SettledSystem(KM53_O2), 0);
    EXPECT_EQ(SettledSystem(KM63_R2), 0);

    Configuration c;
    MakeValid(c, KM61_RS);
    UseAlarms(c, 1, 20);
    UseAlarms(c, 2, 3);
    EXPECT_EQ(AlarmsInUse(c, 1), 16);
    EXPECT_EQ(AlarmsInUse(c, 2), 0);  // a type 16 module has output 1 only
    c.UsoInstr().setInstrModel(KM61_R2);
    EXPECT_EQ(AlarmsInUse(c, 2), 3);
    c.DigOutConfig().setDigOut2(CDigOutConfig::RemoteControl);
    EXPECT_EQ(AlarmsInUse(c, 2), 0);
    EXPECT_EQ(AnalogOutputsInUse(c), 0);
    c.UsoInstr().setInstrModel(KM63_A3);
    EXPECT_EQ(AnalogOutputsInUse(c), 3);
    EXPECT_EQ(AlarmsInUse(c, 1), 0);
}

TEST(NameRule, RefusesBlankOverlongAndControlCharacters) {
    const struct {
        QString name;
        const char* refusal;  // part of the text; nullptr when the name is taken
    } cases[] = {
        {QStringLiteral("Quadro A"), nullptr},
        {QString::fromUtf8("F\u00ebeder \u2603"), nullptr},
        {QString(MaxNameLength, u'x'), nullptr},
        {QString(MaxNameLength + 1, u'x'), "256 characters, at most 255"},
        {QString(5000, u'x'), "5000 characters, at most 255"},
        {QString(), "a configuration name is needed"},
        {QStringLiteral(" \t "), "a configuration name is needed"},
        {QStringLiteral("Line\nA"), "U+000a at position 5"},
        {QStringLiteral("Line\tA"), "control characters (newline, tab, NUL)"},
        {QString::fromLatin1(QByteArray("Line\0A", 6)), "U+0000"},
        {QString::fromUtf8("Line\u0085A"), "U+0085"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.left(20).toStdString());
        const QString problem = NameProblem(c.name);
        if (!c.refusal) {
            EXPECT_EQ(problem, QString());
            continue;
        }
        EXPECT_TRUE(problem.contains(QLatin1String(c.refusal))) << problem.toStdString();
    }
}

}  // namespace
