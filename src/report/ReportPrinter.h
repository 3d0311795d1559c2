#pragma once

#include <QString>

#include "base/Engine.h"
#include "model/COption.h"
#include "tabulon/Printers.h"

namespace voltaris {

class Archive;

// The configuration report from the archive to paper: the rows of configuration `id`, the
// document, the print options with the header picture, then the pages on the selected
// printer or in a PDF file. The desktop's Print and `voltaris report` both run it.
//
// An Engine: it prints one page per turn of the caller's event loop, emitting
// progress(page, 0, pages) and ending at the next page after cancel(). A failure (a model
// not in the catalogue, a picture that cannot be loaded, a printer or file that refuses)
// is reported as a message, whose text errorText() keeps. A job that does not finish
// leaves no partial PDF file behind.
class ReportPrinter : public Engine {
    Q_OBJECT
public:
    ReportPrinter(Archive& archive, Clock& clock, QObject* parent = nullptr);
    ~ReportPrinter() override;

    void setConfiguration(qint32 id) { m_id = id; }
    void setOptions(const COption& options) { m_options.SetData(options); }
    // Writes the PDF file `path` on A4 portrait; empty prints on grevlon::CurrentPrinter().
    void setPdfFile(const QString& path) { m_pdfFile = path; }
    QString pdfFile() const { return m_pdfFile; }
    // The pages to print, cut to the document's; all of them by default.
    void setPageRange(qint16 from, qint16 to);

    // The pages of the laid-out document (0 until it is laid out) and of the range printed.
    qint16 pageCount() const { return m_pageCount; }
    qint16 pagesPrinted() const { return m_pagesPrinted; }
    // Why the last run failed; empty when it did not.
    QString errorText() const { return m_errorText; }

    // The A4 portrait PDF printer writing `path`.
    static grevlon::PrinterSettings PdfPrinter(const QString& path);

protected:
    Task<EngineOutcome::Status> run() override;

private:
    void fail(const QString& text);

    Archive& m_archive;
    qint32 m_id = 0;
    COption m_options;
    QString m_pdfFile;
    qint16 m_from = 1;
    qint16 m_to = 32767;
    qint16 m_pageCount = 0;
    qint16 m_pagesPrinted = 0;
    QString m_errorText;
};

}  // namespace voltaris
