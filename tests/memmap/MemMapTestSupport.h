#pragma once

#include <QList>
#include <QString>

#include "memmap/CGestioneMemMap.h"
#include "model/Configuration.h"

namespace voltaris::test {

// How the two digital outputs of a test configuration are used.
enum class OutputUse {
    BothAlarms,       // output 1: 5 alarms, output 2: 11 alarms (all 16 blocks in use)
    PulsesAndRemote,  // output 1: pulses on "Kvarh Tot.", output 2: remote control
    AlarmAndPulses,   // output 1: 2 alarms, output 2: pulses on "KWh Tot."
};

// One alarm as the page stores it, and what the read-back of its limits gives.
struct AlarmSpec {
    qint32 variable;
    qint16 delay, type, status, logic, startup;
    qint16 step, min, max;
    qint16 readStep, readMin, readMax;
};
// Sixteen alarms over every class of variable (fixed and automatic scale).
extern const AlarmSpec kAlarmSpecs[16];

struct AnalogSpec {
    qint32 variable;
    qint16 minOut, maxOut;
    qint16 step, minIn, maxIn;
    qint16 readStep, readMinIn, readMaxIn;
};
extern const AnalogSpec kAnalogSpecs[3];

// Which blocks the module of `model` carries: the network address and speed, the digital
// outputs (alarms and pulses), and how many analogue outputs (0, 1 or 3).
bool carriesSerial(qint32 model);
bool carriesDigital(qint32 model);
int analogOutputs(qint32 model);

// Stores alarm `j` of `alarm` as the page does.
void setAlarm(CAlarm& alarm, int j, const AlarmSpec& s);

// A configuration for `model` with every field the memory map carries set away from its
// default (analogue outputs filled whatever the model).
void fillConfiguration(Configuration& config, qint32 model, OutputUse use,
                       const QString& name = QStringLiteral("Quadro prova"));

// Checks a configuration read back from the memory map of one filled by
// fillConfiguration(model, use): every carried field as the read-back rules give it, and
// the records the model does not use left at their defaults. `imported`: the network
// address and speed are not carried.
void expectReadBack(const Configuration& got, qint32 model, OutputUse use, bool imported);

// Every word of the five blocks, ParamMemMap first, in the order of the blocks.
QList<qint16> allWords(const CGestioneMemMap& map);
// Copies InstrModel and every word, as a read from an instrument stores them.
void copyMemoryMap(const CGestioneMemMap& from, CGestioneMemMap& to);

}  // namespace voltaris::test
