#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "ModelTestSupport.h"
#include "model/Configuration.h"
#include "model/ConfigurationJson.h"

using namespace voltaris;
using test::Fields;
using test::Text;

namespace {

QByteArray Json(const char* text) {
    return QByteArray(text);
}

// Every stored value away from its default and valid: model KM5.3.x.O2.KX (byte 3 set),
// two-phase wiring, output 1 driving three alarms, output 2 switched remotely.
void FillValid(Configuration& c) {
    CUsoInstr& u = c.UsoInstr();
    u.setNomeProgramma(QStringLiteral("Cabina \"Nord\" \u00e8 \u00b5\\ 1"));
    u.setInstrModel(0x01210004);
    u.setFilterScale(55);
    u.setIntTimeCorr(7);
    u.setFilterCoeff(32);
    u.setRapportoTV(1005);
    u.setRapportoTA(250);
    u.setSystem(2);
    u.setIntTimePot(30);
    u.setNetworkAddVexbus(200);
    CDigOutConfig& d = c.DigOutConfig();
    d.setDigOut1(CDigOutConfig::Alarm);
    d.setNumAlarm1(3);
    d.setStatusDigOut1(1);
    d.setDigOut2(CDigOutConfig::RemoteControl);
    d.setNumAlarm2(0);
    d.setStatusDigOut2(1);
    for (int n = 1; n <= 2; ++n) {
        c.PulseOutSetup(n).setSelectCounter(1);
        c.PulseOutSetup(n).setPulseOut(n * 12345);
        c.PulseOutSetup(n).setPulseOutStatus(1);
    }
    for (int n = 1; n <= 2; ++n) {
        CAlarm& a = c.Alarm(n);
        for (int i = 0; i < 16; ++i) {
            a.setVarControllata(i, i < 3 ? 6 + i % 2 : 40 + i);  // unused entries: anything
            a.setScaleSelect(i, qint16(i < 3 ? 3 + i % 2 : i));
            a.setMinAlarm(i, qint16(i * 10));
            a.setMaxAlarm(i, qint16(1000 + i));
            a.setDelayTime(i, qint16(255 - i));
            a.setAlarmType(i, qint16(i % 4));
            a.setAlarmStatus(i, qint16((i + n) % 2));
            a.setLogicFunction(i, qint16(i % 2));
            a.setAlarmStartup(i, qint16((i + 1) % 2));
        }
    }
    c.SerialComm().setNetworkAdd(247);
    c.SerialComm().setBaudRate(3);
    for (int n = 1; n <= 3; ++n) {
        CAnalogOutSetup& a = c.AnalogOutSetup(n);
        a.setVariabileRipetuta(20 + n);
        a.setScaleSelect(qint16(n));
        a.setMaxIn(qint16(-n));
        a.setMinIn(qint16(n * 7));
        a.setMaxOut(qint16(90 + n));
        a.setMinOut(qint16(n));
    }
}

void ExpectSameRecords(const Configuration& a, const Configuration& b) {
    for (int i = 0; i < a.Records().size(); ++i)
        EXPECT_TRUE(a.Records()[i]->SameData(*b.Records()[i]))
            << a.Records()[i]->ClassName().toStdString();
}

TEST(ConfigurationJson, WrittenTextReadsBackToTheSameRecords) {
    Configuration original;
    FillValid(original);
    const QByteArray text = ConfigurationToJsonText(original);
    Configuration copy;
    const FieldProblems p = ApplyConfigurationJson(text, copy, JsonMode::Update);
    ASSERT_TRUE(p.isEmpty()) << Text(p) << "\n" << text.constData();
    ExpectSameRecords(original, copy);
    // The text and the object form carry the same content.
    EXPECT_EQ(QJsonDocument::fromJson(text).object(), ConfigurationToJson(original));
}

TEST(ConfigurationJson, LayoutOfTheWrittenText) {
    Configuration c;
    FillValid(c);
    const QString text = QString::fromUtf8(ConfigurationToJsonText(c));
    // Records in storing order, properties in column order, arrays on one line.
    const QStringList tables = {
        "CUsoInstr", "CDigOutConfig", "CPulseOutSetup1",  "CPulseOutSetup2",  "CAlarm1",
        "CAlarm2",   "CSerialComm",   "CAnalogOutSetup1", "CAnalogOutSetup2", "CAnalogOutSetup3"};
    qsizetype at = 0;
    for (const QString& t : tables) {
        const qsizetype next = text.indexOf(QStringLiteral("\n    \"%1\": {\n").arg(t));
        EXPECT_GT(next, at - 1) << t.toStdString();
        at = next;
    }
    EXPECT_TRUE(
        text.startsWith("{\n    \"CUsoInstr\": {\n        \"NomeProgramma\": "
                        "\"Cabina \\\"Nord\\\" \u00e8 \u00b5\\\\ 1\",\n"
                        "        \"InstrModel\": \"KM5.3.x.O2.KX\",\n"))
        << text.left(200).toStdString();
    EXPECT_TRUE(
        text.contains("        \"AlarmType\": [0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, "
                      "2, 3],\n"))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith("        \"MinOut\": 3\n    }\n}\n"));
    // Plain (not stored) properties are not part of the format.
    EXPECT_FALSE(text.contains("NumAlarm\""));
    EXPECT_FALSE(text.contains("ModuleTypeLo"));
}

TEST(ConfigurationJson, UncataloguedModelIsWrittenAsANumber) {
    Configuration c;
    c.UsoInstr().setInstrModel(0x00990004);
    EXPECT_EQ(ConfigurationToJson(c)["CUsoInstr"].toObject()["InstrModel"].toInteger(), 0x00990004);
    c.UsoInstr().setInstrModel(0x00240004);
    EXPECT_EQ(ConfigurationToJson(c)["CUsoInstr"].toObject()["InstrModel"].toString(),
              "KM6.1.x.R2.KX");
}

TEST(ConfigurationJson, CreateKeepsDefaultsAndSettlesLikeThePages) {
    struct Case {
        const char* json;
        qint16 system;
    };
    const Case cases[] = {
        {R"({"CUsoInstr": {"InstrModel": "KM6.1.x.R2.KX"}})", 4},
        {R"({"CUsoInstr": {"InstrModel": "KM5.1.x.S1.KX"}})", 4},
        {R"({"CUsoInstr": {"InstrModel": "KM6.3.x.R2.KX"}})", 0},
        {R"({"CUsoInstr": {"InstrModel": "km5.3.x.o2.kx"}})", 0},
        {R"({"CUsoInstr": {"InstrModel": 2359300, "System": 1}})", 1},
    };
    for (const Case& k : cases) {
        Configuration c;
        const FieldProblems p = ApplyConfigurationJson(Json(k.json), c, JsonMode::Create);
        ASSERT_TRUE(p.isEmpty()) << k.json << "\n" << Text(p);
        EXPECT_EQ(c.UsoInstr().System(), k.system) << k.json;
        // Everything else keeps the record defaults.
        Configuration fresh;
        fresh.UsoInstr().setInstrModel(c.UsoInstr().InstrModel());
        fresh.UsoInstr().setSystem(k.system);
        ExpectSameRecords(fresh, c);
    }
}

TEST(ConfigurationJson, CreateClampsTheOutputRangeOfAnalogueOutputsInUse) {
    Configuration c;
    const FieldProblems p = ApplyConfigurationJson(
        Json(R"({"CUsoInstr": {"InstrModel": "KM6.1.x.A1.KX", "RapportoTA": 5},
                 "CAnalogOutSetup1": {"VariabileRipetuta": 6, "ScaleSelect": 2, "MaxIn": 5000}})"),
        c, JsonMode::Create);
    ASSERT_TRUE(p.isEmpty()) << Text(p);
    EXPECT_EQ(c.AnalogOutSetup(1).MaxOut(), 100);
    EXPECT_EQ(c.AnalogOutSetup(2).MaxOut(), 1000);  // not an output of this model

    // A value given is never changed, and in an update nothing settles.
    Configuration d;
    EXPECT_EQ(Fields(ApplyConfigurationJson(
                  Json(R"({"CUsoInstr": {"InstrModel": "KM6.1.x.A1.KX", "RapportoTA": 5},
                           "CAnalogOutSetup1": {"ScaleSelect": 2, "MaxOut": 1000}})"),
                  d, JsonMode::Create)),
              QStringList{"CAnalogOutSetup1.MaxOut"});
    Configuration e;
    EXPECT_EQ(Fields(ApplyConfigurationJson(
                  Json(R"({"CUsoInstr": {"InstrModel": "KM6.1.x.A1.KX", "System": 4},
                           "CAnalogOutSetup1": {"ScaleSelect": 2}})"),
                  e, JsonMode::Update)),
              QStringList{"CAnalogOutSetup1.MaxOut"});
}

TEST(ConfigurationJson, UpdateChangesOnlyWhatIsGiven) {
    Configuration c;
    FillValid(c);
    Configuration expected;
    FillValid(expected);
    const FieldProblems p = ApplyConfigurationJson(Json(R"({"CUsoInstr": {"RapportoTV": 60000},
                 "CAlarm1": {"MaxAlarm": [900, 901], "DelayTime": []},
                 "CSerialComm": {}})"),
                                                   c, JsonMode::Update);
    ASSERT_TRUE(p.isEmpty()) << Text(p);
    expected.UsoInstr().setRapportoTV(60000);
    expected.Alarm(1).setMaxAlarm(0, 900);
    expected.Alarm(1).setMaxAlarm(1, 901);
    ExpectSameRecords(expected, c);
}

struct Refusal {
    const char* name;
    const char* json;
    QStringList fields;
    const char* text;  // part of the first message
};

void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

class Refusals : public testing::TestWithParam<Refusal> {};

// Over a valid stored configuration: a refused document names its fields and changes nothing.
TEST_P(Refusals, NameEveryFieldAndChangeNothing) {
    Configuration c;
    FillValid(c);
    const QByteArray before = ConfigurationToJsonText(c);
    const FieldProblems p = ApplyConfigurationJson(Json(GetParam().json), c, JsonMode::Update);
    EXPECT_EQ(Fields(p), GetParam().fields) << Text(p);
    ASSERT_FALSE(p.isEmpty());
    EXPECT_TRUE(p.first().message().contains(QString::fromUtf8(GetParam().text))) << Text(p);
    EXPECT_EQ(ConfigurationToJsonText(c), before);
}

const Refusal kRefusals[] = {
    {"Empty", "", {""}, "not valid JSON"},
    {"Truncated", "{\n  \"CUsoInstr\": {\n", {""}, "at line 3, column 1"},
    {"TrailingComma", R"({"CUsoInstr": {"System": 1,}})", {""}, "not valid JSON"},
    {"NotAnObject", "[1, 2]", {""}, "a JSON object"},
    {"UnknownTable", R"({"CAlarm3": {}, "CUsoInstr": {}})", {"CAlarm3"}, "unknown record table"},
    {"RecordNotAnObject", R"({"CSerialComm": [1]})", {"CSerialComm"}, "an object of properties"},
    {"UnknownKey", R"({"CSerialComm": {"Address": 3}})", {"CSerialComm.Address"}, "unknown key"},
    {"KeysAreCaseSensitive",
     R"({"CSerialComm": {"networkadd": 3}})",
     {"CSerialComm.networkadd"},
     "unknown key"},
    {"PlainPropertiesAreNotKeys",
     R"({"CAlarm1": {"NumAlarm": 3}, "CDigOutConfig":
      {"ModuleTypeLo": 4}, "CAnalogOutSetup1": {"System": 1}})",
     {"CDigOutConfig.ModuleTypeLo", "CAlarm1.NumAlarm", "CAnalogOutSetup1.System"},
     "unknown key"},
    {"TextForANumber",
     R"({"CUsoInstr": {"FilterScale": "12"}})",
     {"CUsoInstr.FilterScale"},
     "a whole number expected, got \"12\""},
    {"BooleanForANumber",
     R"({"CSerialComm": {"BaudRate": true}})",
     {"CSerialComm.BaudRate"},
     "a whole number expected, got true"},
    {"NullForANumber",
     R"({"CSerialComm": {"BaudRate": null}})",
     {"CSerialComm.BaudRate"},
     "got null"},
    {"Fraction",
     R"({"CUsoInstr": {"RapportoTV": 10.5}})",
     {"CUsoInstr.RapportoTV"},
     "a whole number expected, got 10.5"},
    {"TooWideFor16Bits",
     R"({"CUsoInstr": {"FilterScale": 32768}})",
     {"CUsoInstr.FilterScale"},
     "32768 does not fit a 16-bit integer (-32768..32767)"},
    {"TooWideFor32Bits",
     R"({"CUsoInstr": {"RapportoTA": -2147483649}})",
     {"CUsoInstr.RapportoTA"},
     "does not fit a 32-bit integer"},
    {"HugeNumber",
     R"({"CPulseOutSetup1": {"PulseOut": 1e300}})",
     {"CPulseOutSetup1.PulseOut"},
     "does not fit a 32-bit integer"},
    {"NumberForText",
     R"({"CUsoInstr": {"NomeProgramma": 12}})",
     {"CUsoInstr.NomeProgramma"},
     "a text expected, got 12"},
    {"EmptyName",
     R"({"CUsoInstr": {"NomeProgramma": ""}})",
     {"CUsoInstr.NomeProgramma"},
     "a configuration name is needed"},
    {"UnknownModelName",
     R"({"CUsoInstr": {"InstrModel": "KM9.9"}})",
     {"CUsoInstr.InstrModel"},
     "\"KM9.9\" is not a model of the catalogue"},
    {"UnknownModelNumber",
     R"({"CUsoInstr": {"InstrModel": 5}})",
     {"CUsoInstr.InstrModel"},
     "0x00000005 is not a model of the catalogue"},
    {"ModelOfAnotherKind",
     R"({"CUsoInstr": {"InstrModel": ["KM6.1.x.R2.KX"]}})",
     {"CUsoInstr.InstrModel"},
     "a catalogue name or a number expected"},
    {"ArrayForAPlainProperty",
     R"({"CUsoInstr": {"System": [1]}})",
     {"CUsoInstr.System"},
     "a whole number expected"},
    {"NumberForAnArray",
     R"({"CAlarm2": {"DelayTime": 5}})",
     {"CAlarm2.DelayTime"},
     "an array of at most 16 values expected, got 5"},
    {"SeventeenEntries",
     R"({"CAlarm2": {"DelayTime": [0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0]}})",
     {"CAlarm2.DelayTime"},
     "17 entries, at most 16 allowed"},
    {"BadEntriesAreNamedByPosition",
     R"({"CAlarm2": {"MinAlarm": [0, "x", 1, 40000], "AlarmType": [0, 0, 9]}})",
     {"CAlarm2.MinAlarm[1]", "CAlarm2.MinAlarm[3]", "CAlarm2.AlarmType[2]"},
     "a whole number expected, got \"x\""},
    // What the document itself gets wrong first, then the page rules the result breaks.
    {"EveryFieldNamed",
     R"({"CUsoInstr": {"System": 3, "FilterCoeff": 0, "Colour": "red"},
         "CDigOutConfig": {"NumAlarm2": 14},
         "CAlarm1": {"ScaleSelect": [9], "DelayTime": [300]},
         "CSerialComm": {"BaudRate": 38400}})",
     {"CUsoInstr.Colour", "CSerialComm.BaudRate", "CUsoInstr.FilterCoeff",
      "CDigOutConfig.NumAlarm2", "CAlarm1.ScaleSelect[0]", "CAlarm1.DelayTime[0]"},
     "unknown key"},
    // The parser keeps the last of two equal keys: both are refused, not merged.
    {"KeyTwice",
     R"({"CUsoInstr": {"RapportoTA": 250, "RapportoTV": 1005, "RapportoTA": 250}})",
     {"CUsoInstr.RapportoTA"},
     "the key is given twice"},
    {"KeyTwiceSpelledWithAnEscape",
     R"({"CSerialComm": {"NetworkAdd": 5, "\u004eetworkAdd": 6}})",
     {"CSerialComm.NetworkAdd"},
     "given twice"},
    {"RecordTwice",
     R"({"CSerialComm": {"NetworkAdd": 5}, "CUsoInstr": {}, "CSerialComm": {"BaudRate": 1}})",
     {"CSerialComm"},
     "the record is given twice"},
    {"NameWithANewline",
     R"({"CUsoInstr": {"NomeProgramma": "Line\nA"}})",
     {"CUsoInstr.NomeProgramma"},
     "control characters (newline, tab, NUL)"},
    // A value refused while reading is not refused again by the rules it would break.
    {"RefusedOnce",
     R"({"CUsoInstr": {"InstrModel": "nope", "System": "x"}})",
     {"CUsoInstr.InstrModel", "CUsoInstr.System"},
     "\"nope\""},
};

TEST(ConfigurationJson, EqualKeysInDifferentObjectsAreNoDuplicates) {
    Configuration c;
    FillValid(c);
    const FieldProblems p =
        ApplyConfigurationJson(Json(R"({"CAlarm1": {"ScaleSelect": [4], "DelayTime": [1]},
                 "CAlarm2": {"ScaleSelect": [0], "DelayTime": [1]},
                 "CUsoInstr": {"NomeProgramma": "ScaleSelect"}})"),
                               c, JsonMode::Update);
    EXPECT_EQ(Text(p), "");
}

TEST(ConfigurationJson, CreateNeedsTheModel) {
    for (const char* json : {"{}", R"({"CUsoInstr": {"RapportoTA": 5}})"}) {
        Configuration c;
        const FieldProblems p = ApplyConfigurationJson(Json(json), c, JsonMode::Create);
        EXPECT_EQ(Fields(p), QStringList{"CUsoInstr.InstrModel"}) << Text(p);
        ASSERT_FALSE(p.isEmpty());
        EXPECT_TRUE(p.first().text.contains("the model is required")) << Text(p);
    }
    // Update keeps the stored model.
    Configuration c;
    FillValid(c);
    EXPECT_EQ(Text(ApplyConfigurationJson(Json("{}"), c, JsonMode::Update)), "");
}

TEST(ConfigurationJson, TextsLongerThanTheLimitAreRefusedUnread) {
    const QByteArray document = R"({"CUsoInstr": {"InstrModel": "KM6.1.x.R2.KX"}})";
    const QByteArray atLimit = document + QByteArray(MaxJsonSize - document.size(), ' ');
    Configuration c;
    EXPECT_EQ(Text(ApplyConfigurationJson(atLimit, c, JsonMode::Create)), "");
    const FieldProblems p = ApplyConfigurationJson(atLimit + ' ', c, JsonMode::Create);
    EXPECT_EQ(Fields(p), QStringList{""});
    ASSERT_FALSE(p.isEmpty());
    EXPECT_TRUE(p.first().text.contains("longer than 1048576 bytes")) << Text(p);
}

TEST(ConfigurationJson, AValueRefusedWhileReadingIsNotRefusedAgain) {
    // In a new configuration the model stays 0 when the one given is refused, and the
    // usage record keeps every default when the record itself is refused.
    const struct {
        const char* json;
        QStringList fields;
    } cases[] = {
        {R"({"CUsoInstr": {"InstrModel": "nope"}})", {"CUsoInstr.InstrModel"}},
        {R"({"CUsoInstr": 5})", {"CUsoInstr"}},
        {R"({"CUsoInstr": {"InstrModel": "KM6.1.x.R2.KX", "System": 1.5}})", {"CUsoInstr.System"}},
    };
    for (const auto& k : cases) {
        Configuration c;
        const FieldProblems p = ApplyConfigurationJson(Json(k.json), c, JsonMode::Create);
        EXPECT_EQ(Fields(p), k.fields) << k.json << "\n" << Text(p);
    }
}

INSTANTIATE_TEST_SUITE_P(ConfigurationJson, Refusals, testing::ValuesIn(kRefusals),
                         [](const testing::TestParamInfo<Refusal>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
