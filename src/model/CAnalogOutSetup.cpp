#include "model/CAnalogOutSetup.h"

namespace voltaris {

CAnalogOutSetup::CAnalogOutSetup() : CArchiveRecord(QStringLiteral("CAnalogOutSetup")) {}

const RecordLayout& CAnalogOutSetup::StaticLayout() {
    static const RecordLayout layout = [] {
        using R = CAnalogOutSetup;
        RecordLayout l;
        l.properties = {
            plainProperty(QStringLiteral("VariabileRipetuta"), &R::m_VariabileRipetuta),
            plainProperty(QStringLiteral("ScaleSelect"), &R::m_ScaleSelect),
            plainProperty(QStringLiteral("MaxIn"), &R::m_MaxIn),
            plainProperty(QStringLiteral("MinIn"), &R::m_MinIn),
            plainProperty(QStringLiteral("MaxOut"), &R::m_MaxOut),
            plainProperty(QStringLiteral("MinOut"), &R::m_MinOut),
            plainProperty(QStringLiteral("System"), &R::m_System, false),
            plainProperty(QStringLiteral("InstrModel"), &R::m_InstrModel, false),
            plainProperty(QStringLiteral("RapportoTV"), &R::m_RapportoTV, false),
            plainProperty(QStringLiteral("RapportoTA"), &R::m_RapportoTA, false),
        };
        appendFieldsByProperty(l);
        return l;
    }();
    return layout;
}

}  // namespace voltaris
