#pragma once

#include "controls/CTextSpin.h"
#include "controls/ChoiceGroups.h"
#include "model/CPulseOutSetup.h"
#include "wizard/WizardPage.h"

namespace voltaris::wizard {

// The page's title for a record: "Pulse output setup |1..." numbered by the last character of
// the record's instance name ("CPulseOutSetup2" gives 2).
QString PulseOutTitle(const CPulseOutSetup& record);

// One pulse output (CPulseOutSetup): the energy counter that gives the pulses, the pulse
// weight in pulses per kWh or kvarh (0.01 to 500.00, its unit following the counter) and
// whether the output is active.
class FWPulseOutSetup : public WizardPage {
    Q_OBJECT
public:
    explicit FWPulseOutSetup(QWidget* parent = nullptr);

    controls::COptionButton m_SelectCounter;
    controls::CTextSpinLong m_PulseOut;
    controls::COptionButton m_PulseOutStatus;

protected:
    CRecord* PageRecord() override { return &m_record; }
    void LoadForm() override;
    void ActivateForm() override;
    void CommitForm() override;

private:
    void ShowUnit();

    CPulseOutSetup m_record;
};

}  // namespace voltaris::wizard
