#include "variables/CVariableType.h"

namespace voltaris {

QString CVariableType::UnitaIngegneristica() const {
    if (IsAmpere())
        return QStringLiteral("A");
    if (IsVoltStella() || IsVoltConcatenata())
        return QStringLiteral("V");
    if (IsPowerActive())
        return QStringLiteral("W");
    if (IsPowerApparente())
        return QStringLiteral("VA");
    if (IsPowerReactive())
        return QStringLiteral("var");
    if (IsHZ())
        return QStringLiteral("Hz");
    if (IsASY())
        return QStringLiteral("%");
    return QString();
}

bool CVariableType::IsDMD() const {
    return in(32, 42) || m_Variable == 49 || m_Variable == 56 || m_Variable == 57;
}

bool CVariableType::IsPower() const {
    return IsPowerSystem() || IsPowerActive() || IsPowerReactive() || IsPowerApparente();
}

bool CVariableType::IsPowerSystem() const {
    return in(25, 27);
}

bool CVariableType::IsPowerActive() const {
    return in(10, 12) || m_Variable == 25 || in(35, 37) || m_Variable == 41 || in(53, 56);
}

bool CVariableType::IsPowerReactive() const {
    return in(16, 18) || m_Variable == 27;
}

bool CVariableType::IsPowerApparente() const {
    return in(13, 15) || m_Variable == 26 || in(38, 40) || m_Variable == 42 || m_Variable == 57;
}

bool CVariableType::IsPowerActiveSystem() const {
    return m_Variable == 25;
}

bool CVariableType::IsPowerReactiveSystem() const {
    return m_Variable == 27;
}

bool CVariableType::IsPowerApparenteSystem() const {
    return m_Variable == 26;
}

bool CVariableType::IsVoltStella() const {
    return in(0, 2) || m_Variable == 23;
}

bool CVariableType::IsVoltConcatenata() const {
    return in(3, 5) || m_Variable == 24;
}

bool CVariableType::IsAmpere() const {
    return in(6, 9) || in(32, 34) || in(48, 52);
}

bool CVariableType::IsPFFase() const {
    return in(20, 22) || in(58, 60);
}

bool CVariableType::IsPFSys() const {
    return m_Variable == 28;
}

bool CVariableType::IsASY() const {
    return in(30, 31);
}

bool CVariableType::IsHZ() const {
    return m_Variable == 29;
}

bool CVariableType::IsEnergyHourCounters() const {
    return in(43, 47);
}

bool CVariableType::IsPhaseSequence() const {
    return m_Variable == 19;
}

}  // namespace voltaris
