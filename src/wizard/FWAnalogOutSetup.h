#pragma once

#include "controls/CTextSpin.h"
#include "controls/ChoiceGroups.h"
#include "model/CAnalogOutSetup.h"
#include "wizard/VariableLimits.h"
#include "wizard/WizardPage.h"

namespace voltaris::wizard {

// One analogue output: the variable it repeats, its scale, the input range mapped onto the
// output range in percent.
class FWAnalogOutSetup : public WizardPage {
    Q_OBJECT
public:
    explicit FWAnalogOutSetup(QWidget* parent = nullptr);

    controls::CComboBox m_VariabileRipetuta;
    controls::CComboBox m_ScaleSelect;
    controls::CTextSpin m_MaxIn;
    controls::CTextSpin m_MinIn;
    controls::CTextSpin m_MaxOut;
    controls::CTextSpin m_MinOut;

protected:
    CRecord* PageRecord() override { return &m_record; }
    void LoadForm() override;
    void ActivateForm() override;
    void CommitForm() override;

private:
    QString TitleText() const;

    CAnalogOutSetup m_record;
    VariableLimits m_limits;
};

}  // namespace voltaris::wizard
