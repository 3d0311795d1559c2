#include "tabulon/PrintJob.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QScreen>
#include <cmath>
#include <memory>

#include "base/SafeFile.h"

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

PrinterSettings PdfSettings(const PrinterSettings& paper, const QString& path) {
    PrinterSettings s = paper;
    s.DeviceName = PdfPrinterName();
    s.OutputFileName = path;
    s.PrintToFile = false;
    return s;
}

qint16 LayOutForPrinter(TabulonDocument& doc, const PrinterSettings& s) {
    const QSizeF page = PageTwips(s);
    doc.setPageSize(float(page.width()), float(page.height()));
    return doc.CountPages();
}

PageJob::PageJob(TabulonDocument& doc, QPrinter& printer)
    : m_doc(doc), m_printer(&printer), m_device(&printer) {}

PageJob::PageJob(TabulonDocument& doc, const PrinterSettings& pdf)
    : m_doc(doc), m_file(std::make_unique<voltaris::SafeFile>(pdf.OutputFileName)) {
    // QPdfWriter writes through a device of ours: QPrinter's own file ignores write errors.
    m_pdf = std::make_unique<QPdfWriter>(m_file.get());
    ConfigurePdfWriter(*m_pdf, pdf);
    m_device = m_pdf.get();
}

PageJob::~PageJob() {
    abort();
}

void PageJob::printPage(qint16 page) {
    if (!m_painter) {
        // QPdfWriter expects its device open.
        const bool opened = !m_file || m_file->open(QIODevice::WriteOnly);
        auto painter = std::make_unique<QPainter>();
        if (!opened || !painter->begin(m_device)) {
            if (m_file)
                throw TabulonError(QStringLiteral("Cannot write the file %1: %2")
                                       .arg(m_file->fileName(), m_file->errorString()));
            throw TabulonError(
                m_printer->outputFileName().isEmpty()
                    ? QStringLiteral("Cannot start printing on %1").arg(DeviceNameOf(*m_printer))
                    : QStringLiteral("Cannot write the file %1").arg(m_printer->outputFileName()));
        }
        m_painter = std::move(painter);
    } else if (!m_device->newPage()) {
        throw TabulonError(QStringLiteral("The printer refused a new sheet"));
    }
    const int dpi = m_device->logicalDpiY();
    const float tpp = 1440.0f / float(dpi);
    // A printer sheet cannot be wiped, so the printer is its own canvas.
    PainterDevice device(*m_painter, tpp, tpp, dpi, false);
    m_doc.ReproducePage(page, device, device);
}

void PageJob::finish() {
    if (!m_painter)
        return;
    const bool ended = m_painter->end();
    m_painter.reset();
    if (!ended)
        throw TabulonError(QStringLiteral("The print job could not be finished"));
    if (m_file)
        m_file->commit();
}

bool PageJob::abort() {
    if (!m_painter)
        return false;
    if (m_painter->isActive()) {
        if (m_printer)
            m_printer->abort();
        m_painter->end();
    }
    m_painter.reset();
    return true;
}

namespace {

bool PrintJobPages(PageJob& job, qint16 from, qint16 to, QString* error) {
    try {
        for (qint32 page = from; page <= to; ++page)
            job.printPage(qint16(page));
        job.finish();
        return true;
    } catch (const std::exception& e) {
        job.abort();
        if (error) {
            const auto* ve = dynamic_cast<const voltaris::VoltarisError*>(&e);
            *error = ve ? ve->message() : QString::fromLocal8Bit(e.what());
        }
        return false;
    }
}

}  // namespace

bool PrintPages(TabulonDocument& doc, QPrinter& printer, qint16 from, qint16 to, QString* error) {
    PageJob job(doc, printer);
    return PrintJobPages(job, from, to, error);
}

bool PrintToPdf(TabulonDocument& doc, const QString& path, const PrinterSettings& paper,
                QString* error) {
    const PrinterSettings s = PdfSettings(paper, path);
    try {
        const qint16 count = LayOutForPrinter(doc, s);
        PageJob job(doc, s);
        return PrintJobPages(job, 1, count, error);
    } catch (const voltaris::VoltarisError& e) {
        if (error)
            *error = e.message();
        return false;
    }
}

}  // namespace grevlon
