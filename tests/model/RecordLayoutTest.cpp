// Properties, defaults, columns and copying of every record.

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>

#include "ModelTestSupport.h"
#include "archive/Archive.h"
#include "model/CAlarm.h"
#include "model/CAnalogOutSetup.h"
#include "model/CCommConfig.h"
#include "model/CDigOutConfig.h"
#include "model/CNetworkAddMsgSetup.h"
#include "model/COption.h"
#include "model/CPulseOutSetup.h"
#include "model/CSerialComm.h"
#include "model/CUsoInstr.h"
#include "model/Configuration.h"

using namespace voltaris;

namespace {

struct ExpectedProperty {
    const char* name;
    const char* key;
    PropType type;
    int count;
    bool stored;
    QVariant def;
};

QVariant i16(qint16 v) {
    return QVariant::fromValue(v);
}
QVariant i32(qint32 v) {
    return QVariant::fromValue(v);
}

struct RecordCase {
    const char* className;
    std::function<std::unique_ptr<CRecord>()> make;
    CRecord::Family family;
    QList<ExpectedProperty> properties;
};

void PrintTo(const RecordCase& c, std::ostream* os) {
    *os << c.className;
}

template <class R>
std::function<std::unique_ptr<CRecord>()> maker() {
    return [] { return std::make_unique<R>(); };
}

QList<ExpectedProperty> alarmProperties() {
    return {
        {"VarControllata", "m_VarControllata", PropType::Int32, 16, true, i32(0)},
        {"ScaleSelect", "m_ScaleSelect", PropType::Int16, 16, true, i16(0)},
        {"MinAlarm", "m_MinAlarm", PropType::Int16, 16, true, i16(0)},
        {"MaxAlarm", "m_MaxAlarm", PropType::Int16, 16, true, i16(0)},
        {"DelayTime", "m_DelayTime", PropType::Int16, 16, true, i16(0)},
        {"AlarmType", "m_AlarmType", PropType::Int16, 16, true, i16(0)},
        {"AlarmStatus", "m_AlarmStatus", PropType::Int16, 16, true, i16(0)},
        {"LogicFunction", "m_LogicFunction", PropType::Int16, 16, true, i16(0)},
        {"AlarmStartup", "m_AlarmStartup", PropType::Int16, 16, true, i16(0)},
        {"InstrModel", "m_InstrModel", PropType::Int32, 1, false, i32(0x00230004)},
        {"System", "m_System", PropType::Int16, 1, false, i16(0)},
        {"RapportoTV", "m_RapportoTV", PropType::Int32, 1, false, i32(1)},
        {"RapportoTA", "m_RapportoTA", PropType::Int32, 1, false, i32(1)},
        {"NumAlarm", "m_NumAlarm", PropType::Int16, 1, false, i16(1)},
    };
}

const QList<RecordCase>& recordCases() {
    static const QList<RecordCase> cases = {
        {"CUsoInstr",
         maker<CUsoInstr>(),
         CRecord::Family::Archive,
         {
             {"NomeProgramma", "m_NomeProgramma", PropType::Text, 1, true,
              QStringLiteral("No name")},
             {"InstrModel", "m_InstrModel", PropType::Int32, 1, true, i32(0)},
             {"FilterScale", "m_FilterScale", PropType::Int16, 1, true, i16(1)},
             {"IntTimeCorr", "m_IntTimeCorr", PropType::Int16, 1, true, i16(15)},
             {"FilterCoeff", "m_FilterCoeff", PropType::Int16, 1, true, i16(1)},
             {"RapportoTV", "m_RapportoTV", PropType::Int32, 1, true, i32(10)},
             {"RapportoTA", "m_RapportoTA", PropType::Int32, 1, true, i32(1)},
             {"System", "m_System", PropType::Int16, 1, true, i16(0)},
             {"IntTimePot", "m_IntTimePot", PropType::Int16, 1, true, i16(15)},
             {"NetworkAddVexbus", "m_NetworkAddVexbus", PropType::Int16, 1, true, i16(1)},
         }},
        {"CDigOutConfig",
         maker<CDigOutConfig>(),
         CRecord::Family::Archive,
         {
             {"DigOut1", "m_DigOut1", PropType::Int16, 1, true, i16(0)},
             {"NumAlarm1", "m_NumAlarm1", PropType::Int16, 1, true, i16(0)},
             {"StatusDigOut1", "m_StatusDigOut1", PropType::Int16, 1, true, i16(0)},
             {"DigOut2", "m_DigOut2", PropType::Int16, 1, true, i16(0)},
             {"NumAlarm2", "m_NumAlarm2", PropType::Int16, 1, true, i16(0)},
             {"StatusDigOut2", "m_StatusDigOut2", PropType::Int16, 1, true, i16(0)},
             {"ModuleTypeLo", "m_ModuleTypeLo", PropType::UInt8, 1, false,
              QVariant::fromValue(quint8(4))},
         }},
        {"CPulseOutSetup",
         maker<CPulseOutSetup>(),
         CRecord::Family::Archive,
         {
             {"SelectCounter", "m_SelectCounter", PropType::Int16, 1, true, i16(0)},
             {"PulseOut", "m_PulseOut", PropType::Int32, 1, true, i32(1)},
             {"PulseOutStatus", "m_PulseOutStatus", PropType::Int16, 1, true, i16(0)},
         }},
        {"CAlarm", maker<CAlarm>(), CRecord::Family::Archive, alarmProperties()},
        {"CSerialComm",
         maker<CSerialComm>(),
         CRecord::Family::Archive,
         {
             {"NetworkAdd", "m_NetworkAdd", PropType::Int16, 1, true, i16(1)},
             {"BaudRate", "m_BaudRate", PropType::Int16, 1, true, i16(0)},
         }},
        {"CAnalogOutSetup",
         maker<CAnalogOutSetup>(),
         CRecord::Family::Archive,
         {
             {"VariabileRipetuta", "m_VariabileRipetuta", PropType::Int32, 1, true, i32(0)},
             {"ScaleSelect", "m_ScaleSelect", PropType::Int16, 1, true, i16(0)},
             {"MaxIn", "m_MaxIn", PropType::Int16, 1, true, i16(0)},
             {"MinIn", "m_MinIn", PropType::Int16, 1, true, i16(0)},
             {"MaxOut", "m_MaxOut", PropType::Int16, 1, true, i16(1000)},
             {"MinOut", "m_MinOut", PropType::Int16, 1, true, i16(0)},
             {"System", "m_System", PropType::Int16, 1, false, i16(0)},
             {"InstrModel", "m_InstrModel", PropType::Int32, 1, false, i32(0x00230004)},
             {"RapportoTV", "m_RapportoTV", PropType::Int32, 1, false, i32(1)},
             {"RapportoTA", "m_RapportoTA", PropType::Int32, 1, false, i32(1)},
         }},
        {"CCommConfig",
         maker<CCommConfig>(),
         CRecord::Family::Settings,
         {
             {"ComPort", "m_ComPort", PropType::Int16, 1, true, i16(1)},
             {"InterfaceType", "m_InterfaceType", PropType::Int16, 1, true, i16(0)},
         }},
        {"CNetworkAddMsgSetup",
         maker<CNetworkAddMsgSetup>(),
         CRecord::Family::Settings,
         {
             {"NetworkAdd", "m_NetworkAdd", PropType::Int16, 1, true, i16(1)},
             {"ModeConfig", "m_ModeConfig", PropType::Int16, 1, true, i16(0)},
             {"SelNetworkAdd", "m_SelNetworkAdd", PropType::Int16, 1, true, i16(0)},
             {"TotalInstrNetwork", "m_TotalInstrNetwork", PropType::Int16, 1, true, i16(255)},
             {"InterfaceType", "m_InterfaceType", PropType::Int16, 1, false, i16(0)},
         }},
        {"COption",
         maker<COption>(),
         CRecord::Family::Settings,
         {
             {"PrintHeaderPage", "m_bPrintHeaderPage", PropType::Bool, 1, true, QVariant(false)},
             {"HeaderPagePath", "m_HeaderPagePath", PropType::Text, 1, true, QString()},
             {"PrintNotePiePagina", "m_bPrintNotePiePagina", PropType::Bool, 1, true,
              QVariant(false)},
             {"NotePiePagina1", "m_NotePiePagina1", PropType::Text, 1, true, QString()},
             {"NotePiePagina2", "m_NotePiePagina2", PropType::Text, 1, true, QString()},
             {"PrintPageNumber", "m_bPrintPageNumber", PropType::Bool, 1, true, QVariant(false)},
         }},
    };
    return cases;
}

class RecordLayoutTest : public testing::TestWithParam<RecordCase> {};

TEST_P(RecordLayoutTest, PropertiesTypesAndDefaults) {
    test::TraceCapture trace;
    const RecordCase& c = GetParam();
    const std::unique_ptr<CRecord> record = c.make();
    EXPECT_EQ(static_cast<const ICopyClass&>(*record).ClassName(), QLatin1String(c.className));
    EXPECT_EQ(record->InstanceName(), QLatin1String(c.className));
    EXPECT_EQ(record->RecordFamily(), c.family);

    const QList<PropertyDef>& props = record->Properties();
    ASSERT_EQ(props.size(), c.properties.size());
    for (int p = 0; p < props.size(); ++p) {
        const ExpectedProperty& want = c.properties[p];
        const PropertyDef& def = props[p];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(def.name, QLatin1String(want.name));
        EXPECT_EQ(def.key, QLatin1String(want.key));
        EXPECT_EQ(def.type, want.type);
        EXPECT_EQ(def.count, want.count);
        EXPECT_EQ(def.stored, want.stored);
        EXPECT_EQ(record->FindProperty(def.name), &def);
        for (int i = 0; i < def.count; ++i) {
            const QVariant v = record->Get(def, i);
            // Same C++ type as well as the same value: widths are part of the contract.
            EXPECT_EQ(v.metaType(), want.def.metaType()) << i;
            EXPECT_EQ(v, want.def) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Records, RecordLayoutTest, testing::ValuesIn(recordCases()),
                         [](const testing::TestParamInfo<RecordCase>& info) {
                             return std::string(info.param.className);
                         });

TEST(RecordLayout, ColumnsMatchTheArchiveSchema) {
    Configuration config;
    QStringList tables;
    for (const CArchiveRecord* r : config.Records()) {
        tables << r->ClassName();
        EXPECT_EQ(Archive::schemaColumns(r->ClassName()),
                  QStringList{QStringLiteral("IDProgramma")} + r->Columns())
            << r->ClassName().toStdString();
    }
    EXPECT_EQ(tables, Archive::recordTables());
}

TEST(RecordLayout, AlarmColumnsGoIndexByIndex) {
    const QStringList columns = CAlarm().Columns();
    ASSERT_EQ(columns.size(), 144);
    EXPECT_EQ(columns.mid(0, 10),
              (QStringList{"m_VarControllata00", "m_ScaleSelect00", "m_MinAlarm00", "m_MaxAlarm00",
                           "m_DelayTime00", "m_AlarmType00", "m_AlarmStatus00", "m_LogicFunction00",
                           "m_AlarmStartup00", "m_VarControllata01"}));
    EXPECT_EQ(columns.last(), QStringLiteral("m_AlarmStartup15"));
}

TEST(RecordLayout, SettingsKeysInStoringOrder) {
    test::TraceCapture trace;
    EXPECT_EQ(COption().Columns(),
              (QStringList{"m_bPrintHeaderPage", "m_HeaderPagePath", "m_bPrintNotePiePagina",
                           "m_NotePiePagina1", "m_NotePiePagina2", "m_bPrintPageNumber"}));
    EXPECT_EQ(
        CNetworkAddMsgSetup().Columns(),
        (QStringList{"m_NetworkAdd", "m_ModeConfig", "m_SelNetworkAdd", "m_TotalInstrNetwork"}));
    EXPECT_EQ(CCommConfig().Columns(), (QStringList{"m_ComPort", "m_InterfaceType"}));
}

TEST(RecordLayout, SettingsRecordsTraceTheirCreation) {
    test::TraceCapture trace;
    CCommConfig comm;
    CNetworkAddMsgSetup net;
    COption option;
    CUsoInstr uso;
    EXPECT_EQ(trace.lines, (QStringList{"Class_Initialize() CCommConfig",
                                        "Class_Initialize() CNetworkAddMsgSetup",
                                        "Class_Initialize() COption"}));
}

TEST(RecordLayout, ConfigurationInstanceNames) {
    Configuration config;
    EXPECT_EQ(config.PulseOutSetup(2).ClassName(), QStringLiteral("CPulseOutSetup2"));
    EXPECT_EQ(config.Alarm(1).ClassName(), QStringLiteral("CAlarm1"));
    EXPECT_EQ(config.AnalogOutSetup(3).ClassName(), QStringLiteral("CAnalogOutSetup3"));
    EXPECT_EQ(config.Record(QStringLiteral("CAlarm2")), &config.Alarm(2));
    EXPECT_EQ(config.Record(QStringLiteral("CAlarm")), nullptr);
    EXPECT_THROW(config.PulseOutSetup(0), IndexError);
    EXPECT_THROW(config.Alarm(3), IndexError);
    EXPECT_THROW(config.AnalogOutSetup(4), IndexError);
    // Through the contract a numbered record still answers its class's name.
    EXPECT_EQ(static_cast<const ICopyClass&>(config.Alarm(2)).ClassName(),
              QStringLiteral("CAlarm"));
}

// Indexed properties.

using AlarmGetter = std::function<QVariant(const CAlarm&, int)>;
using AlarmSetter = std::function<void(CAlarm&, int)>;

TEST(AlarmIndex, EveryIndexedAccessorRefusesIndexOutside0To15) {
    const QList<std::pair<AlarmGetter, AlarmSetter>> accessors = {
        {[](const CAlarm& a, int i) { return QVariant(a.VarControllata(i)); },
         [](CAlarm& a, int i) { a.setVarControllata(i, 7); }},
        {[](const CAlarm& a, int i) { return QVariant(a.ScaleSelect(i)); },
         [](CAlarm& a, int i) { a.setScaleSelect(i, 7); }},
        {[](const CAlarm& a, int i) { return QVariant(a.MinAlarm(i)); },
         [](CAlarm& a, int i) { a.setMinAlarm(i, 7); }},
        {[](const CAlarm& a, int i) { return QVariant(a.MaxAlarm(i)); },
         [](CAlarm& a, int i) { a.setMaxAlarm(i, 7); }},
        {[](const CAlarm& a, int i) { return QVariant(a.DelayTime(i)); },
         [](CAlarm& a, int i) { a.setDelayTime(i, 7); }},
        {[](const CAlarm& a, int i) { return QVariant(a.AlarmType(i)); },
         [](CAlarm& a, int i) { a.setAlarmType(i, 7); }},
        {[](const CAlarm& a, int i) { return QVariant(a.AlarmStatus(i)); },
         [](CAlarm& a, int i) { a.setAlarmStatus(i, 7); }},
        {[](const CAlarm& a, int i) { return QVariant(a.LogicFunction(i)); },
         [](CAlarm& a, int i) { a.setLogicFunction(i, 7); }},
        {[](const CAlarm& a, int i) { return QVariant(a.AlarmStartup(i)); },
         [](CAlarm& a, int i) { a.setAlarmStartup(i, 7); }},
    };
    for (int k = 0; k < accessors.size(); ++k) {
        SCOPED_TRACE(k);
        CAlarm alarm;
        const auto& [get, set] = accessors[k];
        for (const int bad : {-1, 16, 1000}) {
            EXPECT_THROW(get(alarm, bad), IndexError) << bad;
            EXPECT_THROW(set(alarm, bad), IndexError) << bad;
        }
        set(alarm, 15);
        EXPECT_EQ(get(alarm, 15).toInt(), 7);
        EXPECT_EQ(get(alarm, 14).toInt(), 0);
    }
}

TEST(AlarmIndex, TableAccessChecksIndexAndOwner) {
    CAlarm alarm;
    CUsoInstr uso;
    const PropertyDef& maxAlarm = *alarm.FindProperty(QStringLiteral("MaxAlarm"));
    const PropertyDef& numAlarm = *alarm.FindProperty(QStringLiteral("NumAlarm"));
    EXPECT_THROW(alarm.Get(maxAlarm, 16), IndexError);
    EXPECT_THROW(alarm.Set(maxAlarm, -1, i16(1)), IndexError);
    EXPECT_THROW(alarm.Get(numAlarm, 1), IndexError);
    alarm.Set(maxAlarm, 15, i16(-5));
    EXPECT_EQ(alarm.MaxAlarm(15), -5);
    // A definition of another record's table is refused, not applied to the wrong members.
    EXPECT_THROW(uso.Get(maxAlarm, 0), VoltarisError);
    EXPECT_THROW(uso.Set(maxAlarm, 0, i16(1)), VoltarisError);
}

// Values set through the table keep the exact width.

struct FitCase {
    PropType type;
    QVariant value;
    QVariant exact;  // invalid when the value does not fit
};

TEST(PropertyValues, FitsExactWidth) {
    const QList<FitCase> cases = {
        {PropType::Int16, QVariant(32767), i16(32767)},
        {PropType::Int16, QVariant(-32768), i16(-32768)},
        {PropType::Int16, QVariant(32768), {}},
        {PropType::Int16, QVariant(-32769), {}},
        {PropType::Int16, QVariant(12.0), i16(12)},
        {PropType::Int16, QVariant(12.5), {}},
        {PropType::Int16, QVariant(qulonglong(1) << 63), {}},
        {PropType::Int16, QVariant(true), {}},
        {PropType::Int16, QVariant(QStringLiteral("12")), {}},
        {PropType::Int32, QVariant(qint64(2147483647)), i32(2147483647)},
        {PropType::Int32, QVariant(qint64(2147483648)), {}},
        {PropType::Int32, QVariant(-2147483648.0), i32(std::numeric_limits<qint32>::min())},
        {PropType::Int32, QVariant(std::numeric_limits<double>::infinity()), {}},
        {PropType::Int32, QVariant(std::numeric_limits<double>::quiet_NaN()), {}},
        {PropType::UInt8, QVariant(255), QVariant::fromValue(quint8(255))},
        {PropType::UInt8, QVariant(256), {}},
        {PropType::UInt8, QVariant(-1), {}},
        {PropType::Single, QVariant(2.5), QVariant::fromValue(2.5f)},
        {PropType::Single, QVariant(3), QVariant::fromValue(3.0f)},
        {PropType::Single, QVariant(1e39), {}},
        {PropType::Text, QVariant(QStringLiteral("x")), QVariant(QStringLiteral("x"))},
        {PropType::Text, QVariant(5), {}},
        {PropType::Bool, QVariant(true), QVariant(true)},
        {PropType::Bool, QVariant(1), {}},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(PropTypeText(c.type).toStdString() + " <- " +
                     c.value.toString().toStdString());
        const QVariant exact = toPropertyValue(c.type, c.value);
        EXPECT_EQ(fits(c.type, c.value), c.exact.isValid());
        EXPECT_EQ(exact.isValid(), c.exact.isValid());
        if (c.exact.isValid()) {
            EXPECT_EQ(exact.metaType(), c.exact.metaType());
            EXPECT_EQ(exact, c.exact);
        }
    }
}

TEST(PropertyValues, SetRefusesValueThatDoesNotFitAndKeepsTheOldOne) {
    CUsoInstr uso;
    uso.setFilterScale(42);
    EXPECT_THROW(uso.Set(*uso.FindProperty(QStringLiteral("FilterScale")), 0, QVariant(40000)),
                 ValueError);
    EXPECT_EQ(uso.FilterScale(), 42);
    uso.Set(*uso.FindProperty(QStringLiteral("RapportoTV")), 0, QVariant(qint64(60000)));
    EXPECT_EQ(uso.RapportoTV(), 60000);
}

// Copying between records.

TEST(RecordCopy, SameClassCopiesEveryPropertyAndInstanceName) {
    test::TraceCapture trace;
    for (const RecordCase& c : recordCases()) {
        SCOPED_TRACE(c.className);
        const std::unique_ptr<CRecord> source = c.make();
        const std::unique_ptr<CRecord> viaSet = c.make();
        const std::unique_ptr<CRecord> viaGet = c.make();
        test::fillDistinct(*source, 3);
        if (auto* archived = dynamic_cast<CArchiveRecord*>(source.get()))
            archived->setClassName(QLatin1String(c.className) + u'9');
        ASSERT_FALSE(viaSet->SameData(*source));
        viaSet->SetData(*source);
        source->GetData(*viaGet);
        EXPECT_TRUE(viaSet->SameData(*source));
        EXPECT_TRUE(viaGet->SameData(*source));
        // CSerialComm keeps its own instance name; settings records have no settable one.
        const bool copiesName = c.family == CRecord::Family::Archive &&
                                QLatin1String(c.className) != QLatin1String("CSerialComm");
        const QString expectedName = copiesName ? source->InstanceName() : c.className;
        EXPECT_EQ(viaSet->InstanceName(), expectedName);
        EXPECT_EQ(viaGet->InstanceName(), expectedName);
    }
}

TEST(RecordCopy, AcrossClassesNothingHappens) {
    test::TraceCapture trace;
    for (const RecordCase& target : recordCases()) {
        for (const RecordCase& other : recordCases()) {
            if (QLatin1String(target.className) == QLatin1String(other.className))
                continue;
            SCOPED_TRACE(std::string(target.className) + " <- " + other.className);
            const std::unique_ptr<CRecord> record = target.make();
            const std::unique_ptr<CRecord> fresh = target.make();
            const std::unique_ptr<CRecord> source = other.make();
            test::fillDistinct(*source, 5);
            EXPECT_NO_THROW(record->SetData(*source));
            EXPECT_NO_THROW(source->GetData(*record));
            EXPECT_FALSE(record->VerifySameClass(*record, *source));
            EXPECT_TRUE(record->SameData(*fresh));
            EXPECT_EQ(record->InstanceName(), fresh->InstanceName());
        }
    }
}

TEST(RecordCopy, VerifySameClassComparesKindsNotInstances) {
    CAlarm first;
    CAlarm second;
    first.setClassName(QStringLiteral("CAlarm1"));
    second.setClassName(QStringLiteral("CAlarm2"));
    EXPECT_TRUE(first.VerifySameClass(first, second));
    second.setMaxAlarm(3, 99);
    second.setNumAlarm(2);
    first.SetData(second);
    EXPECT_EQ(first.MaxAlarm(3), 99);
    EXPECT_EQ(first.NumAlarm(), 2);
    EXPECT_EQ(first.ClassName(), QStringLiteral("CAlarm2"));

    // A page without data has an empty placeholder record: never the same class.
    CCopyClass placeholder;
    CAlarm fresh;
    EXPECT_FALSE(placeholder.VerifySameClass(placeholder, fresh));
    fresh.SetData(placeholder);
    EXPECT_TRUE(fresh.SameData(CAlarm()));
}

TEST(RecordCopy, ModuleTypeLoSurvivesCopying) {
    CDigOutConfig source;
    CDigOutConfig target;
    source.setModuleTypeLo(16);
    target.SetData(source);
    EXPECT_EQ(target.ModuleTypeLo(), 16);
}

}  // namespace
