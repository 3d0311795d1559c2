#include "variables/CVariableViewConvert.h"

#include <QLocale>

#include "variables/GlobalScale.h"

namespace voltaris {

namespace {

// The instrument signs a capacitive power factor negative; it is shown with "C" in place
// of the sign and the leading zero ("-0.950" -> "C.950"), an inductive one with "L"
// ("0.950" -> "L.950"); unity ("1.000") has no mark.
QString powerFactorText(const QString& text) {
    const bool capacitive = text.startsWith(u'-');
    if (!capacitive && text.startsWith(u'1'))
        return text;
    const QString mark = capacitive ? QStringLiteral("C") : QStringLiteral("L");
    const QString tail = text.right(4);
    const QString dropped = text.left(text.size() - tail.size());
    // Only a sign and a zero may give way to the mark; "-1.000" must not turn into "C.000".
    if (dropped.isEmpty() || dropped == u"-" || dropped == u"0" || dropped == u"-0")
        return mark + tail;
    return mark + (capacitive ? text.mid(1) : text);
}

}  // namespace

CVariableViewConvert::CVariableViewConvert()
    : CVariableViewConvert(QLocale::system().decimalPoint()) {}

CVariableViewConvert::CVariableViewConvert(const QString& decimalPoint)
    : m_DecimalPoint(decimalPoint) {}

void CVariableViewConvert::VariableFloat(qint16 code, float value) {
    m_Range.setVariable(code);
    const CVariableType& v = m_Range.VariableType();
    if (v.IsASY() || v.IsHZ() || v.IsPFFase() || v.IsPFSys())
        m_Scaler.SetFloatValue(value, m_Range.DPScaleMax());
    else
        m_Scaler.setFloatValue(value);
}

void CVariableViewConvert::VariableIntDPScale(qint16 code, qint16 integer, qint16 step) {
    m_Range.setVariable(code);
    m_Scaler.IntDPScale(integer, step);
}

QString CVariableViewConvert::ElettricDataString() const {
    const CVariableType& v = m_Range.VariableType();
    if (v.IsPhaseSequence())
        return m_Scaler.FloatValue() == -1.0f ? QStringLiteral("OK") : QStringLiteral("NO OK");
    const QString text =
        GlobalScale::FormatScaled(m_Scaler.IntValue(), m_Scaler.DPScale(), m_DecimalPoint) +
        v.UnitaIngegneristica();
    if (v.IsPFFase() || v.IsPFSys())
        return powerFactorText(text);
    return text;
}

}  // namespace voltaris
