#pragma once

#include <QPageSize>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include "tabulon/TabulonTypes.h"

class QPdfWriter;
class QPrinter;

namespace grevlon {

// Name of the printer that writes PDF files. It is always installed, so a system
// without any print queue still has a printer.
GREVLON_EXPORT QString PdfPrinterName();
// Installed printers: the print system's queues (CUPS), then the PDF printer.
GREVLON_EXPORT QStringList InstalledPrinters();
// The print system's default queue, or the PDF printer when it has none.
GREVLON_EXPORT QString DefaultPrinterName();

// Paper size codes (1..41 named sizes, 256 user-defined) and Qt page sizes.
inline constexpr qint16 kPaperUserDefined = 256;
// The page size of a named code; an invalid QPageSize for 256 and unknown codes.
GREVLON_EXPORT QPageSize PageSizeOfCode(qint16 code);
// The code of a page size: its named code, or 256 for any other size.
GREVLON_EXPORT qint16 CodeOfPageSize(const QPageSize& size);
// The paper a printer starts with (A4 for the PDF printer and for sizes without a code).
GREVLON_EXPORT qint16 DefaultPaperOf(const QString& printerName);
// Whether `printerName` takes paper `code` (the PDF printer takes every named size).
GREVLON_EXPORT bool PrinterSupportsPaper(const QString& printerName, qint16 code);

// The program's current printer: the one pages are laid out for and printed on.
struct GREVLON_EXPORT PrinterSettings {
    QString DeviceName;
    qint16 PaperSize = 9;
    // 1 portrait, 2 landscape.
    qint16 Orientation = 1;
    bool PrintToFile = false;
    // The file written by the PDF printer or when printing to a file.
    QString OutputFileName;
};

// Process-wide; starts as the default printer with its default paper, portrait.
GREVLON_EXPORT PrinterSettings& CurrentPrinter();
// The page of `s` in twips, width and height swapped in landscape (A4 when the paper is
// not a named size).
GREVLON_EXPORT QSizeF PageTwips(const PrinterSettings& s);
// Sets `printer` up for `s`: the queue or PDF output, paper, orientation, and full-page
// coordinates (origin at the paper's corner).
GREVLON_EXPORT void ConfigurePrinter(QPrinter& printer, const PrinterSettings& s);
// The same paper, orientation and full page on a PDF writer, at QPrinter's high resolution.
GREVLON_EXPORT void ConfigurePdfWriter(QPdfWriter& writer, const PrinterSettings& s);
// The printer name a configured QPrinter stands for (the PDF printer for PDF output).
GREVLON_EXPORT QString DeviceNameOf(const QPrinter& printer);

}  // namespace grevlon
