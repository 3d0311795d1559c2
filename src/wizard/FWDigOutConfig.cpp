#include "wizard/FWDigOutConfig.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>

#include "base/CTraceCode.h"
#include "base/ResString.h"
#include "controls/WindowTexts.h"
#include "model/ModelCatalogue.h"
#include "model/Validation.h"
#include "wizard/PageBuilding.h"

namespace voltaris::wizard {

namespace {

constexpr int kCountName1 = 3240;
constexpr int kCountName2 = 3241;

bool OutputExists(quint8 moduleTypeLo, int output) {
    return output == 1 || moduleTypeLo != quint8(SerialDigitalModule);
}

}  // namespace

DigOutEnabling DigOutRules(quint8 moduleTypeLo, int output, qint16 mode) {
    const bool exists = OutputExists(moduleTypeLo, output);
    return {exists, exists && mode == CDigOutConfig::Alarm,
            exists && mode != CDigOutConfig::Pulses};
}

qint16 MaxAlarmsOutput2(qint16 mode1, qint16 count1) {
    if (mode1 != CDigOutConfig::Alarm)
        return MaxAlarmBlocks;
    return qint16(MaxAlarmBlocks - std::clamp(int(count1), 0, MaxAlarmBlocks));
}

DigOutCounts ShownAlarmCounts(const CDigOutConfig& r) {
    const quint8 type = r.ModuleTypeLo();
    // The modes first: a count the page does not offer is 0 and takes nothing from the limit.
    const qint16 given1 = DigOutRules(type, 1, r.DigOut1()).alarmCount ? r.NumAlarm1() : 0;
    const qint16 given2 = DigOutRules(type, 2, r.DigOut2()).alarmCount ? r.NumAlarm2() : 0;
    const auto count1 = qint16(std::clamp(int(given1), 0, MaxAlarmBlocks));
    const auto count2 =
        qint16(std::clamp(int(given2), 0, int(MaxAlarmsOutput2(r.DigOut1(), count1))));
    return {count1, count2, count1 != given1 || count2 != given2};
}

FWDigOutConfig::FWDigOutConfig(QWidget* parent) : WizardPage(parent) {
    setObjectName(QStringLiteral("FWDigOutConfig"));
    setProperty(controls::kTagProperty, 600);
    title()->setProperty(controls::kTagProperty, 600);

    auto* grid = new QGridLayout;
    contentLayout()->addLayout(grid);
    const struct {
        const char* modeFrame;
        int modeCaption;
        controls::COptionButton* mode;
        const char* countLabel;
        const char* countBox;
        const char* arrows;
        controls::CTextSpin* count;
        const char* stateFrame;
        int stateCaption;
        const char* stateOff;
        const char* stateOn;
        controls::COptionButton* state;
    } outputs[] = {
        {"frmDigOut1", 601, &m_DigOut1, "Label1", "txtNAlarm1", "UpDown1", &m_NumAlarm1,
         "frmStautsOut1", 607, "optDisableOut1", "optEnableOut1", &m_StatusDigOut1},
        {"frmDigOut2", 606, &m_DigOut2, "Label2", "txtNAlarm2", "UpDown2", &m_NumAlarm2,
         "frmStautsOut2", 610, "optDisableOut2", "optEnableOut2", &m_StatusDigOut2},
    };
    for (int n = 0; n < 2; ++n) {
        const auto& o = outputs[n];
        QGroupBox* modeFrame = NewFrame(this, o.modeFrame, o.modeCaption);
        o.mode->Create(modeFrame);
        for (int m = 0; m < 3; ++m)
            o.mode->AddOptionButton(
                AddOption(modeFrame, QStringLiteral("optDigOut%1%2").arg(n + 1).arg(m), 602 + m));
        // The alarm count belongs to the alarm mode, so it sits with the modes.
        auto* row = new QHBoxLayout;
        static_cast<QVBoxLayout*>(modeFrame->layout())->addLayout(row);
        auto* label = new QLabel(modeFrame);
        label->setObjectName(QLatin1String(o.countLabel));
        label->setProperty(controls::kTagProperty, 605);
        auto* box = new QLineEdit(modeFrame);
        box->setObjectName(QLatin1String(o.countBox));
        label->setBuddy(box);
        auto* arrows = new controls::UpDownArrows(modeFrame);
        arrows->setObjectName(QLatin1String(o.arrows));
        row->addWidget(label);
        row->addWidget(box);
        row->addStretch(1);
        o.count->Create(box, arrows, 0, qint16(MaxAlarmBlocks), 1, 1, true, true);
        o.count->setDataFormat(QStringLiteral("#0"));

        QGroupBox* stateFrame = NewFrame(this, o.stateFrame, o.stateCaption);
        o.state->Create(stateFrame);
        o.state->AddOptionButton(AddOption(stateFrame, QLatin1String(o.stateOff), 608));
        o.state->AddOptionButton(AddOption(stateFrame, QLatin1String(o.stateOn), 609));

        grid->addWidget(modeFrame, 0, n);
        grid->addWidget(stateFrame, 1, n);
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    connect(&m_DigOut1, &controls::COptionButton::Change, this, [this] { ModeChanged(1); });
    connect(&m_DigOut2, &controls::COptionButton::Change, this, [this] { ModeChanged(2); });
    connect(&m_NumAlarm1, &controls::SpinField::Change, this, [this] { Count1Changed(); });
}

FWDigOutConfig::Output FWDigOutConfig::output(int n) {
    if (n == 1)
        return {&m_DigOut1, &m_NumAlarm1, findChild<QLabel*>(QStringLiteral("Label1")),
                &m_StatusDigOut1};
    return {&m_DigOut2, &m_NumAlarm2, findChild<QLabel*>(QStringLiteral("Label2")),
            &m_StatusDigOut2};
}

void FWDigOutConfig::LoadForm() {
    // Both count fields share one caption: a screen reader tells them apart by these.
    m_NumAlarm1.setAccessibleName(ResString(kCountName1));
    m_NumAlarm2.setAccessibleName(ResString(kCountName2));
    // Two digits, a digit's room to spare, the arrows inside the right edge and the frame.
    for (controls::CTextSpin* spin : {&m_NumAlarm1, &m_NumAlarm2}) {
        QLineEdit* box = spin->textBox();
        const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        const int arrows = spin->m_UpDown->arrows()->sizeHint().width();
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("000")) + arrows +
                           2 * frame + 8);
    }
}

void FWDigOutConfig::ActivateForm() {
    m_loading = true;
    m_DigOut1.setValue(m_record.DigOut1());
    m_StatusDigOut1.setValue(m_record.StatusDigOut1());
    m_DigOut2.setValue(m_record.DigOut2());
    m_StatusDigOut2.setValue(m_record.StatusDigOut2());

    const DigOutCounts counts = ShownAlarmCounts(m_record);
    if (counts.limited)
        g_Trace().BugMessage(
            QStringLiteral("Allarmi virtuali %1 e %2 oltre il limite di %3: impostati %4 e %5")
                .arg(m_record.NumAlarm1())
                .arg(m_record.NumAlarm2())
                .arg(MaxAlarmBlocks)
                .arg(counts.count1)
                .arg(counts.count2));
    // The limit of output 2 from a clean start: a value is clamped to the limit in force.
    m_NumAlarm2.setMax(qint16(MaxAlarmBlocks));
    m_NumAlarm1.setValue(counts.count1);
    m_NumAlarm2.setMax(MaxAlarmsOutput2(m_record.DigOut1(), counts.count1));
    m_NumAlarm2.setValue(counts.count2);
    ApplyRules(1);
    ApplyRules(2);
    m_loading = false;
}

void FWDigOutConfig::ApplyRules(int n) {
    const Output o = output(n);
    const DigOutEnabling rules = DigOutRules(m_record.ModuleTypeLo(), n, o.mode->Value());
    o.mode->ActivateGroup(rules.mode);
    o.countLabel->setEnabled(rules.alarmCount);
    o.count->setEnabled(rules.alarmCount);
    o.state->ActivateGroup(rules.normalState);
}

void FWDigOutConfig::ModeChanged(int n) {
    if (m_loading)
        return;
    ApplyRules(n);
    const Output o = output(n);
    if (!o.count->Enabled())
        o.count->setValue(0);
    if (n == 1)
        Count1Changed();
}

void FWDigOutConfig::Count1Changed() {
    if (m_loading)
        return;
    m_NumAlarm2.setMax(MaxAlarmsOutput2(m_DigOut1.Value(), m_NumAlarm1.Value()));
}

void FWDigOutConfig::CommitForm() {
    // A mode or state the record held that no option names stays as it was.
    if (m_DigOut1.Value() >= 0)
        m_record.setDigOut1(m_DigOut1.Value());
    if (m_StatusDigOut1.Value() >= 0)
        m_record.setStatusDigOut1(m_StatusDigOut1.Value());
    if (m_DigOut2.Value() >= 0)
        m_record.setDigOut2(m_DigOut2.Value());
    if (m_StatusDigOut2.Value() >= 0)
        m_record.setStatusDigOut2(m_StatusDigOut2.Value());
    m_record.setNumAlarm1(m_NumAlarm1.Value());
    m_record.setNumAlarm2(m_NumAlarm2.Value());
}

}  // namespace voltaris::wizard
