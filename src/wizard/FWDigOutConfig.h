#pragma once

#include "controls/CTextSpin.h"
#include "controls/ChoiceGroups.h"
#include "model/CDigOutConfig.h"
#include "wizard/WizardPage.h"

class QGroupBox;
class QLabel;

namespace voltaris::wizard {

// What the digital outputs' page lets the user change on one output.
struct DigOutEnabling {
    bool mode;         // the mode group
    bool alarmCount;   // the alarm-count label and field
    bool normalState;  // the normal-state group
    bool operator==(const DigOutEnabling&) const = default;
};
// Output 2 does not exist on the serial module with one output (type 16). On an output that
// exists, the alarm count only in alarm mode, the normal state in every mode but pulses.
DigOutEnabling DigOutRules(quint8 moduleTypeLo, int output, qint16 mode);
// The most alarms output 2 may drive: what output 1 leaves of the instrument's alarm blocks
// while output 1 is in alarm mode, all of them otherwise.
qint16 MaxAlarmsOutput2(qint16 mode1, qint16 count1);

// The alarm counts the page shows for a record.
struct DigOutCounts {
    qint16 count1;
    qint16 count2;
    // The shared limit (not the modes) changed a count: the record was damaged or imported.
    bool limited;
    bool operator==(const DigOutCounts&) const = default;
};
// 0 where the count field is disabled (DigOutRules); otherwise each count within 0..16 and
// output 2 within MaxAlarmsOutput2, output 1 keeping its count.
DigOutCounts ShownAlarmCounts(const CDigOutConfig& record);

// What each of the two digital outputs does (pulses, alarm, remote control), how many virtual
// alarms drive an alarm output and the normal state of the output (CDigOutConfig). The two
// outputs together never drive more than the instrument's 16 alarms.
class FWDigOutConfig : public WizardPage {
    Q_OBJECT
public:
    explicit FWDigOutConfig(QWidget* parent = nullptr);

    controls::COptionButton m_DigOut1;
    controls::CTextSpin m_NumAlarm1;
    controls::COptionButton m_StatusDigOut1;
    controls::COptionButton m_DigOut2;
    controls::CTextSpin m_NumAlarm2;
    controls::COptionButton m_StatusDigOut2;

protected:
    CRecord* PageRecord() override { return &m_record; }
    void LoadForm() override;
    void ActivateForm() override;
    void CommitForm() override;

private:
    // The controls of one output.
    struct Output {
        controls::COptionButton* mode;
        controls::CTextSpin* count;
        QLabel* countLabel;
        controls::COptionButton* state;
    };
    Output output(int n);
    void ApplyRules(int n);
    void ModeChanged(int n);
    void Count1Changed();

    CDigOutConfig m_record;
    // Set while the record is copied into the controls: the rules run once afterwards.
    bool m_loading = false;
};

}  // namespace voltaris::wizard
