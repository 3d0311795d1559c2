#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>
#include <memory>

#include "tabulon/Printers.h"
#include "tabulon/TabulonDocument.h"

class QPagedPaintDevice;
class QPainter;
class QPdfWriter;
class QPrinter;

namespace voltaris {
class SafeFile;
}

namespace grevlon {

// Twips per pixel and pixels per inch of the screen the preview canvas stands for
// (96 dpi, 15 twips per pixel, when there is no screen).
GREVLON_EXPORT float ScreenTwipsPerPixel();
GREVLON_EXPORT int ScreenPixelsPerInch();

// A white canvas for a page of `pageTwips` at the screen's scale.
GREVLON_EXPORT QImage MakeCanvas(const QSizeF& pageTwips);

// The settings that print on the PDF file `path` with the paper and orientation of `paper`
// (its device name is not used).
GREVLON_EXPORT PrinterSettings PdfSettings(const PrinterSettings& paper, const QString& path);

// Sizes `doc` for the page of `s` and counts its pages (TabulonDocument::CountPages).
GREVLON_EXPORT qint16 LayOutForPrinter(TabulonDocument& doc, const PrinterSettings& s);

// A print job of a laid-out document on `printer`, one page at a time, each composed once
// from where the page count saw it start. The first page printed opens the job; a job that
// was not finished is abandoned when the object goes.
class GREVLON_EXPORT PageJob {
public:
    PageJob(TabulonDocument& doc, QPrinter& printer);
    // A job on the PDF file of `pdf` (PdfSettings): written in full by finish() or not at
    // all (voltaris::SafeFile), so a failed or abandoned job leaves the old file as it was.
    PageJob(TabulonDocument& doc, const PrinterSettings& pdf);
    ~PageJob();
    PageJob(const PageJob&) = delete;
    PageJob& operator=(const PageJob&) = delete;

    // Prints page `page` on a sheet of its own; TabulonError when the printer or the file
    // cannot be opened or refuses a sheet, LayoutError for a page outside the count.
    void printPage(qint16 page);
    // Ends the job (nothing to do when no page was printed); TabulonError when it fails,
    // IoError naming the PDF file when it cannot be written.
    void finish();
    // Abandons an open job; true when one was open (a printer's file may hold part of the
    // pages; a PDF file of the second constructor is left as it was).
    bool abort();

private:
    TabulonDocument& m_doc;
    QPrinter* m_printer = nullptr;
    std::unique_ptr<voltaris::SafeFile> m_file;
    std::unique_ptr<QPdfWriter> m_pdf;
    QPagedPaintDevice* m_device = nullptr;
    std::unique_ptr<QPainter> m_painter;
};

// Prints pages `from`..`to` of `doc` on `printer` (a PageJob). The job is opened only
// when there is a page to print, so an empty range prints nothing and succeeds. The page
// count must be current (TabulonDocument::CountPages). On failure the job is abandoned,
// `error` (when given) receives the reason and the result is false.
GREVLON_EXPORT bool PrintPages(TabulonDocument& doc, QPrinter& printer, qint16 from, qint16 to,
                               QString* error = nullptr);

// Prints the whole of `doc` to the PDF file `path` with the paper and orientation of
// `paper` (its device name is not used), without any dialog. Lays the document out for
// that page first. False with `error` when the document cannot be laid out or the file
// cannot be written. Needs a QGuiApplication (QT_QPA_PLATFORM=offscreen serves).
GREVLON_EXPORT bool PrintToPdf(TabulonDocument& doc, const QString& path,
                               const PrinterSettings& paper, QString* error = nullptr);

}  // namespace grevlon
