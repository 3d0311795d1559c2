#include "wizard/VariableLimits.h"

#include <QLabel>
#include <QLocale>
#include <limits>

#include "base/CTraceCode.h"
#include "base/Errors.h"
#include "controls/SpinRules.h"
#include "variables/CVariableType.h"
#include "variables/GlobalScale.h"
#include "variables/VariableCatalogue.h"

namespace voltaris::wizard {

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

bool ScaleChosen(qint16 variable) {
    const CVariableType t(variable);
    return !(t.IsPhaseSequence() || t.IsHZ() || t.IsASY() || t.IsPFFase() || t.IsPFSys());
}

void VariableLimits::Create(controls::CComboBox* variable, controls::CComboBox* scale,
                            QLabel* scaleLabel, controls::CTextSpin* low, controls::CTextSpin* high,
                            SequenceText sequence) {
    m_variable = variable;
    m_scale = scale;
    m_scaleLabel = scaleLabel;
    m_low = low;
    m_high = high;
    m_sequence = sequence;
    connect(m_variable, &controls::CComboBox::Change, this, [this] {
        if (!m_quiet)
            OnVariable();
    });
    connect(m_scale, &controls::CComboBox::Change, this, [this] {
        if (!m_quiet)
            OnScale();
    });
    // The values stay in order on every accepted change, also one made just before Enter.
    connect(m_high, &controls::SpinField::Change, this, [this] { m_low->setMax(m_high->Value()); });
    connect(m_low, &controls::SpinField::Change, this, [this] { m_high->setMin(m_low->Value()); });
    connect(m_low, &controls::SpinField::ViewText, this,
            [this](QString& text) { ValueText(*m_low, text); });
    connect(m_high, &controls::SpinField::ViewText, this,
            [this](QString& text) { ValueText(*m_high, text); });
}

qint16 VariableLimits::Variable() const {
    return qint16(m_variable->ItemData());
}

qint16 VariableLimits::Scale() const {
    return qint16(m_scale->ItemData());
}

void VariableLimits::FillVariables(qint16 system) {
    m_quiet = true;
    m_variable->ClearAllItem();
    for (const VariableEntry& e : VariableCatalogue::standard().variablesForSystem(system))
        m_variable->AddText(e.name, e.code());
    m_quiet = false;
}

void VariableLimits::ValueText(controls::CTextSpin& field, QString& text) {
    const CVariableType t(Variable());
    if (t.IsPhaseSequence()) {
        if (m_sequence == SequenceText::Empty)
            text.clear();
        else
            text = text == QLatin1String("1") ? QStringLiteral("OK") : QStringLiteral("NO OK");
    } else if (t.IsPFFase() || t.IsPFSys()) {
        const QString shown =
            PowerFactorText(field.Value(), field.Moltiplicatore(), field.DataFormat(),
                            field.UnitaMisura(), QLocale().decimalPoint());
        g_Trace().BugMessage(
            QStringLiteral("Convertito valore PF da %1 a %2").arg(field.Value()).arg(shown));
        text = shown;
    }
}

void VariableLimits::OnVariable() {
    const qint16 code = Variable();
    try {
        m_range.setVariable(code);
    } catch (const AssertFailed&) {
        // Ratios too large for any scale: the check has said so; the fields keep their range.
    }
    m_quiet = true;
    m_scale->ClearAllItem();
    for (qint16 step = 2; step <= m_range.DPScaleMax(); ++step)
        if (GlobalScale::IsValidStep(step))
            m_scale->AddText(GlobalScale::Row(step).SampleText, step);
    m_scale->setValue(qint16(m_scale->ListCount() - 1));
    m_quiet = false;
    const bool chosen = ScaleChosen(code);
    if (m_scaleLabel)
        m_scaleLabel->setEnabled(chosen);
    m_scale->setEnabled(chosen);
    OnScale();
    emit VariableChanged(code);
}

void VariableLimits::OnScale() {
    const qint16 step = Scale();
    if (!GlobalScale::IsValidStep(step))
        return;
    try {
        m_range.setScaleSelect(step);
    } catch (const AssertFailed&) {
        return;
    }
    const GlobalScale::ScaleRow& row = GlobalScale::Row(step);
    for (controls::CTextSpin* field : {m_high, m_low}) {
        field->setMoltiplicatore(row.DisplayMultiplier);
        field->setUnitaMisura(row.Prefix + m_range.UnitaIngegneristica());
        field->setDataFormat(row.Format);
        field->setMin(std::numeric_limits<qint16>::min());
        field->setMax(m_range.Massimo());
        field->setMin(m_range.Minimo());
    }
    m_high->setValue(m_range.Massimo());
    m_low->setValue(m_range.Minimo());
}

bool VariableLimits::Show(qint32 variable, qint16 step, qint16 low, qint16 high) {
    m_quiet = true;
    m_variable->setItemData(variable);
    const bool offered = !m_variable->UnmatchedValue();
    if (!offered)
        m_variable->setItemData(kFallbackVariable);
    m_quiet = false;
    OnVariable();
    // A variable measured at a fixed scale stays at it (the list is disabled, so a different
    // stored scale could never be corrected); the others take the stored one.
    if (ScaleChosen(Variable())) {
        m_quiet = true;
        m_scale->setItemData(step);
        if (m_scale->UnmatchedValue())
            m_scale->setValue(0);
        m_quiet = false;
        OnScale();
    } else if (step != Scale()) {
        g_Trace().BugMessage(QStringLiteral("Scala %1 non ammessa per la variabile %2: usata %3")
                                 .arg(step)
                                 .arg(Variable())
                                 .arg(Scale()));
    }
    m_high->setValue(high);
    m_low->setValue(low);
    m_low->setMax(m_high->Value());
    m_high->setMin(m_low->Value());
    return offered;
}

}  // namespace voltaris::wizard
