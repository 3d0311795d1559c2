#include "model/CNetworkAddMsgSetup.h"

#include "model/CCommConfig.h"

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

CNetworkAddMsgSetup::Choices CNetworkAddMsgSetup::ChoicesFor(qint16 interfaceType) {
    Choices c;
    switch (interfaceType) {
        case CCommConfig::SingleInstrument:
            c.searchedAddress = true;
            c.givenAddress = true;
            break;
        case CCommConfig::Network:
            // Every instrument of a network answers a search: the address is given.
            c.givenAddress = true;
            c.wholeNetwork = true;
            break;
        default:
            break;
    }
    return c;
}

void CNetworkAddMsgSetup::Settle(qint16 interfaceType) {
    const Choices c = ChoicesFor(interfaceType);
    if (!c.wholeNetwork && m_ModeConfig != 0)
        m_ModeConfig = 0;
    if (!c.searchedAddress && c.givenAddress && m_ModeConfig == 0 && m_SelNetworkAdd == 0)
        m_SelNetworkAdd = 1;
    m_InterfaceType = interfaceType;
}

bool CNetworkAddMsgSetup::SearchesAddress(qint16 interfaceType) const {
    return interfaceType != CCommConfig::AuxiliaryPort && m_ModeConfig == 0 && m_SelNetworkAdd == 0;
}

QList<qint16> CNetworkAddMsgSetup::Addresses(qint16 interfaceType) const {
    if (interfaceType == CCommConfig::AuxiliaryPort)
        return {AuxiliaryAddress};
    if (interfaceType == CCommConfig::Network && m_ModeConfig != 0) {
        QList<qint16> all;
        const qint16 last = qBound(MinAddress, m_TotalInstrNetwork, MaxAddress);
        for (qint16 a = MinAddress; a <= last; ++a)
            all << a;
        return all;
    }
    return {m_NetworkAdd};
}

}  // namespace voltaris
