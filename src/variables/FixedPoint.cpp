#include "variables/FixedPoint.h"

#include "base/Errors.h"

namespace voltaris {

QString FormatFixed(qint64 raw, int decimals, const QString& decimalPoint) {
    if (decimals < 0 || decimals > 18)
        throw IndexError(QStringLiteral("FormatFixed: %1 decimals").arg(decimals));
    quint64 scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const bool negative = raw < 0;
    // Negated in unsigned arithmetic so that the most negative value has a magnitude.
    const quint64 magnitude = negative ? 0 - quint64(raw) : quint64(raw);
    QString text = negative ? QStringLiteral("-") : QString();
    text += QString::number(magnitude / scale);
    if (decimals > 0)
        text += decimalPoint + QString::number(magnitude % scale).rightJustified(decimals, u'0');
    return text;
}

}  // namespace voltaris
