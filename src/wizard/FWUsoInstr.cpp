#include "wizard/FWUsoInstr.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>
#include <array>

#include "base/CTraceCode.h"
#include "base/ResString.h"
#include "base/UserMessages.h"
#include "controls/SpinRules.h"
#include "controls/WindowTexts.h"
#include "memmap/CGestioneMemMap.h"
#include "memmap/ConfigurationFiles.h"
#include "model/ModelCatalogue.h"
#include "model/Validation.h"
#include "wizard/PageBuilding.h"

namespace voltaris::wizard {

namespace {

constexpr int kMessageTitle = 301;
constexpr int kNameRefused = 2965;
constexpr int kNameInFile = 2966;
constexpr int kModelNotListed = 2967;
constexpr int kModelRefused = 2968;

// A label whose text is the program's (or the user's) and never markup.
QLabel* AddPlainLabel(QWidget* parent, const char* name, int captionId) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    if (captionId != 0)
        label->setProperty(controls::kTagProperty, captionId);
    return label;
}

// A note the page shows only when it has something to say. Its room (two lines) is kept
// while it is hidden, so that the page neither jumps nor squeezes its fields when it appears.
QLabel* AddNote(QWidget* parent, const char* name) {
    QLabel* note = AddPlainLabel(parent, name, 0);
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette p = note->palette();
    p.setColor(QPalette::WindowText, QColor(0x9c, 0x1c, 0x1c));
    note->setPalette(p);
    QSizePolicy policy = note->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    note->setSizePolicy(policy);
    note->hide();
    return note;
}

// The two parts of a spin field: its text box, added to `row`, and the arrows it takes in.
struct SpinParts {
    QLineEdit* box;
    controls::UpDownArrows* arrows;
};
SpinParts AddSpinBox(QWidget* parent, QBoxLayout* row, const char* text, const char* arrows) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(text));
    auto* upDown = new controls::UpDownArrows(parent);
    upDown->setObjectName(QLatin1String(arrows));
    row->addWidget(box);
    return {box, upDown};
}

QHBoxLayout* AddRow(QGroupBox* frame) {
    auto* row = new QHBoxLayout;
    static_cast<QVBoxLayout*>(frame->layout())->addLayout(row);
    return row;
}

// The longest text a spin field shows: its upper limit, scaled, in its pattern and unit.
template <typename Spin>
QString LongestText(const Spin& spin) {
    const QString point = QLocale().decimalPoint();
    return controls::ComposeText(
        controls::FormatPattern(double(spin.Max()) * double(spin.Moltiplicatore()),
                                spin.DataFormat(), point),
        spin.UnitaMisura());
}

}  // namespace

UsoInstrEnabling UsoInstrPageRules(qint32 model) {
    UsoInstrEnabling e{};
    e.fieldBusAddress = (quint32(model) & 0xFFFFu) == 5u;
    for (int system = 0; system < int(e.systems.size()); ++system)
        e.systems[size_t(system)] = SystemOffered(model, system);
    return e;
}

qint16 ShownSystem(qint32 model, qint16 stored) {
    return SystemOffered(model, stored) ? stored : SettledSystem(model);
}

QString ModelIdText(qint32 model) {
    return QStringLiteral("0x%1").arg(quint32(model), 8, 16, QLatin1Char('0'));
}

FWUsoInstr::FWUsoInstr(QWidget* parent) : WizardPage(parent) {
    setObjectName(QStringLiteral("FWUsoInstr"));
    setProperty(controls::kTagProperty, 620);
    title()->setProperty(controls::kTagProperty, 620);

    // Name and model: the two choices that decide the rest of the configuration.
    auto* head = new QGridLayout;
    contentLayout()->addLayout(head);
    QLabel* lblProgramName = AddPlainLabel(this, "lblProgramName", 638);
    txtProgramName = new QLineEdit(this);
    txtProgramName->setObjectName(QStringLiteral("txtProgramName"));
    lblProgramName->setBuddy(txtProgramName);
    lblNameNote = AddNote(this, "lblNameNote");
    QLabel* lblInstrModel = AddPlainLabel(this, "lblInstrModel", 644);
    cmbInstrModel = new QComboBox(this);
    cmbInstrModel->setObjectName(QStringLiteral("cmbInstrModel"));
    cmbInstrModel->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // Qt reports a combo box to a screen reader only through its buddy label.
    lblInstrModel->setBuddy(cmbInstrModel);
    m_InstrModel.Create(cmbInstrModel);
    lblModelWarning = AddNote(this, "lblModelWarning");
    head->addWidget(lblProgramName, 0, 0);
    head->addWidget(txtProgramName, 0, 1, 1, 2);
    head->addWidget(lblInstrModel, 1, 0);
    head->addWidget(cmbInstrModel, 1, 1);
    head->addWidget(lblModelWarning, 1, 2);
    head->addWidget(lblNameNote, 2, 0, 1, 3);
    head->setColumnStretch(2, 1);

    auto* grid = new QGridLayout;
    contentLayout()->addLayout(grid);

    QGroupBox* frmSystem = NewFrame(this, "frmSystem", 621);
    m_System.Create(frmSystem);
    for (int i = 0; i < 5; ++i)
        m_System.AddOptionButton(
            AddOption(frmSystem, QStringLiteral("optSystem%1").arg(i + 1), 622 + i));
    static_cast<QVBoxLayout*>(frmSystem->layout())->addStretch(1);

    QGroupBox* frmCalcPotMedia = NewFrame(this, "frmCalcPotMedia", 629);
    QHBoxLayout* row = AddRow(frmCalcPotMedia);
    QLabel* lblIntTimePot = AddPlainLabel(frmCalcPotMedia, "lblIntTimePot", 630);
    row->addWidget(lblIntTimePot);
    SpinParts spin = AddSpinBox(frmCalcPotMedia, row, "txtIntTimePot", "UpDown1");
    lblIntTimePot->setBuddy(spin.box);
    m_IntTimePot.Create(spin.box, spin.arrows, 1, 30, 1, 10, true, true);
    m_IntTimePot.setDataFormat(QStringLiteral("#0"));
    row->addWidget(AddPlainLabel(frmCalcPotMedia, "lblMinutesPot", 631));
    row->addStretch(1);

    QGroupBox* frmCalcCorrTermica = NewFrame(this, "frmCalcCorrTermica", 628);
    row = AddRow(frmCalcCorrTermica);
    spin = AddSpinBox(frmCalcCorrTermica, row, "txtIntTimeCorr", "UpDown7");
    m_IntTimeCorr.Create(spin.box, spin.arrows, 1, 30, 1, 10, true, true);
    m_IntTimeCorr.setDataFormat(QStringLiteral("#0"));
    row->addWidget(AddPlainLabel(frmCalcCorrTermica, "lblMinutesCorr", 631));
    row->addStretch(1);

    QGroupBox* frmTV = NewFrame(this, "frmTV", 633);
    row = AddRow(frmTV);
    spin = AddSpinBox(frmTV, row, "txtRapportoTV", "UpDown2");
    m_RapportoTV.Create(spin.box, spin.arrows, 10, 60000, 1, 10, true, true);
    m_RapportoTV.setMoltiplicatore(0.1f);
    m_RapportoTV.setDataFormat(QStringLiteral("###0.0"));
    row->addStretch(1);

    QGroupBox* frmTA = NewFrame(this, "frmTA", 632);
    row = AddRow(frmTA);
    spin = AddSpinBox(frmTA, row, "txtRapportoTA", "UpDown3");
    m_RapportoTA.Create(spin.box, spin.arrows, 1, 60000, 1, 10, true, true);
    m_RapportoTA.setDataFormat(QStringLiteral("####0"));
    row->addStretch(1);

    QGroupBox* frmDigitalFilter = NewFrame(this, "frmDigitalFilter", 635);
    auto* filter = new QGridLayout;
    static_cast<QVBoxLayout*>(frmDigitalFilter->layout())->addLayout(filter);
    QLabel* lblFilterScale = AddPlainLabel(frmDigitalFilter, "lblFilterScale", 636);
    auto* scaleRow = new QHBoxLayout;
    spin = AddSpinBox(frmDigitalFilter, scaleRow, "txtFilterScale", "UpDown4");
    lblFilterScale->setBuddy(spin.box);
    m_FilterScale.Create(spin.box, spin.arrows, 0, 100, 1, 10, true, true);
    m_FilterScale.setDataFormat(QStringLiteral("##0"));
    m_FilterScale.setUnitaMisura(QStringLiteral("%"));
    QLabel* lblFilterCoeff = AddPlainLabel(frmDigitalFilter, "lblFilterCoeff", 637);
    auto* coeffRow = new QHBoxLayout;
    spin = AddSpinBox(frmDigitalFilter, coeffRow, "txtFilterCoeff", "UpDown5");
    lblFilterCoeff->setBuddy(spin.box);
    m_FilterCoeff.Create(spin.box, spin.arrows, 1, 32, 1, 1, true, true);
    m_FilterCoeff.setDataFormat(QStringLiteral("#0"));
    filter->addWidget(lblFilterScale, 0, 0);
    filter->addLayout(scaleRow, 0, 1);
    filter->addWidget(lblFilterCoeff, 1, 0);
    filter->addLayout(coeffRow, 1, 1);
    filter->setColumnStretch(2, 1);

    frmNetworkAddVexbus = NewFrame(this, "frmNetworkAddVexbus", 634);
    row = AddRow(frmNetworkAddVexbus);
    spin = AddSpinBox(frmNetworkAddVexbus, row, "txtNetworkAddVexbus", "UpDown6");
    m_NetworkAddVexbus.Create(spin.box, spin.arrows, 1, 255, 1, 10, true, true);
    m_NetworkAddVexbus.setDataFormat(QStringLiteral("##0"));
    row->addStretch(1);

    grid->addWidget(frmSystem, 0, 0, 2, 1);
    grid->addWidget(frmCalcPotMedia, 0, 1);
    grid->addWidget(frmCalcCorrTermica, 0, 2);
    grid->addWidget(frmTV, 1, 1);
    grid->addWidget(frmTA, 1, 2);
    grid->addWidget(frmDigitalFilter, 2, 0);
    grid->addWidget(frmNetworkAddVexbus, 2, 1);

    connect(txtProgramName, &QLineEdit::textChanged, this, [this] { ShowNameNote(); });
    connect(&m_InstrModel, &controls::CComboBox::Change, this, [this] {
        if (m_InstrModel.Value() < 0)
            return;
        lblModelWarning->hide();
        ApplyRules(m_InstrModel.ItemData());
    });
}

void FWUsoInstr::LoadForm() {
    g_Trace().BugMessage(QStringLiteral("Load form:") + title()->text());
    m_InstrModel.setEnableEvent(false);
    m_InstrModel.ClearAllItem();
    for (const ModelEntry& e : ModelCatalogue::standard().entries())
        m_InstrModel.AddText(e.name, e.id);
    m_InstrModel.setEnableEvent(true);
    // The fields without a label of their own are named by their frame; the arrows after
    // their field. Names stay unique on the page.
    m_IntTimePot.setAccessibleName(ResString(629));
    m_IntTimeCorr.setAccessibleName(ResString(628));
    m_RapportoTV.setAccessibleName(ResString(633));
    m_RapportoTA.setAccessibleName(ResString(632));
    m_FilterScale.setAccessibleName(ResString(636));
    m_FilterCoeff.setAccessibleName(ResString(637));
    m_NetworkAddVexbus.setAccessibleName(ResString(634));
    FitSpinFields();
    for (QLabel* note : {lblNameNote, lblModelWarning})
        note->setMinimumHeight(2 * note->fontMetrics().lineSpacing());
}

void FWUsoInstr::FitSpinFields() {
    // One width for every field, wide enough for the longest text any of them shows.
    const QString longest =
        std::max({LongestText(m_IntTimePot), LongestText(m_IntTimeCorr), LongestText(m_RapportoTV),
                  LongestText(m_RapportoTA), LongestText(m_FilterScale), LongestText(m_FilterCoeff),
                  LongestText(m_NetworkAddVexbus)},
                 [](const QString& a, const QString& b) { return a.size() < b.size(); });
    const QLineEdit* sample = m_RapportoTV.textBox();
    const int arrows = m_RapportoTV.m_UpDown->arrows()->sizeHint().width();
    const int frame = sample->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    // The text, a digit's room to spare, the arrows inside the right edge and the frame.
    const int width = sample->fontMetrics().horizontalAdvance(longest + QLatin1Char('0')) + arrows +
                      2 * frame + 8;
    const std::array<controls::SpinField*, 7> fields{
        &m_IntTimePot,  &m_IntTimeCorr, &m_RapportoTV,      &m_RapportoTA,
        &m_FilterScale, &m_FilterCoeff, &m_NetworkAddVexbus};
    for (controls::SpinField* spin : fields)
        spin->textBox()->setFixedWidth(width);
}

void FWUsoInstr::ActivateForm() {
    txtProgramName->setText(m_record.NomeProgramma());
    ShowNameNote();

    m_storedModel = m_record.InstrModel();
    qint32 model = m_storedModel;
    const ModelCatalogue& catalogue = ModelCatalogue::standard();
    m_InstrModel.setEnableEvent(false);
    if (catalogue.lookup(model)) {
        m_InstrModel.setItemData(model);
        lblModelWarning->hide();
    } else if (model == 0 && !catalogue.entries().isEmpty()) {
        // A new record: no model chosen yet, the list starts on its first entry.
        m_InstrModel.setValue(0);
        model = m_InstrModel.ItemData();
        lblModelWarning->hide();
    } else {
        // A read-back or an imported file naming a model the program does not know: shown,
        // not replaced.
        m_InstrModel.setValue(-1);
        g_Trace().BugMessage(
            QStringLiteral("Modello strumento %1 non presente in elenco").arg(ModelIdText(model)));
        lblModelWarning->setText(FormatResString(kModelNotListed, ModelIdText(model)));
        lblModelWarning->show();
    }
    m_InstrModel.setEnableEvent(true);

    const qint16 system = ShownSystem(model, m_record.System());
    if (system != m_record.System())
        g_Trace().BugMessage(
            QStringLiteral("Sistema di inserzione %1 non ammesso per il modello %2: impostato %3")
                .arg(m_record.System())
                .arg(ModelIdText(model))
                .arg(system));
    m_System.setValue(system);
    ApplyRules(model);

    m_IntTimePot.setValue(m_record.IntTimePot());
    m_IntTimeCorr.setValue(m_record.IntTimeCorr());
    m_RapportoTV.setValue(m_record.RapportoTV());
    m_RapportoTA.setValue(m_record.RapportoTA());
    m_FilterScale.setValue(m_record.FilterScale());
    m_FilterCoeff.setValue(m_record.FilterCoeff());
    m_NetworkAddVexbus.setValue(m_record.NetworkAddVexbus());
    // Naming the configuration is what a user does first here.
    txtProgramName->setFocus(Qt::OtherFocusReason);
}

void FWUsoInstr::ApplyRules(qint32 model) {
    const UsoInstrEnabling rules = UsoInstrPageRules(model);
    frmNetworkAddVexbus->setEnabled(rules.fieldBusAddress);
    m_NetworkAddVexbus.setEnabled(rules.fieldBusAddress);
    // Disabling the chosen system moves the choice to an enabled one (the group does it).
    for (qint16 i = 0; i < qint16(rules.systems.size()); ++i)
        m_System.Activate(i, rules.systems[size_t(i)]);
}

void FWUsoInstr::ShowNameNote() {
    const QString name = txtProgramName->text();
    // What an export would make of the name, said while it is typed rather than after.
    const bool changed = !ExportNameWarning(name).isEmpty();
    if (changed)
        lblNameNote->setText(FormatResString(kNameInFile,
                                             QString::number(CGestioneMemMap::TextFieldSize),
                                             CGestioneMemMap::NameInFile(name)));
    lblNameNote->setVisible(changed);
}

bool FWUsoInstr::ValidateForm() {
    const QString problem = NameProblem(txtProgramName->text());
    if (!problem.isEmpty()) {
        UserMessages::current().show(UserMessages::Icon::Warning, ResString(kMessageTitle),
                                     FormatResString(kNameRefused, problem));
        txtProgramName->setFocus(Qt::OtherFocusReason);
        txtProgramName->selectAll();
        return false;
    }
    if (m_InstrModel.Value() < 0) {
        UserMessages::current().show(UserMessages::Icon::Warning, ResString(kMessageTitle),
                                     FormatResString(kModelRefused, ModelIdText(m_storedModel)));
        cmbInstrModel->setFocus(Qt::OtherFocusReason);
        return false;
    }
    return true;
}

void FWUsoInstr::CommitForm() {
    m_record.setNomeProgramma(txtProgramName->text());
    if (m_InstrModel.Value() >= 0)
        m_record.setInstrModel(m_InstrModel.ItemData());
    if (m_System.Value() >= 0)
        m_record.setSystem(m_System.Value());
    m_record.setIntTimePot(m_IntTimePot.Value());
    m_record.setIntTimeCorr(m_IntTimeCorr.Value());
    m_record.setRapportoTV(m_RapportoTV.Value());
    m_record.setRapportoTA(m_RapportoTA.Value());
    m_record.setFilterScale(m_FilterScale.Value());
    m_record.setFilterCoeff(m_FilterCoeff.Value());
    m_record.setNetworkAddVexbus(m_NetworkAddVexbus.Value());
}

}  // namespace voltaris::wizard
