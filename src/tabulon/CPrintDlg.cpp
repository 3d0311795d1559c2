#include "tabulon/CPrintDlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <cmath>

#include "base/Errors.h"
#include "base/SettingsStore.h"
#include "tabulon/Printers.h"

namespace grevlon {

namespace {

const char* const kPaperNames[] = {
    "Letter, 8 1/2 x 11 in.",
    "Letter Small, 8 1/2 x 11 in.",
    "Tabloid, 11 x 17 in.",
    "Ledger, 17 x 11 in.",
    "Legal, 8 1/2 x 14 in.",
    "Statement, 5 1/2 x 8 1/2 in.",
    "Executive, 7 1/2 x 10 1/2 in.",
    "A3, 297 x 420 mm",
    "A4, 210 x 297 mm",
    "A4 Small, 210 x 297 mm",
    "A5, 148 x 210 mm",
    "B4, 250 x 354 mm",
    "B5, 182 x 257 mm",
    "Folio, 8 1/2 x 13 in.",
    "Quarto, 215 x 275 mm",
    "10 x 14 in.",
    "11 x 17 in.",
    "Note, 8 1/2 x 11 in.",
    "Envelope #9, 3 7/8 x 8 7/8 in.",
    "Envelope #10, 4 1/8 x 9 1/2 in.",
    "Envelope #11, 4 1/2 x 10 3/8 in.",
    "Envelope #12, 4 1/2 x 11 in.",
    "Envelope #14, 5 x 11 1/2 in.",
    "C size sheet",
    "D size sheet",
    "E size sheet",
    "Envelope DL, 110 x 220 mm",
    "Envelope C5, 162 x 229 mm",
    "Envelope C3, 324 x 458 mm",
    "Envelope C4, 229 x 324 mm",
    "Envelope C6, 114 x 162 mm",
    "Envelope C65, 114 x 229 mm",
    "Envelope B4, 250 x 353 mm",
    "Envelope B5, 176 x 250 mm",
    "Envelope B6, 176 x 125 mm",
    "Envelope, 110 x 230 mm",
    "Envelope Monarch, 3 7/8 x 7 1/2 in.",
    "Envelope, 3 5/8 x 6 1/2 in.",
    "U.S. Standard Fanfold, 14 7/8 x 11 in.",
    "German Standard Fanfold, 8 1/2 x 12 in.",
    "German Legal Fanfold, 8 1/2 x 13 in.",
};

const QString kSection = QStringLiteral("Application printer");
const QString kDeviceName = QStringLiteral("DeviceName");
const QString kPaperSize = QStringLiteral("PaperSize");
const QString kOrientation = QStringLiteral("Orientation");
const QString kPrintToFileKey = QStringLiteral("PrintToFile");

CPrintDlg::DialogRunner& runner() {
    static CPrintDlg::DialogRunner r;
    return r;
}

bool runDialog(QDialog& dialog, QPrinter& printer) {
    if (runner())
        return runner()(dialog, printer);
    return dialog.exec() == QDialog::Accepted;
}

qint16 tenthsOfMillimetre(double mm) {
    return qint16(std::lround(mm * 10.0));
}

}  // namespace

void CPrintDlg::setDialogRunner(DialogRunner r) {
    runner() = std::move(r);
}

QString CPrintDlg::PaperSizeName(qint16 code) {
    if (code >= 1 && code <= qint16(std::size(kPaperNames)))
        return QString::fromUtf8(kPaperNames[code - 1]);
    if (code == kPaperUserDefined)
        return QStringLiteral("User-defined");
    return QStringLiteral("Not recognized");
}

QString CPrintDlg::SettingsSection(const QString& applicationName) {
    if (applicationName.isEmpty() ||
        applicationName.compare(QStringLiteral("Voltaris"), Qt::CaseInsensitive) == 0)
        return kSection;
    return applicationName + u'/' + kSection;
}

CPrintDlg::CPrintDlg(QObject* parent) : QObject(parent) {
    m_noPrinter = InstalledPrinters().isEmpty();
    setApplicationName(QCoreApplication::applicationName());
    // The platform's default printer, as a silent request for its settings would give it.
    if (m_noPrinter) {
        emit NoPrinterInSystem();
    } else {
        const QString def = DefaultPrinterName();
        m_DeviceName = def;
        setPaperSize(DefaultPaperOf(def));
        m_Orientation = 1;
        m_Copies = 1;
    }
    m_Flags = kDefaultFlags;
}

void CPrintDlg::setApplicationName(const QString& name) {
    m_ApplicationName = name;
    LoadApplicationPrinter();
}

void CPrintDlg::SetMinMaxPage(qint16 MinPage, qint16 MaxPage) {
    if (MinPage < MaxPage) {
        m_MinPage = MinPage;
        m_MaxPage = MaxPage;
    }
}

void CPrintDlg::SetFromPageToPage(qint16 FromPage, qint16 ToPage) {
    if (FromPage < ToPage) {
        m_FromPage = FromPage;
        m_ToPage = ToPage;
    }
}

qint16 CPrintDlg::PrintRange() const {
    if (m_Flags & kPageRange)
        return 1;
    if (m_Flags & kSelection)
        return 2;
    return 0;
}

void CPrintDlg::setPrintRange(qint16 v) {
    m_Flags &= ~(kPageRange | kSelection);
    if (v == 1)
        m_Flags |= kPageRange;
    else if (v == 2)
        m_Flags |= kSelection;
}

void CPrintDlg::setDeviceName(const QString& name) {
    if (m_noPrinter) {
        emit NoPrinterInSystem();
        return;
    }
    // The platform keeps the name in a zero-filled block of 32 bytes.
    if (!name.isEmpty() && name.size() < 32)
        m_DeviceName = name;
}

void CPrintDlg::setPaperSize(qint16 code) {
    m_PaperSize = code;
    const QPageSize size = PageSizeOfCode(code);
    if (size.isValid()) {
        const QSizeF mm = size.size(QPageSize::Millimeter);
        m_PaperWidth = tenthsOfMillimetre(mm.width());
        m_PaperLength = tenthsOfMillimetre(mm.height());
    }
}

void CPrintDlg::LoadApplicationPrinter() {
    const voltaris::SettingsStore store;
    const QString section = SettingsSection(m_ApplicationName);
    const PrinterSettings& cur = CurrentPrinter();
    setDeviceName(store.value(section, kDeviceName, cur.DeviceName));
    setPaperSize(voltaris::FromStoredText<qint16>(store.value(section, kPaperSize), cur.PaperSize));
    setPageOrientation(
        voltaris::FromStoredText<qint16>(store.value(section, kOrientation), cur.Orientation));
    setPrintToFile(voltaris::FromStoredText<bool>(store.value(section, kPrintToFileKey), false));
    ApplySettings();
}

void CPrintDlg::ApplySettings() {
    PrinterSettings& cur = CurrentPrinter();
    if (InstalledPrinters().contains(m_DeviceName))
        cur.DeviceName = m_DeviceName;
    // A printer that does not take the paper keeps its own.
    if (PrinterSupportsPaper(cur.DeviceName, m_PaperSize))
        cur.PaperSize = m_PaperSize;
    cur.Orientation = m_Orientation;
}

void CPrintDlg::saveApplicationPrinter() const {
    voltaris::SettingsStore store;
    const QString section = SettingsSection(m_ApplicationName);
    store.setValue(section, kDeviceName, m_DeviceName);
    store.setValue(section, kPaperSize, QString::number(m_PaperSize));
    store.setValue(section, kOrientation,
                   m_Orientation == 2 ? QStringLiteral("2") : QStringLiteral("1"));
    store.setValue(section, kPrintToFileKey,
                   PrintToFile() ? QStringLiteral("True") : QStringLiteral("False"));
    if (!store.sync())
        throw voltaris::IoError(
            QStringLiteral("Cannot write the printer in the settings file %1")
                .arg(QDir::toNativeSeparators(voltaris::SettingsStore::location())));
}

bool CPrintDlg::ShowPrintDlg() {
    return showDialog(false);
}

bool CPrintDlg::ShowPrintSetupDlg() {
    return showDialog(true);
}

bool CPrintDlg::showDialog(bool setup) {
    if (m_noPrinter) {
        emit NoPrinterInSystem();
        return false;
    }
    m_Flags &= ~quint32(kReturnDefault);
    const quint32 flags = setup ? (m_Flags | kPrintSetup) : m_Flags;

    PrinterSettings s = CurrentPrinter();
    s.DeviceName = m_DeviceName;
    s.PaperSize = m_PaperSize;
    s.Orientation = m_Orientation;
    s.PrintToFile = PrintToFile();
    QPrinter printer(QPrinter::HighResolution);
    ConfigurePrinter(printer, s);
    printer.setCopyCount(std::max<int>(1, m_Copies));
    printer.setCollateCopies(Collate());
    if (m_FromPage >= 1 && m_FromPage <= m_ToPage)
        printer.setFromTo(m_FromPage, m_ToPage);
    printer.setPrintRange(PrintRange() == 1   ? QPrinter::PageRange
                          : PrintRange() == 2 ? QPrinter::Selection
                                              : QPrinter::AllPages);

    bool confirmed = false;
    if (flags & kPrintSetup) {
        QPageSetupDialog dialog(&printer);
        confirmed = runDialog(dialog, printer);
    } else {
        QPrintDialog dialog(&printer);
        QAbstractPrintDialog::PrintDialogOptions options =
            QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize;
        if (!(flags & kNoSelection))
            options |= QAbstractPrintDialog::PrintSelection;
        if (!(flags & kNoPageNumbers))
            options |= QAbstractPrintDialog::PrintPageRange;
        if (!(flags & (kDisablePrintToFile | kHidePrintToFile)))
            options |= QAbstractPrintDialog::PrintToFile;
        dialog.setOptions(options);
        if (m_MinPage < m_MaxPage)
            dialog.setMinMax(m_MinPage, m_MaxPage);
        confirmed = runDialog(dialog, printer);
    }
    if (!confirmed)
        return false;

    m_DeviceName = DeviceNameOf(printer);
    setPaperSize(CodeOfPageSize(printer.pageLayout().pageSize()));
    if (m_PaperSize == kPaperUserDefined) {
        const QSizeF mm = printer.pageLayout().pageSize().size(QPageSize::Millimeter);
        m_PaperWidth = tenthsOfMillimetre(mm.width());
        m_PaperLength = tenthsOfMillimetre(mm.height());
    }
    m_Orientation = printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
    if (!setup) {
        m_Copies = qint16(std::clamp(printer.copyCount(), 1, 32767));
        setFlag(kCollate, printer.collateCopies());
        m_FromPage = qint16(std::clamp(printer.fromPage(), 0, 32767));
        m_ToPage = qint16(std::clamp(printer.toPage(), 0, 32767));
        switch (printer.printRange()) {
            case QPrinter::PageRange:
                setPrintRange(1);
                break;
            case QPrinter::Selection:
                setPrintRange(2);
                break;
            default:
                setPrintRange(0);
                break;
        }
        setPrintToFile(printer.outputFormat() == QPrinter::NativeFormat &&
                       !printer.outputFileName().isEmpty());
    }
    ApplySettings();
    CurrentPrinter().PrintToFile = PrintToFile();
    CurrentPrinter().OutputFileName = printer.outputFileName();
    // Last, so a settings file that cannot be written still leaves the choice in use.
    saveApplicationPrinter();
    return true;
}

}  // namespace grevlon
