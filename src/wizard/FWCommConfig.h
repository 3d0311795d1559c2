#pragma once

#include "controls/ChoiceGroups.h"
#include "model/CCommConfig.h"
#include "wizard/WizardPage.h"

namespace voltaris::wizard {

// How the PC reaches the instruments: the connection type and the COM port.
class FWCommConfig : public WizardPage {
    Q_OBJECT
public:
    explicit FWCommConfig(QWidget* parent = nullptr);
    // Kept for the page contract; the captions do not depend on it.
    void setAction(qint16 action) { m_Action = action; }

    controls::COptionButton m_InterfaceType;
    controls::COptionButton m_ComPort;

protected:
    CRecord* PageRecord() override { return &m_record; }
    void LoadForm() override;
    void ActivateForm() override;
    void CommitForm() override;

private:
    CCommConfig m_record;
    qint16 m_Action = 0;
};

}  // namespace voltaris::wizard
