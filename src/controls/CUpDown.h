#pragma once

#include <QLineEdit>
#include <QObject>

#include "controls/SpinRules.h"
#include "controls/UpDownArrows.h"

namespace voltaris::controls {

// The stepper of a spin field: key handling, limits and acceleration for both widths.
// The typed classes below are what the fields own.
class SpinStepper : public QObject {
    Q_OBJECT
public:
    void CreateStepper(QLineEdit* TextBox, UpDownArrows* UpDown, qint32 MinValue, qint32 MaxValue,
                       qint16 IncrLento, qint16 IncrVeloce, bool Wrap);

    bool Enabled() const { return m_UpDown->isEnabled(); }
    void setEnabled(bool on) { m_UpDown->setEnabled(on); }
    // Clamped into Min..Max; no error for a value out of range.
    void setRawValue(qint32 value);
    qint32 RawValue() const { return m_UpDown->Value(); }
    qint32 RawMax() const { return m_UpDown->Max(); }
    qint32 RawMin() const { return m_UpDown->Min(); }
    // Moves the value inside the new limit when it is outside; the limits are not checked
    // against each other.
    void setRawMax(qint32 max);
    void setRawMin(qint32 min);
    qint16 IncrementoLento() const { return m_IncrementoLento; }
    void setIncrementoLento(qint16 step) { m_IncrementoLento = step; }
    qint16 IncrementoVeloce() const { return m_IncrementoVeloce; }
    void setIncrementoVeloce(qint16 step) { m_IncrementoVeloce = step; }
    QString ToolTipText() const { return m_UpDown->toolTip(); }
    void setToolTipText(const QString& text) { m_UpDown->setToolTip(text); }

    const SpinAcceleration& acceleration() const { return m_acceleration; }
    UpDownArrows* arrows() const { return m_UpDown; }

signals:
    void Change();
    void ChangeValidate(bool& Cancel);

protected:
    explicit SpinStepper(bool isLong, QObject* parent) : QObject(parent), m_long(isLong) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void StartPress(bool mouse);
    void Repeat(bool mouse);
    void OnArrowsChanged();
    void OnMouseDown(Qt::MouseButton button);
    bool OnKeyDown(int key, Qt::KeyboardModifiers modifiers);

    const bool m_long;
    QLineEdit* m_TextBox = nullptr;
    UpDownArrows* m_UpDown = nullptr;
    qint16 m_IncrementoLento = 1;
    qint16 m_IncrementoVeloce = 1;
    SpinAcceleration m_acceleration;
    bool m_keyHeld = false;
};

// 16-bit stepper.
class CUpDown : public SpinStepper {
    Q_OBJECT
public:
    explicit CUpDown(QObject* parent = nullptr) : SpinStepper(false, parent) {}
    void Create(QLineEdit* TextBox, UpDownArrows* UpDown, qint16 MinValue, qint16 MaxValue,
                qint16 IncrLento, qint16 IncrVeloce, bool Wrap) {
        CreateStepper(TextBox, UpDown, MinValue, MaxValue, IncrLento, IncrVeloce, Wrap);
    }
    qint16 Value() const { return qint16(RawValue()); }
    void setValue(qint16 value) { setRawValue(value); }
    qint16 MaxValue() const { return qint16(RawMax()); }
    void setMaxValue(qint16 value) { setRawMax(value); }
    qint16 MinValue() const { return qint16(RawMin()); }
    void setMinValue(qint16 value) { setRawMin(value); }
};

// 32-bit stepper: its own acceleration (thresholds of 100 for keys, 10 for the mouse).
class CUpDownLong : public SpinStepper {
    Q_OBJECT
public:
    explicit CUpDownLong(QObject* parent = nullptr) : SpinStepper(true, parent) {}
    void Create(QLineEdit* TextBox, UpDownArrows* UpDown, qint32 MinValue, qint32 MaxValue,
                qint16 IncrLento, qint16 IncrVeloce, bool Wrap) {
        CreateStepper(TextBox, UpDown, MinValue, MaxValue, IncrLento, IncrVeloce, Wrap);
    }
    qint32 Value() const { return RawValue(); }
    void setValue(qint32 value) { setRawValue(value); }
    qint32 MaxValue() const { return RawMax(); }
    void setMaxValue(qint32 value) { setRawMax(value); }
    qint32 MinValue() const { return RawMin(); }
    void setMinValue(qint32 value) { setRawMin(value); }
};

}  // namespace voltaris::controls
