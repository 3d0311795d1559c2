#pragma once

#include <QList>

#include "model/CRecord.h"

namespace voltaris {

// Which instrument or instruments an operation addresses: settings section
// "CNetworkAddMsgSetup".
class CNetworkAddMsgSetup : public CSettingsRecord {
public:
    CNetworkAddMsgSetup();

    // The one instrument behind the auxiliary port answers at this address.
    static constexpr qint16 AuxiliaryAddress = 255;
    // Instrument addresses, and the number of instruments of a network: 1..255.
    static constexpr qint16 MinAddress = 1;
    static constexpr qint16 MaxAddress = 255;
    static bool IsValidAddress(int address) {
        return address >= MinAddress && address <= MaxAddress;
    }

    // What the network page offers for a connection type (CCommConfig::Interface): the
    // auxiliary port nothing; a single instrument a searched or a given address; a network a
    // given address or every instrument 1..TotalInstrNetwork.
    struct Choices {
        bool searchedAddress = false;  // SelNetworkAdd 0
        bool givenAddress = false;     // SelNetworkAdd 1, NetworkAdd
        bool wholeNetwork = false;     // ModeConfig 1, TotalInstrNetwork
        bool any() const { return searchedAddress || givenAddress || wholeNetwork; }
    };
    static Choices ChoicesFor(qint16 interfaceType);

    // Brings ModeConfig and SelNetworkAdd within ChoicesFor(interfaceType), as the page
    // would leave them, and copies the type into InterfaceType.
    void Settle(qint16 interfaceType);

    // The operation searches the line for the instrument's address.
    bool SearchesAddress(qint16 interfaceType) const;
    // The addresses an operation visits, in order: 255 on the auxiliary port, 1..
    // TotalInstrNetwork (bounded to 1..255) for a whole network, else NetworkAdd.
    QList<qint16> Addresses(qint16 interfaceType) const;

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
