#include <gtest/gtest.h>

#include "LayoutFixtures.h"
#include "tabulon/CDataRowManager.h"
#include "tabulon/CellRecord.h"
#include "tabulon/FNotePiePagina.h"

using namespace grevlon;

namespace {

struct Markup {
    const char* text;
    const char* shown;
    qint16 size;
    bool bold;
    qint16 alignment;
};

class CellMarkup : public ::testing::TestWithParam<Markup> {};

// The cell before markup: size 10, bold, right-aligned.
TEST_P(CellMarkup, ChangesTheCellAndCutsTheMarkup) {
    const Markup& m = GetParam();
    CellRecord c;
    c.FontSize = 10;
    c.FontBold = true;
    c.Alignment = CellRecord::AlignRight;
    EXPECT_EQ(ApplyMarkup(c, QString::fromUtf8(m.text)), QString::fromUtf8(m.shown));
    EXPECT_EQ(c.FontSize, m.size);
    EXPECT_EQ(c.FontBold, m.bold);
    EXPECT_EQ(c.Alignment, m.alignment);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CellMarkup,
    ::testing::Values(Markup{"#SB#System", "System", 10, true, 1},
                      Markup{"#SN#System", "System", 10, false, 1},
                      Markup{"#S#System", "System", 10, false, 1},
                      Markup{"#SBAC#Digital filter", "Digital filter", 10, true, 2},
                      Markup{"#AL#x", "x", 10, true, 0}, Markup{"#AX#x", "x", 10, true, 1},
                      Markup{"#F14#x", "x", 14, true, 1}, Markup{"#F8#x", "x", 8, true, 1},
                      Markup{"#Fxx#x", "x", 10, true, 1}, Markup{"#ACSNF12#x", "x", 12, false, 2},
                      Markup{"#SB#", "", 10, true, 1}, Markup{"##Plain", "Plain", 10, true, 1},
                      Markup{"No # markup #SN#", "No # markup #SN#", 10, true, 1},
                      Markup{"#SN no closing", "#SN no closing", 10, true, 1}));

TEST(CellRecord, ReadsEveryFieldByNameAndNeedsThemAll) {
    CellRecord c;
    c.Top = 1;
    c.Left = 2;
    c.Width = 3;
    c.Height = 4;
    c.Tag = 70000;
    c.FontSize = 9;
    c.FontBold = true;
    c.FontCharSet = 1;
    c.FontName = QStringLiteral("Arial");
    c.Multiline = true;
    c.Alignment = 2;
    c.LineWidth = 3;
    c.DrawBox = 5;
    c.Text = QStringLiteral("t");
    auto rs = test::headerBlock({c});
    rs->moveFirst();
    EXPECT_EQ(CellRecord::FromRow(*rs), c);

    RowSet partial(test::cellFields().mid(0, 13));  // no Text
    partial.addRow({0, 0, 0, 0, 0, 0, false, 0, QString(), false, 0, 0, 0});
    EXPECT_THROW(CellRecord::FromRow(partial), RowSetError);
}

struct Geometry {
    qint16 widthRow, groups, columns;
    qint16 column, group;
    qint16 left, width;
};

class RowGeometry : public ::testing::TestWithParam<Geometry> {};

TEST_P(RowGeometry, PlacesColumnsInGroups) {
    const Geometry& g = GetParam();
    CDataRowManager m;
    m.setWidthRow(g.widthRow);
    m.setMultiColumns(g.groups);
    m.setColumns(g.columns);
    EXPECT_EQ(m.LeftPosCell(g.column, g.group), g.left);
    EXPECT_EQ(m.WidthCell(g.column), g.width);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RowGeometry,
    ::testing::Values(Geometry{10692, 1, 2, 1, 1, 0, 5346}, Geometry{10692, 1, 2, 2, 1, 5346, 5346},
                      Geometry{10692, 2, 1, 1, 1, 0, 5322}, Geometry{10692, 2, 1, 1, 2, 5370, 5322},
                      Geometry{10692, 2, 2, 2, 2, 5370 + 2661, 2661},
                      Geometry{1000, 1, 3, 2, 1, 333, 333}, Geometry{1000, 1, 3, 3, 1, 666, 334},
                      // 16-bit division truncates toward zero
                      Geometry{-100, 1, 3, 3, 1, -66, -34}));

TEST(CDataRowManager, DefaultsAndRefusedArguments) {
    CDataRowManager m;
    EXPECT_EQ(m.HeightRowTitleTable(), 255);
    EXPECT_EQ(m.HeightRowTitleColumn(), 255);
    EXPECT_EQ(m.HeightRowData(), 255);
    EXPECT_EQ(m.WidthRow(), 11916);
    EXPECT_EQ(m.MultiColumns(), 1);
    EXPECT_EQ(m.Columns(), 1);

    m.setColumns(2);
    m.setMultiColumns(2);
    EXPECT_THROW(m.LeftPosCell(3, 1), LayoutError);
    EXPECT_THROW(m.LeftPosCell(1, 3), LayoutError);
    EXPECT_THROW(m.LeftPosCell(0, 1), LayoutError);
    EXPECT_THROW(m.WidthCell(0), LayoutError);
    EXPECT_THROW(m.setMultiColumns(0), LayoutError);

    // Group 700 of 700 lies far beyond 32767 twips: an error, not a wrapped position.
    m.setMultiColumns(700);
    m.setColumns(1);
    m.setWidthRow(32000);
    EXPECT_THROW(m.LeftPosCell(1, 700), LayoutError);
}

struct Footer {
    bool pageNumber, note;
    const char* note1;
    const char* note2;
    bool enabled;
    qint16 height;
};

class FooterBand : public ::testing::TestWithParam<Footer> {};

TEST_P(FooterBand, RealHeightAndPresence) {
    const Footer& f = GetParam();
    FNotePiePagina band;
    band.setEnablePageNumber(f.pageNumber);
    band.setEnableNote(f.note);
    band.setNotePiePagina1(QString::fromLatin1(f.note1));
    band.setNotePiePagina2(QString::fromLatin1(f.note2));
    EXPECT_EQ(band.IsEnabled(), f.enabled);
    EXPECT_EQ(band.RealHeight(), f.height);
}

INSTANTIATE_TEST_SUITE_P(Table, FooterBand,
                         ::testing::Values(Footer{true, true, "n1", "", true, 2460},
                                           Footer{false, true, "n1", "", true, 1893},
                                           Footer{true, true, "", "n2", true, 1326},
                                           Footer{true, false, "n1", "", true, 1326},
                                           Footer{false, true, "", "n2", false, 759},
                                           Footer{false, false, "n1", "n2", false, 759}));

TEST(FNotePiePagina, NoteSwitchCoversBothLinesAndTheRule) {
    FNotePiePagina band;
    EXPECT_EQ(band.HeightOriginale(), 2460);
    EXPECT_EQ(band.HeightNotePiePagina(), 1134);
    EXPECT_EQ(band.HeightNumerazionePagine(), 567);
    EXPECT_EQ(band.TotalTextBox(), 4);
    band.setEnableNote(true);
    for (auto id : {FNotePiePagina::txtNota0, FNotePiePagina::txtNota1, FNotePiePagina::lblLine})
        EXPECT_TRUE(band.element(id).Visible);
    EXPECT_FALSE(band.element(FNotePiePagina::txtPageNumber).Visible);
    band.setEnableNote(false);
    EXPECT_FALSE(band.element(FNotePiePagina::lblLine).Visible);

    const CellRecord line = band.ElementCell(FNotePiePagina::lblLine);
    EXPECT_EQ(line.DrawBox, CellRecord::BoxTop);
    EXPECT_EQ(line.LineWidth, 2);
    const CellRecord number = band.ElementCell(FNotePiePagina::txtPageNumber);
    EXPECT_EQ(number.FontSize, 10);
    EXPECT_EQ(number.Alignment, CellRecord::AlignCentre);
    EXPECT_EQ(number.FontName, QStringLiteral("Times New Roman"));
    EXPECT_EQ(number.FontCharSet, 1);
    EXPECT_FALSE(number.FontBold);
}

}  // namespace
