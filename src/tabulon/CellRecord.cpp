#include "tabulon/CellRecord.h"

#include "tabulon/RowSet.h"

namespace grevlon {

CellRecord CellRecord::FromRow(const RowSet& rs) {
    CellRecord c;
    c.Top = rs.int16Value(QStringLiteral("Top"));
    c.Left = rs.int16Value(QStringLiteral("Left"));
    c.Width = rs.int16Value(QStringLiteral("Width"));
    c.Height = rs.int16Value(QStringLiteral("Height"));
    c.Tag = rs.int32Value(QStringLiteral("Tag"));
    c.FontSize = rs.int16Value(QStringLiteral("FontSize"));
    c.FontBold = rs.boolValue(QStringLiteral("FontBold"));
    c.FontCharSet = rs.int16Value(QStringLiteral("FontCharSet"));
    c.FontName = rs.textValue(QStringLiteral("FontName"));
    c.Multiline = rs.boolValue(QStringLiteral("Multiline"));
    c.Alignment = rs.int16Value(QStringLiteral("Alignment"));
    c.LineWidth = rs.int16Value(QStringLiteral("LineWidth"));
    c.DrawBox = rs.int16Value(QStringLiteral("DrawBox"));
    c.Text = rs.textValue(QStringLiteral("Text"));
    return c;
}

QString ApplyMarkup(CellRecord& cell, const QString& text) {
    if (!text.startsWith(u'#'))
        return text;
    const qsizetype close = text.indexOf(u'#', 1);
    if (close < 0)
        return text;
    const QString markup = text.mid(1, close - 1);

    const qsizetype f = markup.indexOf(u'F');
    if (f >= 0) {
        // Two characters of size; a size written with one digit ("F8") is read as far as
        // the digits go, and no digit at all leaves the size alone.
        const QString digits = markup.mid(f + 1, 2);
        qsizetype n = 0;
        while (n < digits.size() && digits.at(n).isDigit() && digits.at(n).unicode() < 128)
            ++n;
        if (n > 0)
            cell.FontSize = qint16(digits.left(n).toInt());
    }
    const qsizetype s = markup.indexOf(u'S');
    if (s >= 0)
        cell.FontBold = s + 1 < markup.size() && markup.at(s + 1) == u'B';
    const qsizetype a = markup.indexOf(u'A');
    if (a >= 0 && a + 1 < markup.size()) {
        switch (markup.at(a + 1).unicode()) {
            case 'L':
                cell.Alignment = CellRecord::AlignLeft;
                break;
            case 'R':
                cell.Alignment = CellRecord::AlignRight;
                break;
            case 'C':
                cell.Alignment = CellRecord::AlignCentre;
                break;
            default:
                break;
        }
    }
    return text.mid(close + 1);
}

}  // namespace grevlon
