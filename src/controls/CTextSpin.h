#pragma once

#include <QLineEdit>
#include <QObject>

#include "controls/CUpDown.h"

namespace voltaris::controls {

// A spin field: a read-only text box with its arrows inside the right edge, showing
// value x multiplier in a numeric pattern followed by a unit. Shared by both widths.
class SpinField : public QObject {
    Q_OBJECT
public:
    bool Enabled() const { return m_TextBox->isEnabled() && m_stepper->Enabled(); }
    void setEnabled(bool on);
    bool EnableEvent() const { return m_EnableEvent; }
    void setEnableEvent(bool on) { m_EnableEvent = on; }
    QString DataFormat() const { return m_DataFormat; }
    void setDataFormat(const QString& pattern);
    float Moltiplicatore() const { return m_Moltiplicatore; }
    // Refreshes the tip only: the text follows at the next change.
    void setMoltiplicatore(float factor);
    QString UnitaMisura() const { return m_UnitaMisura; }
    void setUnitaMisura(const QString& unit);
    qint16 IncrementoLento() const { return m_stepper->IncrementoLento(); }
    void setIncrementoLento(qint16 step) { m_stepper->setIncrementoLento(step); }
    qint16 IncrementoVeloce() const { return m_stepper->IncrementoVeloce(); }
    void setIncrementoVeloce(qint16 step) { m_stepper->setIncrementoVeloce(step); }
    bool ViewToolTipText() const { return m_ViewToolTipText; }
    void setViewToolTipText(bool on) { m_ViewToolTipText = on; }

    // What a screen reader calls the text box; the arrows are named after it.
    void setAccessibleName(const QString& name);
    QLineEdit* textBox() const { return m_TextBox; }

signals:
    void Change();
    void ChangeValidate(bool& Cancel);
    void ViewText(QString& Text);
    void ViewToolTip(QString& Text);

protected:
    SpinField(SpinStepper* stepper, bool isLong, QObject* parent);
    void CreateField(QLineEdit* TextBox, UpDownArrows* UpDown, qint32 MinValue, qint32 MaxValue,
                     qint16 IncrLento, qint16 IncrVeloce, bool Wrap, bool ViewToolTipText);
    void RefreshToolTip();
    SpinStepper* stepper() const { return m_stepper; }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString Format(qint32 value) const;
    void RefreshText();
    void PlaceArrows();

    SpinStepper* m_stepper;
    const bool m_long;
    QLineEdit* m_TextBox = nullptr;
    QString m_DataFormat = QStringLiteral("###0");
    float m_Moltiplicatore = 1.0f;
    QString m_UnitaMisura;
    bool m_EnableEvent = true;
    bool m_ViewToolTipText = false;
};

// 16-bit spin field; the shown value is computed in single precision.
class CTextSpin : public SpinField {
    Q_OBJECT
public:
    explicit CTextSpin(QObject* parent = nullptr);
    void Create(QLineEdit* TextBox, UpDownArrows* UpDown, qint16 MinValue, qint16 MaxValue,
                qint16 IncrLento, qint16 IncrVeloce, bool Wrap, bool ViewToolTipText) {
        CreateField(TextBox, UpDown, MinValue, MaxValue, IncrLento, IncrVeloce, Wrap,
                    ViewToolTipText);
    }
    qint16 Value() const { return m_UpDown->Value(); }
    void setValue(qint16 value) { m_UpDown->setValue(value); }
    qint16 Min() const { return m_UpDown->MinValue(); }
    void setMin(qint16 value);
    qint16 Max() const { return m_UpDown->MaxValue(); }
    void setMax(qint16 value);

    CUpDown* m_UpDown;
};

// 32-bit spin field; the shown value is computed in double precision.
class CTextSpinLong : public SpinField {
    Q_OBJECT
public:
    explicit CTextSpinLong(QObject* parent = nullptr);
    void Create(QLineEdit* TextBox, UpDownArrows* UpDown, qint32 MinValue, qint32 MaxValue,
                qint16 IncrLento, qint16 IncrVeloce, bool Wrap, bool ViewToolTipText) {
        CreateField(TextBox, UpDown, MinValue, MaxValue, IncrLento, IncrVeloce, Wrap,
                    ViewToolTipText);
    }
    qint32 Value() const { return m_UpDown->Value(); }
    void setValue(qint32 value) { m_UpDown->setValue(value); }
    // The low 16 bits as a signed number; writing sign-extends.
    qint16 ValueInt() const { return qint16(quint16(quint32(Value()) & 0xFFFFu)); }
    void setValueInt(qint16 value) { setValue(qint32(value)); }
    qint32 Min() const { return m_UpDown->MinValue(); }
    void setMin(qint32 value);
    qint32 Max() const { return m_UpDown->MaxValue(); }
    void setMax(qint32 value);

    CUpDownLong* m_UpDown;
};

}  // namespace voltaris::controls
