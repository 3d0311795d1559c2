#include "model/CAlarm.h"

namespace voltaris {

CAlarm::CAlarm() : CArchiveRecord(QStringLiteral("CAlarm")) {}

const RecordLayout& CAlarm::StaticLayout() {
    static const RecordLayout layout = [] {
        using R = CAlarm;
        RecordLayout l;
        l.properties = {
            indexedProperty(QStringLiteral("VarControllata"), &R::m_VarControllata),
            indexedProperty(QStringLiteral("ScaleSelect"), &R::m_ScaleSelect),
            indexedProperty(QStringLiteral("MinAlarm"), &R::m_MinAlarm),
            indexedProperty(QStringLiteral("MaxAlarm"), &R::m_MaxAlarm),
            indexedProperty(QStringLiteral("DelayTime"), &R::m_DelayTime),
            indexedProperty(QStringLiteral("AlarmType"), &R::m_AlarmType),
            indexedProperty(QStringLiteral("AlarmStatus"), &R::m_AlarmStatus),
            indexedProperty(QStringLiteral("LogicFunction"), &R::m_LogicFunction),
            indexedProperty(QStringLiteral("AlarmStartup"), &R::m_AlarmStartup),
            plainProperty(QStringLiteral("InstrModel"), &R::m_InstrModel, false),
            plainProperty(QStringLiteral("System"), &R::m_System, false),
            plainProperty(QStringLiteral("RapportoTV"), &R::m_RapportoTV, false),
            plainProperty(QStringLiteral("RapportoTA"), &R::m_RapportoTA, false),
            plainProperty(QStringLiteral("NumAlarm"), &R::m_NumAlarm, false),
        };
        appendFieldsByIndex(l);
        return l;
    }();
    return layout;
}

}  // namespace voltaris
