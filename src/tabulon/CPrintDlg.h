#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "tabulon/TabulonTypes.h"

class QDialog;
class QPrinter;

namespace grevlon {

// The printer dialog wrapper: holds a printer choice (device, paper, orientation, copies,
// page range, dialog flags), shows the print or printer setup dialog, and remembers the
// choice in the settings store under the application name, section "Application printer",
// keys "DeviceName", "PaperSize", "Orientation" ("1"/"2"), "PrintToFile" ("True"/"False").
// The program's own name ("Voltaris") and an empty name use that section as it stands;
// any other application name keeps its values under "<name>/Application printer".
class GREVLON_EXPORT CPrintDlg : public QObject {
    Q_OBJECT
public:
    // Dialog flags, in the platform's encoding.
    enum Flag : quint32 {
        kPageRange = 0x2,
        kSelection = 0x1,
        kNoSelection = 0x4,
        kNoPageNumbers = 0x8,
        kCollate = 0x10,
        kPrintToFile = 0x20,
        kPrintSetup = 0x40,
        kNoWarning = 0x80,
        kReturnDefault = 0x400,
        kUseDevModeCopies = 0x40000,
        kDisablePrintToFile = 0x80000,
        kHidePrintToFile = 0x100000,
    };
    static constexpr quint32 kDefaultFlags = 0x14000C;

    // Runs a dialog on `printer` and tells whether the user confirmed. Replaceable so that
    // tests can answer for the user; the default shows the dialog modally.
    using DialogRunner = std::function<bool(QDialog& dialog, QPrinter& printer)>;
    static void setDialogRunner(DialogRunner runner);

    // Takes the default printer's settings; the application name starts as the program's
    // title (QCoreApplication::applicationName), whose remembered printer is applied.
    explicit CPrintDlg(QObject* parent = nullptr);

    QString ApplicationName() const { return m_ApplicationName; }
    // Stores the name and at once loads and applies the printer remembered under it.
    void setApplicationName(const QString& name);

    // Each is applied only when the first value is smaller than the second.
    void SetMinMaxPage(qint16 MinPage, qint16 MaxPage);
    void SetFromPageToPage(qint16 FromPage, qint16 ToPage);
    qint16 ToPage() const { return m_ToPage; }
    qint16 FromPage() const { return m_FromPage; }
    qint16 MinPage() const { return m_MinPage; }
    qint16 MaxPage() const { return m_MaxPage; }

    // True removes the flag, false sets it.
    void setEnableWarningMsg(bool v) { setFlag(kNoWarning, !v); }
    void setEnableSelection(bool v) { setFlag(kNoSelection, !v); }
    void setEnablePageNumber(bool v) { setFlag(kNoPageNumbers, !v); }
    void setEnablePrintToFile(bool v) { setFlag(kDisablePrintToFile, !v); }
    // True hides the print-to-file box.
    void setHidePrintToFile(bool v) { setFlag(kHidePrintToFile, v); }
    bool PrintToFile() const { return m_Flags & kPrintToFile; }
    void setPrintToFile(bool v) { setFlag(kPrintToFile, v); }
    bool Collate() const { return m_Flags & kCollate; }
    qint16 Copies() const { return m_Copies; }
    // 0 all pages, 1 page range, 2 selection.
    qint16 PrintRange() const;
    void setPrintRange(qint16 v);
    // 1 portrait, 2 landscape; any value other than 2 gives portrait.
    qint16 PageOrientation() const { return m_Orientation; }
    void setPageOrientation(qint16 v) { m_Orientation = v == 2 ? 2 : 1; }
    QString DeviceName() const { return m_DeviceName; }
    // Taken only when not empty and shorter than 32 characters.
    void setDeviceName(const QString& name);
    QString PaperSizeStr() const { return PaperSizeName(m_PaperSize); }
    qint16 PaperSize() const { return m_PaperSize; }
    void setPaperSize(qint16 code);
    // Tenths of a millimetre; length and width swapped in landscape.
    qint16 PaperHeight() const { return m_Orientation == 2 ? m_PaperWidth : m_PaperLength; }
    qint16 PaperWidth() const { return m_Orientation == 2 ? m_PaperLength : m_PaperWidth; }
    quint32 Flags() const { return m_Flags; }
    bool NotPrinterInSystem() const { return m_noPrinter; }

    // Reads the remembered printer (defaults: the program's current printer, print to file
    // off) into this object and applies it.
    void LoadApplicationPrinter();
    // Makes the first installed printer named DeviceName the program's current printer
    // (none: it stays) and gives it this paper size, when it takes it, and orientation.
    void ApplySettings();

    // Shows the print dialog; on confirmation takes the choice back, applies it, remembers it
    // and returns true (IoError when the settings file cannot take it); on cancel returns
    // false and changes nothing.
    bool ShowPrintDlg();
    // The same with the printer setup dialog.
    bool ShowPrintSetupDlg();

    // Name of a paper size code: 1..41, 256 "User-defined", anything else "Not recognized".
    static QString PaperSizeName(qint16 code);
    // Section of the settings store holding the printer remembered under `applicationName`.
    static QString SettingsSection(const QString& applicationName);

signals:
    // Raised instead of any dialog or device change when the system has no printer.
    void NoPrinterInSystem();

private:
    void setFlag(quint32 flag, bool on) { m_Flags = on ? (m_Flags | flag) : (m_Flags & ~flag); }
    bool showDialog(bool setup);
    void saveApplicationPrinter() const;

    QString m_ApplicationName;
    bool m_noPrinter = false;
    QString m_DeviceName;
    qint16 m_PaperSize = 9;
    qint16 m_Orientation = 1;
    qint16 m_PaperLength = 0;
    qint16 m_PaperWidth = 0;
    qint16 m_Copies = 1;
    qint16 m_FromPage = 0;
    qint16 m_ToPage = 0;
    qint16 m_MinPage = 0;
    qint16 m_MaxPage = 0;
    quint32 m_Flags = kDefaultFlags;
    QString m_OutputFileName;
};

}  // namespace grevlon
