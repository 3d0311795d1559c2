#include "tabulon/TabulonDocument.h"

#include <cmath>
#include <limits>

namespace grevlon {

namespace {

// Halves to the even neighbour, as every rounding of the layout does.
int roundEven(double v) {
    return int(std::nearbyint(v));
}

QString columnField(qint16 c) {
    return QStringLiteral("Column%1").arg(c);
}

}  // namespace

TabulonDocument::TabulonDocument() = default;

void TabulonDocument::setLanguage(eLanguage v) {
    if (v < lIta || v > lFra)
        throw TabulonError(QStringLiteral("Language %1 is not one of 0 to 4").arg(int(v)));
    m_language = v;
}

void TabulonDocument::setDataProgressMode(eDataProgressMode v) {
    if (v != dpmVertical && v != dpmHorizontal)
        throw TabulonError(QStringLiteral("Data progress mode %1 is not 0 or 1").arg(int(v)));
    m_progressMode = v;
}

void TabulonDocument::setPageSize(float widthTwips, float heightTwips) {
    m_pageWidth = widthTwips;
    m_pageHeight = heightTwips;
}

void TabulonDocument::Clear() {
    m_pageStarts.clear();
    m_headerDoc.reset();
    m_gridStyle.reset();
    m_tables.clear();
}

void TabulonDocument::NewDoc(std::shared_ptr<RowSet> rsHeaderDoc,
                             std::shared_ptr<RowSet> rsGridStyle) {
    Clear();
    if (!rsHeaderDoc || !rsGridStyle)
        throw TabulonError(QStringLiteral("A new document needs a header block and a style set"));
    rsHeaderDoc->moveFirst();
    rsGridStyle->moveFirst();

    qint32 height = 0;
    qint16 widthRow = m_rows.WidthRow();
    for (rsHeaderDoc->moveFirst(); !rsHeaderDoc->atEnd(); rsHeaderDoc->moveNext()) {
        if (rsHeaderDoc->int32Value(QStringLiteral("Tag")) != CellRecord::kFrameTag)
            continue;
        widthRow = rsHeaderDoc->int16Value(QStringLiteral("Width"));
        height += rsHeaderDoc->int16Value(QStringLiteral("Height"));
        if (height > std::numeric_limits<qint16>::max() ||
            height < std::numeric_limits<qint16>::min())
            throw LayoutError(QStringLiteral("The header block is higher than 32767 twips"));
    }
    rsHeaderDoc->moveFirst();

    m_gridStyle = rsGridStyle;
    qint16 hT = 0, hC = 0, hD = 0;
    try {
        hT = style(QStringLiteral("CaptionTableStyle")).Height;
        hC = style(QStringLiteral("Col1TitleStyle")).Height;
        hD = style(QStringLiteral("Col1DataStyle")).Height;
    } catch (...) {
        m_gridStyle.reset();
        throw;
    }
    rsGridStyle->moveFirst();

    m_headerDoc = rsHeaderDoc;
    m_headerBlockHeight = qint16(height);
    m_rows.setWidthRow(widthRow);
    m_rows.setHeightRowTitleTable(hT);
    m_rows.setHeightRowTitleColumn(hC);
    m_rows.setHeightRowData(hD);
}

void TabulonDocument::AddTable(std::shared_ptr<RowSet> rsDataTable) {
    if (!rsDataTable)
        throw TabulonError(QStringLiteral("No table given"));
    m_pageStarts.clear();
    m_tables.append(std::move(rsDataTable));
}

CellRecord TabulonDocument::style(const QString& key) const {
    if (!m_gridStyle)
        throw LayoutError(QStringLiteral("No document: the style set is missing"));
    if (!m_gridStyle->findFirst(QStringLiteral("Key='%1'").arg(key)))
        throw LayoutError(QStringLiteral("The style set has no row with the key '%1'").arg(key));
    return CellRecord::FromRow(*m_gridStyle);
}

float TabulonDocument::ContentTop() const {
    return m_topMargin + (m_header.IsEnabled() ? float(FHeader::kHeight) : 0.0f);
}

float TabulonDocument::BottomReserve() const {
    if (m_footer.IsEnabled() && m_bottomMargin < m_footer.RealHeight())
        return m_footer.RealHeight();
    return m_bottomMargin;
}

float TabulonDocument::UsableHeight() const {
    return m_pageHeight - ContentTop() - BottomReserve();
}

void TabulonDocument::startPage() {
    m_x = m_leftMargin;
    m_y = m_topMargin;
}

qint16 TabulonDocument::CountPages() {
    m_currentTable = -1;
    m_currentRecord = -1;
    m_pageStarts.clear();
    QList<PageStart> starts;
    qint32 pages = 0;
    for (;;) {
        starts.append({m_currentTable, m_currentRecord});
        startPage();
        float available = UsableHeight();
        if (pages == 0)
            available -= m_headerBlockHeight;
        if (++pages > std::numeric_limits<qint16>::max())
            throw LayoutError(QStringLiteral("The document has more than 32767 pages"));
        if (layoutTables(available, nullptr))
            break;
    }
    m_totalPages = qint16(pages);
    m_pageStarts = std::move(starts);
    return m_totalPages;
}

void TabulonDocument::ReproducePage(qint16 n, PageDevice& canvas, PageDevice& target) {
    if (n < 1 || n > m_pageStarts.size())
        throw LayoutError(
            QStringLiteral("Page %1 is not one of the %2 counted pages of the document")
                .arg(n)
                .arg(m_pageStarts.size()));
    const PageStart& start = m_pageStarts.at(n - 1);
    m_currentTable = start.table;
    m_currentRecord = start.record;
    ComposePage(n, canvas, target);
}

void TabulonDocument::ComposePage(qint16 page, PageDevice& canvas, PageDevice& target) {
    canvas.Clear();
    startPage();
    if (m_header.IsEnabled()) {
        if (m_header.HasPicture()) {
            const QRect box = m_header.PictureBox();
            target.DrawPicture(m_header.Picture(), toPixels(m_x + box.left(), m_y + box.top(),
                                                            box.width(), box.height(), target));
        }
        m_y += FHeader::kHeight;
    }

    float available = UsableHeight();
    if (page == 1) {
        if (m_headerDoc) {
            for (m_headerDoc->moveFirst(); !m_headerDoc->atEnd(); m_headerDoc->moveNext()) {
                const CellRecord c = CellRecord::FromRow(*m_headerDoc);
                DrawCell(c, c.Text, target);
            }
        }
        m_y += m_headerBlockHeight;
        available -= m_headerBlockHeight;
    }

    layoutTables(available, &target);

    if (m_footer.IsEnabled()) {
        m_x = 0;
        m_y = m_pageHeight - m_footer.RealHeight();
        QString text = QString::number(page) + u'/' + QString::number(m_totalPages);
        if (m_pageText)
            m_pageText(text, page, m_totalPages);
        m_footer.setCurrentPageText(text);
        for (FNotePiePagina::ElementId id : FNotePiePagina::DrawOrder()) {
            if (!m_footer.element(id).Visible)
                continue;
            const CellRecord c = m_footer.ElementCell(id);
            DrawCell(c, c.Text, target);
        }
    }
}

bool TabulonDocument::layoutTables(float available, PageDevice* target) {
    float& A = available;
    const float pageRoom = UsableHeight();
    qint32 t = m_currentTable == -1 ? 1 : m_currentTable;
    bool firstOnPage = true;

    for (;; ++t) {
        if (t > m_tables.size()) {
            m_currentTable = qint16(std::min<qint32>(t, std::numeric_limits<qint16>::max()));
            return true;
        }
        const qint16 hT = m_rows.HeightRowTitleTable();
        const qint16 hC = m_rows.HeightRowTitleColumn();
        const qint16 hD = m_rows.HeightRowData();
        const qint16 mc = m_rows.MultiColumns();

        // A table that cannot start even on an empty page would leave empty pages without
        // end: it is placed on that page anyway, with at least one row of records.
        bool forced = false;
        if (A - float(qint32(hT) + hC + hD) < 0) {
            if (!(firstOnPage && A >= pageRoom)) {
                m_currentRecord = -1;
                m_currentTable = qint16(t);
                return false;
            }
            forced = true;
        }
        firstOnPage = false;

        RowSet& rs = *m_tables.at(t - 1);
        const qint32 count = rs.recordCount();
        if (count < 2)
            throw LayoutError(QStringLiteral("Table %1 has no column title row (it holds %2 rows)")
                                  .arg(t)
                                  .arg(count));

        // Caption row.
        rs.setAbsolutePosition(1);
        CellRecord caption = style(QStringLiteral("CaptionTableStyle"));
        caption.Width = m_rows.WidthRow();
        if (target) {
            QString text = rs.textValue(columnField(1));
            if (m_currentRecord != -1)
                text += LanguageText(m_language, kContinuationText);
            DrawCell(caption, text, *target);
        }
        A -= hT;
        m_y += hT;

        // Column titles, repeated in every group.
        rs.setAbsolutePosition(2);
        m_rows.setColumns(rs.int16Value(QStringLiteral("nColumn")));
        for (qint16 g = 1; g <= mc; ++g) {
            for (qint16 c = 1; c <= m_rows.Columns(); ++c) {
                CellRecord title = style(QStringLiteral("Col%1TitleStyle").arg(c));
                title.Left = m_rows.LeftPosCell(c, g);
                title.Width = m_rows.WidthCell(c);
                if (target)
                    DrawCell(title, rs.textValue(columnField(c)), *target);
            }
        }
        A -= hC;
        m_y += hC;

        if (m_currentRecord == -1)
            m_currentRecord = 3;
        const qint32 s = m_currentRecord;

        const qint32 remaining = count - s + 1;
        const qint32 needed = remaining > 0 ? remaining / mc + (remaining % mc ? 1 : 0) : 0;
        qint32 r = needed;
        const qint32 room = roundEven(A);
        if (needed > 0 && hD > 0 && room / needed < hD)
            r = room / hD;
        r = std::max<qint32>(r, 0);
        if (forced && needed > 0)
            r = std::max<qint32>(r, 1);

        const qint32 rowStep = m_progressMode == dpmVertical ? 1 : mc;
        const qint32 groupStep = m_progressMode == dpmVertical ? r : 1;
        for (qint32 k = 0; k < r; ++k) {
            rs.setAbsolutePosition(s + k * rowStep);
            for (qint16 g = 1; g <= mc; ++g) {
                const bool pastEnd = rs.atEnd();
                m_rows.setColumns(pastEnd ? 1 : rs.int16Value(QStringLiteral("nColumn")));
                for (qint16 c = 1; c <= m_rows.Columns(); ++c) {
                    CellRecord data = style(QStringLiteral("Col%1DataStyle").arg(c));
                    data.Left = m_rows.LeftPosCell(c, g);
                    data.Width = m_rows.WidthCell(c);
                    if (target)
                        DrawCell(data, pastEnd ? QString() : rs.textValue(columnField(c)), *target);
                }
                if (g != mc && !rs.atEnd())
                    rs.move(groupStep);
            }
            A -= hD;
            m_y += hD;
        }

        // Closing line under the last row, across the whole table.
        CellRecord line = style(QStringLiteral("CaptionTableStyle"));
        line.Width = m_rows.WidthRow();
        line.DrawBox = CellRecord::BoxTop;
        if (target)
            DrawCell(line, QString(), *target);

        if (r > 0 && !rs.atEnd() && rs.absolutePosition() != count) {
            m_currentRecord += mc * r;
            m_currentTable = qint16(t);
            return false;
        }

        // One empty data row between tables.
        A -= hD;
        m_y += hD;
        m_currentRecord = -1;
    }
}

QRect TabulonDocument::toPixels(float left, float top, float width, float height,
                                const PageDevice& d) const {
    const float xf = 1.0f / d.TwipsPerPixelX();
    const float yf = 1.0f / d.TwipsPerPixelY();
    const int l = roundEven(float(roundEven(left)) * xf);
    const int t = roundEven(float(roundEven(top)) * yf);
    const int r = roundEven(float(roundEven(left + width)) * xf);
    const int b = roundEven(float(roundEven(top + height)) * yf);
    return QRect(l, t, r - l, b - t);
}

void TabulonDocument::DrawCell(const CellRecord& record, const QString& text,
                               PageDevice& target) const {
    DeviceCell dc;
    dc.cell = record;
    const QString shown = ApplyMarkup(dc.cell, text);
    dc.cell.Text = shown;
    dc.rect =
        toPixels(m_x + dc.cell.Left, m_y + dc.cell.Top, dc.cell.Width, dc.cell.Height, target);
    dc.penWidth = dc.cell.LineWidth <= 0 ? 1 : dc.cell.LineWidth;
    if (!shown.isEmpty() && dc.cell.Tag != CellRecord::kFrameTag) {
        dc.text = shown;
        dc.fontPixelHeight = roundEven(double(dc.cell.FontSize) * target.PixelsPerInchY() / 72.0);
        dc.fontWeight = dc.cell.FontBold ? 700 : 300;
        const int pad = roundEven(96.0f * (1.0f / target.TwipsPerPixelX()));
        dc.paddedRect =
            QRect(dc.rect.left() + pad, dc.rect.top(), dc.rect.width() - 2 * pad, dc.rect.height());
    } else {
        dc.paddedRect = dc.rect;
    }
    target.DrawCell(dc);
}

}  // namespace grevlon
