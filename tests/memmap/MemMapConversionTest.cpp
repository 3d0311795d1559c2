// Records to register blocks and back, without the archive.

#include <gtest/gtest.h>

#include "MemMapTestSupport.h"
#include "TestSupport.h"
#include "TraceCapture.h"
#include "base/Errors.h"
#include "base/MBytes.h"
#include "memmap/CGestioneMemMap.h"
#include "model/ModelCatalogue.h"
#include "model/Property.h"

using namespace voltaris;
using test::OutputUse;
using test::TraceCapture;

namespace {

struct ModelCase {
    const char* name;
    qint32 model;
};

// One model per kind of module, and codes no module has.
const ModelCase kModels[] = {
    {"S1_serial", 0x00230001},
    {"V1_voltage_one_output", 0x00230102},
    {"V3_voltage_three_outputs", 0x00220302},
    {"A1_current_one_output", 0x00240103},
    {"A3_current_three_outputs", 0x00210303},
    {"R2_two_digital_outputs", 0x00230004},
    {"O2_variant", 0x01240004},
    {"fieldbus_type5", 0x00240005},
    {"RS_serial_one_output", 0x00220010},
    {"unknown_type7", 0x00230007},
    {"unknown_type0", 0x00230000},
    {"unknown_typeFF", 0x002303FF},
};

const OutputUse kUses[] = {OutputUse::BothAlarms, OutputUse::PulsesAndRemote,
                           OutputUse::AlarmAndPulses};

class ModelConversion : public testing::TestWithParam<std::tuple<ModelCase, OutputUse>> {};

TEST_P(ModelConversion, BlocksFollowTheModuleTypeAndReadBack) {
    const auto [mc, use] = GetParam();
    TraceCapture trace;
    const bool serial = test::carriesSerial(mc.model);
    const bool digital = test::carriesDigital(mc.model);
    const int analogOutputs = test::analogOutputs(mc.model);

    CGestioneMemMap sent;
    test::fillConfiguration(sent.UserSetup(), mc.model, use);
    sent.ConvertRecordsToMemoryMap();
    EXPECT_EQ(sent.InstrModel(), mc.model);

    const qint16 param[] = {0, qint16(0x9C40), qint16(0xEA60), 50, 16, 20, 25, 4};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(sent.ParamMemMap(i), param[i]) << "word " << i;
    EXPECT_EQ(sent.ParamMemMap(8), serial ? 247 : 0);
    EXPECT_EQ(sent.ParamMemMap(9), serial ? 3 : 0);

    for (int k = 0; k < 3; ++k) {
        for (int w = 0; w < 8; ++w) {
            if (k >= analogOutputs) {
                EXPECT_EQ(sent.AnalogOutMemMap(8 * k + w), 0) << "output " << k << " word " << w;
            }
        }
        if (k < analogOutputs) {
            EXPECT_EQ(sent.AnalogOutMemMap(8 * k), test::kAnalogSpecs[k].variable);
            EXPECT_EQ(sent.AnalogOutMemMap(8 * k + 1), k);
            EXPECT_EQ(sent.AnalogOutMemMap(8 * k + 2), test::kAnalogSpecs[k].minOut);
            EXPECT_EQ(sent.AnalogOutMemMap(8 * k + 3), test::kAnalogSpecs[k].maxOut);
        }
    }

    if (!digital) {
        for (int i = 0; i < CGestioneMemMap::DigOutWords; ++i)
            EXPECT_EQ(sent.DigOutMemMap(i), 0);
        for (int i = 0; i < CGestioneMemMap::AlarmWords; ++i)
            EXPECT_EQ(sent.AlarmMemMap(i), 0) << "alarm word " << i;
        for (int i = 0; i < CGestioneMemMap::PulseWords; ++i)
            EXPECT_EQ(sent.PulseMemMap(i), (i == 0 || i == 8) ? 0x2B : 0) << "pulse word " << i;
    }

    // An instrument read stores every word and the model it reported.
    CGestioneMemMap read;
    test::copyMemoryMap(sent, read);
    read.ConvertMemoryMapToRecords();
    EXPECT_EQ(read.UserSetup().UsoInstr().NomeProgramma(), QString("Actual instrument setting"));
    test::expectReadBack(read.UserSetup(), mc.model, use, false);

    // Through the file: everything but the network address and speed words.
    CGestioneMemMap fromFile;
    ASSERT_TRUE(fromFile.ReadMemorySetupBytes(sent.MemorySetupBytes()));
    QList<qint16> expected = test::allWords(sent);
    expected[8] = expected[9] = 0;
    EXPECT_EQ(test::allWords(fromFile), expected);
    EXPECT_EQ(fromFile.InstrModel(), mc.model);
    EXPECT_EQ(fromFile.UserSetup().UsoInstr().NomeProgramma(), QString("Quadro prova"));
}

std::string caseName(const testing::TestParamInfo<ModelConversion::ParamType>& info) {
    static const char* const uses[] = {"BothAlarms", "PulsesAndRemote", "AlarmAndPulses"};
    return std::string(std::get<0>(info.param).name) + "_" + uses[int(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(Models, ModelConversion,
                         testing::Combine(testing::ValuesIn(kModels), testing::ValuesIn(kUses)),
                         caseName);

// The golden file was written by an independent script from the values below.
TEST(MemMapConversion, ConfigurationGivesTheGoldenExchangeFileAndBack) {
    TraceCapture trace;
    CGestioneMemMap map;
    Configuration& c = map.UserSetup();
    c.UsoInstr().setNomeProgramma(QString::fromUtf8("Quadro Nord \u00e8"));
    c.UsoInstr().setInstrModel(0x00240004);
    c.UsoInstr().setRapportoTA(40000);
    c.UsoInstr().setRapportoTV(1000);
    c.UsoInstr().setFilterScale(5);
    c.UsoInstr().setFilterCoeff(8);
    c.UsoInstr().setIntTimePot(15);
    c.UsoInstr().setIntTimeCorr(10);
    c.UsoInstr().setSystem(4);
    c.DigOutConfig().setDigOut1(1);
    c.DigOutConfig().setStatusDigOut1(1);
    c.DigOutConfig().setNumAlarm1(2);
    c.DigOutConfig().setDigOut2(0);
    c.PulseOutSetup(2).setSelectCounter(1);
    c.PulseOutSetup(2).setPulseOut(50000);
    c.PulseOutSetup(2).setPulseOutStatus(1);
    for (int j = 0; j < 2; ++j)
        test::setAlarm(c.Alarm(1), j, test::kAlarmSpecs[j]);
    map.ConvertRecordsToMemoryMap();
    const QByteArray golden = test::readFile(test::dataPath("memmap/km61_r2.ZLA"));
    ASSERT_EQ(golden.size(), CGestioneMemMap::FileSize);
    EXPECT_EQ(map.MemorySetupBytes().toHex(' ').toStdString(), golden.toHex(' ').toStdString());

    CGestioneMemMap back;
    ASSERT_TRUE(back.ReadMemorySetup(test::dataPath("memmap/km61_r2.ZLA")));
    back.ConvertMemoryMapToRecords();
    const Configuration& r = back.UserSetup();
    EXPECT_EQ(r.UsoInstr().RapportoTA(), 40000);
    EXPECT_EQ(r.UsoInstr().RapportoTV(), 1000);
    EXPECT_EQ(r.UsoInstr().System(), 4);
    EXPECT_EQ(r.DigOutConfig().DigOut1(), 1);
    EXPECT_EQ(r.DigOutConfig().StatusDigOut1(), 1);
    EXPECT_EQ(r.DigOutConfig().NumAlarm1(), 16);
    EXPECT_EQ(r.DigOutConfig().DigOut2(), 0);
    EXPECT_EQ(r.PulseOutSetup(2).SelectCounter(), 1);
    EXPECT_EQ(r.PulseOutSetup(2).PulseOut(), 50000);
    EXPECT_EQ(r.PulseOutSetup(2).PulseOutStatus(), 1);
    EXPECT_EQ(r.Alarm(1).MaxAlarm(0), 2304);
    EXPECT_EQ(r.Alarm(1).ScaleSelect(0), 4);
    EXPECT_EQ(r.Alarm(1).MinAlarm(1), 4900);
    EXPECT_EQ(r.Alarm(1).ScaleSelect(1), 3);
    EXPECT_EQ(r.Alarm(1).LogicFunction(1), 1);
}

struct DigOutCase {
    qint16 mode1, state1, mode2, state2;
    quint16 w0, w1, w2;
};

TEST(MemMapConversion, DigitalOutputModesAndNormalStates) {
    const DigOutCase cases[] = {
        {0, 0, 0, 0, 0x0000, 0xBBBB, 0x0000},
        {0, 1, 0, 1, 0x0000, 0xBBBB, 0x0000},  // pulse outputs have no normal state
        {1, 1, 1, 1, 0x0011, 0xAAAA, 0x0000},
        {1, 0, 1, 0, 0x0000, 0xAAAA, 0x0000},
        {2, 1, 2, 1, 0x0000, 0xCCCC, 0x0101},
        {1, 0, 2, 1, 0x0000, 0xCCAA, 0x0100},
        {2, 1, 1, 1, 0x0010, 0xAACC, 0x0001},
        {2, 0, 0, 1, 0x0000, 0xBBCC, 0x0000},
        {1, 5, 2, 5, 0x0000, 0xCCAA, 0x0000},   // only a state of exactly 1 sets a bit
        {7, 1, -1, 1, 0x0000, 0xBBBB, 0x0000},  // an unknown mode is written as pulses
    };
    TraceCapture trace;
    for (const DigOutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "modes " << c.mode1 << "/" << c.mode2 << " states "
                                        << c.state1 << "/" << c.state2);
        CGestioneMemMap map;
        CDigOutConfig& d = map.UserSetup().DigOutConfig();
        map.UserSetup().UsoInstr().setInstrModel(0x00230004);
        d.setDigOut1(c.mode1);
        d.setStatusDigOut1(c.state1);
        d.setDigOut2(c.mode2);
        d.setStatusDigOut2(c.state2);
        map.ConvertRecordsToMemoryMap();
        EXPECT_EQ(quint16(map.DigOutMemMap(0)), c.w0);
        EXPECT_EQ(quint16(map.DigOutMemMap(1)), c.w1);
        EXPECT_EQ(quint16(map.DigOutMemMap(2)), c.w2);

        CGestioneMemMap read;
        test::copyMemoryMap(map, read);
        read.ConvertMemoryMapToRecords();
        const CDigOutConfig& r = read.UserSetup().DigOutConfig();
        const auto known = [](qint16 m) { return m == 1 || m == 2 ? m : qint16(0); };
        const auto state = [](qint16 m, qint16 s) { return m == 1 || m == 2 ? qint16(s == 1) : 0; };
        EXPECT_EQ(r.DigOut1(), known(c.mode1));
        EXPECT_EQ(r.DigOut2(), known(c.mode2));
        EXPECT_EQ(r.StatusDigOut1(), state(c.mode1, c.state1));
        EXPECT_EQ(r.StatusDigOut2(), state(c.mode2, c.state2));
    }
}

TEST(MemMapConversion, ModeCodesReadBack) {
    // Low byte output 1, high byte output 2; anything but 0xBB and 0xCC is alarm mode.
    const struct {
        quint16 w1;
        qint16 mode1, mode2;
    } cases[] = {{0xBBAA, 1, 0}, {0xAABB, 0, 1}, {0xCC00, 1, 2}, {0x12CC, 2, 1}, {0xBBBB, 0, 0}};
    TraceCapture trace;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.w1);
        CGestioneMemMap map;
        map.setInstrModel(0x00230004);
        map.setDigOutMemMap(1, qint16(c.w1));
        map.setPulseMemMap(0, 0x002B);
        map.setPulseMemMap(8, 0x042C);
        map.ConvertMemoryMapToRecords();
        EXPECT_EQ(map.UserSetup().DigOutConfig().DigOut1(), c.mode1);
        EXPECT_EQ(map.UserSetup().DigOutConfig().DigOut2(), c.mode2);
    }
}

TEST(MemMapConversion, AlarmsOfOutputTwoFollowThoseOfOutputOne) {
    TraceCapture trace;
    CGestioneMemMap map;
    Configuration& c = map.UserSetup();
    c.UsoInstr().setInstrModel(0x00230004);
    c.DigOutConfig().setDigOut1(1);
    c.DigOutConfig().setNumAlarm1(2);
    c.DigOutConfig().setDigOut2(1);
    c.DigOutConfig().setNumAlarm2(3);
    for (int j = 0; j < 3; ++j) {
        c.Alarm(1).setVarControllata(j, 10 + j);
        c.Alarm(2).setVarControllata(j, 20 + j);
        c.Alarm(2).setDelayTime(j, qint16(j + 1));
    }
    map.ConvertRecordsToMemoryMap();

    EXPECT_TRUE(
        trace.lines.contains("Impostazione di 2 allarmi a partire dal blocco 1 per l'uscita nr.1"));
    EXPECT_TRUE(
        trace.lines.contains("Impostazione di 3 allarmi a partire dal blocco 3 per l'uscita nr.2"));
    const quint16 expectedFirst[] = {0x000A, 0x000B, 0x0114, 0x0215, 0x0316};
    for (int b = 0; b < 16; ++b) {
        SCOPED_TRACE(b);
        if (b < 5) {
            EXPECT_EQ(quint16(map.AlarmMemMap(8 * b)), expectedFirst[b]);
            EXPECT_EQ(bool(map.AlarmMemMap(8 * b + 1) & 0x10), b >= 2) << "output 2 bit";
        } else {
            for (int w = 0; w < 8; ++w)
                EXPECT_EQ(map.AlarmMemMap(8 * b + w), 0);
        }
    }

    CGestioneMemMap read;
    test::copyMemoryMap(map, read);
    read.ConvertMemoryMapToRecords();
    // The eleven blocks left empty have the bit clear, so they count for output 1.
    EXPECT_EQ(read.UserSetup().DigOutConfig().NumAlarm1(), 13);
    EXPECT_EQ(read.UserSetup().DigOutConfig().NumAlarm2(), 3);
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(read.UserSetup().Alarm(2).VarControllata(j), 20 + j);
        EXPECT_EQ(read.UserSetup().Alarm(2).DelayTime(j), j + 1);
    }
    EXPECT_EQ(read.UserSetup().Alarm(1).VarControllata(1), 11);
    EXPECT_EQ(read.UserSetup().Alarm(1).VarControllata(2), 0);
}

TEST(MemMapConversion, AlarmFlagBitsReplaceThoseOfTheType) {
    const struct {
        qint16 type, status, logic, startup;
        int output;
        quint16 word;
        qint16 readType;
    } cases[] = {
        {0, 0, 0, 0, 1, 0x0000, 0},    {3, 1, 1, 1, 1, 0x006B, 3}, {2, 1, 0, 0, 2, 0x001A, 2},
        {0x7B, 0, 0, 0, 1, 0x0003, 3},  // stray bits 3..6 of the type are cleared
        {0x83, 0, 0, 0, 1, 0x0083, 3},  // a bit above them stays, read-back keeps bits 0..2
        {1, 2, 2, 2, 1, 0x0001, 1},     // only 1 sets a flag
    };
    TraceCapture trace;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " output " << c.output);
        CGestioneMemMap map;
        Configuration& cfg = map.UserSetup();
        cfg.UsoInstr().setInstrModel(0x00230004);
        cfg.DigOutConfig().setDigOut1(c.output == 1 ? 1 : 2);
        cfg.DigOutConfig().setNumAlarm1(c.output == 1 ? 1 : 0);
        cfg.DigOutConfig().setDigOut2(c.output == 2 ? 1 : 2);
        cfg.DigOutConfig().setNumAlarm2(c.output == 2 ? 1 : 0);
        CAlarm& a = cfg.Alarm(c.output);
        a.setAlarmType(0, c.type);
        a.setAlarmStatus(0, c.status);
        a.setLogicFunction(0, c.logic);
        a.setAlarmStartup(0, c.startup);
        map.ConvertRecordsToMemoryMap();
        EXPECT_EQ(quint16(map.AlarmMemMap(1)), c.word);

        CGestioneMemMap read;
        test::copyMemoryMap(map, read);
        read.ConvertMemoryMapToRecords();
        const CAlarm& r = read.UserSetup().Alarm(c.output);
        EXPECT_EQ(r.AlarmType(0), c.readType);
        EXPECT_EQ(r.AlarmStatus(0), qint16(c.status == 1));
        EXPECT_EQ(r.LogicFunction(0), qint16(c.logic == 1));
        EXPECT_EQ(r.AlarmStartup(0), qint16(c.startup == 1));
    }
}

TEST(MemMapConversion, AlarmCountsBeyondTheSixteenBlocksAreIndexErrors) {
    const struct {
        qint16 num1, num2;
        int blocksWritten;  // before the error
    } cases[] = {{10, 7, 16}, {17, 0, 16}, {0, 17, 16}, {16, 1, 16}, {3, 14, 16}};
    TraceCapture trace;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.num1 << " + " << c.num2);
        CGestioneMemMap map;
        Configuration& cfg = map.UserSetup();
        cfg.UsoInstr().setInstrModel(0x00230004);
        cfg.DigOutConfig().setDigOut1(1);
        cfg.DigOutConfig().setNumAlarm1(c.num1);
        cfg.DigOutConfig().setDigOut2(1);
        cfg.DigOutConfig().setNumAlarm2(c.num2);
        for (int j = 0; j < 16; ++j) {
            cfg.Alarm(1).setVarControllata(j, 1);
            cfg.Alarm(2).setVarControllata(j, 2);
        }
        EXPECT_THROW(map.ConvertRecordsToMemoryMap(), IndexError);
        int written = 0;
        for (int b = 0; b < 16; ++b)
            written += map.AlarmMemMap(8 * b) != 0;
        EXPECT_EQ(written, c.blocksWritten);
    }
    // Exactly sixteen is fine.
    CGestioneMemMap map;
    map.UserSetup().UsoInstr().setInstrModel(0x00230004);
    map.UserSetup().DigOutConfig().setDigOut1(1);
    map.UserSetup().DigOutConfig().setNumAlarm1(9);
    map.UserSetup().DigOutConfig().setDigOut2(1);
    map.UserSetup().DigOutConfig().setNumAlarm2(7);
    EXPECT_NO_THROW(map.ConvertRecordsToMemoryMap());
}

TEST(MemMapConversion, VariableCodesWiderThanAWordOverflow) {
    TraceCapture trace;
    CGestioneMemMap alarms;
    alarms.UserSetup().UsoInstr().setInstrModel(0x00230004);
    alarms.UserSetup().DigOutConfig().setDigOut1(1);
    alarms.UserSetup().DigOutConfig().setNumAlarm1(2);
    alarms.UserSetup().Alarm(1).setVarControllata(0, 300);  // fits: low byte 0x2C is taken
    alarms.UserSetup().Alarm(1).setVarControllata(1, 70000);
    EXPECT_THROW(alarms.ConvertRecordsToMemoryMap(), ValueError);
    EXPECT_EQ(alarms.AlarmMemMap(0), 0x2C);

    CGestioneMemMap analog;
    analog.UserSetup().UsoInstr().setInstrModel(0x00230103);
    analog.UserSetup().AnalogOutSetup(1).setVariabileRipetuta(-32769);
    EXPECT_THROW(analog.ConvertRecordsToMemoryMap(), ValueError);
}

TEST(MemMapConversion, PulseWordsCarryCounterStatusAndWeight) {
    const struct {
        qint16 counter1, status1, counter2, status2;
        qint32 weight1, weight2;
        quint16 w0, w1, w8, w9;
        qint32 read1, read2;
    } cases[] = {
        {0, 1, 1, 1, 100, 50000, 0x012B, 100, 0x062C, 50000, 100, 50000},
        {1, 0, 0, 0, 1, 65535, 0x002C, 1, 0x042B, 65535, 1, 65535},
        {0, 0, 0, 1, 70000, 12345, 0x002B, 4464, 0x062B, 12345, 4464, 12345},  // low 16 bits
    };
    TraceCapture trace;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.weight1 << "/" << c.weight2);
        CGestioneMemMap map;
        Configuration& cfg = map.UserSetup();
        cfg.UsoInstr().setInstrModel(0x00230004);
        cfg.PulseOutSetup(1).setSelectCounter(c.counter1);
        cfg.PulseOutSetup(1).setPulseOutStatus(c.status1);
        cfg.PulseOutSetup(1).setPulseOut(c.weight1);
        cfg.PulseOutSetup(2).setSelectCounter(c.counter2);
        cfg.PulseOutSetup(2).setPulseOutStatus(c.status2);
        cfg.PulseOutSetup(2).setPulseOut(c.weight2);
        map.ConvertRecordsToMemoryMap();
        EXPECT_EQ(quint16(map.PulseMemMap(0)), c.w0);
        EXPECT_EQ(quint16(map.PulseMemMap(1)), c.w1);
        EXPECT_EQ(quint16(map.PulseMemMap(8)), c.w8);
        EXPECT_EQ(quint16(map.PulseMemMap(9)), c.w9);
        for (int i : {2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14, 15})
            EXPECT_EQ(map.PulseMemMap(i), 0);

        CGestioneMemMap read;
        test::copyMemoryMap(map, read);
        read.ConvertMemoryMapToRecords();
        const Configuration& r = read.UserSetup();
        EXPECT_EQ(r.PulseOutSetup(1).SelectCounter(), c.counter1);
        EXPECT_EQ(r.PulseOutSetup(1).PulseOutStatus(), c.status1);
        EXPECT_EQ(r.PulseOutSetup(1).PulseOut(), c.read1);
        EXPECT_EQ(r.PulseOutSetup(2).SelectCounter(), c.counter2);
        EXPECT_EQ(r.PulseOutSetup(2).PulseOutStatus(), c.status2);
        EXPECT_EQ(r.PulseOutSetup(2).PulseOut(), c.read2);
    }
}

TEST(MemMapConversion, PulseStatusIsReadFromItsOwnBit) {
    TraceCapture trace;
    CGestioneMemMap map;
    map.setInstrModel(0x00230004);
    map.setDigOutMemMap(1, qint16(0xBBBB));
    map.setPulseMemMap(0, 0x022B);  // bit 1 set: not output 1's status bit
    map.setPulseMemMap(8, 0x012C);  // bit 0 set: not output 2's status bit
    map.ConvertMemoryMapToRecords();
    EXPECT_EQ(map.UserSetup().PulseOutSetup(1).PulseOutStatus(), 0);
    EXPECT_EQ(map.UserSetup().PulseOutSetup(2).PulseOutStatus(), 0);
    EXPECT_EQ(map.UserSetup().PulseOutSetup(2).SelectCounter(), 1);
}

TEST(MemMapConversion, CounterCodeOtherThanTheTwoEnergyTotalsIsAFailedCheck) {
    for (const qint16 word : {qint16(0x002D), qint16(0x0100), qint16(0x012A)}) {
        TraceCapture trace;
        CGestioneMemMap map;
        map.setInstrModel(0x00230004);
        map.setDigOutMemMap(1, qint16(0xCCBB));
        map.setPulseMemMap(0, word);
        EXPECT_THROW(map.ConvertMemoryMapToRecords(), AssertFailed);
        ASSERT_EQ(trace.messages.entries().size(), 1);
        EXPECT_EQ(trace.messages.entries().first().text, QString("Contatore non ammesso!!!"));
        EXPECT_FALSE(trace.lines.contains("Fine ConvertMemoryMapToUserSetup()"));
    }
}

TEST(MemMapConversion, RatiosReadBackUnsigned) {
    const struct {
        qint32 ratio;
        quint16 word;
        qint32 read;
    } cases[] = {{1, 1, 1},
                 {32767, 0x7FFF, 32767},
                 {40000, 0x9C40, 40000},
                 {65535, 0xFFFF, 65535},
                 {70000, 0x1170, 4464}};
    TraceCapture trace;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ratio);
        CGestioneMemMap map;
        map.UserSetup().UsoInstr().setRapportoTA(c.ratio);
        map.UserSetup().UsoInstr().setRapportoTV(c.ratio);
        map.ConvertRecordsToMemoryMap();
        EXPECT_EQ(quint16(map.ParamMemMap(1)), c.word);
        EXPECT_EQ(quint16(map.ParamMemMap(2)), c.word);
        CGestioneMemMap read;
        test::copyMemoryMap(map, read);
        read.ConvertMemoryMapToRecords();
        EXPECT_EQ(read.UserSetup().UsoInstr().RapportoTA(), c.read);
        EXPECT_EQ(read.UserSetup().UsoInstr().RapportoTV(), c.read);
    }
}

struct LimitCase {
    qint16 variable;
    float upper, lower;
    qint16 step, upperInt, lowerInt;
};

// Limits as singles in the blocks; the upper one chooses the step.
const LimitCase kLimitCases[] = {
    {3, 230.4f, 220.0f, 4, 2304, 2200},  // automatic
    {6, 5.0f, 0.5f, 2, 5000, 500},       // automatic, small
    {6, 0.0f, 0.0f, 2, 0, 0},            // automatic zero
    {25, 1234000.0f, -1234000.0f, 8, 1234, -1234},
    {29, 50.0f, 49.5f, 3, 5000, 4950},   // Hz: fixed step 3
    {29, 0.0f, 0.0f, 3, 0, 0},           // a zero at the fixed step too
    {20, 0.95f, -0.5f, 2, 950, -500},    // PF phase: fixed step 2
    {28, 1.0f, -1.0f, 2, 1000, -1000},   // PF system
    {28, 0.0f, 0.0f, 2, 0, 0},           // fixed step: a zero too
    {30, 5.0f, 1.0f, 4, 50, 10},         // asymmetry: fixed step 4
    {29, 5.0f, 1.0f, 3, 500, 100},       // fixed even where automatic would differ
    {60, 0.5f, 0.25f, 2, 500, 250},      // PF L3 Min is a phase power factor
    {200, 1500.0f, 10.0f, 5, 1500, 10},  // a code of no class: automatic
};

TEST(MemMapConversion, LimitReadBackOfAlarmsAndAnalogueOutputs) {
    TraceCapture trace;
    for (const LimitCase& c : kLimitCases) {
        SCOPED_TRACE(testing::Message() << "variable " << c.variable << " " << c.upper);
        const qint32 upper = MBytes::LongFromSingle(c.upper);
        const qint32 lower = MBytes::LongFromSingle(c.lower);

        CGestioneMemMap alarm;
        alarm.setInstrModel(0x00230004);
        alarm.setDigOutMemMap(1, qint16(0xCCAA));
        alarm.setAlarmMemMap(0, qint16(c.variable & 0xFF));
        alarm.setAlarmMemMap(2, MBytes::LoWord(lower));
        alarm.setAlarmMemMap(3, MBytes::HiWord(lower));
        alarm.setAlarmMemMap(4, MBytes::LoWord(upper));
        alarm.setAlarmMemMap(5, MBytes::HiWord(upper));
        alarm.ConvertMemoryMapToRecords();
        const CAlarm& a = alarm.UserSetup().Alarm(1);
        EXPECT_EQ(a.ScaleSelect(0), c.step);
        EXPECT_EQ(a.MaxAlarm(0), c.upperInt);
        EXPECT_EQ(a.MinAlarm(0), c.lowerInt);

        CGestioneMemMap analog;
        analog.setInstrModel(0x00230103);
        analog.setAnalogOutMemMap(0, c.variable);
        analog.setAnalogOutMemMap(4, MBytes::LoWord(lower));
        analog.setAnalogOutMemMap(5, MBytes::HiWord(lower));
        analog.setAnalogOutMemMap(6, MBytes::LoWord(upper));
        analog.setAnalogOutMemMap(7, MBytes::HiWord(upper));
        analog.ConvertMemoryMapToRecords();
        const CAnalogOutSetup& o = analog.UserSetup().AnalogOutSetup(1);
        EXPECT_EQ(o.ScaleSelect(), c.step);
        EXPECT_EQ(o.MaxIn(), c.upperInt);
        EXPECT_EQ(o.MinIn(), c.lowerInt);
    }
}

TEST(MemMapConversion, LimitsAreWrittenAsSinglesLowWordFirst) {
    TraceCapture trace;
    CGestioneMemMap map;
    map.UserSetup().UsoInstr().setInstrModel(0x00230003);
    CAnalogOutSetup& o = map.UserSetup().AnalogOutSetup(1);
    o.setScaleSelect(2);
    o.setMinIn(-950);
    o.setMaxIn(950);
    map.ConvertRecordsToMemoryMap();
    const float minIn =
        MBytes::SingleFromLong(MBytes::MakeLong(map.AnalogOutMemMap(4), map.AnalogOutMemMap(5)));
    const float maxIn =
        MBytes::SingleFromLong(MBytes::MakeLong(map.AnalogOutMemMap(6), map.AnalogOutMemMap(7)));
    EXPECT_FLOAT_EQ(minIn, -0.95f);
    EXPECT_FLOAT_EQ(maxIn, 0.95f);
    EXPECT_EQ(quint16(map.AnalogOutMemMap(7)), 0x3F73);  // 0.95f = 0x3F733333

    // A step outside the table cannot be converted.
    o.setScaleSelect(18);
    EXPECT_THROW(map.ConvertRecordsToMemoryMap(), IndexError);
}

TEST(MemMapConversion, BlockIndexesOutsideTheBlockAreIndexErrors) {
    CGestioneMemMap map;
    using Get = qint16 (CGestioneMemMap::*)(int) const;
    using Set = void (CGestioneMemMap::*)(int, qint16);
    const struct {
        Get get;
        Set set;
        int size;
    } blocks[] = {
        {&CGestioneMemMap::ParamMemMap, &CGestioneMemMap::setParamMemMap, 10},
        {&CGestioneMemMap::AnalogOutMemMap, &CGestioneMemMap::setAnalogOutMemMap, 24},
        {&CGestioneMemMap::DigOutMemMap, &CGestioneMemMap::setDigOutMemMap, 3},
        {&CGestioneMemMap::AlarmMemMap, &CGestioneMemMap::setAlarmMemMap, 128},
        {&CGestioneMemMap::PulseMemMap, &CGestioneMemMap::setPulseMemMap, 16},
    };
    for (const auto& b : blocks) {
        SCOPED_TRACE(b.size);
        (map.*b.set)(b.size - 1, -7);
        EXPECT_EQ((map.*b.get)(b.size - 1), -7);
        (map.*b.set)(0, 9);
        EXPECT_EQ((map.*b.get)(0), 9);
        for (int bad : {-1, b.size, 32767}) {
            EXPECT_THROW((map.*b.get)(bad), IndexError);
            EXPECT_THROW((map.*b.set)(bad, 1), IndexError);
        }
    }
}

TEST(MemMapConversion, RecordsInCollectionOrderWithTheirTableNames) {
    CGestioneMemMap map;
    QStringList names;
    for (const CArchiveRecord* r : map.Records())
        names << r->ClassName();
    EXPECT_EQ(names, QStringList({"CUsoInstr", "CDigOutConfig", "CPulseOutSetup1",
                                  "CPulseOutSetup2", "CAlarm1", "CAlarm2", "CSerialComm",
                                  "CAnalogOutSetup1", "CAnalogOutSetup2", "CAnalogOutSetup3"}));
}

TEST(MemMapConversion, DumpListsEveryRegisterInBlockOrder) {
    TraceCapture trace;
    CGestioneMemMap map;
    map.UserSetup().UsoInstr().setRapportoTV(60000);
    map.ConvertRecordsToMemoryMap();
    map.setAlarmMemMap(127, -1);
    map.setAnalogOutMemMap(0, -32768);
    map.setParamMemMap(8, 0x77);  // address and speed words are not dumped

    const QStringList lines = map.DumpLines();
    ASSERT_EQ(lines.size(), 1 + 8 + 24 + 3 + 128 + 16);
    EXPECT_EQ(lines[0], QString("Instrument map memory dump:"));
    QList<int> registers;
    for (int r = 409; r <= 416; ++r)
        registers << r;
    for (int r = 425; r <= 448; ++r)
        registers << r;
    registers << 419 << 422 << 423;
    for (int r = 449; r <= 592; ++r)
        registers << r;
    for (int i = 0; i < registers.size(); ++i)
        EXPECT_TRUE(lines[i + 1].startsWith(
            QStringLiteral("Add %1=0x").arg(QString::number(registers[i], 16).toUpper())))
            << lines[i + 1].toStdString();

    EXPECT_EQ(lines[1], QString("Add 199=0x0"));
    EXPECT_EQ(lines[2], QString("Add 19A=0x1"));
    EXPECT_EQ(lines[3], QString("Add 19B=0xEA60"));
    EXPECT_EQ(lines[4], QString("Add 19C=0x1"));
    EXPECT_EQ(lines[9], QString("Add 1A9=0x8000"));
    EXPECT_TRUE(lines.contains("Add 240=0xFFFF"));
    // No digital outputs on model 0: the two pulse words keep their start value.
    EXPECT_TRUE(lines.contains("Add 241=0x2B"));
    EXPECT_TRUE(lines.contains("Add 249=0x2B"));
    EXPECT_TRUE(lines.contains("Add 1A3=0x0"));

    trace.lines.clear();
    map.DumpMemoryMap();
    EXPECT_EQ(trace.lines, lines);
}

TEST(MemMapConversion, TraceOfBothConversions) {
    TraceCapture trace;
    CGestioneMemMap map;
    test::fillConfiguration(map.UserSetup(), 0x00230004, OutputUse::AlarmAndPulses);
    map.ConvertRecordsToMemoryMap();
    const QStringList& l = trace.lines;
    ASSERT_GE(l.size(), 4);
    EXPECT_EQ(l[0], QString("Inizio ConvertUserSetupToMemoryMap()"));
    EXPECT_EQ(l[1], QString("Conversione delle impostazioni utente nella codifica interna dello "
                            "strumento."));
    EXPECT_EQ(l[2], QString("Impostazione di 2 allarmi a partire dal blocco 1 per l'uscita nr.1"));
    const qsizetype end = l.indexOf("Fine ConvertUserSetupToMemoryMap()");
    ASSERT_GT(end, 2);
    EXPECT_EQ(l[end + 1], QString("Dump della codifica interna della configurazione utente"));
    EXPECT_EQ(l.mid(end + 2), map.DumpLines());

    trace.lines.clear();
    map.ConvertMemoryMapToRecords();
    ASSERT_GE(l.size(), 4);
    EXPECT_EQ(l[0], QString("Inizio ConvertMemoryMapToUserSetup()"));
    EXPECT_EQ(l[1], QString("Conversione della codifica interna dello strumento in impostazioni "
                            "utente per il wizard."));
    EXPECT_EQ(l[2], QString("Dump della codifica interna dello strumento."));
    EXPECT_EQ(l.mid(3, map.DumpLines().size()), map.DumpLines());
    EXPECT_EQ(l.last(), QString("Fine ConvertMemoryMapToUserSetup()"));
}

TEST(MemMapConversion, ReadBackOverwritesOnlyWhatTheModelCarries) {
    TraceCapture trace;
    CGestioneMemMap map;
    test::fillConfiguration(map.UserSetup(), 0x00230001, OutputUse::BothAlarms, "Mine");
    map.setInstrModel(0x00230001);
    map.setParamMemMap(8, 12);
    map.setParamMemMap(9, 2);
    map.ConvertMemoryMapToRecords();
    const Configuration& c = map.UserSetup();
    EXPECT_EQ(c.UsoInstr().NomeProgramma(), QString("Actual instrument setting"));
    EXPECT_EQ(c.SerialComm().NetworkAdd(), 12);
    EXPECT_EQ(c.SerialComm().BaudRate(), 2);
    // A serial module has no digital outputs: those records keep what they held.
    EXPECT_EQ(c.DigOutConfig().NumAlarm2(), 11);
    EXPECT_EQ(c.AnalogOutSetup(3).VariabileRipetuta(), 25);
}

}  // namespace
