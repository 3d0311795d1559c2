#pragma once

#include "controls/CTextSpin.h"
#include "controls/ChoiceGroups.h"
#include "model/CNetworkAddMsgSetup.h"
#include "wizard/WizardPage.h"

class QGroupBox;

namespace voltaris::wizard {

// What the network page lets the user choose, from the connection type (plus 3 when an
// instrument is read, edited and written back), the mode and the address choice shown, and
// the page's variant.
struct NetworkPageEnabling {
    bool wholeNetworkOption;  // option 1 of m_ModeConfig
    bool addressGroup;        // the m_SelNetworkAdd group
    bool automaticOption;     // optAutomatic
    bool addressSpin;         // m_NetworkAdd
    bool totalInstruments;    // frmTotalInstrNetwork and m_TotalInstrNetwork
    bool instructions;        // frmMessage shown
};
NetworkPageEnabling NetworkPageRules(qint16 interfaceType, qint16 modeConfig, qint16 selNetworkAdd,
                                     qint16 action);

// Which instrument or instruments an operation addresses, with the safety instructions.
class FWNetworkAddMsgSetup : public WizardPage {
    Q_OBJECT
public:
    explicit FWNetworkAddMsgSetup(QWidget* parent = nullptr);
    // 0: transmit and modify instrument (instructions shown); 1: view and reset.
    void setAction(qint16 action) { m_Action = action; }
    qint16 Action() const { return m_Action; }

    controls::COptionButton m_ModeConfig;
    controls::COptionButton m_SelNetworkAdd;
    controls::CTextSpin m_NetworkAdd;
    controls::CTextSpin m_TotalInstrNetwork;

protected:
    CRecord* PageRecord() override { return &m_record; }
    void ActivateForm() override;
    void CommitForm() override;

private:
    void ApplyRules();

    CNetworkAddMsgSetup m_record;
    qint16 m_Action = 0;
    QGroupBox* frmTotalInstrNetwork;
    QGroupBox* frmMessage;
};

}  // namespace voltaris::wizard
