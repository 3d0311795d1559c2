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

// The variable an alarm falls back to when the wiring system does not offer its own.
constexpr qint16 kFallbackVariable = 25;

QLabel* Caption(QWidget* parent, const char* name, int id) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setProperty(controls::kTagProperty, id);
    return label;
}

// A spin field's text box and arrows in a row of `grid`, named after its label.
void AddSpin(QWidget* parent, QGridLayout* grid, int row, QLabel* label, const char* box,
             const char* arrows, controls::CTextSpin& spin, qint16 min, qint16 max) {
    auto* text = new QLineEdit(parent);
    text->setObjectName(QLatin1String(box));
    text->setMinimumWidth(120);
    auto* upDown = new controls::UpDownArrows(parent);
    upDown->setObjectName(QLatin1String(arrows));
    label->setBuddy(text);
    grid->addWidget(label, row, 0);
    grid->addWidget(text, row, 1, Qt::AlignLeft);
    spin.Create(text, upDown, min, max, 1, 10, true, false);
}

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
    const CVariableType t(variable);
    const bool fixed = t.IsPhaseSequence() || t.IsHZ() || t.IsASY() || t.IsPFFase() || t.IsPFSys();
    return {!fixed, !t.IsPhaseSequence()};
}

QString PowerFactorText(qint16 value, float multiplier, const QString& format, const QString& unit,
                        const QString& decimalPoint) {
    const double n = value >= 0 ? double(multiplier) * (1000 - value)
                                : double(multiplier) * (-qint32(value) - 1000);
    QString text =
        controls::ComposeText(controls::FormatPattern(n, format, decimalPoint), unit).trimmed();
    if (!text.startsWith(QLatin1Char('1')))
        text = (text.startsWith(QLatin1Char('-')) ? QStringLiteral("C") : QStringLiteral("L")) +
               text.right(4);
    return text;
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

    QLabel* variable = Caption(frmAlarmSetup, "lblVarControllata", 572);
    auto* cmbVar = new QComboBox(frmAlarmSetup);
    cmbVar->setObjectName(QStringLiteral("cmbVarControllata"));
    variable->setBuddy(cmbVar);
    grid->addWidget(variable, 0, 0);
    grid->addWidget(cmbVar, 0, 1, 1, 2);
    m_VarControllata.Create(cmbVar);

    Label6 = Caption(frmAlarmSetup, "Label6", 573);
    auto* cmbScale = new QComboBox(frmAlarmSetup);
    cmbScale->setObjectName(QStringLiteral("cmbScaleSelect"));
    Label6->setBuddy(cmbScale);
    grid->addWidget(Label6, 1, 0);
    grid->addWidget(cmbScale, 1, 1, Qt::AlignLeft);
    m_ScaleSelect.Create(cmbScale);

    Label1 = Caption(frmAlarmSetup, "Label1", 574);
    AddSpin(frmAlarmSetup, grid, 2, Label1, "txtMinAlarm", "UpDown1", m_MinAlarm, -32768, 32767);
    Label2 = Caption(frmAlarmSetup, "Label2", 575);
    AddSpin(frmAlarmSetup, grid, 3, Label2, "txtMaxAlarm", "UpDown2", m_MaxAlarm, -32768, 32767);
    AddSpin(frmAlarmSetup, grid, 4, Caption(frmAlarmSetup, "lblDelayTime", 576), "txtDelayTime",
            "UpDown3", m_DelayTime, 0, 255);
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

    connect(&m_VarControllata, &controls::CComboBox::Change, this, [this] {
        if (!m_loading)
            VariableChanged();
    });
    connect(&m_ScaleSelect, &controls::CComboBox::Change, this, [this] {
        if (!m_loading)
            ScaleChanged();
    });
    // The limits stay in order on every accepted change, also one made just before Enter.
    connect(&m_MaxAlarm, &controls::SpinField::Change, this,
            [this] { m_MinAlarm.setMax(m_MaxAlarm.Value()); });
    connect(&m_MinAlarm, &controls::SpinField::Change, this,
            [this] { m_MaxAlarm.setMin(m_MinAlarm.Value()); });
    connect(&m_MinAlarm, &controls::SpinField::ViewText, this,
            [this](QString& text) { LimitText(m_MinAlarm, text); });
    connect(&m_MaxAlarm, &controls::SpinField::ViewText, this,
            [this](QString& text) { LimitText(m_MaxAlarm, text); });
    connect(tsAlarm, &QTabBar::currentChanged, this, [this](int tab) {
        if (!m_loading && tab >= 0)
            ShowTab(tab);
    });
}

void FWAlarm::LoadForm() {
    const QString text = FormatResString(570, m_record.InstanceName().right(1));
    title()->setText(text);
}

void FWAlarm::LimitText(controls::CTextSpin& field, QString& text) {
    const CVariableType t(qint16(m_VarControllata.ItemData()));
    if (t.IsPhaseSequence()) {
        text.clear();
    } else if (t.IsPFFase() || t.IsPFSys()) {
        const QString shown =
            PowerFactorText(field.Value(), field.Moltiplicatore(), field.DataFormat(),
                            field.UnitaMisura(), QLocale().decimalPoint());
        g_Trace().BugMessage(
            QStringLiteral("Convertito valore PF da %1 a %2").arg(field.Value()).arg(shown));
        text = shown;
    }
}

void FWAlarm::FillVariables() {
    m_loading = true;
    m_VarControllata.ClearAllItem();
    for (const VariableEntry& e :
         VariableCatalogue::standard().variablesForSystem(m_record.System()))
        m_VarControllata.AddText(e.name, e.code());
    m_loading = false;
}

void FWAlarm::VariableChanged() {
    const qint16 code = qint16(m_VarControllata.ItemData());
    try {
        m_range.setVariable(code);
    } catch (const AssertFailed&) {
        // Ratios too large for any scale: the check has said so; the fields keep their range.
    }
    m_loading = true;
    m_ScaleSelect.ClearAllItem();
    for (qint16 step = 2; step <= m_range.DPScaleMax(); ++step)
        if (GlobalScale::IsValidStep(step))
            m_ScaleSelect.AddText(GlobalScale::Row(step).SampleText, step);
    m_ScaleSelect.setValue(qint16(m_ScaleSelect.ListCount() - 1));
    m_loading = false;
    const AlarmVariableEnabling rules = AlarmVariableRules(code);
    Label6->setEnabled(rules.scale);
    m_ScaleSelect.setEnabled(rules.scale);
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2)})
        w->setEnabled(rules.limits);
    m_MinAlarm.setEnabled(rules.limits);
    m_MaxAlarm.setEnabled(rules.limits);
    m_AlarmType.ActivateGroup(rules.limits);
    ScaleChanged();
    if (CVariableType(code).IsPhaseSequence()) {
        m_AlarmType.setValue(0);
        m_MinAlarm.setValue(0);
        m_MaxAlarm.setValue(0);
    }
}

void FWAlarm::ScaleChanged() {
    const qint16 step = qint16(m_ScaleSelect.ItemData());
    if (!GlobalScale::IsValidStep(step))
        return;
    try {
        m_range.setScaleSelect(step);
    } catch (const AssertFailed&) {
        return;
    }
    const GlobalScale::ScaleRow& row = GlobalScale::Row(step);
    for (controls::CTextSpin* field : {&m_MaxAlarm, &m_MinAlarm}) {
        field->setMoltiplicatore(row.DisplayMultiplier);
        field->setUnitaMisura(row.Prefix + m_range.UnitaIngegneristica());
        field->setDataFormat(row.Format);
        field->setMin(std::numeric_limits<qint16>::min());
        field->setMax(m_range.Massimo());
        field->setMin(m_range.Minimo());
    }
    m_MaxAlarm.setValue(m_range.Massimo());
    m_MinAlarm.setValue(m_range.Minimo());
}

void FWAlarm::LoadAlarm(int j) {
    qint32 variable = m_record.VarControllata(j);
    m_loading = true;
    m_VarControllata.setItemData(variable);
    if (m_VarControllata.UnmatchedValue()) {
        g_Trace().BugMessage(
            QStringLiteral("Allarme %1: variabile %2 non disponibile nel sistema %3, impostata %4")
                .arg(j + 1)
                .arg(variable)
                .arg(m_record.System())
                .arg(kFallbackVariable));
        m_VarControllata.setItemData(kFallbackVariable);
    }
    m_loading = false;
    VariableChanged();
    m_loading = true;
    m_ScaleSelect.setItemData(m_record.ScaleSelect(j));
    if (m_ScaleSelect.UnmatchedValue())
        m_ScaleSelect.setValue(0);
    m_loading = false;
    ScaleChanged();
    m_MinAlarm.setValue(m_record.MinAlarm(j));
    m_MaxAlarm.setValue(m_record.MaxAlarm(j));
    m_MinAlarm.setMax(m_MaxAlarm.Value());
    m_MaxAlarm.setMin(m_MinAlarm.Value());
    m_DelayTime.setValue(m_record.DelayTime(j));
    m_AlarmType.setValue(m_record.AlarmType(j));
    m_AlarmStatus.setValue(m_record.AlarmStatus(j));
    m_LogicFunction.setValue(m_record.LogicFunction(j));
    m_AlarmStartup.setValue(m_record.AlarmStartup(j));
    if (CVariableType(qint16(m_VarControllata.ItemData())).IsPhaseSequence()) {
        m_AlarmType.setValue(0);
        m_MinAlarm.setValue(0);
        m_MaxAlarm.setValue(0);
    }
}

void FWAlarm::StoreAlarm(int j) {
    m_record.setVarControllata(j, m_VarControllata.ItemData());
    m_record.setScaleSelect(j, qint16(m_ScaleSelect.ItemData()));
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
    m_range.setInstrModel(m_record.InstrModel());
    m_range.setRapportoTA(m_record.RapportoTA());
    m_range.setRapportoTV(m_record.RapportoTV());
    title()->setText(FormatResString(570, m_record.InstanceName().right(1)));
    const int count = qBound(1, int(m_record.NumAlarm()), 16);
    m_loading = true;
    while (tsAlarm->count() > 0)
        tsAlarm->removeTab(0);
    for (int j = 0; j < count; ++j)
        tsAlarm->addTab(QStringLiteral("Al. %1").arg(j + 1));
    tsAlarm->setCurrentIndex(0);
    m_loading = false;
    FillVariables();
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
