#include "model/CNetworkAddMsgSetup.h"

namespace voltaris {

CNetworkAddMsgSetup::CNetworkAddMsgSetup()
    : CSettingsRecord(QStringLiteral("CNetworkAddMsgSetup")) {}

const RecordLayout& CNetworkAddMsgSetup::StaticLayout() {
    static const RecordLayout layout = [] {
        using R = CNetworkAddMsgSetup;
        RecordLayout l;
        l.properties = {
            plainProperty(QStringLiteral("NetworkAdd"), &R::m_NetworkAdd),
            plainProperty(QStringLiteral("ModeConfig"), &R::m_ModeConfig),
            plainProperty(QStringLiteral("SelNetworkAdd"), &R::m_SelNetworkAdd),
            plainProperty(QStringLiteral("TotalInstrNetwork"), &R::m_TotalInstrNetwork),
            plainProperty(QStringLiteral("InterfaceType"), &R::m_InterfaceType, false),
        };
        appendFieldsByProperty(l);
        return l;
    }();
    return layout;
}

}  // namespace voltaris
