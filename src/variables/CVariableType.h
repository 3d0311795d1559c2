#pragma once

#include <QString>

namespace voltaris {

// Classifies a variable code (0..60, the catalogue order) and gives its engineering unit.
// A code outside 0..60 belongs to no class: every predicate is false and the unit is empty.
class CVariableType {
public:
    CVariableType() = default;
    explicit CVariableType(qint16 code) : m_Variable(code) {}

    qint16 Variable() const { return m_Variable; }
    void setVariable(qint16 code) { m_Variable = code; }

    // "A", "V", "W", "VA", "var", "Hz", "%" or empty, the first class that applies.
    QString UnitaIngegneristica() const;

    bool IsDMD() const;
    bool IsPower() const;
    bool IsPowerSystem() const;
    bool IsPowerActive() const;
    bool IsPowerReactive() const;
    bool IsPowerApparente() const;
    bool IsPowerActiveSystem() const;
    bool IsPowerReactiveSystem() const;
    bool IsPowerApparenteSystem() const;
    bool IsVoltStella() const;
    bool IsVoltConcatenata() const;
    bool IsAmpere() const;
    bool IsPFFase() const;
    bool IsPFSys() const;
    bool IsASY() const;
    bool IsHZ() const;
    bool IsEnergyHourCounters() const;
    bool IsPhaseSequence() const;

private:
    bool in(int first, int last) const { return m_Variable >= first && m_Variable <= last; }

    qint16 m_Variable = 0;
};

}  // namespace voltaris
