#include "wizard/FWPulseOutSetup.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>

#include "base/CTraceCode.h"
#include "base/ResString.h"
#include "controls/SpinRules.h"
#include "controls/WindowTexts.h"
#include "report/ReportRows.h"
#include "wizard/PageBuilding.h"

namespace voltaris::wizard {

namespace {

constexpr int kTitle = 650;
constexpr qint32 kMinPulseOut = 1;
constexpr qint32 kMaxPulseOut = 50000;

}  // namespace

QString PulseOutTitle(const CPulseOutSetup& record) {
    const QString name = record.ClassName();
    return FormatResString(kTitle, name.isEmpty() ? QString() : name.right(1));
}

FWPulseOutSetup::FWPulseOutSetup(QWidget* parent) : WizardPage(parent) {
    setObjectName(QStringLiteral("FWPulseOutSetup"));

    QGroupBox* counter = AddFrame(this, contentLayout(), "frmSelectCounter", 651);
    m_SelectCounter.Create(counter);
    m_SelectCounter.AddOptionButton(AddOption(counter, QStringLiteral("optKWhTot"), 652));
    m_SelectCounter.AddOptionButton(AddOption(counter, QStringLiteral("optKVARhTot"), 653));

    QGroupBox* weight = AddFrame(this, contentLayout(), "frmPulseOut", 657);
    auto* row = new QHBoxLayout;
    static_cast<QVBoxLayout*>(weight->layout())->addLayout(row);
    auto* box = new QLineEdit(weight);
    box->setObjectName(QStringLiteral("txtPulseOut"));
    auto* arrows = new controls::UpDownArrows(weight);
    arrows->setObjectName(QStringLiteral("UpDown1"));
    row->addWidget(box);
    row->addStretch(1);
    m_PulseOut.Create(box, arrows, kMinPulseOut, kMaxPulseOut, 1, 10, true, true);
    m_PulseOut.setMoltiplicatore(0.01f);
    m_PulseOut.setDataFormat(QStringLiteral("##0.00"));

    QGroupBox* status = AddFrame(this, contentLayout(), "frmPulseOutStatus", 658);
    m_PulseOutStatus.Create(status);
    m_PulseOutStatus.AddOptionButton(
        AddOption(status, QStringLiteral("optPulseOutStatusOff"), 659));
    m_PulseOutStatus.AddOptionButton(AddOption(status, QStringLiteral("optPulseOutStatusOn"), 660));

    connect(&m_SelectCounter, &controls::COptionButton::Change, this, [this] { ShowUnit(); });
}

void FWPulseOutSetup::LoadForm() {
    const QString caption = PulseOutTitle(m_record);
    setWindowTitle(caption);
    title()->setText(caption);
    m_PulseOut.setAccessibleName(ResString(657));
    // Wide enough for the largest weight in the longer of the two units.
    const QString point = QLocale().decimalPoint();
    const QString longest = controls::ComposeText(
        controls::FormatPattern(double(kMaxPulseOut) * double(m_PulseOut.Moltiplicatore()),
                                m_PulseOut.DataFormat(), point),
        std::max(PulseUnitText(0), PulseUnitText(1),
                 [](const QString& a, const QString& b) { return a.size() < b.size(); }));
    QLineEdit* box = m_PulseOut.textBox();
    const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int arrows = m_PulseOut.m_UpDown->arrows()->sizeHint().width();
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(longest + QLatin1Char('0')) + arrows +
                       2 * frame + 8);
}

void FWPulseOutSetup::ActivateForm() {
    const QString caption = PulseOutTitle(m_record);
    title()->setText(caption);
    m_SelectCounter.setValue(m_record.SelectCounter());
    ShowUnit();
    const qint32 stored = m_record.PulseOut();
    if (stored < kMinPulseOut || stored > kMaxPulseOut)
        g_Trace().BugMessage(QStringLiteral("Peso impulsi %1 fuori dai limiti %2..%3: impostato %4")
                                 .arg(stored)
                                 .arg(kMinPulseOut)
                                 .arg(kMaxPulseOut)
                                 .arg(controls::ClampValue(stored, kMinPulseOut, kMaxPulseOut)));
    m_PulseOut.setValue(stored);
    m_PulseOutStatus.setValue(m_record.PulseOutStatus());
}

void FWPulseOutSetup::ShowUnit() {
    // The unit of the chosen counter, as the report prints it; a stored counter that no
    // option names keeps the unit its value gives there.
    const qint16 counter = m_SelectCounter.Value();
    m_PulseOut.setUnitaMisura(PulseUnitText(counter >= 0 ? counter : m_record.SelectCounter()));
}

void FWPulseOutSetup::CommitForm() {
    if (m_SelectCounter.Value() >= 0)
        m_record.setSelectCounter(m_SelectCounter.Value());
    m_record.setPulseOut(m_PulseOut.Value());
    if (m_PulseOutStatus.Value() >= 0)
        m_record.setPulseOutStatus(m_PulseOutStatus.Value());
}

}  // namespace voltaris::wizard
