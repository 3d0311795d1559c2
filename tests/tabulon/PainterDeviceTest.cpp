#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "tabulon/PageDevice.h"

using namespace grevlon;

namespace {

bool dark(const QImage& img, int x, int y) {
    return qGray(img.pixel(x, y)) < 128;
}

// Dark pixels of `img` outside `keep`.
int darkOutside(const QImage& img, const QRect& keep) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (!keep.contains(x, y) && dark(img, x, y))
                ++n;
    return n;
}

DeviceCell cell(const QString& text, bool multiline, qint16 drawBox) {
    DeviceCell c;
    c.cell.FontName = QStringLiteral("Times New Roman");
    c.cell.FontSize = 10;
    c.cell.Multiline = multiline;
    c.cell.DrawBox = drawBox;
    c.text = text;
    c.rect = QRect(20, 40, 100, 20);
    c.paddedRect = c.rect.adjusted(6, 0, -6, 0);
    c.fontPixelHeight = 13;
    c.fontWeight = 300;
    return c;
}

TEST(CenteredTextBand, CentresAndTruncatesTowardZero) {
    EXPECT_EQ(CenteredTextBand(QRect(0, 10, 50, 20), 13), QRect(0, 13, 50, 13));
    // Taller than the cell: extends above and below it, (20 - 45) / 2 = -12.
    EXPECT_EQ(CenteredTextBand(QRect(0, 10, 50, 20), 45), QRect(0, -2, 50, 45));
}

class Canvas : public ::testing::Test {
protected:
    void SetUp() override { img.fill(Qt::white); }
    void draw(const DeviceCell& c) {
        QPainter p(&img);
        PainterDevice dev(p, 15, 15, 96, true);
        dev.DrawCell(c);
    }
    QImage img{200, 200, QImage::Format_RGB32};
};

TEST_F(Canvas, BordersFollowTheirBits) {
    draw(cell(QString(), false, CellRecord::BoxTop | CellRecord::BoxLeft));
    EXPECT_TRUE(dark(img, 60, 40));    // top
    EXPECT_TRUE(dark(img, 20, 50));    // left
    EXPECT_FALSE(dark(img, 60, 60));   // bottom
    EXPECT_FALSE(dark(img, 120, 50));  // right
    img.fill(Qt::white);
    draw(cell(QString(), false, CellRecord::BoxRight | CellRecord::BoxBottom));
    EXPECT_TRUE(dark(img, 60, 60));
    EXPECT_TRUE(dark(img, 120, 50));
    EXPECT_FALSE(dark(img, 60, 40));
}

TEST_F(Canvas, SingleLineIsCutAtThePaddedEdges) {
    const DeviceCell c = cell(QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"), false, 0);
    draw(c);
    EXPECT_EQ(darkOutside(img, c.paddedRect), 0);
    EXPECT_GT(darkOutside(img, QRect()), 0);
}

TEST_F(Canvas, WrappedTextIsCentredOnTheCellAndFullyShown) {
    QImage probe(1, 1, QImage::Format_RGB32);
    QPainter pp(&probe);
    PainterDevice measure(pp, 15, 15, 96, false);
    const DeviceCell one = cell(QStringLiteral("word"), true, 0);
    const DeviceCell many =
        cell(QStringLiteral("word word word word word word word word"), true, 0);
    const int h1 = measure.TextHeight(one);
    const int h = measure.TextHeight(many);
    pp.end();
    EXPECT_GE(h, 3 * h1);

    draw(many);
    const QRect band = CenteredTextBand(many.paddedRect, h);
    EXPECT_LT(band.top(), many.rect.top());
    EXPECT_GT(band.bottom(), many.rect.bottom());
    EXPECT_EQ(darkOutside(img, band), 0);
    // Text above and below the cell itself.
    EXPECT_GT(darkOutside(img, QRect(0, 40, 200, 20)), 0);
}

TEST_F(Canvas, ClearWipesOnlyACanvas) {
    img.fill(Qt::black);
    {
        QPainter p(&img);
        PainterDevice printer(p, 15, 15, 96, false);
        printer.Clear();
    }
    EXPECT_TRUE(dark(img, 5, 5));
    {
        QPainter p(&img);
        PainterDevice canvas(p, 15, 15, 96, true);
        canvas.Clear();
    }
    EXPECT_FALSE(dark(img, 5, 5));
}

}  // namespace
