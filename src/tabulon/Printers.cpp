#include "tabulon/Printers.h"

#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>
#include <iterator>

namespace grevlon {

QString PdfPrinterName() {
    return QStringLiteral("PDF");
}

QStringList InstalledPrinters() {
    QStringList names = QPrinterInfo::availablePrinterNames();
    names.removeAll(PdfPrinterName());
    names.append(PdfPrinterName());
    return names;
}

QString DefaultPrinterName() {
    const QString name = QPrinterInfo::defaultPrinterName();
    return name.isEmpty() ? PdfPrinterName() : name;
}

namespace {

struct PaperDimensions {
    double width;
    double height;
    QPageSize::Unit unit;
};

// Portrait dimensions of the named paper codes 1..41, for the sizes Qt has no id for.
const PaperDimensions kPapers[] = {
    {8.5, 11, QPageSize::Inch},        {8.5, 11, QPageSize::Inch},
    {11, 17, QPageSize::Inch},         {17, 11, QPageSize::Inch},
    {8.5, 14, QPageSize::Inch},        {5.5, 8.5, QPageSize::Inch},
    {7.25, 10.5, QPageSize::Inch},     {297, 420, QPageSize::Millimeter},
    {210, 297, QPageSize::Millimeter}, {210, 297, QPageSize::Millimeter},
    {148, 210, QPageSize::Millimeter}, {250, 354, QPageSize::Millimeter},
    {182, 257, QPageSize::Millimeter}, {8.5, 13, QPageSize::Inch},
    {215, 275, QPageSize::Millimeter}, {10, 14, QPageSize::Inch},
    {11, 17, QPageSize::Inch},         {8.5, 11, QPageSize::Inch},
    {3.875, 8.875, QPageSize::Inch},   {4.125, 9.5, QPageSize::Inch},
    {4.5, 10.375, QPageSize::Inch},    {4.5, 11, QPageSize::Inch},
    {5, 11.5, QPageSize::Inch},        {17, 22, QPageSize::Inch},
    {22, 34, QPageSize::Inch},         {34, 44, QPageSize::Inch},
    {110, 220, QPageSize::Millimeter}, {162, 229, QPageSize::Millimeter},
    {324, 458, QPageSize::Millimeter}, {229, 324, QPageSize::Millimeter},
    {114, 162, QPageSize::Millimeter}, {114, 229, QPageSize::Millimeter},
    {250, 353, QPageSize::Millimeter}, {176, 250, QPageSize::Millimeter},
    {176, 125, QPageSize::Millimeter}, {110, 230, QPageSize::Millimeter},
    {3.875, 7.5, QPageSize::Inch},     {3.625, 6.5, QPageSize::Inch},
    {14.875, 11, QPageSize::Inch},     {8.5, 12, QPageSize::Inch},
    {8.5, 13, QPageSize::Inch},
};
constexpr qint16 kNamedPapers = qint16(std::size(kPapers));

}  // namespace

QPageSize PageSizeOfCode(qint16 code) {
    if (code < 1 || code > kNamedPapers)
        return QPageSize();
    const QPageSize::PageSizeId id = QPageSize::id(int(code));
    if (id != QPageSize::Custom)
        return QPageSize(id);
    const PaperDimensions& d = kPapers[code - 1];
    return QPageSize(QSizeF(d.width, d.height), d.unit, QString(), QPageSize::ExactMatch);
}

qint16 CodeOfPageSize(const QPageSize& size) {
    if (!size.isValid())
        return kPaperUserDefined;
    if (size.id() != QPageSize::Custom) {
        const int code = QPageSize::windowsId(size.id());
        if (code >= 1 && code <= kNamedPapers)
            return qint16(code);
    }
    const QSizeF mm = size.size(QPageSize::Millimeter);
    for (qint16 code = 1; code <= kNamedPapers; ++code) {
        const QSizeF named = PageSizeOfCode(code).size(QPageSize::Millimeter);
        if (std::abs(named.width() - mm.width()) < 0.5 &&
            std::abs(named.height() - mm.height()) < 0.5)
            return code;
    }
    return kPaperUserDefined;
}

qint16 DefaultPaperOf(const QString& printerName) {
    if (printerName != PdfPrinterName()) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
        if (!info.isNull()) {
            const qint16 code = CodeOfPageSize(info.defaultPageSize());
            if (code != kPaperUserDefined)
                return code;
        }
    }
    return 9;
}

bool PrinterSupportsPaper(const QString& printerName, qint16 code) {
    const QPageSize size = PageSizeOfCode(code);
    if (!size.isValid())
        return false;
    if (printerName == PdfPrinterName())
        return true;
    const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
    if (info.isNull())
        return false;
    for (const QPageSize& s : info.supportedPageSizes())
        if (s.id() == size.id())
            return true;
    return false;
}

PrinterSettings& CurrentPrinter() {
    static PrinterSettings* current = [] {
        auto* s = new PrinterSettings;
        s->DeviceName = DefaultPrinterName();
        s->PaperSize = DefaultPaperOf(s->DeviceName);
        return s;
    }();
    return *current;
}

QSizeF PageTwips(const PrinterSettings& s) {
    QPageSize size = PageSizeOfCode(s.PaperSize);
    if (!size.isValid())
        size = QPageSize(QPageSize::A4);
    const QSizeF mm = size.size(QPageSize::Millimeter);
    const QSizeF twips(mm.width() * 1440.0 / 25.4, mm.height() * 1440.0 / 25.4);
    return s.Orientation == 2 ? twips.transposed() : twips;
}

namespace {

// The paper of `s` (A4 for an unknown code) in its orientation, without margins.
QPageLayout FullPageLayout(const PrinterSettings& s) {
    const QPageSize size = PageSizeOfCode(s.PaperSize);
    QPageLayout layout(size.isValid() ? size : QPageSize(QPageSize::A4),
                       s.Orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF());
    layout.setMode(QPageLayout::FullPageMode);
    return layout;
}

}  // namespace

void ConfigurePrinter(QPrinter& printer, const PrinterSettings& s) {
    if (s.DeviceName == PdfPrinterName() || QPrinterInfo::printerInfo(s.DeviceName).isNull()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(s.OutputFileName);
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(s.DeviceName);
        printer.setOutputFileName(s.PrintToFile ? s.OutputFileName : QString());
    }
    const QPageLayout layout = FullPageLayout(s);
    printer.setPageSize(layout.pageSize());
    printer.setPageOrientation(layout.orientation());
    printer.setFullPage(true);
}

void ConfigurePdfWriter(QPdfWriter& writer, const PrinterSettings& s) {
    // The resolution of QPrinter::HighResolution on PDF, so both draw the same pages.
    writer.setResolution(1200);
    writer.setPageLayout(FullPageLayout(s));
}

QString DeviceNameOf(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat &&
        (printer.printerName().isEmpty() ||
         QPrinterInfo::printerInfo(printer.printerName()).isNull()))
        return PdfPrinterName();
    return printer.printerName();
}

}  // namespace grevlon
