#include "controls/CTextSpin.h"

#include <QEvent>
#include <QLocale>

#include "base/CTraceCode.h"
#include "controls/SpinRules.h"

namespace voltaris::controls {

SpinField::SpinField(SpinStepper* stepper, bool isLong, QObject* parent)
    : QObject(parent), m_stepper(stepper), m_long(isLong) {
    m_stepper->setParent(this);
}

void SpinField::CreateField(QLineEdit* TextBox, UpDownArrows* UpDown, qint32 MinValue,
                            qint32 MaxValue, qint16 IncrLento, qint16 IncrVeloce, bool Wrap,
                            bool ViewToolTipText) {
    m_TextBox = TextBox;
    m_TextBox->setReadOnly(true);
    UpDown->setParent(m_TextBox);
    UpDown->raise();
    UpDown->show();
    UpDown->setFieldName(m_TextBox->accessibleName());
    m_TextBox->installEventFilter(this);
    m_stepper->CreateStepper(TextBox, UpDown, MinValue, MaxValue, IncrLento, IncrVeloce, Wrap);
    PlaceArrows();
    // Connected after the stepper's Create: the text is first written at the next change.
    connect(m_stepper, &SpinStepper::Change, this, &SpinField::RefreshText);
    connect(m_stepper, &SpinStepper::ChangeValidate, this, [this](bool& cancel) {
        if (m_long)
            g_Trace().BugMessage(QStringLiteral("m_UpDown_ChangeValidate"));
        if (m_EnableEvent)
            emit ChangeValidate(cancel);
    });
    m_ViewToolTipText = ViewToolTipText;
    RefreshToolTip();
}

void SpinField::setEnabled(bool on) {
    m_TextBox->setEnabled(on);
    m_stepper->setEnabled(on);
}

void SpinField::setDataFormat(const QString& pattern) {
    m_DataFormat = pattern;
    RefreshText();
    RefreshToolTip();
}

void SpinField::setMoltiplicatore(float factor) {
    m_Moltiplicatore = factor;
    RefreshToolTip();
}

void SpinField::setUnitaMisura(const QString& unit) {
    m_UnitaMisura = unit;
    RefreshText();
}

void SpinField::setAccessibleName(const QString& name) {
    m_TextBox->setAccessibleName(name);
    m_stepper->arrows()->setFieldName(name);
}

QString SpinField::Format(qint32 value) const {
    const QString point = QLocale().decimalPoint();
    if (m_long)
        return FormatPattern(double(value) * double(m_Moltiplicatore), m_DataFormat, point);
    return FormatPattern(float(value) * m_Moltiplicatore, m_DataFormat, point);
}

void SpinField::RefreshText() {
    if (m_EnableEvent)
        emit Change();
    QString text = ComposeText(Format(m_stepper->RawValue()), m_UnitaMisura);
    if (m_EnableEvent)
        emit ViewText(text);
    m_TextBox->setText(text);
}

void SpinField::RefreshToolTip() {
    if (!m_ViewToolTipText)
        return;
    QString tip = RangeTip(Format(m_stepper->RawMin()), Format(m_stepper->RawMax()));
    if (m_EnableEvent)
        emit ViewToolTip(tip);
    m_stepper->setToolTipText(tip);
}

void SpinField::PlaceArrows() {
    UpDownArrows* arrows = m_stepper->arrows();
    const QRect inside = m_TextBox->contentsRect();
    const int width = arrows->sizeHint().width();
    arrows->setGeometry(inside.right() + 1 - width, inside.top(), width, inside.height());
    m_TextBox->setTextMargins(0, 0, width, 0);
}

bool SpinField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_TextBox && event->type() == QEvent::Resize)
        PlaceArrows();
    return QObject::eventFilter(watched, event);
}

CTextSpin::CTextSpin(QObject* parent)
    : SpinField(new CUpDown, false, parent), m_UpDown(static_cast<CUpDown*>(stepper())) {}

void CTextSpin::setMin(qint16 value) {
    m_UpDown->setMinValue(value);
    RefreshToolTip();
}

void CTextSpin::setMax(qint16 value) {
    m_UpDown->setMaxValue(value);
    RefreshToolTip();
}

CTextSpinLong::CTextSpinLong(QObject* parent)
    : SpinField(new CUpDownLong, true, parent), m_UpDown(static_cast<CUpDownLong*>(stepper())) {}

void CTextSpinLong::setMin(qint32 value) {
    m_UpDown->setMinValue(value);
    RefreshToolTip();
}

void CTextSpinLong::setMax(qint32 value) {
    m_UpDown->setMaxValue(value);
    RefreshToolTip();
}

}  // namespace voltaris::controls
