// Prints documents of 10, 25, 50 and 200 A4 pages to PDF and reports the time taken beside
// one layout pass (count the pages, compose each once on the preview canvas) and their
// ratio, and the layout alone (the same pass on a device that draws nothing): what printing
// costs beyond the layout is the PDF writer's. Each page is composed once from where the
// count saw it start, so printing grows with the pages, not with their square.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "tabulon/PrintJob.h"
#include "tabulon/TabulonDocument.h"

using namespace grevlon;

namespace {

QStringList cellFields() {
    return {"Top",       "Left",      "Width",       "Height",   "Tag",
            "FontSize",  "FontBold",  "FontCharSet", "FontName", "Multiline",
            "Alignment", "LineWidth", "DrawBox",     "Text"};
}

std::shared_ptr<RowSet> styles() {
    auto rs = std::make_shared<RowSet>(QStringList{"Key"} + cellFields());
    auto add = [&rs](const QString& key, int height, bool bold) {
        rs->addRow(
            {key, 0, 0, 0, height, 0, 10, bold, 1, "Times New Roman", false, 0, 1, 15, QString()});
    };
    add("CaptionTableStyle", 300, true);
    for (int c = 1; c <= 3; ++c) {
        add(QStringLiteral("Col%1TitleStyle").arg(c), 250, true);
        add(QStringLiteral("Col%1DataStyle").arg(c), 200, false);
    }
    return rs;
}

std::shared_ptr<RowSet> readings(int records) {
    auto rs = std::make_shared<RowSet>(QStringList{"nColumn", "Column1", "Column2", "Column3"});
    rs->addRow({1, "Readings"});
    rs->addRow({3, "Variable", "Value", "Unit"});
    for (int i = 1; i <= records; ++i)
        rs->addRow({3, QStringLiteral("Variable %1").arg(i), QString::number(i * 0.25), "V"});
    return rs;
}

void setUp(TabulonDocument& doc, int records) {
    doc.setTopMargin(10);
    doc.setLeftMargin(10);
    doc.setBottomMargin(10);
    doc.Footer().setEnablePageNumber(true);
    doc.NewDoc(std::make_shared<RowSet>(cellFields()), styles());
    doc.AddTable(readings(records));
}

// Takes the cells and draws nothing: the cost of the layout alone.
class NullDevice : public PageDevice {
public:
    float TwipsPerPixelX() const override { return 15; }
    float TwipsPerPixelY() const override { return 15; }
    int PixelsPerInchY() const override { return 96; }
    void Clear() override {}
    void DrawCell(const DeviceCell&) override {}
    void DrawPicture(const QImage&, const QRect&) override {}
};

// Counts the pages and composes each once on `device`; the time taken in milliseconds.
double onePass(TabulonDocument& doc, PageDevice& device) {
    QElapsedTimer t;
    t.start();
    const qint16 count = doc.CountPages();
    for (qint16 p = 1; p <= count; ++p)
        doc.ReproducePage(p, device, device);
    return double(t.nsecsElapsed()) / 1e6;
}

// The number of records that fill exactly `pages` A4 pages.
int recordsFor(int pages, const QSizeF& page) {
    int records = pages * 60;
    for (;;) {
        TabulonDocument doc;
        setUp(doc, records);
        doc.setPageSize(float(page.width()), float(page.height()));
        const int n = doc.CountPages();
        if (n == pages)
            return records;
        records += n < pages ? 10 : -10;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const PrinterSettings a4{PdfPrinterName(), 9, 1, false, QString()};
    const QSizeF page = PageTwips(a4);

    // A first small print loads the fonts, so the figures below measure printing only.
    {
        TabulonDocument doc;
        setUp(doc, 10);
        if (!PrintToPdf(doc, dir.filePath(QStringLiteral("warm.pdf")), a4))
            return 1;
    }

    std::printf("%6s %8s %10s %12s %12s %8s %10s\n", "pages", "records", "print_ms", "ms_per_page",
                "one_pass_ms", "ratio", "layout_ms");
    for (int pages : {10, 25, 50, 200}) {
        const int records = recordsFor(pages, page);

        TabulonDocument doc;
        setUp(doc, records);
        QElapsedTimer t;
        t.start();
        QString error;
        if (!PrintToPdf(doc, dir.filePath(QStringLiteral("bench.pdf")), a4, &error)) {
            std::fprintf(stderr, "printing failed: %s\n", qPrintable(error));
            return 1;
        }
        const double printMs = double(t.nsecsElapsed()) / 1e6;

        // One layout pass on the canvas.
        QImage canvas = MakeCanvas(page);
        QPainter painter(&canvas);
        const float tpp = ScreenTwipsPerPixel();
        PainterDevice device(painter, tpp, tpp, ScreenPixelsPerInch(), true);
        const double passMs = onePass(doc, device);
        NullDevice nothing;
        const double layoutMs = onePass(doc, nothing);

        std::printf("%6d %8d %10.1f %12.2f %12.1f %8.2f %10.1f\n", pages, records, printMs,
                    printMs / pages, passMs, printMs / passMs, layoutMs);
    }
    return 0;
}
