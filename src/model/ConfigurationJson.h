#pragma once

#include <QByteArray>
#include <QJsonObject>

#include "model/Validation.h"

namespace voltaris {

class Configuration;

// A configuration as JSON: one object per record keyed by its table name ("CUsoInstr",
// "CAlarm1", ...), inside it the stored properties by name; indexed properties are arrays
// of 16. InstrModel is written as its catalogue name ("KM6.1.x.R2.KX"), or as a number
// when the model is not catalogued.
QJsonObject ConfigurationToJson(const Configuration& config);
// The same as indented UTF-8 text, records and properties in storing order, each array
// on one line.
QByteArray ConfigurationToJsonText(const Configuration& config);

enum class JsonMode {
    Create,  // onto a new configuration: left-out values settle as on the wizard pages
    Update,  // onto a stored configuration: left-out values keep what is stored
};

// Largest JSON text taken: a whole configuration is a few kilobytes.
constexpr qsizetype MaxJsonSize = 1 << 20;

// Reads a JSON document onto `config`: given values replace, left-out ones stay. Refused
// as a whole, with every offending field named, when the text is longer than MaxJsonSize or
// not JSON, a key appears twice in one object, a table or key is unknown, Create mode is
// given no InstrModel, a value has the wrong kind or does not fit its width, an array has more
// than 16 entries, InstrModel names no catalogue model, or the result breaks a rule of
// ValidateConfiguration. `config` changes only when the list returned is empty.
// In Create mode a left-out System takes the one the usage page settles on for the model
// (SettledSystem), and a left-out MaxOut of an analogue output the model has is clamped
// to 100 as the output page does.
FieldProblems ApplyConfigurationJson(const QByteArray& json, Configuration& config, JsonMode mode);

}  // namespace voltaris
