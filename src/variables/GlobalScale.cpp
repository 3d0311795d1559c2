#include "variables/GlobalScale.h"

#include <array>

#include "base/Errors.h"

namespace voltaris::GlobalScale {

namespace {

using Table = std::array<ScaleRow, StepCount>;

const Table& table() {
    // 1e11f and 1e12f are the nearest singles, 99999997952 and 999999995904.
    static const Table rows = {{
        {1e-5f, 0.01f, QStringLiteral("11.11m"), QStringLiteral("m"), QStringLiteral("#0.00")},
        {1e-4f, 0.1f, QStringLiteral("111.1m"), QStringLiteral("m"), QStringLiteral("##0.0")},
        {1e-3f, 0.001f, QStringLiteral("1.111"), QString(), QStringLiteral("0.000")},
        {1e-2f, 0.01f, QStringLiteral("11.11"), QString(), QStringLiteral("#0.00")},
        {1e-1f, 0.1f, QStringLiteral("111.1"), QString(), QStringLiteral("##0.0")},
        {1e0f, 1.0f, QStringLiteral("1111"), QString(), QStringLiteral("###0")},
        {1e1f, 0.01f, QStringLiteral("11.11K"), QStringLiteral("K"), QStringLiteral("#0.00")},
        {1e2f, 0.1f, QStringLiteral("111.1K"), QStringLiteral("K"), QStringLiteral("##0.0")},
        {1e3f, 1.0f, QStringLiteral("1111K"), QStringLiteral("K"), QStringLiteral("###0")},
        {1e4f, 0.01f, QStringLiteral("11.11M"), QStringLiteral("M"), QStringLiteral("#0.00")},
        {1e5f, 0.1f, QStringLiteral("111.1M"), QStringLiteral("M"), QStringLiteral("##0.0")},
        {1e6f, 1.0f, QStringLiteral("1111M"), QStringLiteral("M"), QStringLiteral("###0")},
        {1e7f, 0.01f, QStringLiteral("11.11G"), QStringLiteral("G"), QStringLiteral("#0.00")},
        {1e8f, 0.1f, QStringLiteral("111.1G"), QStringLiteral("G"), QStringLiteral("##0.0")},
        {1e9f, 1.0f, QStringLiteral("1111G"), QStringLiteral("G"), QStringLiteral("###0")},
        {1e10f, 0.01f, QStringLiteral("11.11T"), QStringLiteral("T"), QStringLiteral("#0.00")},
        {1e11f, 0.1f, QStringLiteral("111.1T"), QStringLiteral("T"), QStringLiteral("##0.0")},
        {1e12f, 1.0f, QStringLiteral("1111T"), QStringLiteral("T"), QStringLiteral("###0")},
    }};
    return rows;
}

}  // namespace

void InitScaleTable() {
    (void)table();
}

bool IsValidStep(int step) {
    return step >= 0 && step < StepCount;
}

const ScaleRow& Row(int step) {
    if (!IsValidStep(step))
        throw IndexError(
            QStringLiteral("Decimal-point step %1 is outside 0..%2").arg(step).arg(StepCount - 1));
    return table()[static_cast<std::size_t>(step)];
}

float Factor(int step) {
    return Row(step).Factor;
}

QString FormatScaled(qint16 integer, int step, const QString& decimalPoint) {
    const ScaleRow& row = Row(step);
    // Every row's multiplier is 10^-d with d the decimals of its format, so the integer's
    // digits are the shown digits: placing the separator is exact, no rounding involved.
    const qsizetype point = row.Format.indexOf(u'.');
    const qsizetype decimals = point < 0 ? 0 : row.Format.size() - point - 1;
    QString digits = QString::number(qAbs(static_cast<int>(integer)));
    if (digits.size() <= decimals)
        digits = QString(decimals + 1 - digits.size(), u'0') + digits;
    if (decimals > 0)
        digits.insert(digits.size() - decimals, decimalPoint);
    if (integer < 0)
        digits.prepend(u'-');
    return digits + row.Prefix;
}

}  // namespace voltaris::GlobalScale
