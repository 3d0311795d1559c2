#pragma once

#include <QString>

#include "variables/CFloatToIntDPScale.h"
#include "variables/CVariableRangeScale.h"

namespace voltaris {

// Turns a measured or stored value of one variable into its display text ("230.4V",
// "12.34KA", "C.950", "OK").
class CVariableViewConvert {
public:
    // The decimal separator of the user's locale.
    CVariableViewConvert();
    explicit CVariableViewConvert(const QString& decimalPoint);

    QString decimalPoint() const { return m_DecimalPoint; }
    void setDecimalPoint(const QString& decimalPoint) { m_DecimalPoint = decimalPoint; }

    const CVariableType& VariableType() const { return m_Range.VariableType(); }

    // A measured single: asymmetry, frequency and power factors at their fixed step, every
    // other variable at the step chosen automatically. See CFloatToIntDPScale for failures.
    void VariableFloat(qint16 code, float value);
    // A stored integer at its step; throws IndexError for a step outside 0..17.
    void VariableIntDPScale(qint16 code, qint16 integer, qint16 step);

    // The last value given, as display text.
    QString ElettricDataString() const;

private:
    QString m_DecimalPoint;
    CVariableRangeScale m_Range;
    CFloatToIntDPScale m_Scaler;
};

}  // namespace voltaris
