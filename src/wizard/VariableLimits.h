#pragma once

#include <QObject>
#include <QString>

#include "controls/CTextSpin.h"
#include "controls/ChoiceGroups.h"
#include "variables/CVariableRangeScale.h"

class QLabel;

namespace voltaris::wizard {

// A power-factor limit as the pages show it. The integer v stands for 1000 - v thousandths
// (capacitive below 0): n = multiplier x (1000 - v), or multiplier x (-v - 1000) for v < 0,
// formatted and followed by the unit; a value that does not read 1.xxx shows "L" (inductive)
// or "C" (capacitive) and its last four characters.
QString PowerFactorText(qint16 value, float multiplier, const QString& format, const QString& unit,
                        const QString& decimalPoint);

// Whether the scale can be chosen for a variable: not for those measured at a fixed scale
// (phase sequence, frequency, asymmetry, power factors).
bool ScaleChosen(qint16 variable);

// The controls the alarm page and the analogue output page share: a measured variable, its
// scale and a lower and an upper value within the variable's range at that scale. The
// variables offered follow the wiring system; the scales 2 .. the range's DPScaleMax; the two
// value fields take the scale's multiplier, unit and format, and stay in order on every
// accepted change.
class VariableLimits : public QObject {
    Q_OBJECT
public:
    // How the value fields read for the phase sequence, which is only right or wrong.
    enum class SequenceText { Empty, OkNotOk };

    explicit VariableLimits(QObject* parent = nullptr) : QObject(parent) {}

    void Create(controls::CComboBox* variable, controls::CComboBox* scale, QLabel* scaleLabel,
                controls::CTextSpin* low, controls::CTextSpin* high, SequenceText sequence);

    CVariableRangeScale& range() { return m_range; }
    // Lists the controllable variables of wiring system `system`.
    void FillVariables(qint16 system);
    // Shows `variable` (or the fallback, W Sys, when the list lacks it: false then) at scale
    // `step` (the first scale when the list lacks it; a variable with a fixed scale always at
    // its own), with the two values held within the range and in order.
    bool Show(qint32 variable, qint16 step, qint16 low, qint16 high);
    qint16 Variable() const;
    qint16 Scale() const;

    static constexpr qint16 kFallbackVariable = 25;

signals:
    // A variable was chosen (by the user or by Show), after the scale list was refilled and
    // the values took the range of its last scale.
    void VariableChanged(qint16 variable);

private:
    void OnVariable();
    void OnScale();
    void ValueText(controls::CTextSpin& field, QString& text);

    controls::CComboBox* m_variable = nullptr;
    controls::CComboBox* m_scale = nullptr;
    QLabel* m_scaleLabel = nullptr;
    controls::CTextSpin* m_low = nullptr;
    controls::CTextSpin* m_high = nullptr;
    SequenceText m_sequence = SequenceText::Empty;
    CVariableRangeScale m_range;
    bool m_quiet = false;
};

}  // namespace voltaris::wizard
