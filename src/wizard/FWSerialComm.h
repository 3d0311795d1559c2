#pragma once

#include "controls/CTextSpin.h"
#include "controls/ChoiceGroups.h"
#include "model/CSerialComm.h"
#include "wizard/WizardPage.h"

namespace voltaris::wizard {

// The address and speed a configuration programs into the instrument's serial module.
class FWSerialComm : public WizardPage {
    Q_OBJECT
public:
    explicit FWSerialComm(QWidget* parent = nullptr);

    controls::CTextSpin m_NetworkAdd;
    controls::COptionButton m_BaudRate;

protected:
    CRecord* PageRecord() override { return &m_record; }
    void ActivateForm() override;
    void CommitForm() override;

private:
    CSerialComm m_record;
};

}  // namespace voltaris::wizard
