#include "model/CDigOutConfig.h"

namespace voltaris {

CDigOutConfig::CDigOutConfig() : CArchiveRecord(QStringLiteral("CDigOutConfig")) {}

const RecordLayout& CDigOutConfig::StaticLayout() {
    static const RecordLayout layout = [] {
        using R = CDigOutConfig;
        RecordLayout l;
        l.properties = {
            plainProperty(QStringLiteral("DigOut1"), &R::m_DigOut1),
            plainProperty(QStringLiteral("NumAlarm1"), &R::m_NumAlarm1),
            plainProperty(QStringLiteral("StatusDigOut1"), &R::m_StatusDigOut1),
            plainProperty(QStringLiteral("DigOut2"), &R::m_DigOut2),
            plainProperty(QStringLiteral("NumAlarm2"), &R::m_NumAlarm2),
            plainProperty(QStringLiteral("StatusDigOut2"), &R::m_StatusDigOut2),
            plainProperty(QStringLiteral("ModuleTypeLo"), &R::m_ModuleTypeLo, false),
        };
        appendFieldsByProperty(l);
        return l;
    }();
    return layout;
}

}  // namespace voltaris
