#include "model/CCommConfig.h"

namespace voltaris {

CCommConfig::CCommConfig() : CSettingsRecord(QStringLiteral("CCommConfig")) {}

const RecordLayout& CCommConfig::StaticLayout() {
    static const RecordLayout layout = [] {
        using R = CCommConfig;
        RecordLayout l;
        l.properties = {
            plainProperty(QStringLiteral("ComPort"), &R::m_ComPort),
            plainProperty(QStringLiteral("InterfaceType"), &R::m_InterfaceType),
        };
        appendFieldsByProperty(l);
        return l;
    }();
    return layout;
}

}  // namespace voltaris
