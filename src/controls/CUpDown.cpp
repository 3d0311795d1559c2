#include "controls/CUpDown.h"

#include <QKeyEvent>

#include "base/CTraceCode.h"
#include "controls/FocusLeave.h"

namespace voltaris::controls {

void SpinStepper::CreateStepper(QLineEdit* TextBox, UpDownArrows* UpDown, qint32 MinValue,
                                qint32 MaxValue, qint16 IncrLento, qint16 IncrVeloce, bool Wrap) {
    m_TextBox = TextBox;
    m_UpDown = UpDown;
    m_UpDown->setFocusPolicy(Qt::NoFocus);
    m_UpDown->setMin(MinValue);
    m_UpDown->setMax(MaxValue);
    m_IncrementoLento = IncrLento;
    m_IncrementoVeloce = IncrVeloce;
    m_UpDown->setValue(MinValue);
    m_UpDown->setIncrement(IncrLento);
    m_UpDown->setWrap(Wrap);
    m_acceleration.Start(IncrLento, 10);
    m_keyHeld = false;

    m_TextBox->installEventFilter(this);
    connect(m_UpDown, &UpDownArrows::changed, this, &SpinStepper::OnArrowsChanged);
    connect(m_UpDown, &UpDownArrows::mouseDown, this, &SpinStepper::OnMouseDown);
    // The arrows never take the focus, so only a move to another control validates.
    WatchFocusLeave(
        this, [this](const QWidget* w) { return w == m_TextBox; },
        [this](QWidget*, QWidget*) {
            if (m_long)
                g_Trace().BugMessage(QStringLiteral("TextBox validate"));
            bool cancel = false;
            emit ChangeValidate(cancel);
            if (cancel)
                m_TextBox->setFocus(Qt::OtherFocusReason);
        });
}

void SpinStepper::setRawValue(qint32 value) {
    m_UpDown->setValue(ClampValue(value, m_UpDown->Min(), m_UpDown->Max()));
}

void SpinStepper::setRawMax(qint32 max) {
    m_UpDown->setMax(max);
    if (m_UpDown->Value() > max)
        m_UpDown->setValue(max);
}

void SpinStepper::setRawMin(qint32 min) {
    m_UpDown->setMin(min);
    if (m_UpDown->Value() < min)
        m_UpDown->setValue(min);
}

void SpinStepper::StartPress(bool mouse) {
    m_acceleration.Start(m_IncrementoLento, m_long && !mouse ? 100 : 10);
    m_UpDown->setIncrement(m_acceleration.Increment());
}

void SpinStepper::Repeat(bool mouse) {
    if (m_long)
        m_acceleration.RepeatLong(m_UpDown->Min(), m_UpDown->Max(), mouse ? 10 : 100);
    else
        m_acceleration.Repeat16(m_IncrementoVeloce, m_UpDown->Max());
    m_UpDown->setIncrement(m_acceleration.Increment());
}

void SpinStepper::OnArrowsChanged() {
    // A held key counted its repeat already.
    if (!m_keyHeld)
        Repeat(true);
    emit Change();
}

void SpinStepper::OnMouseDown(Qt::MouseButton button) {
    if (!m_TextBox->hasFocus())
        m_TextBox->setFocus(Qt::MouseFocusReason);
    if (!m_long || button == Qt::LeftButton)
        StartPress(true);
}

bool SpinStepper::OnKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    // Moving between controls, the dialog's default and cancel buttons and mnemonics are
    // the window's business.
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return ||
        key == Qt::Key_Enter || key == Qt::Key_Escape || (modifiers & Qt::AltModifier))
        return false;
    if (!m_keyHeld)
        StartPress(false);
    m_keyHeld = true;
    Repeat(false);
    if (key == Qt::Key_Up || key == Qt::Key_Down)
        m_UpDown->setValue(StepValue(m_UpDown->Value(), m_UpDown->Increment(), key == Qt::Key_Up,
                                     m_UpDown->Min(), m_UpDown->Max(), m_UpDown->Wrap()));
    return true;
}

bool SpinStepper::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_TextBox)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            return OnKeyDown(key->key(), key->modifiers());
        }
        case QEvent::KeyRelease:
            // Auto-repeat sends a release before every repeated press: the key is still held.
            if (!static_cast<QKeyEvent*>(event)->isAutoRepeat())
                m_keyHeld = false;
            return true;
        case QEvent::InputMethod:
            return true;
        default:
            return QObject::eventFilter(watched, event);
    }
}

}  // namespace voltaris::controls
