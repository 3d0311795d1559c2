#include "tabulon/PrintJob.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <cmath>
#include <memory>

namespace grevlon {

int ScreenPixelsPerInch() {
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    const int dpi = screen ? int(std::lround(screen->logicalDotsPerInchY())) : 96;
    return dpi > 0 ? dpi : 96;
}

float ScreenTwipsPerPixel() {
    return 1440.0f / float(ScreenPixelsPerInch());
}

QImage MakeCanvas(const QSizeF& pageTwips) {
    const float tpp = ScreenTwipsPerPixel();
    const QSize px(std::max(1, int(std::lround(pageTwips.width() / tpp))),
                   std::max(1, int(std::lround(pageTwips.height() / tpp))));
    QImage canvas(px, QImage::Format_RGB32);
    const int dpm = int(std::lround(ScreenPixelsPerInch() / 0.0254));
    canvas.setDotsPerMeterX(dpm);
    canvas.setDotsPerMeterY(dpm);
    canvas.fill(Qt::white);
    return canvas;
}

bool PrintPages(TabulonDocument& doc, QPrinter& printer, QImage& canvas, qint16 from, qint16 to,
                QString* error) {
    std::unique_ptr<QPainter> job;
    try {
        QPainter canvasPainter(&canvas);
        const float tpp = ScreenTwipsPerPixel();
        PainterDevice canvasDevice(canvasPainter, tpp, tpp, ScreenPixelsPerInch(), true);
        for (qint32 page = from; page <= to; ++page) {
            if (!job) {
                job = std::make_unique<QPainter>();
                if (!job->begin(&printer))
                    throw TabulonError(printer.outputFileName().isEmpty()
                                           ? QStringLiteral("Cannot start printing on %1")
                                                 .arg(DeviceNameOf(printer))
                                           : QStringLiteral("Cannot write the file %1")
                                                 .arg(printer.outputFileName()));
            } else if (!printer.newPage()) {
                throw TabulonError(QStringLiteral("The printer refused a new sheet"));
            }
            const float ptpp = 1440.0f / float(printer.resolution());
            PainterDevice printerDevice(*job, ptpp, ptpp, printer.resolution(), false);
            doc.ReproducePage(qint16(page), canvasDevice, printerDevice);
        }
        if (job && !job->end())
            throw TabulonError(QStringLiteral("The print job could not be finished"));
        return true;
    } catch (const std::exception& e) {
        if (job && job->isActive()) {
            printer.abort();
            job->end();
        }
        if (error) {
            const auto* ve = dynamic_cast<const voltaris::VoltarisError*>(&e);
            *error = ve ? ve->message() : QString::fromLocal8Bit(e.what());
        }
        return false;
    }
}

bool PrintToPdf(TabulonDocument& doc, const QString& path, const PrinterSettings& paper,
                QString* error) {
    PrinterSettings s = paper;
    s.DeviceName = PdfPrinterName();
    s.OutputFileName = path;
    s.PrintToFile = false;
    try {
        const QSizeF page = PageTwips(s);
        doc.setPageSize(float(page.width()), float(page.height()));
        const qint16 count = doc.CountPages();
        QPrinter printer(QPrinter::HighResolution);
        ConfigurePrinter(printer, s);
        QImage canvas = MakeCanvas(page);
        return PrintPages(doc, printer, canvas, 1, count, error);
    } catch (const voltaris::VoltarisError& e) {
        if (error)
            *error = e.message();
        return false;
    }
}

}  // namespace grevlon
