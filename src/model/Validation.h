#pragma once

#include <QList>
#include <QString>

namespace voltaris {

class Configuration;

// One refused field of a configuration, named as in its JSON form: "CUsoInstr.RapportoTV",
// "CAlarm1.MinAlarm[3]" (array position, 0 is the first alarm), a table name for a whole
// record, or empty for the document as a whole.
struct FieldProblem {
    QString field;
    QString text;  // what is wrong, for the user
    // "field: text", or the text alone when no field is named.
    QString message() const;
    bool operator==(const FieldProblem&) const = default;
};
using FieldProblems = QList<FieldProblem>;

// Alarm blocks of the instrument, shared by the two digital outputs: NumAlarm1 + NumAlarm2 may
// not exceed it.
inline constexpr int MaxAlarmBlocks = 16;

// Longest configuration name taken where names are entered.
constexpr int MaxNameLength = 255;
// Why `name` cannot be a configuration name, with the rule; empty when it can. Refused:
// blank, longer than MaxNameLength characters, or holding control characters (newline,
// tab, NUL, ...), which break the one-line list. The texts come from the string table (the
// usage page shows them too).
QString NameProblem(const QString& name);

// Wiring systems the usage page offers for a model: 1 and 4 always; 0, 2 and 3 only on
// base instruments 0x21 and 0x22.
bool SystemOffered(qint32 model, int system);
// The wiring system the usage page settles on when none was chosen: 0 where it is
// offered, else 4.
qint16 SettledSystem(qint32 model);

// Alarms of output 1 or 2 in use: the output's alarm count while the model has the output
// and it is in alarm mode, else 0 (at most 16).
int AlarmsInUse(const Configuration& config, int output);
// Pulse output 1 or 2 in use: the model has the digital output and it is in pulse mode.
bool PulsesInUse(const Configuration& config, int output);
// Analogue outputs of the configuration's model (0..3).
int AnalogOutputsInUse(const Configuration& config);

// Every value of the configuration that the wizard pages would not allow, record by record:
// the name (NameProblem), the ranges of each field, the catalogue model and the wiring systems it
// offers, at most 16 alarms on both outputs, and for the alarms in use and the analogue outputs of
// the model a variable of the wiring system, a scale 2..DPScaleMax of that variable and limits
// within its range at that scale, the lower not above the upper. Empty when valid.
FieldProblems ValidateConfiguration(const Configuration& config);

}  // namespace voltaris
