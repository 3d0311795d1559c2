#include "variables/CVariableRangeScale.h"

namespace voltaris {

void CVariableRangeScale::setVariable(qint16 code) {
    m_Variable.setVariable(code);
    m_Step = 17;
    ComputeRange();
}

void CVariableRangeScale::setScaleSelect(qint16 step) {
    m_Step = step;
    ComputeRange();
}

void CVariableRangeScale::ComputeRange() {
    m_Minimo = 0;
    m_Massimo = 0;
    m_DPScaleMax = 0;
    m_UnitaIngegneristica = m_Variable.UnitaIngegneristica();

    // KM5.1 and KM5.3 measure the higher voltage class.
    const int base = (m_InstrModel >> 16) & 0xFF;
    const bool highClass = base == 0x23 || base == 0x21;
    const double vStella = highClass ? 480.0 : 144.0;
    const double vConcatenata = highClass ? 828.0 : 249.6;

    enum class Kind { None, Measure, Power };
    Kind kind = Kind::None;
    double fullScale = 0.0;
    const CVariableType& v = m_Variable;
    if (v.IsAmpere()) {
        kind = Kind::Measure;
        fullScale = m_RapportoTA * 6.0;
    } else if (v.IsVoltStella()) {
        kind = Kind::Measure;
        fullScale = m_RapportoTV * vStella / 10.0;
    } else if (v.IsVoltConcatenata()) {
        kind = Kind::Measure;
        fullScale = m_RapportoTV * vConcatenata / 10.0;
    } else if (v.IsPower()) {
        kind = Kind::Power;
        fullScale = m_RapportoTV * vStella / 10.0 * 5.0 * 1.2 * m_RapportoTA;
        if (v.IsPowerSystem())
            fullScale *= 3.0;
    } else if (v.IsPFFase() || v.IsPFSys()) {
        m_Minimo = -1000;
        m_Massimo = 1000;
        m_DPScaleMax = 2;
    } else if (v.IsASY()) {
        m_Massimo = 3000;
        m_DPScaleMax = 4;
    } else if (v.IsHZ()) {
        m_Minimo = 4500;
        m_Massimo = 6500;
        m_DPScaleMax = 3;
    } else if (v.IsPhaseSequence()) {
        m_Massimo = 1;
        m_DPScaleMax = 5;
    }

    if (kind != Kind::None) {
        m_Scaler.setFloatValue(static_cast<float>(fullScale));
        const qint16 n = m_Scaler.IntValue();
        const qint16 s = m_Scaler.DPScale();
        if (m_Step < s) {
            m_Massimo = 9999;
            if (kind == Kind::Power)
                m_Minimo = -9999;
        } else {
            m_Massimo = n;
            if (kind == Kind::Power)
                m_Minimo = static_cast<qint16>(-n);
            m_DPScaleMax = s;
        }
    }

    if (v.IsDMD() || v.IsPowerApparente())
        m_Minimo = 0;
}

}  // namespace voltaris
