#include "wizard/FWAnalogOutSetup.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "base/CTraceCode.h"
#include "base/ResString.h"
#include "controls/WindowTexts.h"
#include "wizard/PageBuilding.h"

namespace voltaris::wizard {

namespace {

QComboBox* AddCombo(QWidget* parent, QGridLayout* grid, int row, QLabel* label, const char* name) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    label->setBuddy(combo);
    grid->addWidget(label, row, 0);
    grid->addWidget(combo, row, 1, Qt::AlignLeft);
    return combo;
}

}  // namespace

FWAnalogOutSetup::FWAnalogOutSetup(QWidget* parent) : WizardPage(parent) {
    setObjectName(QStringLiteral("FWAnalogOutSetup"));
    auto* top = new QGridLayout;
    contentLayout()->addLayout(top);
    AddCombo(this, top, 0, NewCaption(this, "lblVariabileRipetuta", 671), "cmbVariabileRipetuta");
    m_VariabileRipetuta.Create(findChild<QComboBox*>(QStringLiteral("cmbVariabileRipetuta")));
    QLabel* Label6 = NewCaption(this, "Label6", 672);
    AddCombo(this, top, 1, Label6, "cmbScaleSelect");
    m_ScaleSelect.Create(findChild<QComboBox*>(QStringLiteral("cmbScaleSelect")));
    top->setColumnStretch(2, 1);

    auto* ranges = new QHBoxLayout;
    contentLayout()->addLayout(ranges);
    QGroupBox* input = NewFrame(this, "frmInputRange", 673);
    ranges->addWidget(input);
    auto* in = new QGridLayout;
    static_cast<QBoxLayout*>(input->layout())->addLayout(in);
    AddSpinRow(input, in, 0, NewCaption(input, "lblMaxIn", 674), "txtMaxIn", "UpDown1", m_MaxIn,
               -32768, 32767);
    AddSpinRow(input, in, 1, NewCaption(input, "lblMinIn", 675), "txtMinIn", "UpDown2", m_MinIn,
               -32768, 32767);

    QGroupBox* output = NewFrame(this, "frmOutputRange", 676);
    ranges->addWidget(output);
    auto* out = new QGridLayout;
    static_cast<QBoxLayout*>(output->layout())->addLayout(out);
    AddSpinRow(output, out, 0, NewCaption(output, "lblMaxOut", 677), "txtMaxOut", "UpDown3",
               m_MaxOut, 0, 100);
    AddSpinRow(output, out, 1, NewCaption(output, "lblMinOut", 678), "txtMinOut", "UpDown4",
               m_MinOut, 0, 100);
    for (controls::CTextSpin* percent : {&m_MaxOut, &m_MinOut}) {
        percent->setUnitaMisura(QStringLiteral("%"));
        percent->setDataFormat(QStringLiteral("##0"));
    }

    m_limits.Create(&m_VariabileRipetuta, &m_ScaleSelect, Label6, &m_MinIn, &m_MaxIn,
                    VariableLimits::SequenceText::OkNotOk);
}

QString FWAnalogOutSetup::TitleText() const {
    return FormatResString(670, m_record.InstanceName().right(1));
}

void FWAnalogOutSetup::LoadForm() {
    title()->setText(TitleText());
    g_Trace().BugMessage(QStringLiteral("Load form:") + TitleText());
}

void FWAnalogOutSetup::ActivateForm() {
    m_limits.range().setInstrModel(m_record.InstrModel());
    m_limits.range().setRapportoTA(m_record.RapportoTA());
    m_limits.range().setRapportoTV(m_record.RapportoTV());
    m_limits.FillVariables(m_record.System());
    title()->setText(TitleText());
    const qint32 variable = m_record.VariabileRipetuta();
    if (!m_limits.Show(variable, m_record.ScaleSelect(), m_record.MinIn(), m_record.MaxIn()))
        g_Trace().BugMessage(
            QStringLiteral("Uscita analogica: variabile %1 non disponibile nel sistema %2, "
                           "impostata %3")
                .arg(variable)
                .arg(m_record.System())
                .arg(VariableLimits::kFallbackVariable));
    m_MaxOut.setValue(m_record.MaxOut());
    m_MinOut.setValue(m_record.MinOut());
}

void FWAnalogOutSetup::CommitForm() {
    m_record.setVariabileRipetuta(m_limits.Variable());
    m_record.setScaleSelect(m_limits.Scale());
    m_record.setMaxIn(m_MaxIn.Value());
    m_record.setMinIn(m_MinIn.Value());
    m_record.setMaxOut(m_MaxOut.Value());
    m_record.setMinOut(m_MinOut.Value());
}

}  // namespace voltaris::wizard
