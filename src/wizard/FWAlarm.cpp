#include "wizard/FWAlarm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QTabBar>
#include <limits>

#include "base/CTraceCode.h"
#include "base/Errors.h"
#include "base/ResString.h"
#include "controls/SpinRules.h"
#include "controls/WindowTexts.h"
#include "variables/CVariableType.h"
#include "variables/GlobalScale.h"
#include "variables/VariableCatalogue.h"
#include "wizard/PageBuilding.h"

namespace voltaris::wizard {

namespace {

void AddGroup(QWidget* page, QHBoxLayout* row, const char* frame, int caption,
              controls::COptionButton& group, QList<std::pair<QString, int>> options) {
    QGroupBox* box = NewFrame(page, frame, caption);
    row->addWidget(box);
    group.Create(box);
    for (const auto& [name, id] : options)
        group.AddOptionButton(AddOption(box, name, id));
}

}  // namespace

AlarmVariableEnabling AlarmVariableRules(qint16 variable) {
    return {ScaleChosen(variable), !CVariableType(variable).IsPhaseSequence()};
}

FWAlarm::FWAlarm(QWidget* parent) : WizardPage(parent) {
    setObjectName(QStringLiteral("FWAlarm"));
    tsAlarm = new QTabBar(this);
    tsAlarm->setObjectName(QStringLiteral("tsAlarm"));
    // The strip has no caption of its own: it is named after the frame it selects for.
    tsAlarm->setAccessibleName(FormatResString(571, QString()).trimmed());
    contentLayout()->addWidget(tsAlarm);

    frmAlarmSetup = NewFrame(this, "frmAlarmSetup", 0);
    contentLayout()->addWidget(frmAlarmSetup);
    auto* grid = new QGridLayout;
    static_cast<QBoxLayout*>(frmAlarmSetup->layout())->addLayout(grid);

    QLabel* variable = NewCaption(frmAlarmSetup, "lblVarControllata", 572);
    auto* cmbVar = new QComboBox(frmAlarmSetup);
    cmbVar->setObjectName(QStringLiteral("cmbVarControllata"));
    variable->setBuddy(cmbVar);
    grid->addWidget(variable, 0, 0);
    grid->addWidget(cmbVar, 0, 1, 1, 2);
    m_VarControllata.Create(cmbVar);

    Label6 = NewCaption(frmAlarmSetup, "Label6", 573);
    auto* cmbScale = new QComboBox(frmAlarmSetup);
    cmbScale->setObjectName(QStringLiteral("cmbScaleSelect"));
    Label6->setBuddy(cmbScale);
    grid->addWidget(Label6, 1, 0);
    grid->addWidget(cmbScale, 1, 1, Qt::AlignLeft);
    m_ScaleSelect.Create(cmbScale);

    Label1 = NewCaption(frmAlarmSetup, "Label1", 574);
    AddSpinRow(frmAlarmSetup, grid, 2, Label1, "txtMinAlarm", "UpDown1", m_MinAlarm, -32768, 32767);
    Label2 = NewCaption(frmAlarmSetup, "Label2", 575);
    AddSpinRow(frmAlarmSetup, grid, 3, Label2, "txtMaxAlarm", "UpDown2", m_MaxAlarm, -32768, 32767);
    AddSpinRow(frmAlarmSetup, grid, 4, NewCaption(frmAlarmSetup, "lblDelayTime", 576),
               "txtDelayTime", "UpDown3", m_DelayTime, 0, 255);
    m_DelayTime.setUnitaMisura(QStringLiteral("s."));
    m_DelayTime.setDataFormat(QStringLiteral("##0"));
    grid->setColumnStretch(2, 1);

    auto* groups = new QHBoxLayout;
    contentLayout()->addLayout(groups);
    AddGroup(this, groups, "frmAlarmType", 577, m_AlarmType,
             {{"optAlarmType1", 578},
              {"optAlarmType2", 579},
              {"optAlarmType3", 580},
              {"optAlarmType4", 581}});
    frmAlarmType = findChild<QGroupBox*>(QStringLiteral("frmAlarmType"));
    auto* column = new QVBoxLayout;
    groups->addLayout(column);
    auto* column2 = new QVBoxLayout;
    groups->addLayout(column2);
    QGroupBox* status = NewFrame(this, "frmAlarmStatus", 582);
    column->addWidget(status);
    m_AlarmStatus.Create(status);
    m_AlarmStatus.AddOptionButton(AddOption(status, QStringLiteral("optAlarmStatusOff"), 583));
    m_AlarmStatus.AddOptionButton(AddOption(status, QStringLiteral("optAlarmStatusOn"), 584));
    QGroupBox* logic = NewFrame(this, "frmLogicFunction", 585);
    column->addWidget(logic);
    m_LogicFunction.Create(logic);
    m_LogicFunction.AddOptionButton(AddOption(logic, QStringLiteral("optAND"), 586));
    m_LogicFunction.AddOptionButton(AddOption(logic, QStringLiteral("optOR"), 587));
    QGroupBox* startup = NewFrame(this, "frmAlarmStartup", 588);
    column2->addWidget(startup);
    column2->addStretch(1);
    m_AlarmStartup.Create(startup);
    m_AlarmStartup.AddOptionButton(AddOption(startup, QStringLiteral("optAlarmStartup0"), 589));
    m_AlarmStartup.AddOptionButton(AddOption(startup, QStringLiteral("optAlarmStartup1"), 590));

    m_limits.Create(&m_VarControllata, &m_ScaleSelect, Label6, &m_MinAlarm, &m_MaxAlarm,
                    VariableLimits::SequenceText::Empty);
    connect(&m_limits, &VariableLimits::VariableChanged, this, &FWAlarm::VariableChanged);
    connect(tsAlarm, &QTabBar::currentChanged, this, [this](int tab) {
        if (!m_loading && tab >= 0)
            ShowTab(tab);
    });
}

void FWAlarm::LoadForm() {
    const QString text = FormatResString(570, m_record.InstanceName().right(1));
    title()->setText(text);
}

void FWAlarm::VariableChanged(qint16 variable) {
    const AlarmVariableEnabling rules = AlarmVariableRules(variable);
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2)})
        w->setEnabled(rules.limits);
    m_MinAlarm.setEnabled(rules.limits);
    m_MaxAlarm.setEnabled(rules.limits);
    m_AlarmType.ActivateGroup(rules.limits);
    if (CVariableType(variable).IsPhaseSequence()) {
        m_AlarmType.setValue(0);
        m_MinAlarm.setValue(0);
        m_MaxAlarm.setValue(0);
    }
}

void FWAlarm::LoadAlarm(int j) {
    const qint32 variable = m_record.VarControllata(j);
    if (!m_limits.Show(variable, m_record.ScaleSelect(j), m_record.MinAlarm(j),
                       m_record.MaxAlarm(j)))
        g_Trace().BugMessage(
            QStringLiteral("Allarme %1: variabile %2 non disponibile nel sistema %3, impostata %4")
                .arg(j + 1)
                .arg(variable)
                .arg(m_record.System())
                .arg(VariableLimits::kFallbackVariable));
    m_DelayTime.setValue(m_record.DelayTime(j));
    m_AlarmType.setValue(m_record.AlarmType(j));
    m_AlarmStatus.setValue(m_record.AlarmStatus(j));
    m_LogicFunction.setValue(m_record.LogicFunction(j));
    m_AlarmStartup.setValue(m_record.AlarmStartup(j));
    // The phase sequence has no limits and no type, whatever was stored.
    VariableChanged(m_limits.Variable());
}

void FWAlarm::StoreAlarm(int j) {
    m_record.setVarControllata(j, m_limits.Variable());
    m_record.setScaleSelect(j, m_limits.Scale());
    m_record.setMinAlarm(j, m_MinAlarm.Value());
    m_record.setMaxAlarm(j, m_MaxAlarm.Value());
    m_record.setDelayTime(j, m_DelayTime.Value());
    // A group showing no choice (a damaged record) keeps the stored value.
    const auto keep = [](qint16 shown, qint16 stored) { return shown >= 0 ? shown : stored; };
    m_record.setAlarmType(j, keep(m_AlarmType.Value(), m_record.AlarmType(j)));
    m_record.setAlarmStatus(j, keep(m_AlarmStatus.Value(), m_record.AlarmStatus(j)));
    m_record.setLogicFunction(j, keep(m_LogicFunction.Value(), m_record.LogicFunction(j)));
    m_record.setAlarmStartup(j, keep(m_AlarmStartup.Value(), m_record.AlarmStartup(j)));
}

void FWAlarm::ShowTab(int tab) {
    StoreAlarm(m_index);
    m_index = tab;
    frmAlarmSetup->setTitle(FormatResString(571, QString::number(tab + 1)));
    LoadAlarm(tab);
}

void FWAlarm::ActivateForm() {
    m_limits.range().setInstrModel(m_record.InstrModel());
    m_limits.range().setRapportoTA(m_record.RapportoTA());
    m_limits.range().setRapportoTV(m_record.RapportoTV());
    title()->setText(FormatResString(570, m_record.InstanceName().right(1)));
    const int count = qBound(1, int(m_record.NumAlarm()), 16);
    m_loading = true;
    while (tsAlarm->count() > 0)
        tsAlarm->removeTab(0);
    for (int j = 0; j < count; ++j)
        tsAlarm->addTab(QStringLiteral("Al. %1").arg(j + 1));
    tsAlarm->setCurrentIndex(0);
    m_loading = false;
    m_limits.FillVariables(m_record.System());
    // Every alarm in use is brought within what the page offers now (the model, ratios or
    // wiring system may have changed since it was stored), not only the one on the first tab.
    for (int j = count - 1; j >= 0; --j) {
        CAlarm before;
        before.SetData(m_record);
        LoadAlarm(j);
        StoreAlarm(j);
        if (!before.SameData(m_record))
            g_Trace().BugMessage(
                QStringLiteral("Allarme %1 adattato ai limiti della pagina").arg(j + 1));
    }
    m_index = 0;
    frmAlarmSetup->setTitle(FormatResString(571, QStringLiteral("1")));
}

void FWAlarm::CommitForm() {
    StoreAlarm(m_index);
}

}  // namespace voltaris::wizard
