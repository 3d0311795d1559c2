#pragma once

#include <QFrame>
#include <QImage>
#include <QList>
#include <QPair>
#include <QVariant>
#include <memory>
#include <optional>

#include "tabulon/TabulonDocument.h"

class QLabel;
class QPushButton;
class QScrollBar;

namespace grevlon {

// The table-printing control. The host sets it up once (ApplicationName, Language,
// margins, MultiColumns, ...), then for each document sets the bands, calls NewDoc with
// the header block and the style set, AddTable once per table, and StartPreviewDoc
// (showing the control) or StartPrintDoc. The control keeps the row sets until the next
// NewDoc. Lengths are twips inside, margins millimetres outside.
class GREVLON_EXPORT Tabulon : public QFrame {
    Q_OBJECT
public:
    explicit Tabulon(QWidget* parent = nullptr);
    ~Tabulon() override;

    void SetMargin(float Top, float Left, float Bottom, float Right);
    // Selects the remembered printer, lays the document out for its page and shows page 1.
    // False only when no printer is installed. Errors of the row sets propagate.
    bool StartPreviewDoc();
    // Prints the document (after the print dialog when ViewPrintDialog). True when the job
    // ran to its end; false when no printer is installed, the dialog was cancelled or
    // printing failed (LastPrintError tells why). Errors met while counting the pages
    // before the dialog propagate.
    bool StartPrintDoc();
    bool ShowPrintSetupDialog();
    // Selects the printer remembered under ApplicationName; false only without printers.
    bool GetDefaultPrinter();
    void NewDoc(std::shared_ptr<RowSet> rsHeaderDoc, std::shared_ptr<RowSet> rsGridStyle);
    void AddTable(std::shared_ptr<RowSet> rsDataTable);

    QString ApplicationName() const { return m_applicationName; }
    void setApplicationName(const QString& v) { m_applicationName = v; }
    QString HeaderPath() const { return m_doc.Header().HeaderPath(); }
    void setHeaderPath(const QString& v) { m_doc.Header().setHeaderPath(v); }
    void setNotePiePagina1(const QString& v) { m_doc.Footer().setNotePiePagina1(v); }
    void setNotePiePagina2(const QString& v) { m_doc.Footer().setNotePiePagina2(v); }
    bool EnableHeader() const { return m_doc.Header().IsEnabled(); }
    void setEnableHeader(bool v) { m_doc.Header().setIsEnabled(v); }
    bool EnableNote() const { return m_doc.Footer().EnableNote(); }
    void setEnableNote(bool v) { m_doc.Footer().setEnableNote(v); }
    bool EnablePageNumber() const { return m_doc.Footer().EnablePageNumber(); }
    void setEnablePageNumber(bool v) { m_doc.Footer().setEnablePageNumber(v); }
    // 0 flat, 1 three-dimensional; anything else throws TabulonError.
    qint16 Appearance() const { return m_appearance; }
    void setAppearance(qint16 v);
    eLanguage Language() const { return m_doc.Language(); }
    // Also reloads the four button tips.
    void setLanguage(eLanguage v);
    float TopMargin() const { return m_doc.TopMargin(); }
    float LeftMargin() const { return m_doc.LeftMargin(); }
    float BottomMargin() const { return m_doc.BottomMargin(); }
    float RightMargin() const { return m_doc.RightMargin(); }
    void setTopMargin(float mm) { m_doc.setTopMargin(mm); }
    void setLeftMargin(float mm) { m_doc.setLeftMargin(mm); }
    void setBottomMargin(float mm) { m_doc.setBottomMargin(mm); }
    void setRightMargin(float mm) { m_doc.setRightMargin(mm); }
    qint16 MultiColumns() const { return m_doc.RowManager().MultiColumns(); }
    void setMultiColumns(qint16 v) { m_doc.RowManager().setMultiColumns(v); }
    bool NotPrinterInSystem() const { return m_noPrinter; }
    bool ViewPrintDialog() const { return m_viewPrintDialog; }
    void setViewPrintDialog(bool v) { m_viewPrintDialog = v; }
    eDataProgressMode DataProgressMode() const { return m_doc.DataProgressMode(); }
    void setDataProgressMode(eDataProgressMode v) { m_doc.setDataProgressMode(v); }

    // When set, StartPrintDoc writes this PDF file, whatever printer is selected (paper and
    // orientation still come from the selected printer).
    QString OutputFileName() const { return m_outputFileName; }
    void setOutputFileName(const QString& path) { m_outputFileName = path; }
    // Why the last StartPrintDoc or page action failed; empty after a success.
    QString LastPrintError() const { return m_lastError; }

    // Design-time settings in the order they are loaded and saved.
    using PropertyBag = QList<QPair<QString, QVariant>>;
    // Applies each setting through its property, a missing one at its default.
    void ReadProperties(const QVariantMap& bag);
    // The settings that differ from their defaults, margins as single-precision values.
    PropertyBag WriteProperties() const;

    TabulonDocument& Document() { return m_doc; }
    const TabulonDocument& Document() const { return m_doc; }
    ePrintPreview OutputTarget() const { return m_target; }
    qint16 Zoom() const { return m_zoom; }
    qint16 CurrentPage() const { return m_currentPage; }
    qint16 TotalPages() const { return m_doc.TotalPages(); }
    // The full-size page canvas (pbFoglio).
    const QImage& Canvas() const { return m_canvas; }

public slots:
    // The page actions of the preview buttons and of a click on the page.
    void NextPage();
    void PreviousPage();
    void ToggleZoom();

signals:
    void PreviewClose();
    // Raised for every page drawn with the footer band on; connect directly: the text left
    // in `Text` is drawn as the page number.
    void GetTextNumerazionePagina(QString& Text, qint16 CurrentPage, qint16 TotalPage);
    // A page turn or the print button of the preview failed; the host reports the message.
    void ErrorMessage(const QString& message);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void sizeCanvas();
    void loadTips();
    void turnPage(int delta);
    void renderCurrentPage();
    void showPage(std::optional<qint16> zoom = std::nullopt);
    void layoutPreviewArea();
    int px(int twips) const;

    TabulonDocument m_doc;
    QString m_applicationName;
    QString m_outputFileName;
    QString m_lastError;
    bool m_noPrinter = false;
    bool m_viewPrintDialog = true;
    qint16 m_appearance = 1;
    ePrintPreview m_target = otPreview;
    qint16 m_zoom = 100;
    qint16 m_currentPage = 0;
    QImage m_canvas;

    QLabel* m_pbPreview;
    QWidget* m_VBar;
    QWidget* m_HBar;
    QPushButton* m_cbClose;
    QPushButton* m_cbPrint;
    QPushButton* m_cbPrevious;
    QPushButton* m_cbNext;
    QScrollBar* m_VScroll;
    QScrollBar* m_HScroll;
};

}  // namespace grevlon
