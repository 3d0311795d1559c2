#pragma once

#include <QString>
#include <QtGlobal>

#include "tabulon/TabulonTypes.h"

namespace grevlon {

class RowSet;

// One drawn element (header block row, caption, column title, data cell, footer element).
// Positions and sizes are twips relative to the current drawing origin.
struct GREVLON_EXPORT CellRecord {
    enum : qint16 { AlignLeft = 0, AlignRight = 1, AlignCentre = 2 };
    enum : qint16 { BoxTop = 1, BoxRight = 2, BoxBottom = 4, BoxLeft = 8 };
    // A frame row: its text is never drawn; in the header block it sets the block's height
    // and the table width.
    static constexpr qint32 kFrameTag = 1;

    qint16 Top = 0;
    qint16 Left = 0;
    qint16 Width = 0;
    qint16 Height = 0;
    qint32 Tag = 0;
    qint16 FontSize = 0;
    bool FontBold = false;
    qint16 FontCharSet = 0;
    QString FontName;
    bool Multiline = false;
    qint16 Alignment = AlignLeft;
    qint16 LineWidth = 0;
    qint16 DrawBox = 0;
    QString Text;

    // The cell held by the current row of `rs`, read field by field by name. A missing
    // field or a value that does not convert throws RowSetError.
    static CellRecord FromRow(const RowSet& rs);

    bool operator==(const CellRecord&) const = default;
};

// Applies the markup a text may begin with ("#F12SBAC#text": font size, bold, alignment)
// to `cell` and returns the text to draw. A text not starting with "#", or with no second
// "#", is returned as it stands.
GREVLON_EXPORT QString ApplyMarkup(CellRecord& cell, const QString& text);

}  // namespace grevlon
