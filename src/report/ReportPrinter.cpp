#include "report/ReportPrinter.h"

#include <QFile>
#include <QPrinter>
#include <algorithm>
#include <memory>

#include "base/Clock.h"
#include "base/Errors.h"
#include "report/ConfigurationReport.h"
#include "tabulon/PrintJob.h"
#include "tabulon/TabulonDocument.h"

namespace voltaris {

namespace {

// Suspends the operation until the next turn of the clock, so a window keeps repainting and
// taking Cancel between pages.
class NextTurn {
public:
    explicit NextTurn(Clock& clock) : m_clock(clock) {}
    ~NextTurn() { m_token.drop(); }
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> h) {
        m_token = ResumeToken(h);
        m_clock.callLater(0, m_token.resumer());
    }
    void await_resume() noexcept {}

private:
    Clock& m_clock;
    ResumeToken m_token;
};

// The print job: on the PDF file, which is written in full or not at all, or on the printer,
// whose print-to-file output an abandoned job removes.
struct ReportJob {
    ReportJob(grevlon::TabulonDocument& doc, const grevlon::PrinterSettings& settings, bool pdf) {
        if (pdf) {
            job = std::make_unique<grevlon::PageJob>(doc, settings);
            return;
        }
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        grevlon::ConfigurePrinter(*printer, settings);
        job = std::make_unique<grevlon::PageJob>(doc, *printer);
        file = settings.OutputFileName;
    }
    ~ReportJob() {
        if (job->abort() && !file.isEmpty())
            QFile::remove(file);
    }
    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<grevlon::PageJob> job;
    QString file;
};

}  // namespace

ReportPrinter::ReportPrinter(Archive& archive, Clock& clock, QObject* parent)
    : Engine(clock, parent), m_archive(archive) {}

ReportPrinter::~ReportPrinter() {
    abandon();
}

void ReportPrinter::setPageRange(qint16 from, qint16 to) {
    m_from = from;
    m_to = to;
}

grevlon::PrinterSettings ReportPrinter::PdfPrinter(const QString& path) {
    return grevlon::PdfSettings({QString(), 9, 1, false, QString()}, path);
}

void ReportPrinter::fail(const QString& text) {
    m_errorText = text;
    report(0, text, 0);
}

Task<EngineOutcome::Status> ReportPrinter::run() {
    m_pageCount = 0;
    m_pagesPrinted = 0;
    m_errorText.clear();
    const grevlon::PrinterSettings printerSettings =
        m_pdfFile.isEmpty() ? grevlon::CurrentPrinter() : PdfPrinter(m_pdfFile);

    grevlon::TabulonDocument doc;
    try {
        ConfigurationReport report;
        try {
            report = BuildConfigurationReport(m_archive, m_id);
        } catch (const AssertFailed&) {
            // The check has shown its text; say what it means for the report.
            fail(
                QStringLiteral("No report for configuration %1: its instrument model is not in the "
                               "catalogue.")
                    .arg(m_id));
            co_return EngineOutcome::Failed;
        }
        SetupReportDocument(doc);
        ApplyPrintOptions(m_options, doc);
        if (doc.Header().IsEnabled() && !m_options.HeaderPagePath().isEmpty() &&
            !doc.Header().HasPicture())
            emit message(0,
                         QStringLiteral("The picture %1 is larger than the header band "
                                        "(16.8 x 4 cm) and is left out.")
                             .arg(m_options.HeaderPagePath()),
                         0);
        LoadReport(report, doc);
        m_pageCount = grevlon::LayOutForPrinter(doc, printerSettings);
    } catch (const VoltarisError& e) {
        fail(e.message());
        co_return EngineOutcome::Failed;
    }

    ReportJob job(doc, printerSettings, !m_pdfFile.isEmpty());
    const qint16 first = std::max<qint16>(m_from, 1);
    const qint16 last = std::min(m_to, m_pageCount);
    const int total = std::max(0, last - first + 1);
    emit progress(0, 0, total);
    for (qint32 page = first; page <= last; ++page) {
        if (isCancelled())
            co_return EngineOutcome::Cancelled;
        try {
            job.job->printPage(qint16(page));
        } catch (const VoltarisError& e) {
            fail(e.message());
            co_return EngineOutcome::Failed;
        }
        ++m_pagesPrinted;
        emit progress(m_pagesPrinted, 0, total);
        co_await NextTurn(clock());
    }
    if (isCancelled())
        co_return EngineOutcome::Cancelled;
    try {
        job.job->finish();
    } catch (const VoltarisError& e) {
        fail(e.message());
        co_return EngineOutcome::Failed;
    }
    co_return EngineOutcome::Done;
}

}  // namespace voltaris
