#pragma once

#include <QString>

#include "variables/CFloatToIntDPScale.h"
#include "variables/CVariableType.h"

namespace voltaris {

// The range a user may enter for one variable at one decimal-point step, given the model's
// voltage class and the transformer ratios. Copy InstrModel, RapportoTV and RapportoTA from
// the configuration first, then set Variable and ScaleSelect and read the results.
class CVariableRangeScale {
public:
    qint32 InstrModel() const { return m_InstrModel; }
    void setInstrModel(qint32 model) { m_InstrModel = model; }
    // VT ratio in tenths.
    qint32 RapportoTV() const { return m_RapportoTV; }
    void setRapportoTV(qint32 ratio) { m_RapportoTV = ratio; }
    qint32 RapportoTA() const { return m_RapportoTA; }
    void setRapportoTA(qint32 ratio) { m_RapportoTA = ratio; }

    // Results of ComputeRange.
    qint16 Minimo() const { return m_Minimo; }
    void setMinimo(qint16 value) { m_Minimo = value; }
    qint16 Massimo() const { return m_Massimo; }
    void setMassimo(qint16 value) { m_Massimo = value; }
    // The step at which Massimo holds, or the fixed step of the variable.
    qint16 DPScaleMax() const { return m_DPScaleMax; }
    void setDPScaleMax(qint16 step) { m_DPScaleMax = step; }
    QString UnitaIngegneristica() const { return m_UnitaIngegneristica; }
    void setUnitaIngegneristica(const QString& unit) { m_UnitaIngegneristica = unit; }

    // Sets the code, resets the chosen step to 17 and computes the range.
    void setVariable(qint16 code);
    // Sets the chosen step and computes the range.
    void setScaleSelect(qint16 step);

    const CVariableType& VariableType() const { return m_Variable; }

    // May throw AssertFailed when the full scale is too large for any step (absurd ratios).
    void ComputeRange();

private:
    qint32 m_InstrModel = 0x00230004;
    qint32 m_RapportoTV = 1;
    qint32 m_RapportoTA = 1;
    qint16 m_Minimo = 0;
    qint16 m_Massimo = 0;
    qint16 m_DPScaleMax = 0;
    QString m_UnitaIngegneristica;
    CVariableType m_Variable;
    qint16 m_Step = 0;
    CFloatToIntDPScale m_Scaler;
};

}  // namespace voltaris
