#include "wizard/WizardPage.h"

#include <QFrame>
#include <QHBoxLayout>

#include "base/ResString.h"
#include "controls/ProgramFont.h"
#include "controls/WindowTexts.h"
#include "model/CRecord.h"

namespace voltaris::wizard {

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, int captionId) {
    auto* b = new QPushButton(ResString(captionId), parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

}  // namespace

WizardPage::WizardPage(QWidget* parent) : QDialog(parent) {
    // A page is shown again after it is left: it must survive its own close.
    setAttribute(Qt::WA_DeleteOnClose, false);
    setModal(true);

    auto* root = new QVBoxLayout(this);
    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setWordWrap(true);
    root->addWidget(lblTitle);
    m_content = new QVBoxLayout;
    root->addLayout(m_content, 1);

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("linButtonBar"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    root->addWidget(line);

    m_wizardBar = new QWidget(this);
    m_wizardBar->setObjectName(QStringLiteral("picWizardBar"));
    auto* wizardRow = new QHBoxLayout(m_wizardBar);
    wizardRow->setContentsMargins(0, 0, 0, 0);
    cmdBack = MakeButton(m_wizardBar, "cmdBack", 2003);
    cmdNext = MakeButton(m_wizardBar, "cmdNext", 2002);
    cmdEnd = MakeButton(m_wizardBar, "cmdEnd", 2000);
    cmdCancel = MakeButton(m_wizardBar, "cmdCancel", 2001);
    wizardRow->addStretch(1);
    wizardRow->addWidget(cmdBack);
    wizardRow->addWidget(cmdNext);
    wizardRow->addSpacing(12);
    wizardRow->addWidget(cmdEnd);
    wizardRow->addWidget(cmdCancel);
    root->addWidget(m_wizardBar);

    m_dialogBar = new QWidget(this);
    m_dialogBar->setObjectName(QStringLiteral("picDialogBar"));
    auto* dialogRow = new QHBoxLayout(m_dialogBar);
    dialogRow->setContentsMargins(0, 0, 0, 0);
    cmdDialogOk = MakeButton(m_dialogBar, "cmdDialogOk", 2004);
    cmdDialogCancel = MakeButton(m_dialogBar, "cmdDialogCancel", 2001);
    dialogRow->addStretch(1);
    dialogRow->addWidget(cmdDialogOk);
    dialogRow->addWidget(cmdDialogCancel);
    root->addWidget(m_dialogBar);

    connect(cmdEnd, &QPushButton::clicked, this, [this] { Leave(brEnd); });
    connect(cmdNext, &QPushButton::clicked, this, [this] { Leave(brNext); });
    connect(cmdBack, &QPushButton::clicked, this, [this] { Leave(brBack); });
    connect(cmdDialogOk, &QPushButton::clicked, this, [this] { Leave(brEnd); });
    connect(cmdCancel, &QPushButton::clicked, this, &WizardPage::reject);
    connect(cmdDialogCancel, &QPushButton::clicked, this, &WizardPage::reject);

    setFormType(ftWizard);
}

WizardPage::~WizardPage() = default;

QPushButton* WizardPage::button(const char* name) const {
    return findChild<QPushButton*>(QLatin1String(name));
}

void WizardPage::setFormType(qint32 type) {
    m_FormType = type;
    const bool wizard = type != ftDialog;
    m_wizardBar->setVisible(wizard);
    m_dialogBar->setVisible(!wizard);
    // Enter presses the default button of the bar in use; Esc is reject(), Cancel of either.
    cmdNext->setDefault(wizard);
    cmdEnd->setDefault(false);
    cmdDialogOk->setDefault(!wizard);
}

void WizardPage::GetData(ICopyClass& Data) const {
    if (const CRecord* own = PageRecord())
        own->GetData(Data);
}

void WizardPage::SetData(const ICopyClass& Data) {
    if (CRecord* own = PageRecord())
        own->SetData(Data);
}

void WizardPage::LoadPage() {
    controls::ApplyProgramFont(this);
    controls::LoadFormCaptions(this);
    controls::LoadFormToolTips(this);
    cmdEnd->setText(ResString(2000));
    cmdCancel->setText(ResString(2001));
    cmdNext->setText(ResString(2002));
    cmdBack->setText(ResString(2003));
    cmdDialogOk->setText(ResString(2004));
    cmdDialogCancel->setText(ResString(2001));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSize(12);
    lblTitle->setFont(titleFont);
    LoadForm();
    setFormType(m_FormType);
    // Qt makes push buttons of a dialog auto-default, which would let the focused button
    // take Enter from the page's default button.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
    adjustSize();
}

qint32 WizardPage::ShowModal() {
    LoadPage();
    return RunModal();
}

qint32 WizardPage::RunModal() {
    m_ButtonRet = brCancel;
    exec();
    return m_ButtonRet;
}

void WizardPage::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ApplyButtons();
    ActivateForm();
    emit Activated();
}

void WizardPage::ApplyButtons() {
    if (m_FormType == ftDialog) {
        cmdDialogOk->setDefault(true);
        return;
    }
    cmdEnd->setEnabled(false);
    cmdEnd->setDefault(false);
    if (m_FirstTab) {
        cmdBack->setEnabled(false);
        cmdNext->setEnabled(true);
        cmdNext->setDefault(true);
    } else if (m_LastTab) {
        cmdEnd->setEnabled(true);
        cmdEnd->setDefault(true);
        cmdNext->setDefault(false);
        cmdBack->setEnabled(true);
        cmdNext->setEnabled(false);
    } else {
        cmdBack->setEnabled(true);
        cmdNext->setEnabled(true);
        cmdNext->setDefault(true);
    }
}

void WizardPage::Leave(qint32 how) {
    if (!ValidateForm())
        return;
    if (how == brEnd && m_endCheck && !m_endCheck())
        return;
    m_ButtonRet = how;
    CommitForm();
    done(how);
}

void WizardPage::reject() {
    m_ButtonRet = brCancel;
    done(brCancel);
}

}  // namespace voltaris::wizard
