#pragma once

#include <QString>

namespace voltaris::GlobalScale {

// A scaled value is a 16-bit integer with a decimal-point step 0..17:
// value = integer x 10^(step - 5).
constexpr int StepCount = 18;
constexpr qint16 DefaultStep = 5;

struct ScaleRow {
    float Factor;             // 10^(step - 5), the nearest single
    float DisplayMultiplier;  // integer x this = the number shown before the prefix
    QString SampleText;       // offered to the user when choosing a step ("111.1K")
    QString Prefix;           // "m", "", "K", "M", "G" or "T"
    QString Format;           // pattern of the shown number ("##0.0")
};

// Builds the table of the 18 steps. Start-up calls it once; it is idempotent and safe to
// call from any thread, and the readers below build the table themselves when needed.
void InitScaleTable();

bool IsValidStep(int step);

// Throws IndexError for a step outside 0..17.
const ScaleRow& Row(int step);
float Factor(int step);

// `integer` x the step's display multiplier, in the step's format with `decimalPoint` as
// the separator, followed by the step's prefix: (2304, 4) gives "230.4", (1234, 6) "12.34K".
// Throws IndexError for a step outside 0..17.
QString FormatScaled(qint16 integer, int step, const QString& decimalPoint);

}  // namespace voltaris::GlobalScale
