#pragma once

#include <QString>

#include "controls/CTextSpin.h"
#include "controls/ChoiceGroups.h"
#include "model/CAlarm.h"
#include "wizard/VariableLimits.h"
#include "wizard/WizardPage.h"

class QGroupBox;
class QLabel;
class QTabBar;

namespace voltaris::wizard {

// What the alarm page lets the user set for a controlled variable: a scale (not for the
// variables measured at a fixed scale), the limits and the alarm type (not for the phase
// sequence, which is only right or wrong).
struct AlarmVariableEnabling {
    bool scale;
    bool limits;  // both limit fields, their labels and the alarm type
    bool operator==(const AlarmVariableEnabling&) const = default;
};
AlarmVariableEnabling AlarmVariableRules(qint16 variable);

// A power-factor limit as the page shows it. The integer v stands for 1000 - v thousandths
// (capacitive below 0): n = multiplier x (1000 - v), or multiplier x (-v - 1000) for v < 0,
// formatted and followed by the unit; a value that does not read 1.xxx shows "L" (inductive)
// or "C" (capacitive) and its last four characters.
QString PowerFactorText(qint16 value, float multiplier, const QString& format, const QString& unit,
                        const QString& decimalPoint);

// The virtual alarms of one digital output: a tab per alarm, the controlled variable, its
// scale, the two limits, the delay, and the type, function, logic and power-on state.
class FWAlarm : public WizardPage {
    Q_OBJECT
public:
    explicit FWAlarm(QWidget* parent = nullptr);

    // The alarm shown (0 for the first tab).
    int AlarmIndex() const { return m_index; }
    QTabBar* tabs() const { return tsAlarm; }

    controls::CComboBox m_VarControllata;
    controls::CComboBox m_ScaleSelect;
    controls::CTextSpin m_MinAlarm;
    controls::CTextSpin m_MaxAlarm;
    controls::CTextSpin m_DelayTime;
    controls::COptionButton m_AlarmType;
    controls::COptionButton m_AlarmStatus;
    controls::COptionButton m_LogicFunction;
    controls::COptionButton m_AlarmStartup;

protected:
    CRecord* PageRecord() override { return &m_record; }
    void LoadForm() override;
    void ActivateForm() override;
    void CommitForm() override;

private:
    void LoadAlarm(int j);
    void StoreAlarm(int j);
    void VariableChanged(qint16 variable);
    void ShowTab(int tab);

    CAlarm m_record;
    int m_index = 0;
    VariableLimits m_limits;
    bool m_loading = false;
    QTabBar* tsAlarm;
    QGroupBox* frmAlarmSetup;
    QLabel* Label6;
    QLabel* Label1;
    QLabel* Label2;
    QGroupBox* frmAlarmType;
};

}  // namespace voltaris::wizard
