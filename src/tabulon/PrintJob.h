#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>

#include "tabulon/Printers.h"
#include "tabulon/TabulonDocument.h"

class QPrinter;

namespace grevlon {

// Twips per pixel and pixels per inch of the screen the preview canvas stands for
// (96 dpi, 15 twips per pixel, when there is no screen).
GREVLON_EXPORT float ScreenTwipsPerPixel();
GREVLON_EXPORT int ScreenPixelsPerInch();

// A white canvas for a page of `pageTwips` at the screen's scale.
GREVLON_EXPORT QImage MakeCanvas(const QSizeF& pageTwips);

// Prints pages `from`..`to` of `doc` on `printer`, each composed once from where the page
// count saw it start (`canvas` is only cleared). The job is opened only
// when there is a page to print, so an empty range prints nothing and succeeds. The page
// count must be current (TabulonDocument::CountPages). On failure the job is abandoned,
// `error` (when given) receives the reason and the result is false.
GREVLON_EXPORT bool PrintPages(TabulonDocument& doc, QPrinter& printer, QImage& canvas, qint16 from,
                               qint16 to, QString* error = nullptr);

// Prints the whole of `doc` to the PDF file `path` with the paper and orientation of
// `paper` (its device name is not used), without any dialog. Lays the document out for
// that page first. False with `error` when the document cannot be laid out or the file
// cannot be written. Needs a QGuiApplication (QT_QPA_PLATFORM=offscreen serves).
GREVLON_EXPORT bool PrintToPdf(TabulonDocument& doc, const QString& path,
                               const PrinterSettings& paper, QString* error = nullptr);

}  // namespace grevlon
