#pragma once

#include <QtGlobal>

#include "tabulon/TabulonTypes.h"

namespace grevlon {

// Row heights, table width and the geometry of the columns in side-by-side column groups.
// All arithmetic is 16-bit with division truncating toward zero; a result that does not
// fit 16 bits throws LayoutError rather than wrapping.
class GREVLON_EXPORT CDataRowManager {
public:
    static constexpr qint16 kGroupGap = 48;

    // Left offset (twips) of column `Column` (1..Columns) in column group `MultiColumns`
    // (1..MultiColumns()); anything else throws LayoutError.
    qint16 LeftPosCell(qint16 Column, qint16 MultiColumns) const;

    qint16 HeightRowTitleTable() const { return m_HeightRowTitleTable; }
    qint16 HeightRowTitleColumn() const { return m_HeightRowTitleColumn; }
    qint16 HeightRowData() const { return m_HeightRowData; }
    qint16 WidthRow() const { return m_WidthRow; }
    qint16 MultiColumns() const { return m_MultiColumns; }
    qint16 Columns() const { return m_Columns; }

    // Width (twips) of column `Column` (1..Columns); the last one takes the remainder.
    qint16 WidthCell(qint16 Column) const;

    void setHeightRowTitleTable(qint16 v) { m_HeightRowTitleTable = v; }
    void setHeightRowTitleColumn(qint16 v) { m_HeightRowTitleColumn = v; }
    void setHeightRowData(qint16 v) { m_HeightRowData = v; }
    void setWidthRow(qint16 v) { m_WidthRow = v; }
    // At least 1 group; a smaller value throws LayoutError.
    void setMultiColumns(qint16 v);
    void setColumns(qint16 v) { m_Columns = v; }

    // Width of one column group.
    qint16 GroupWidth() const;

private:
    qint16 m_HeightRowTitleTable = 255;
    qint16 m_HeightRowTitleColumn = 255;
    qint16 m_HeightRowData = 255;
    qint16 m_WidthRow = 11916;
    qint16 m_MultiColumns = 1;
    qint16 m_Columns = 1;
};

}  // namespace grevlon
