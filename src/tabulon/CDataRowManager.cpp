#include "tabulon/CDataRowManager.h"

#include <limits>

namespace grevlon {

namespace {

qint16 fit16(qint32 v, const char* what) {
    if (v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max())
        throw LayoutError(QStringLiteral("The table geometry overflows 16 bits (%1 = %2)")
                              .arg(QLatin1String(what))
                              .arg(v));
    return qint16(v);
}

}  // namespace

void CDataRowManager::setMultiColumns(qint16 v) {
    if (v < 1)
        throw LayoutError(
            QStringLiteral("The number of column groups must be at least 1, not %1").arg(v));
    m_MultiColumns = v;
}

qint16 CDataRowManager::GroupWidth() const {
    const qint16 gaps = fit16(qint32(kGroupGap) * (m_MultiColumns - 1), "group gaps");
    return fit16(fit16(qint32(m_WidthRow) - gaps, "group widths") / m_MultiColumns, "group width");
}

qint16 CDataRowManager::LeftPosCell(qint16 Column, qint16 MultiColumns) const {
    if (Column < 1 || Column > m_Columns || MultiColumns < 1 || MultiColumns > m_MultiColumns)
        throw LayoutError(
            QStringLiteral("Column %1 of group %2 is outside the %3 columns of %4 groups")
                .arg(Column)
                .arg(MultiColumns)
                .arg(m_Columns)
                .arg(m_MultiColumns));
    const qint16 g = GroupWidth();
    const qint16 groupLeft =
        fit16(qint32(MultiColumns - 1) * fit16(qint32(g) + kGroupGap, "group step"), "group left");
    const qint16 cellLeft = fit16(qint32(Column - 1) * (g / m_Columns), "column left");
    return fit16(qint32(groupLeft) + cellLeft, "cell left");
}

qint16 CDataRowManager::WidthCell(qint16 Column) const {
    if (Column < 1 || Column > m_Columns)
        throw LayoutError(
            QStringLiteral("Column %1 is outside the %2 columns").arg(Column).arg(m_Columns));
    const qint16 g = GroupWidth();
    const qint16 w = g / m_Columns;
    if (Column < m_Columns)
        return w;
    return fit16(qint32(g) - fit16(qint32(w) * (m_Columns - 1), "columns width"),
                 "last column width");
}

}  // namespace grevlon
