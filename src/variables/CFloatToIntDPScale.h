#pragma once

#include <QString>

namespace voltaris {

// Converts between a single and a 16-bit integer with its decimal-point step
// (value = integer x 10^(step - 5)). Comparisons and arithmetic are in single precision;
// the integer is the value rounded half to even.
//
// A value that no step can hold is a failed check: it is reported through g_Trace().BugAssert,
// which throws AssertFailed; the object is left at the fall-back integer 0 (step 2 for the
// automatic conversion, step 1 for the targeted one). A value that does not fit 16 bits
// (an overflow) is traced and gives the same fall-back silently.
class CFloatToIntDPScale {
public:
    float FloatValue() const { return m_Float; }
    // Converts choosing the step automatically (3 or 4 significant digits).
    void setFloatValue(float value);

    qint16 IntValue() const { return m_IntValue; }
    qint16 DPScale() const { return m_DPScale; }

    // Converts at step `DPTarget`; a zero value stays at step 5 whatever the target.
    void SetFloatValue(float value, qint16 DPTarget);

    // Sets the integer and step and computes the single. Throws IndexError for a step
    // outside 0..17, leaving the object as it was.
    void IntDPScale(qint16 integer, qint16 step);

private:
    void ConvertFloatToDPScale();
    void ConvertFloatToDPScaleTarget();
    void ConvertIntDPScaleToFloat();
    void overflow();

    float m_Float = 0.0f;
    qint16 m_IntValue = 0;
    qint16 m_DPScale = 0;
    qint16 m_DPScaleTarget = -1;
};

}  // namespace voltaris
