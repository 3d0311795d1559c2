#pragma once

#include <QList>
#include <functional>
#include <memory>

#include "tabulon/CDataRowManager.h"
#include "tabulon/CellRecord.h"
#include "tabulon/FHeader.h"
#include "tabulon/FNotePiePagina.h"
#include "tabulon/PageDevice.h"
#include "tabulon/RowSet.h"

namespace grevlon {

// A document of tables and the page layout that turns it into pages: the header band,
// the header block on page 1, tables broken across pages and column groups, the footer.
// It draws on any PageDevice, so the preview canvas, the printer and a test recorder
// all see the same cells. Lengths are twips unless a name says millimetres.
class GREVLON_EXPORT TabulonDocument {
public:
    // Raised for every page drawn with the footer band on, before the page number is
    // drawn; whatever is left in `text` is drawn.
    using PageTextHandler =
        std::function<void(QString& text, qint16 currentPage, qint16 totalPage)>;

    TabulonDocument();

    FHeader& Header() { return m_header; }
    const FHeader& Header() const { return m_header; }
    FNotePiePagina& Footer() { return m_footer; }
    const FNotePiePagina& Footer() const { return m_footer; }
    CDataRowManager& RowManager() { return m_rows; }
    const CDataRowManager& RowManager() const { return m_rows; }

    // Margins in millimetres, kept in twips (56.686 twips per millimetre both ways).
    float TopMargin() const { return m_topMargin / kTwipsPerMillimetre; }
    float LeftMargin() const { return m_leftMargin / kTwipsPerMillimetre; }
    float BottomMargin() const { return m_bottomMargin / kTwipsPerMillimetre; }
    float RightMargin() const { return m_rightMargin / kTwipsPerMillimetre; }
    void setTopMargin(float mm) { m_topMargin = mm * kTwipsPerMillimetre; }
    void setLeftMargin(float mm) { m_leftMargin = mm * kTwipsPerMillimetre; }
    void setBottomMargin(float mm) { m_bottomMargin = mm * kTwipsPerMillimetre; }
    void setRightMargin(float mm) { m_rightMargin = mm * kTwipsPerMillimetre; }
    float TopMarginTwips() const { return m_topMargin; }
    float LeftMarginTwips() const { return m_leftMargin; }
    float BottomMarginTwips() const { return m_bottomMargin; }
    // Kept and reported only: a table's width is WidthRow.
    float RightMarginTwips() const { return m_rightMargin; }

    eLanguage Language() const { return m_language; }
    // lIta..lFra; anything else throws TabulonError.
    void setLanguage(eLanguage v);
    eDataProgressMode DataProgressMode() const { return m_progressMode; }
    // dpmVertical or dpmHorizontal; anything else throws TabulonError.
    void setDataProgressMode(eDataProgressMode v);

    // The page (the selected printer's page), in twips.
    void setPageSize(float widthTwips, float heightTwips);
    float PageWidth() const { return m_pageWidth; }
    float PageHeight() const { return m_pageHeight; }

    void setPageTextHandler(PageTextHandler h) { m_pageText = std::move(h); }

    // Starts a new document: keeps both row sets, empties the table list, computes the
    // header block height and table width from the frame rows (Tag 1) and the three row
    // heights from the styles "CaptionTableStyle", "Col1TitleStyle", "Col1DataStyle".
    // A missing style or field throws; the document is then empty.
    void NewDoc(std::shared_ptr<RowSet> rsHeaderDoc, std::shared_ptr<RowSet> rsGridStyle);
    // Appends a table (row 1 caption, row 2 column titles, rows 3.. data).
    void AddTable(std::shared_ptr<RowSet> rsDataTable);
    // Drops every row set.
    void Clear();
    qint32 TableCount() const { return qint32(m_tables.size()); }

    qint16 HeaderBlockHeight() const { return m_headerBlockHeight; }

    // Per-page frame, recomputed for every page.
    float ContentTop() const;
    float BottomReserve() const;
    float UsableHeight() const;

    // Counts the pages of the document (at least 1) and keeps the count as TotalPages, with
    // where each page starts, so any page can then be composed without those before it.
    qint16 CountPages();
    qint16 TotalPages() const { return m_totalPages; }

    // Composes page `page` after clearing `canvas`, drawing on `target`. The pagination
    // cursor must stand where the previous page left it.
    void ComposePage(qint16 page, PageDevice& canvas, PageDevice& target);
    // Reproduces page `n` of the last CountPages on `target` (after clearing `canvas`),
    // starting from where that count saw the page start. A page outside 1..TotalPages, or
    // a document changed since the count (NewDoc, AddTable, Clear), throws LayoutError.
    void ReproducePage(qint16 n, PageDevice& canvas, PageDevice& target);

    // Pagination cursor: 1-based table, 1-based position of the next data record; -1 when
    // at the beginning / not started.
    qint16 CurrentTable() const { return m_currentTable; }
    qint32 CurrentRecord() const { return m_currentRecord; }
    float OriginX() const { return m_x; }
    float OriginY() const { return m_y; }

    // Reduces a cell to device terms and draws it at the current origin (markup applied).
    void DrawCell(const CellRecord& cell, const QString& text, PageDevice& target) const;

private:
    void startPage();
    bool layoutTables(float available, PageDevice* target);
    CellRecord style(const QString& key) const;
    QRect toPixels(float left, float top, float width, float height, const PageDevice& d) const;

    FHeader m_header;
    FNotePiePagina m_footer;
    CDataRowManager m_rows;
    float m_topMargin = 0;
    float m_leftMargin = 0;
    float m_bottomMargin = 0;
    float m_rightMargin = 0;
    eLanguage m_language = lIta;
    eDataProgressMode m_progressMode = dpmVertical;
    float m_pageWidth = 0;
    float m_pageHeight = 0;
    PageTextHandler m_pageText;

    std::shared_ptr<RowSet> m_headerDoc;
    std::shared_ptr<RowSet> m_gridStyle;
    QList<std::shared_ptr<RowSet>> m_tables;
    qint16 m_headerBlockHeight = 0;

    // The pagination cursor at the start of a page.
    struct PageStart {
        qint16 table;
        qint32 record;
    };

    qint16 m_totalPages = 0;
    QList<PageStart> m_pageStarts;
    qint16 m_currentTable = -1;
    qint32 m_currentRecord = -1;
    float m_x = 0;
    float m_y = 0;
};

}  // namespace grevlon
