#include "MemMapTestSupport.h"

#include <gtest/gtest.h>

#include "model/ModelCatalogue.h"

namespace voltaris::test {

// Read-back steps worked out by hand from the scaling rules: asymmetries, frequency and
// power factors at their fixed step (a zero too), everything else at the step
// the automatic conversion picks for the upper limit.
const AlarmSpec kAlarmSpecs[16] = {
    // variable, delay, type, status, logic, startup; step, min, max; read step, min, max
    {3, 10, 0, 1, 0, 1, 4, 2200, 2304, 4, 2200, 2304},    // V L1, 220.0..230.4 V
    {29, 5, 3, 1, 1, 0, 3, 4900, 5100, 3, 4900, 5100},    // Hz, 49.00..51.00
    {20, 0, 1, 0, 0, 0, 2, -800, 950, 2, -800, 950},      // PF L1
    {30, 255, 0, 1, 1, 1, 4, 0, 50, 4, 0, 50},            // ASY L-N, 5.0 %
    {6, 30, 2, 1, 0, 0, 5, 100, 500, 4, 1000, 5000},      // A L1, 100..500 A: finer step
    {25, 1, 3, 1, 0, 1, 8, -1234, 1234, 8, -1234, 1234},  // W Sys, +-1.234 MW
    {0, 2, 0, 0, 0, 0, 2, 0, 0, 2, 0, 0},                 // V L1-N, unused limits
    {28, 3, 1, 1, 1, 0, 2, -1000, 1000, 2, -1000, 1000},  // PF Sys
    {13, 4, 0, 1, 0, 0, 7, 0, 9999, 7, 0, 9999},          // VA L1, 999.9 kVA
    {41, 60, 0, 1, 0, 0, 6, 0, 1500, 6, 0, 1500},         // W dmd, 15.00 kW
    {9, 0, 1, 1, 0, 0, 3, 50, 2500, 3, 50, 2500},         // A n, 0.50..25.00 A
    {31, 0, 0, 1, 0, 0, 4, 10, 100, 4, 10, 100},          // ASY L-L, 1.0..10.0 %
    {16, 0, 0, 1, 0, 0, 5, -2000, 2000, 5, -2000, 2000},  // var L1
    {42, 0, 0, 1, 0, 0, 5, 0, 10000, 6, 0, 1000},         // VA dmd, 10000 VA: coarser
    {22, 0, 3, 1, 0, 0, 2, 0, 0, 2, 0, 0},                // PF L3 zero: at its fixed step
    {24, 0, 2, 1, 0, 0, 4, 3800, 4200, 4, 3800, 4200},    // V L-L Sys, 380.0..420.0 V
};

const AnalogSpec kAnalogSpecs[3] = {
    {6, 0, 100, 5, 100, 500, 4, 1000, 5000},          // A L1, 100..500 A
    {28, 20, 80, 2, -950, 950, 2, -950, 950},         // PF Sys
    {25, -100, 100, 8, -1234, 1234, 8, -1234, 1234},  // W Sys
};

namespace {

void expectAlarm(const CAlarm& alarm, int j, const AlarmSpec& s) {
    SCOPED_TRACE(QStringLiteral("%1(%2)").arg(alarm.ClassName()).arg(j).toStdString());
    EXPECT_EQ(alarm.VarControllata(j), s.variable);
    EXPECT_EQ(alarm.DelayTime(j), s.delay);
    EXPECT_EQ(alarm.AlarmType(j), s.type);
    EXPECT_EQ(alarm.AlarmStatus(j), s.status);
    EXPECT_EQ(alarm.LogicFunction(j), s.logic);
    EXPECT_EQ(alarm.AlarmStartup(j), s.startup);
    EXPECT_EQ(alarm.ScaleSelect(j), s.readStep);
    EXPECT_EQ(alarm.MinAlarm(j), s.readMin);
    EXPECT_EQ(alarm.MaxAlarm(j), s.readMax);
}

// What an all-zero block reads back as: variable 0 with both limits 0 at the automatic step.
const AlarmSpec kZeroBlock{0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0};

void expectDefault(const CRecord& got, const CRecord& def) {
    EXPECT_TRUE(got.SameData(def)) << got.InstanceName().toStdString() << " is not at its defaults";
}

}  // namespace

bool carriesSerial(qint32 model) {
    const quint8 t = ModuleType(model);
    return t == 1 || t == 5 || t == 16;
}

bool carriesDigital(qint32 model) {
    const quint8 t = ModuleType(model);
    return t == 4 || t == 5 || t == 16;
}

int analogOutputs(qint32 model) {
    const quint8 t = ModuleType(model);
    if (t != 2 && t != 3)
        return 0;
    return AnalogOutCount(model) == 3 ? 3 : 1;
}

void setAlarm(CAlarm& alarm, int j, const AlarmSpec& s) {
    alarm.setVarControllata(j, s.variable);
    alarm.setDelayTime(j, s.delay);
    alarm.setAlarmType(j, s.type);
    alarm.setAlarmStatus(j, s.status);
    alarm.setLogicFunction(j, s.logic);
    alarm.setAlarmStartup(j, s.startup);
    alarm.setScaleSelect(j, s.step);
    alarm.setMinAlarm(j, s.min);
    alarm.setMaxAlarm(j, s.max);
}

void fillConfiguration(Configuration& c, qint32 model, OutputUse use, const QString& name) {
    CUsoInstr& u = c.UsoInstr();
    u.setNomeProgramma(name);
    u.setInstrModel(model);
    u.setRapportoTA(40000);
    u.setRapportoTV(60000);
    u.setFilterScale(50);
    u.setFilterCoeff(16);
    u.setIntTimePot(20);
    u.setIntTimeCorr(25);
    u.setSystem(4);
    u.setNetworkAddVexbus(7);
    c.SerialComm().setNetworkAdd(247);
    c.SerialComm().setBaudRate(3);

    CDigOutConfig& d = c.DigOutConfig();
    switch (use) {
        case OutputUse::BothAlarms:
            d.setDigOut1(CDigOutConfig::Alarm);
            d.setStatusDigOut1(1);
            d.setNumAlarm1(5);
            d.setDigOut2(CDigOutConfig::Alarm);
            d.setStatusDigOut2(0);
            d.setNumAlarm2(11);
            for (int j = 0; j < 5; ++j)
                setAlarm(c.Alarm(1), j, kAlarmSpecs[j]);
            for (int j = 0; j < 11; ++j)
                setAlarm(c.Alarm(2), j, kAlarmSpecs[5 + j]);
            break;
        case OutputUse::PulsesAndRemote:
            d.setDigOut1(CDigOutConfig::Pulses);
            d.setStatusDigOut1(1);
            d.setDigOut2(CDigOutConfig::RemoteControl);
            d.setStatusDigOut2(1);
            c.PulseOutSetup(1).setSelectCounter(1);
            c.PulseOutSetup(1).setPulseOut(50000);
            c.PulseOutSetup(1).setPulseOutStatus(1);
            c.PulseOutSetup(2).setPulseOut(333);
            setAlarm(c.Alarm(1), 0, kAlarmSpecs[3]);
            break;
        case OutputUse::AlarmAndPulses:
            d.setDigOut1(CDigOutConfig::Alarm);
            d.setNumAlarm1(2);
            d.setDigOut2(CDigOutConfig::Pulses);
            setAlarm(c.Alarm(1), 0, kAlarmSpecs[0]);
            setAlarm(c.Alarm(1), 1, kAlarmSpecs[1]);
            setAlarm(c.Alarm(2), 0, kAlarmSpecs[3]);
            c.PulseOutSetup(2).setPulseOut(12345);
            c.PulseOutSetup(2).setPulseOutStatus(1);
            break;
    }

    for (int k = 0; k < 3; ++k) {
        const AnalogSpec& s = kAnalogSpecs[k];
        CAnalogOutSetup& a = c.AnalogOutSetup(k + 1);
        a.setVariabileRipetuta(s.variable);
        a.setMinOut(s.minOut);
        a.setMaxOut(s.maxOut);
        a.setScaleSelect(s.step);
        a.setMinIn(s.minIn);
        a.setMaxIn(s.maxIn);
    }
}

void expectReadBack(const Configuration& got, qint32 model, OutputUse use, bool imported) {
    const Configuration def;

    const CUsoInstr& u = got.UsoInstr();
    EXPECT_EQ(u.InstrModel(), model);
    EXPECT_EQ(u.RapportoTA(), 40000);
    EXPECT_EQ(u.RapportoTV(), 60000);
    EXPECT_EQ(u.FilterScale(), 50);
    EXPECT_EQ(u.FilterCoeff(), 16);
    EXPECT_EQ(u.IntTimePot(), 20);
    EXPECT_EQ(u.IntTimeCorr(), 25);
    EXPECT_EQ(u.System(), 4);
    EXPECT_EQ(u.NetworkAddVexbus(), 1) << "not in the memory map";

    if (carriesSerial(model) && !imported) {
        EXPECT_EQ(got.SerialComm().NetworkAdd(), 247);
        EXPECT_EQ(got.SerialComm().BaudRate(), 3);
    } else {
        expectDefault(got.SerialComm(), def.SerialComm());
    }

    if (carriesDigital(model)) {
        const CDigOutConfig& d = got.DigOutConfig();
        switch (use) {
            case OutputUse::BothAlarms:
                EXPECT_EQ(d.DigOut1(), 1);
                EXPECT_EQ(d.StatusDigOut1(), 1);
                EXPECT_EQ(d.NumAlarm1(), 5);
                EXPECT_EQ(d.DigOut2(), 1);
                EXPECT_EQ(d.StatusDigOut2(), 0);
                EXPECT_EQ(d.NumAlarm2(), 11);
                for (int j = 0; j < 16; ++j) {
                    expectAlarm(got.Alarm(1), j, j < 5 ? kAlarmSpecs[j] : AlarmSpec{});
                    expectAlarm(got.Alarm(2), j, j < 11 ? kAlarmSpecs[5 + j] : AlarmSpec{});
                }
                expectDefault(got.PulseOutSetup(1), def.PulseOutSetup(1));
                expectDefault(got.PulseOutSetup(2), def.PulseOutSetup(2));
                break;
            case OutputUse::PulsesAndRemote:
                EXPECT_EQ(d.DigOut1(), 0);
                EXPECT_EQ(d.StatusDigOut1(), 0) << "a pulse output carries no normal state";
                EXPECT_EQ(d.NumAlarm1(), 0);
                EXPECT_EQ(d.DigOut2(), 2);
                EXPECT_EQ(d.StatusDigOut2(), 1);
                EXPECT_EQ(d.NumAlarm2(), 0);
                EXPECT_EQ(got.PulseOutSetup(1).SelectCounter(), 1);
                EXPECT_EQ(got.PulseOutSetup(1).PulseOut(), 50000);
                EXPECT_EQ(got.PulseOutSetup(1).PulseOutStatus(), 1);
                expectDefault(got.PulseOutSetup(2), def.PulseOutSetup(2));
                expectDefault(got.Alarm(1), def.Alarm(1));
                expectDefault(got.Alarm(2), def.Alarm(2));
                break;
            case OutputUse::AlarmAndPulses:
                EXPECT_EQ(d.DigOut1(), 1);
                EXPECT_EQ(d.StatusDigOut1(), 0);
                // Every block without the output-2 bit counts for output 1; a file's
                // cleared blocks after the last alarm do not.
                EXPECT_EQ(d.NumAlarm1(), imported ? 2 : 16);
                EXPECT_EQ(d.DigOut2(), 0);
                EXPECT_EQ(d.NumAlarm2(), 0);
                for (int j = 0; j < 16; ++j)
                    expectAlarm(got.Alarm(1), j,
                                j < 2 ? kAlarmSpecs[j] : (imported ? AlarmSpec{} : kZeroBlock));
                expectDefault(got.Alarm(2), def.Alarm(2));
                expectDefault(got.PulseOutSetup(1), def.PulseOutSetup(1));
                EXPECT_EQ(got.PulseOutSetup(2).SelectCounter(), 0);
                EXPECT_EQ(got.PulseOutSetup(2).PulseOut(), 12345);
                EXPECT_EQ(got.PulseOutSetup(2).PulseOutStatus(), 1);
                break;
        }
    } else {
        expectDefault(got.DigOutConfig(), def.DigOutConfig());
        for (int o = 1; o <= 2; ++o) {
            expectDefault(got.PulseOutSetup(o), def.PulseOutSetup(o));
            expectDefault(got.Alarm(o), def.Alarm(o));
        }
    }

    const int analog = analogOutputs(model);
    for (int k = 0; k < 3; ++k) {
        const CAnalogOutSetup& a = got.AnalogOutSetup(k + 1);
        SCOPED_TRACE(a.ClassName().toStdString());
        if (k >= analog) {
            expectDefault(a, def.AnalogOutSetup(k + 1));
            continue;
        }
        const AnalogSpec& s = kAnalogSpecs[k];
        EXPECT_EQ(a.VariabileRipetuta(), s.variable);
        EXPECT_EQ(a.MinOut(), s.minOut);
        EXPECT_EQ(a.MaxOut(), s.maxOut);
        EXPECT_EQ(a.ScaleSelect(), s.readStep);
        EXPECT_EQ(a.MinIn(), s.readMinIn);
        EXPECT_EQ(a.MaxIn(), s.readMaxIn);
    }
}

QList<qint16> allWords(const CGestioneMemMap& m) {
    QList<qint16> w;
    for (int i = 0; i < CGestioneMemMap::ParamWords; ++i)
        w << m.ParamMemMap(i);
    for (int i = 0; i < CGestioneMemMap::AnalogOutWords; ++i)
        w << m.AnalogOutMemMap(i);
    for (int i = 0; i < CGestioneMemMap::DigOutWords; ++i)
        w << m.DigOutMemMap(i);
    for (int i = 0; i < CGestioneMemMap::AlarmWords; ++i)
        w << m.AlarmMemMap(i);
    for (int i = 0; i < CGestioneMemMap::PulseWords; ++i)
        w << m.PulseMemMap(i);
    return w;
}

void copyMemoryMap(const CGestioneMemMap& from, CGestioneMemMap& to) {
    to.setInstrModel(from.InstrModel());
    for (int i = 0; i < CGestioneMemMap::ParamWords; ++i)
        to.setParamMemMap(i, from.ParamMemMap(i));
    for (int i = 0; i < CGestioneMemMap::AnalogOutWords; ++i)
        to.setAnalogOutMemMap(i, from.AnalogOutMemMap(i));
    for (int i = 0; i < CGestioneMemMap::DigOutWords; ++i)
        to.setDigOutMemMap(i, from.DigOutMemMap(i));
    for (int i = 0; i < CGestioneMemMap::AlarmWords; ++i)
        to.setAlarmMemMap(i, from.AlarmMemMap(i));
    for (int i = 0; i < CGestioneMemMap::PulseWords; ++i)
        to.setPulseMemMap(i, from.PulseMemMap(i));
}

}  // namespace voltaris::test
