#pragma once

#include "model/CRecord.h"

namespace voltaris {

// Which instrument or instruments an operation addresses: settings section
// "CNetworkAddMsgSetup".
class CNetworkAddMsgSetup : public CSettingsRecord {
public:
    CNetworkAddMsgSetup();

    static const RecordLayout& StaticLayout();
    const RecordLayout& Layout() const override { return StaticLayout(); }

    // Network address of the instrument to address.
    qint16 NetworkAdd() const { return m_NetworkAdd; }
    void setNetworkAdd(qint16 v) { m_NetworkAdd = v; }
    // 0 a single instrument, 1 every instrument of the network.
    qint16 ModeConfig() const { return m_ModeConfig; }
    void setModeConfig(qint16 v) { m_ModeConfig = v; }
    // 0 detect the address automatically, 1 use NetworkAdd.
    qint16 SelNetworkAdd() const { return m_SelNetworkAdd; }
    void setSelNetworkAdd(qint16 v) { m_SelNetworkAdd = v; }
    // Instruments in the network (addresses 1..this number in network mode).
    qint16 TotalInstrNetwork() const { return m_TotalInstrNetwork; }
    void setTotalInstrNetwork(qint16 v) { m_TotalInstrNetwork = v; }
    // Copy of the connection type (plus 3 when reading, editing and rewriting an
    // instrument); copied by GetData/SetData, never stored.
    qint16 InterfaceType() const { return m_InterfaceType; }
    void setInterfaceType(qint16 v) { m_InterfaceType = v; }

private:
    qint16 m_NetworkAdd = 1;
    qint16 m_ModeConfig = 0;
    qint16 m_SelNetworkAdd = 0;
    qint16 m_TotalInstrNetwork = 255;
    qint16 m_InterfaceType = 0;
};

}  // namespace voltaris
