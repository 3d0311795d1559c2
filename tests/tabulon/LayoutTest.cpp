#include <gtest/gtest.h>

#include <QImage>

#include "LayoutFixtures.h"
#include "TestSupport.h"
#include "tabulon/TabulonDocument.h"

using namespace grevlon;
using grevlon::test::drawPage;
using grevlon::test::headerBlock;
using grevlon::test::numberedRows;
using grevlon::test::RecordingDevice;
using grevlon::test::styleSet;
using grevlon::test::table;

namespace {

const QString kTitle = QStringLiteral("Name");

// Caption 300, titles 250, data 200 twips; margins 0; no bands. A page of 4650 twips
// leaves room for exactly 20 data rows under the caption and the titles.
class Layout : public ::testing::Test {
protected:
    void SetUp() override {
        doc.setPageSize(12000, 4650);
        doc.NewDoc(headerBlock({}), styleSet(3));
    }
    QList<QStringList> dataRows(qint16 page) { return drawPage(doc, page).rowsOfHeight(200); }

    TabulonDocument doc;
};

TEST_F(Layout, NewDocTakesHeightAndWidthFromFrameRows) {
    EXPECT_EQ(doc.HeaderBlockHeight(), 0);
    EXPECT_EQ(doc.RowManager().WidthRow(), 11916);  // no frame row: unchanged
    EXPECT_EQ(doc.RowManager().HeightRowTitleTable(), 300);
    EXPECT_EQ(doc.RowManager().HeightRowTitleColumn(), 250);
    EXPECT_EQ(doc.RowManager().HeightRowData(), 200);

    CellRecord plain;
    plain.Height = 999;
    plain.Width = 5000;
    CellRecord frame1;
    frame1.Tag = 1;
    frame1.Height = 500;
    frame1.Width = 10692;
    CellRecord frame2 = frame1;
    frame2.Height = 700;
    frame2.Width = 10000;
    doc.NewDoc(headerBlock({plain, frame1, frame2}), styleSet(1));
    EXPECT_EQ(doc.HeaderBlockHeight(), 1200);
    EXPECT_EQ(doc.RowManager().WidthRow(), 10000);
}

TEST_F(Layout, MissingStyleStopsWithAnError) {
    auto styles = styleSet(1);
    styles->setAbsolutePosition(3);  // Col1DataStyle
    styles->setValue(QStringLiteral("Key"), QStringLiteral("Other"));
    EXPECT_THROW(doc.NewDoc(headerBlock({}), styles), LayoutError);

    doc.NewDoc(headerBlock({}), styleSet(2));
    doc.AddTable(table(QStringLiteral("T"),
                       {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")},
                       {{QStringLiteral("1")}}));
    try {
        doc.CountPages();
        FAIL() << "a third column without a style was laid out";
    } catch (const LayoutError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Col3TitleStyle"))) << e.what();
    }
}

TEST_F(Layout, FiveRecordsInTwoGroups) {
    doc.setPageSize(12000, 16000);
    doc.RowManager().setMultiColumns(2);
    doc.AddTable(table(QStringLiteral("T"), {kTitle}, numberedRows(5)));

    const QString e;
    EXPECT_EQ(dataRows(1), (QList<QStringList>{{"R1", "R4"}, {"R2", "R5"}, {"R3", e}}));

    doc.setDataProgressMode(dpmHorizontal);
    const RecordingDevice page = drawPage(doc, 1);
    EXPECT_EQ(page.rowsOfHeight(200), (QList<QStringList>{{"R1", "R2"}, {"R3", "R4"}, {"R5", e}}));

    // The empty cell is a box in the first data style across the second group.
    const DeviceCell& empty = page.cells.at(page.cells.size() - 2);
    EXPECT_TRUE(empty.text.isEmpty());
    EXPECT_EQ(empty.cell.DrawBox, 15);
    EXPECT_EQ(empty.cell.Left, 5934 + 48);
    EXPECT_EQ(empty.cell.Width, 5934);
}

TEST_F(Layout, HundredRecordsInTwoGroupsOfTwentyRows) {
    doc.RowManager().setMultiColumns(2);
    doc.AddTable(table(QStringLiteral("T"), {kTitle}, numberedRows(100)));
    EXPECT_EQ(doc.CountPages(), 3);

    auto expected = [](int first, int rows, int step) {
        QList<QStringList> out;
        for (int k = 0; k < rows; ++k)
            out.append({QStringLiteral("R%1").arg(first + k),
                        QStringLiteral("R%1").arg(first + k + step)});
        return out;
    };
    EXPECT_EQ(dataRows(1), expected(1, 20, 20));
    // The cursor after page 1 points at record 41 (row 43 of the set).
    RecordingDevice canvas, target;
    doc.CountPages();
    doc.ReproducePage(1, canvas, target);
    EXPECT_EQ(doc.CurrentRecord(), 43);
    EXPECT_EQ(dataRows(2), expected(41, 20, 20));
    EXPECT_EQ(dataRows(3), expected(81, 10, 10));
}

TEST_F(Layout, ContinuedTableRepeatsCaptionWithContinuationTextAndTitles) {
    doc.setLanguage(lEng);
    doc.AddTable(table(QStringLiteral("Measures"), {kTitle}, numberedRows(30)));
    ASSERT_EQ(doc.CountPages(), 2);

    const RecordingDevice first = drawPage(doc, 1);
    EXPECT_NE(first.find(QStringLiteral("Measures")), nullptr);
    const RecordingDevice second = drawPage(doc, 2);
    const DeviceCell* caption = second.find(QStringLiteral("Measures (following...)"));
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->rect.top(), 0);
    EXPECT_NE(second.find(kTitle), nullptr);
    EXPECT_EQ(second.rowsOfHeight(200).first(), QStringList{"R21"});
    EXPECT_EQ(second.rowsOfHeight(200).size(), 10);

    doc.setLanguage(lIta);
    EXPECT_NE(drawPage(doc, 2).find(QStringLiteral("Measures (continua...)")), nullptr);
}

TEST_F(Layout, TableThatDoesNotFitStartsOnTheNextPage) {
    doc.AddTable(table(QStringLiteral("First"), {kTitle}, numberedRows(18)));
    doc.AddTable(table(QStringLiteral("Second"), {kTitle}, numberedRows(2)));
    ASSERT_EQ(doc.CountPages(), 2);
    EXPECT_EQ(drawPage(doc, 1).find(QStringLiteral("Second")), nullptr);
    const RecordingDevice second = drawPage(doc, 2);
    const DeviceCell* caption = second.find(QStringLiteral("Second"));
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->rect.top(), 0);
}

TEST_F(Layout, TablesOnOnePageAreSeparatedByOneDataRow) {
    doc.AddTable(table(QStringLiteral("First"), {kTitle}, numberedRows(2)));
    doc.AddTable(table(QStringLiteral("Second"), {kTitle}, numberedRows(2)));
    const RecordingDevice page = drawPage(doc, 1);
    // First: caption 0, titles 300, rows 550 and 750, closing line at 950.
    const DeviceCell* closing = nullptr;
    for (const DeviceCell& c : page.cells)
        if (c.cell.DrawBox == CellRecord::BoxTop && !closing)
            closing = &c;
    ASSERT_NE(closing, nullptr);
    EXPECT_EQ(closing->rect.top(), 63);  // 950 / 15
    EXPECT_EQ(closing->rect.width(), 794);
    EXPECT_TRUE(closing->text.isEmpty());
    EXPECT_EQ(page.find(QStringLiteral("Second"))->rect.top(), 77);  // (950 + 200) / 15
}

TEST_F(Layout, OneCellRowSpansItsGroup) {
    doc.RowManager().setMultiColumns(2);
    doc.AddTable(table(QStringLiteral("T"),
                       {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")},
                       {{QStringLiteral("#SBAC#Section")},
                        {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}}));
    const RecordingDevice page = drawPage(doc, 1);
    const DeviceCell* section = page.find(QStringLiteral("Section"));
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->cell.Width, 5934);
    EXPECT_EQ(section->rect.width(), 396);
    EXPECT_TRUE(section->cell.FontBold);
    EXPECT_EQ(section->cell.Alignment, CellRecord::AlignCentre);
    // Its visual row holds it and the three cells of the next record in group 2.
    EXPECT_EQ(page.rowsOfHeight(200).first(), (QStringList{"Section", "1", "2", "3"}));
    EXPECT_EQ(page.find(QStringLiteral("1"))->cell.Width, 1978);
}

TEST_F(Layout, HeaderBlockOnFirstPageOnlyAndFrameCellsDrawBordersOnly) {
    CellRecord text;
    text.Height = 400;
    text.Width = 3000;
    text.FontSize = 12;
    text.Text = QStringLiteral("#SB#Report");
    CellRecord frame;
    frame.Tag = 1;
    frame.Height = 600;
    frame.Width = 11916;
    frame.DrawBox = 15;
    frame.Text = QStringLiteral("never drawn");
    doc.NewDoc(headerBlock({text, frame}), styleSet(1));
    doc.AddTable(table(QStringLiteral("T"), {kTitle}, numberedRows(30)));
    ASSERT_EQ(doc.CountPages(), 2);

    const RecordingDevice first = drawPage(doc, 1);
    ASSERT_GE(first.cells.size(), 2);
    EXPECT_EQ(first.cells.at(0).text, QStringLiteral("Report"));
    EXPECT_EQ(first.cells.at(0).fontWeight, 700);
    EXPECT_TRUE(first.cells.at(1).text.isEmpty());
    EXPECT_EQ(first.cells.at(1).cell.DrawBox, 15);
    EXPECT_EQ(first.find(QStringLiteral("T"))->rect.top(), 40);  // 600 / 15
    // 4650 - 600 leaves 17 rows on page 1.
    EXPECT_EQ(first.rowsOfHeight(200).size(), 17);
    const RecordingDevice second = drawPage(doc, 2);
    EXPECT_EQ(second.find(QStringLiteral("Report")), nullptr);
    EXPECT_EQ(second.rowsOfHeight(200).first(), QStringList{"R18"});
}

TEST_F(Layout, TableTallerThanAnEmptyPageIsPlacedAnyway) {
    doc.setPageSize(12000, 600);  // less than caption + titles + one row
    doc.AddTable(table(QStringLiteral("T"), {kTitle}, numberedRows(3)));
    doc.AddTable(table(QStringLiteral("U"), {kTitle}, numberedRows(1)));
    ASSERT_EQ(doc.CountPages(), 4);
    QStringList shown;
    for (qint16 p = 1; p <= 4; ++p)
        for (const QStringList& row : dataRows(p))
            shown += row;
    EXPECT_EQ(shown, (QStringList{"R1", "R2", "R3", "R1"}));
}

TEST_F(Layout, TableWithoutDataRowsAndDocumentWithoutTables) {
    EXPECT_EQ(doc.CountPages(), 1);
    doc.AddTable(table(QStringLiteral("Empty"), {kTitle}, {}));
    EXPECT_EQ(doc.CountPages(), 1);
    const RecordingDevice page = drawPage(doc, 1);
    EXPECT_NE(page.find(kTitle), nullptr);
    EXPECT_TRUE(page.rowsOfHeight(200).isEmpty());

    auto noTitles = std::make_shared<RowSet>(QStringList{"nColumn", "Column1"});
    noTitles->addRow({1, QStringLiteral("caption only")});
    doc.AddTable(noTitles);
    EXPECT_THROW(doc.CountPages(), LayoutError);
}

TEST_F(Layout, CellGeometryOnTheDevice) {
    doc.setLeftMargin(10);
    doc.setTopMargin(10);
    doc.setPageSize(12000, 16838);
    doc.AddTable(table(QStringLiteral("T"), {kTitle}, numberedRows(1)));
    const RecordingDevice page = drawPage(doc, 1);
    const DeviceCell* caption = page.find(QStringLiteral("T"));
    ASSERT_NE(caption, nullptr);
    // 566.86 + 0 -> 567 twips -> 37.8 px -> 38; 566.86 + 11916 -> 12483 -> 832.2 -> 832.
    EXPECT_EQ(caption->rect, QRect(38, 38, 832 - 38, 58 - 38));
    EXPECT_EQ(caption->paddedRect, QRect(44, 38, 832 - 38 - 12, 20));
    EXPECT_EQ(caption->fontPixelHeight, 13);  // 10 pt at 96 dpi
    EXPECT_EQ(caption->fontWeight, 700);
    EXPECT_EQ(page.find(kTitle)->fontWeight, 300);

    RecordingDevice printer(1.2f, 1200);
    CellRecord c;
    c.Width = 1440;
    c.Height = 720;
    c.FontSize = 10;
    c.LineWidth = 0;
    c.DrawBox = 3;
    doc.DrawCell(c, QStringLiteral("x"), printer);
    const DeviceCell& d = printer.cells.first();
    EXPECT_EQ(d.fontPixelHeight, 167);
    EXPECT_EQ(d.penWidth, 1);
    EXPECT_EQ(d.paddedRect.width(), 1200 - 160);
}

TEST_F(Layout, MarginsReadBackInMillimetres) {
    doc.setTopMargin(10);
    doc.setBottomMargin(25.4f);
    EXPECT_FLOAT_EQ(doc.TopMargin(), 10.0f);
    EXPECT_FLOAT_EQ(doc.TopMarginTwips(), 566.86f);
    EXPECT_FLOAT_EQ(doc.BottomMargin(), 25.4f);
}

class Footer : public Layout {
protected:
    void SetUp() override {
        Layout::SetUp();
        doc.setPageSize(12000, 16838);
        doc.AddTable(table(QStringLiteral("T"), {kTitle}, numberedRows(1)));
    }
    const DeviceCell* cellOf(const RecordingDevice& d, const QString& text) { return d.find(text); }
};

TEST_F(Footer, ElementsAgainstThePhysicalBottomInOrder) {
    doc.setLeftMargin(20);
    doc.Footer().setEnablePageNumber(true);
    doc.Footer().setEnableNote(true);
    doc.Footer().setNotePiePagina1(QStringLiteral("Note one"));
    doc.Footer().setNotePiePagina2(QStringLiteral("#SB#Note two"));
    const RecordingDevice page = drawPage(doc, 1);
    const QList<DeviceCell> last = page.cells.mid(page.cells.size() - 4);
    QStringList order;
    for (const DeviceCell& c : last)
        order.append(c.cell.Text);
    EXPECT_EQ(order, (QStringList{"Note one", "Note two", "", "1/1"}));
    EXPECT_TRUE(last.at(1).cell.FontBold);  // markup applies to the footer too
    const DeviceCell& number = last.at(3);
    EXPECT_EQ(number.rect.topLeft(), QPoint(354, 966));  // (5306, 16838 - 2460 + 118) / 15
    EXPECT_EQ(last.at(2).cell.DrawBox, CellRecord::BoxTop);
    EXPECT_EQ(last.at(2).penWidth, 2);
    EXPECT_FLOAT_EQ(doc.BottomReserve(), 2460);
}

TEST_F(Footer, BandHeightFollowsWhatIsShown) {
    doc.Footer().setEnableNote(true);
    doc.Footer().setNotePiePagina1(QStringLiteral("Note one"));
    EXPECT_EQ(cellOf(drawPage(doc, 1), QStringLiteral("Note one"))->rect.top(), 1051);  // 1893

    doc.Footer().setEnableNote(false);
    doc.Footer().setEnablePageNumber(true);
    EXPECT_EQ(cellOf(drawPage(doc, 1), QStringLiteral("1/1"))->rect.top(), 1042);  // 1326

    doc.Footer().setEnablePageNumber(false);
    doc.Footer().setEnableNote(true);
    doc.Footer().setNotePiePagina1(QString());
    doc.Footer().setNotePiePagina2(QStringLiteral("Note two"));
    doc.setBottomMargin(5);
    EXPECT_EQ(cellOf(drawPage(doc, 1), QStringLiteral("Note two")), nullptr);
    EXPECT_FLOAT_EQ(doc.BottomReserve(), 5 * 56.686f);
}

TEST_F(Footer, HostSetsThePageTextOfEachComposedPage) {
    doc.Clear();
    doc.NewDoc(headerBlock({}), styleSet(1));
    doc.setPageSize(12000, 4650 + 1326);
    doc.Footer().setEnablePageNumber(true);
    doc.AddTable(table(QStringLiteral("T"), {kTitle}, numberedRows(50)));
    QList<QPair<qint16, qint16>> asked;
    doc.setPageTextHandler([&asked](QString& text, qint16 current, qint16 total) {
        asked.append({current, total});
        text = QStringLiteral("Page %1 of %2 [%3]").arg(current).arg(total).arg(text);
    });
    ASSERT_EQ(doc.CountPages(), 3);
    EXPECT_TRUE(asked.isEmpty());  // counting draws nothing

    // Page 3 is composed alone: the pages before it are neither drawn nor asked for.
    RecordingDevice canvas, target;
    doc.ReproducePage(3, canvas, target);
    EXPECT_EQ(asked, (QList<QPair<qint16, qint16>>{{3, 3}}));
    EXPECT_EQ(canvas.clears, 1);
    EXPECT_TRUE(canvas.cells.isEmpty());
    EXPECT_NE(target.find(QStringLiteral("Page 3 of 3 [3/3]")), nullptr);
    EXPECT_EQ(target.rowsOfHeight(200).first(), QStringList{"R41"});
}

TEST_F(Layout, ReproducingAPageNeedsACurrentCount) {
    doc.AddTable(table(QStringLiteral("T"), {kTitle}, numberedRows(30)));
    RecordingDevice canvas, target;
    EXPECT_THROW(doc.ReproducePage(1, canvas, target), LayoutError);  // never counted
    ASSERT_EQ(doc.CountPages(), 2);
    EXPECT_THROW(doc.ReproducePage(0, canvas, target), LayoutError);
    EXPECT_THROW(doc.ReproducePage(3, canvas, target), LayoutError);
    doc.AddTable(table(QStringLiteral("U"), {kTitle}, numberedRows(30)));
    EXPECT_THROW(doc.ReproducePage(2, canvas, target), LayoutError);
    ASSERT_EQ(doc.CountPages(), 4);
    doc.ReproducePage(4, canvas, target);
    // U: 6 rows under T's last 10 on page 2, 20 on page 3.
    EXPECT_EQ(target.rowsOfHeight(200).first(), QStringList{"R27"});
}

// Everything a device receives for one page, in order.
QStringList drawn(const RecordingDevice& d) {
    QStringList out;
    for (const DeviceCell& c : d.cells) {
        const auto r = [](const QRect& q) {
            return QStringLiteral("%1,%2 %3x%4")
                .arg(q.left())
                .arg(q.top())
                .arg(q.width())
                .arg(q.height());
        };
        out.append(QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
                       .arg(c.text, c.cell.Text, r(c.rect), r(c.paddedRect))
                       .arg(c.fontPixelHeight)
                       .arg(c.fontWeight)
                       .arg(c.penWidth)
                       .arg(c.cell.DrawBox)
                       .arg(c.cell.Alignment));
    }
    for (const QRect& p : d.pictures)
        out.append(QStringLiteral("picture %1,%2").arg(p.left()).arg(p.top()));
    return out;
}

struct PagingCase {
    qint16 multiColumns;
    eDataProgressMode mode;
    qint16 dataHeight;
};

class PageIdentity : public ::testing::TestWithParam<PagingCase> {};

// Any page composed on its own is what composing the document from page 1 onwards draws
// on that page: tables crossing page breaks, column groups, header block and both bands.
TEST_P(PageIdentity, EachPageAloneMatchesTheRunFromTheFirstPage) {
    const PagingCase pc = GetParam();
    voltaris::test::TempDir dir;
    QImage logo(150, 60, QImage::Format_RGB32);
    logo.setDotsPerMeterX(3780);
    logo.setDotsPerMeterY(3780);
    logo.fill(Qt::blue);
    ASSERT_TRUE(logo.save(dir.file(QStringLiteral("logo.png"))));

    TabulonDocument doc;
    doc.setPageSize(12000, 9000);
    doc.setTopMargin(5);
    doc.setBottomMargin(5);
    doc.setLanguage(lEng);
    doc.Header().setIsEnabled(true);
    doc.Header().setHeaderPath(dir.file(QStringLiteral("logo.png")));
    doc.Footer().setEnablePageNumber(true);
    doc.Footer().setEnableNote(true);
    doc.Footer().setNotePiePagina1(QStringLiteral("Note"));
    CellRecord frame;
    frame.Tag = 1;
    frame.Height = 500;
    frame.Width = 11000;
    CellRecord title;
    title.Height = 500;
    title.Width = 5000;
    title.Text = QStringLiteral("#SB#Title");
    doc.NewDoc(headerBlock({title, frame}), styleSet(2, 300, 250, pc.dataHeight));
    doc.RowManager().setMultiColumns(pc.multiColumns);
    doc.setDataProgressMode(pc.mode);
    const QStringList titles{QStringLiteral("Name"), QStringLiteral("Value")};
    for (int n : {7, 45, 1, 0, 120, 3, 60})
        doc.AddTable(table(QStringLiteral("Table %1").arg(n), titles, numberedRows(n, 2)));

    const qint16 pages = doc.CountPages();
    ASSERT_GE(pages, 4);

    // The reference: page 1, then each page from where the one before left the cursor.
    QList<QStringList> reference;
    RecordingDevice canvas;
    for (qint16 p = 1; p <= pages; ++p) {
        RecordingDevice target;
        if (p == 1)
            doc.ReproducePage(1, canvas, target);
        else
            doc.ComposePage(p, canvas, target);
        reference.append(drawn(target));
    }
    int continued = 0;
    for (const QStringList& page : reference)
        continued += int(page.filter(QStringLiteral("(following...)|")).size());
    ASSERT_GE(continued, 2) << "tables cross page breaks";

    for (qint16 p = pages; p >= 1; --p) {
        RecordingDevice alone;
        doc.ReproducePage(p, canvas, alone);
        EXPECT_EQ(drawn(alone), reference.at(p - 1)) << "page " << p << " of " << pages;
    }
}

INSTANTIATE_TEST_SUITE_P(Paging, PageIdentity,
                         ::testing::Values(PagingCase{1, dpmVertical, 200},
                                           PagingCase{2, dpmVertical, 200},
                                           PagingCase{3, dpmHorizontal, 200},
                                           PagingCase{2, dpmVertical, 3000}));

TEST_F(Layout, HeaderBandMovesTheContentAndDrawsItsPicture) {
    voltaris::test::TempDir dir;
    QImage img(150, 60, QImage::Format_RGB32);  // 2250 x 900 twips at 96 dpi
    img.setDotsPerMeterX(3780);
    img.setDotsPerMeterY(3780);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(dir.file(QStringLiteral("logo.png"))));
    doc.setPageSize(12000, 16838);
    doc.setTopMargin(10);
    doc.Header().setIsEnabled(true);
    doc.Header().setHeaderPath(dir.file(QStringLiteral("logo.png")));
    doc.AddTable(table(QStringLiteral("T"), {kTitle}, numberedRows(1)));
    EXPECT_FLOAT_EQ(doc.ContentTop(), 566.86f + 2268);

    const RecordingDevice page = drawPage(doc, 1);
    ASSERT_EQ(page.pictures.size(), 1);
    EXPECT_EQ(page.pictures.first(), QRect(0, 38, 150, 60));
    EXPECT_EQ(page.find(QStringLiteral("T"))->rect.top(), 189);  // (567 + 2268) / 15
}

TEST(FHeader, PictureRules) {
    voltaris::test::TempDir dir;
    QImage wide(700, 20, QImage::Format_RGB32);  // 10500 twips: wider than the band
    wide.setDotsPerMeterX(3780);
    wide.setDotsPerMeterY(3780);
    wide.fill(Qt::blue);
    ASSERT_TRUE(wide.save(dir.file(QStringLiteral("wide.png"))));
    FHeader band;
    band.setHeaderPath(dir.file(QStringLiteral("wide.png")));
    EXPECT_FALSE(band.HasPicture());
    EXPECT_EQ(band.HeaderPath(), dir.file(QStringLiteral("wide.png")));

    voltaris::test::writeFile(dir.file(QStringLiteral("bad.png")), "not a picture");
    EXPECT_THROW(band.setHeaderPath(dir.file(QStringLiteral("bad.png"))), voltaris::IoError);
    EXPECT_FALSE(band.HasPicture());
    try {
        band.setHeaderPath(dir.path());
        ADD_FAILURE() << "a folder was taken for a picture";
    } catch (const voltaris::IoError& e) {
        EXPECT_TRUE(e.message().endsWith(QStringLiteral("it is a folder")))
            << e.message().toStdString();
    }
    band.setHeaderPath(QString());
    EXPECT_FALSE(band.HasPicture());
}

}  // namespace
