#include "tabulon/Tabulon.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <cmath>

#include "tabulon/CPrintDlg.h"
#include "tabulon/PrintJob.h"
#include "tabulon/Printers.h"

namespace grevlon {

namespace {

// The hourglass while pages are composed.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QIcon closePicture() {
    QPixmap pm(12, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(2, 2, 9, 9);
    p.drawLine(9, 2, 2, 9);
    return QIcon(pm);
}

QIcon printPicture() {
    QPixmap pm(12, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(3, 0, 5, 4);
    p.setBrush(Qt::gray);
    p.drawRect(0, 4, 11, 5);
    p.setBrush(Qt::white);
    p.drawRect(3, 7, 5, 4);
    return QIcon(pm);
}

QString messageOf(const std::exception& e) {
    const auto* ve = dynamic_cast<const voltaris::VoltarisError*>(&e);
    return ve ? ve->message() : QString::fromLocal8Bit(e.what());
}

}  // namespace

Tabulon::Tabulon(QWidget* parent) : QFrame(parent) {
    m_noPrinter = InstalledPrinters().isEmpty();
    setAppearance(1);

    m_pbPreview = new QLabel(this);
    m_pbPreview->setObjectName(QStringLiteral("pbPreview"));
    m_pbPreview->setScaledContents(false);
    m_pbPreview->installEventFilter(this);
    m_pbPreview->hide();

    m_VBar = new QWidget(this);
    m_VBar->setObjectName(QStringLiteral("VBar"));
    m_HBar = new QWidget(this);
    m_HBar->setObjectName(QStringLiteral("HBar"));

    m_cbClose = new QPushButton(m_VBar);
    m_cbClose->setObjectName(QStringLiteral("cbClose"));
    m_cbClose->setIcon(closePicture());
    m_cbPrint = new QPushButton(m_VBar);
    m_cbPrint->setObjectName(QStringLiteral("cbPrint"));
    m_cbPrint->setIcon(printPicture());
    m_VScroll = new QScrollBar(Qt::Vertical, m_VBar);
    m_VScroll->setObjectName(QStringLiteral("VScroll"));

    m_cbPrevious = new QPushButton(QStringLiteral("<<"), m_HBar);
    m_cbPrevious->setObjectName(QStringLiteral("cbPrevious"));
    m_cbNext = new QPushButton(QStringLiteral(">>"), m_HBar);
    m_cbNext->setObjectName(QStringLiteral("cbNext"));
    m_HScroll = new QScrollBar(Qt::Horizontal, m_HBar);
    m_HScroll->setObjectName(QStringLiteral("HScroll"));
    m_cbPrevious->setEnabled(false);
    m_cbNext->setEnabled(false);
    m_HScroll->setEnabled(false);
    m_VScroll->setEnabled(false);

    connect(m_cbNext, &QPushButton::clicked, this, &Tabulon::NextPage);
    connect(m_cbPrevious, &QPushButton::clicked, this, &Tabulon::PreviousPage);
    connect(m_cbClose, &QPushButton::clicked, this, &Tabulon::PreviewClose);
    connect(m_cbPrint, &QPushButton::clicked, this, [this] {
        try {
            if (!StartPrintDoc() && !m_lastError.isEmpty())
                emit ErrorMessage(m_lastError);
        } catch (const std::exception& e) {
            m_lastError = messageOf(e);
            emit ErrorMessage(m_lastError);
        }
    });
    connect(m_HScroll, &QScrollBar::valueChanged, this,
            [this](int v) { m_pbPreview->move(v, m_pbPreview->y()); });
    connect(m_VScroll, &QScrollBar::valueChanged, this,
            [this](int v) { m_pbPreview->move(m_pbPreview->x(), v); });

    m_doc.setPageTextHandler([this](QString& text, qint16 current, qint16 total) {
        emit GetTextNumerazionePagina(text, current, total);
    });
    loadTips();
    layoutPreviewArea();
}

Tabulon::~Tabulon() = default;

int Tabulon::px(int twips) const {
    return int(std::lround(twips / ScreenTwipsPerPixel()));
}

void Tabulon::SetMargin(float Top, float Left, float Bottom, float Right) {
    m_doc.setTopMargin(Top);
    m_doc.setLeftMargin(Left);
    m_doc.setBottomMargin(Bottom);
    m_doc.setRightMargin(Right);
}

void Tabulon::setAppearance(qint16 v) {
    if (v != 0 && v != 1)
        throw TabulonError(QStringLiteral("Appearance %1 is not 0 (flat) or 1 (3D)").arg(v));
    m_appearance = v;
    setFrameStyle(v == 0 ? int(QFrame::NoFrame) : int(QFrame::StyledPanel | QFrame::Sunken));
}

void Tabulon::setLanguage(eLanguage v) {
    m_doc.setLanguage(v);
    loadTips();
}

void Tabulon::loadTips() {
    const eLanguage l = m_doc.Language();
    m_cbNext->setToolTip(LanguageText(l, kNextPageTip));
    m_cbPrevious->setToolTip(LanguageText(l, kPreviousPageTip));
    m_cbClose->setToolTip(LanguageText(l, kClosePreviewTip));
    m_cbPrint->setToolTip(LanguageText(l, kPrintTip));
}

void Tabulon::NewDoc(std::shared_ptr<RowSet> rsHeaderDoc, std::shared_ptr<RowSet> rsGridStyle) {
    m_doc.NewDoc(std::move(rsHeaderDoc), std::move(rsGridStyle));
}

void Tabulon::AddTable(std::shared_ptr<RowSet> rsDataTable) {
    m_doc.AddTable(std::move(rsDataTable));
}

bool Tabulon::GetDefaultPrinter() {
    if (m_noPrinter)
        return false;
    CPrintDlg dlg;
    dlg.setApplicationName(m_applicationName);
    return true;
}

bool Tabulon::ShowPrintSetupDialog() {
    if (m_noPrinter)
        return false;
    CPrintDlg dlg;
    dlg.setApplicationName(m_applicationName);
    return dlg.ShowPrintSetupDlg();
}

void Tabulon::sizeCanvas() {
    const QSizeF page = PageTwips(CurrentPrinter());
    m_doc.setPageSize(float(page.width()), float(page.height()));
    m_canvas = MakeCanvas(page);
}

bool Tabulon::StartPreviewDoc() {
    if (m_noPrinter)
        return false;
    GetDefaultPrinter();
    sizeCanvas();
    m_target = otPreview;
    {
        WaitCursor wait;
        m_doc.CountPages();
    }
    m_currentPage = 0;
    m_lastError.clear();
    turnPage(+1);
    return true;
}

void Tabulon::NextPage() {
    try {
        turnPage(+1);
    } catch (const std::exception& e) {
        m_lastError = messageOf(e);
        emit ErrorMessage(m_lastError);
    }
}

void Tabulon::PreviousPage() {
    try {
        turnPage(-1);
    } catch (const std::exception& e) {
        m_lastError = messageOf(e);
        emit ErrorMessage(m_lastError);
    }
}

void Tabulon::turnPage(int delta) {
    const int page = m_currentPage + delta;
    if (page < 1 || page > m_doc.TotalPages())
        return;
    WaitCursor wait;
    m_pbPreview->hide();
    m_currentPage = qint16(page);
    m_cbNext->setEnabled(m_currentPage != m_doc.TotalPages());
    m_cbPrevious->setEnabled(m_currentPage != 1);
    renderCurrentPage();
    showPage();
    m_pbPreview->show();
}

void Tabulon::renderCurrentPage() {
    QPainter painter(&m_canvas);
    const float tpp = ScreenTwipsPerPixel();
    PainterDevice canvas(painter, tpp, tpp, ScreenPixelsPerInch(), true);
    m_doc.ReproducePage(m_currentPage, canvas, canvas);
}

void Tabulon::ToggleZoom() {
    WaitCursor wait;
    showPage(m_zoom == 100 ? qint16(50) : qint16(100));
}

void Tabulon::showPage(std::optional<qint16> zoom) {
    const qint16 z = zoom.value_or(m_zoom);
    const QSize size(m_canvas.width() * z / 100, m_canvas.height() * z / 100);
    m_pbPreview->clear();
    m_pbPreview->resize(size);
    if (!m_canvas.isNull() && !size.isEmpty())
        m_pbPreview->setPixmap(QPixmap::fromImage(
            m_canvas.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    const bool sameZoom = zoom.has_value() && *zoom == m_zoom;
    m_zoom = z;
    if (!sameZoom)
        layoutPreviewArea();
}

void Tabulon::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    layoutPreviewArea();
}

bool Tabulon::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pbPreview && event->type() == QEvent::MouseButtonPress) {
        ToggleZoom();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void Tabulon::layoutPreviewArea() {
    const int w = width();
    const int h = height();
    const int vbarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int hbarHeight = vbarWidth;

    m_VBar->setGeometry(w - vbarWidth, 0, vbarWidth, h);
    m_HBar->setGeometry(0, h - hbarHeight, std::max(0, w - vbarWidth), hbarHeight);

    const int pbW = m_pbPreview->width();
    const int pbH = m_pbPreview->height();
    const int area = w - vbarWidth;
    const int left = area > pbW ? (area - pbW) / 2 : px(200);
    const int top = px(200);
    m_pbPreview->move(left, top);

    const int buttonWidth = 2 * hbarHeight;
    const int hbarWidth = m_HBar->width();
    m_cbPrevious->setGeometry(0, 0, buttonWidth, hbarHeight);
    m_cbNext->setGeometry(hbarWidth - buttonWidth, 0, buttonWidth, hbarHeight);
    m_HScroll->setGeometry(buttonWidth, 0, std::max(0, hbarWidth - 2 * buttonWidth), hbarHeight);
    m_cbClose->setGeometry(0, 0, vbarWidth, hbarHeight);
    m_cbPrint->setGeometry(0, hbarHeight, vbarWidth, hbarHeight);
    m_VScroll->setGeometry(0, 2 * hbarHeight, vbarWidth, std::max(0, h - 2 * hbarHeight));

    // A bar runs from the page's present offset to the offset that shows its far edge with
    // the same margin; that end may lie on either side of the start.
    auto setBar = [this](QScrollBar* bar, bool enabled, int from, int to, int pageStep) {
        const QSignalBlocker block(bar);
        bar->setEnabled(enabled);
        if (!enabled)
            return;
        bar->setInvertedAppearance(from > to);
        bar->setRange(std::min(from, to), std::max(from, to));
        bar->setPageStep(pageStep);
        bar->setSingleStep(px(170));
        bar->setValue(from);
    };
    setBar(m_HScroll, left + pbW >= w, left, w - pbW - vbarWidth - 2 * left, pbW);
    setBar(m_VScroll, top + pbH >= h, top, h - pbH - hbarHeight - 2 * top, pbH);
}

bool Tabulon::StartPrintDoc() {
    if (m_noPrinter)
        return false;
    m_lastError.clear();
    sizeCanvas();
    qint16 count = m_doc.CountPages();
    qint16 from = 1;
    qint16 to = count;

    if (m_viewPrintDialog) {
        CPrintDlg dlg;
        dlg.setApplicationName(m_applicationName);
        dlg.setEnableSelection(false);
        if (count != 0) {
            dlg.setEnablePageNumber(true);
            dlg.SetMinMaxPage(1, count);
            dlg.SetFromPageToPage(1, count);
        }
        if (!dlg.ShowPrintDlg())
            return false;
        if (dlg.PrintRange() == 1 || dlg.PrintRange() == 2) {
            from = dlg.FromPage();
            to = dlg.ToPage();
        }
    }

    WaitCursor wait;
    const qint16 savedPage = m_currentPage;
    bool ok = false;
    try {
        // The dialog may have changed the printer, the paper or the orientation.
        sizeCanvas();
        count = m_doc.CountPages();
        to = std::min(to, count);
        from = std::min(from, count);
        m_target = otPrinter;
        PrinterSettings s = CurrentPrinter();
        if (!m_outputFileName.isEmpty()) {
            s.DeviceName = PdfPrinterName();
            s.OutputFileName = m_outputFileName;
        }
        QPrinter printer(QPrinter::HighResolution);
        ConfigurePrinter(printer, s);
        ok = PrintPages(m_doc, printer, from, to, &m_lastError);
    } catch (const std::exception& e) {
        m_lastError = messageOf(e);
        ok = false;
    }
    m_currentPage = savedPage;
    m_target = otPreview;
    return ok;
}

void Tabulon::ReadProperties(const QVariantMap& bag) {
    auto get = [&bag](const char* name, const QVariant& def) {
        return bag.value(QString::fromLatin1(name), def);
    };
    setEnableHeader(get("EnableHeader", false).toBool());
    setEnableNote(get("EnableNote", false).toBool());
    setEnablePageNumber(get("EnablePageNumber", false).toBool());
    setHeaderPath(get("HeaderPath", QString()).toString());
    setAppearance(qint16(get("Appearance", 1).toInt()));
    setLanguage(eLanguage(get("Language", 0).toInt()));
    setTopMargin(get("TopMargin", 0.0f).toFloat());
    setLeftMargin(get("LeftMargin", 0.0f).toFloat());
    setBottomMargin(get("BottomMargin", 0.0f).toFloat());
    setRightMargin(get("RightMargin", 0.0f).toFloat());
    setMultiColumns(qint16(get("MultiColumns", 1).toInt()));
    setDataProgressMode(eDataProgressMode(get("DataProgressMode", 0).toInt()));
    setViewPrintDialog(get("ViewPrintDialog", true).toBool());
}

Tabulon::PropertyBag Tabulon::WriteProperties() const {
    PropertyBag bag;
    auto put = [&bag](const char* name, const QVariant& value, const QVariant& def) {
        if (value != def)
            bag.append({QString::fromLatin1(name), value});
    };
    put("EnableHeader", EnableHeader(), false);
    put("EnableNote", EnableNote(), false);
    put("EnablePageNumber", EnablePageNumber(), false);
    put("HeaderPath", HeaderPath(), QString());
    put("Appearance", Appearance(), qint16(1));
    put("Language", qint16(Language()), qint16(0));
    put("TopMargin", TopMargin(), 0.0f);
    put("LeftMargin", LeftMargin(), 0.0f);
    put("BottomMargin", BottomMargin(), 0.0f);
    put("RightMargin", RightMargin(), 0.0f);
    put("MultiColumns", MultiColumns(), qint16(1));
    put("DataProgressMode", qint16(DataProgressMode()), qint16(0));
    put("ViewPrintDialog", ViewPrintDialog(), true);
    return bag;
}

}  // namespace grevlon
