#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

#include "PrintFixture.h"
#include "TestSupport.h"
#include "base/Errors.h"
#include "base/SettingsStore.h"

using namespace grevlon;

namespace {

using CPrintDlgTest = test::PrintFixture;

TEST(CPrintDlgNames, PaperSizeNames) {
    const QList<QPair<qint16, const char*>> cases = {{1, "Letter, 8 1/2 x 11 in."},
                                                     {9, "A4, 210 x 297 mm"},
                                                     {19, "Envelope #9, 3 7/8 x 8 7/8 in."},
                                                     {41, "German Legal Fanfold, 8 1/2 x 13 in."},
                                                     {256, "User-defined"},
                                                     {0, "Not recognized"},
                                                     {42, "Not recognized"},
                                                     {-1, "Not recognized"}};
    for (const auto& [code, name] : cases)
        EXPECT_EQ(CPrintDlg::PaperSizeName(code), QString::fromLatin1(name)) << code;
}

TEST(CPrintDlgNames, EveryNamedCodeIsAPageSize) {
    for (qint16 code = 1; code <= 41; ++code) {
        EXPECT_TRUE(PageSizeOfCode(code).isValid()) << code;
    }
    EXPECT_EQ(CodeOfPageSize(QPageSize(QPageSize::A5)), 11);
    EXPECT_FALSE(PageSizeOfCode(256).isValid());
    EXPECT_EQ(CodeOfPageSize(QPageSize(QSizeF(100, 100), QPageSize::Millimeter)), 256);
}

TEST_F(CPrintDlgTest, StartsOnTheDefaultPrinterWithDefaultFlags) {
    CPrintDlg dlg;
    EXPECT_FALSE(dlg.NotPrinterInSystem());
    EXPECT_EQ(dlg.DeviceName(), PdfPrinterName());
    EXPECT_EQ(dlg.PaperSize(), 9);
    EXPECT_EQ(dlg.PaperSizeStr(), QStringLiteral("A4, 210 x 297 mm"));
    EXPECT_EQ(dlg.PageOrientation(), 1);
    EXPECT_EQ(dlg.Flags(), 0x14000Cu);
    EXPECT_EQ(dlg.ApplicationName(), QStringLiteral("Voltaris"));
}

TEST_F(CPrintDlgTest, DeviceNameMustBeShorterThan32Characters) {
    CPrintDlg dlg;
    const QString n31(31, u'a');
    dlg.setDeviceName(n31);
    EXPECT_EQ(dlg.DeviceName(), n31);
    dlg.setDeviceName(QString(32, u'b'));
    EXPECT_EQ(dlg.DeviceName(), n31);
    dlg.setDeviceName(QString());
    EXPECT_EQ(dlg.DeviceName(), n31);
}

TEST_F(CPrintDlgTest, LandscapeSwapsPaperHeightAndWidth) {
    CPrintDlg dlg;
    dlg.setPaperSize(9);
    EXPECT_EQ(dlg.PaperHeight(), 2970);
    EXPECT_EQ(dlg.PaperWidth(), 2100);
    dlg.setPageOrientation(2);
    EXPECT_EQ(dlg.PageOrientation(), 2);
    EXPECT_EQ(dlg.PaperHeight(), 2100);
    EXPECT_EQ(dlg.PaperWidth(), 2970);
    dlg.setPageOrientation(7);
    EXPECT_EQ(dlg.PageOrientation(), 1);
}

TEST_F(CPrintDlgTest, FlagsAndRanges) {
    CPrintDlg dlg;
    dlg.setEnableSelection(true);
    dlg.setEnablePageNumber(true);
    EXPECT_EQ(dlg.Flags() & 0xC, 0u);
    dlg.setEnableWarningMsg(false);
    dlg.setEnablePrintToFile(false);
    dlg.setHidePrintToFile(false);
    EXPECT_EQ(dlg.Flags(), 0x40000u | 0x80u | 0x80000u);
    dlg.setPrintToFile(true);
    EXPECT_TRUE(dlg.PrintToFile());
    EXPECT_TRUE(dlg.Flags() & 0x20);

    for (qint16 range : {1, 2, 0}) {
        dlg.setPrintRange(range);
        EXPECT_EQ(dlg.PrintRange(), range);
    }
    dlg.setPrintRange(1);
    EXPECT_EQ(dlg.Flags() & 0x3, 0x2u);

    dlg.SetMinMaxPage(1, 1);  // applied only when the first is smaller
    EXPECT_EQ(dlg.MaxPage(), 0);
    dlg.SetMinMaxPage(1, 12);
    EXPECT_EQ(dlg.MaxPage(), 12);
    dlg.SetFromPageToPage(5, 3);
    EXPECT_EQ(dlg.FromPage(), 0);
    dlg.SetFromPageToPage(2, 9);
    EXPECT_EQ(dlg.FromPage(), 2);
    EXPECT_EQ(dlg.ToPage(), 9);
}

TEST_F(CPrintDlgTest, ConfirmedDialogRemembersThePrinterUnderTheApplicationName) {
    CPrintDlg::setDialogRunner([](QDialog& dialog, QPrinter& printer) {
        EXPECT_NE(qobject_cast<QPrintDialog*>(&dialog), nullptr);
        printer.setPageSize(QPageSize(QPageSize::A5));
        printer.setPageOrientation(QPageLayout::Landscape);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 3);
        return true;
    });
    CPrintDlg dlg;
    dlg.setApplicationName(QStringLiteral("Voltaris"));
    ASSERT_TRUE(dlg.ShowPrintDlg());
    EXPECT_EQ(dlg.PaperSize(), 11);
    EXPECT_EQ(dlg.PrintRange(), 1);
    EXPECT_EQ(dlg.FromPage(), 2);
    EXPECT_EQ(dlg.ToPage(), 3);
    EXPECT_EQ(stored(QStringLiteral("Application printer"), QStringLiteral("DeviceName")),
              PdfPrinterName());
    EXPECT_EQ(stored(QStringLiteral("Application printer"), QStringLiteral("PaperSize")),
              QStringLiteral("11"));
    EXPECT_EQ(stored(QStringLiteral("Application printer"), QStringLiteral("Orientation")),
              QStringLiteral("2"));
    EXPECT_EQ(stored(QStringLiteral("Application printer"), QStringLiteral("PrintToFile")),
              QStringLiteral("False"));
    // Applied to the program's printer.
    EXPECT_EQ(CurrentPrinter().PaperSize, 11);
    EXPECT_EQ(CurrentPrinter().Orientation, 2);
}

// The program names its settings file once; the remembered printer is read from and written
// to that very file, not the user's own.
TEST_F(CPrintDlgTest, RememberedPrinterFollowsTheProgramsSettingsFile) {
    qunsetenv("VOLTARIS_SETTINGS");
    const QString redirected = dir.file(QStringLiteral("redirected.ini"));
    voltaris::SettingsStore::setFileOverride(redirected);
    {
        voltaris::SettingsStore host;
        host.setValue(QStringLiteral("Application printer"), QStringLiteral("PaperSize"),
                      QStringLiteral("8"));
        host.setValue(QStringLiteral("Application printer"), QStringLiteral("PrintToFile"),
                      QStringLiteral("True"));
    }
    CPrintDlg::setDialogRunner([](QDialog&, QPrinter& printer) {
        printer.setPageSize(QPageSize(QPageSize::A5));
        return true;
    });
    CPrintDlg dlg;
    dlg.setApplicationName(QStringLiteral("Voltaris"));
    EXPECT_EQ(dlg.PaperSize(), 8);
    EXPECT_TRUE(dlg.PrintToFile());
    ASSERT_TRUE(dlg.ShowPrintDlg());
    voltaris::SettingsStore::setFileOverride(QString());

    const QSettings written(redirected, QSettings::IniFormat);
    EXPECT_EQ(written.value(QStringLiteral("Application printer/PaperSize")).toString(),
              QStringLiteral("11"));
    EXPECT_EQ(written.value(QStringLiteral("Application printer/DeviceName")).toString(),
              PdfPrinterName());
}

TEST_F(CPrintDlgTest, SettingsFileThatCannotBeWrittenIsReportedAndTheChoiceStillApplies) {
    voltaris::test::SmallFileSystem fs;
    if (!fs.ok())
        GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    const QString settings = fs.file(QStringLiteral("settings.ini"));
    voltaris::test::writeFile(settings, "[Other]\nKey=1\n");
    fs.fillUp();
    voltaris::test::ScopedSettingsFile scoped(settings);
    CPrintDlg::setDialogRunner([](QDialog&, QPrinter& printer) {
        printer.setPageSize(QPageSize(QPageSize::A5));
        return true;
    });
    CPrintDlg dlg;
    dlg.setApplicationName(QStringLiteral("Voltaris"));
    try {
        dlg.ShowPrintDlg();
        FAIL() << "no error";
    } catch (const voltaris::IoError& e) {
        EXPECT_TRUE(e.message().contains(settings)) << e.what();
    }
    EXPECT_EQ(CurrentPrinter().PaperSize, 11);
    EXPECT_EQ(voltaris::test::readFile(settings), QByteArray("[Other]\nKey=1\n"));
}

TEST_F(CPrintDlgTest, CancelledDialogChangesNothing) {
    CPrintDlg::setDialogRunner([](QDialog&, QPrinter& printer) {
        printer.setPageSize(QPageSize(QPageSize::A3));
        return false;
    });
    CPrintDlg dlg;
    EXPECT_FALSE(dlg.ShowPrintDlg());
    EXPECT_EQ(dlg.PaperSize(), 9);
    EXPECT_EQ(CurrentPrinter().PaperSize, 9);
    EXPECT_FALSE(QSettings(settingsFile, QSettings::IniFormat)
                     .contains(QStringLiteral("Application printer/PaperSize")));
}

TEST_F(CPrintDlgTest, SetupDialogIsThePageSetup) {
    CPrintDlg::setDialogRunner([](QDialog& dialog, QPrinter& printer) {
        EXPECT_NE(qobject_cast<QPageSetupDialog*>(&dialog), nullptr);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        return true;
    });
    CPrintDlg dlg;
    ASSERT_TRUE(dlg.ShowPrintSetupDlg());
    EXPECT_EQ(dlg.PaperSize(), 1);
    EXPECT_EQ(CurrentPrinter().PaperSize, 1);
    EXPECT_EQ(dlg.Flags() & CPrintDlg::kPrintSetup, 0u);
}

TEST_F(CPrintDlgTest, LoadsTheRememberedPrinterAndIgnoresOneNoLongerInstalled) {
    store(QStringLiteral("DeviceName"), QStringLiteral("Gone"));
    store(QStringLiteral("PaperSize"), QStringLiteral("8"));
    store(QStringLiteral("Orientation"), QStringLiteral("2"));
    store(QStringLiteral("PrintToFile"), QStringLiteral("True"));
    CPrintDlg dlg;
    dlg.setApplicationName(QStringLiteral("Voltaris"));
    EXPECT_EQ(dlg.DeviceName(), QStringLiteral("Gone"));
    EXPECT_TRUE(dlg.PrintToFile());
    EXPECT_EQ(dlg.PaperSize(), 8);
    EXPECT_EQ(CurrentPrinter().DeviceName, PdfPrinterName());  // not installed: stays
    EXPECT_EQ(CurrentPrinter().PaperSize, 8);
    EXPECT_EQ(CurrentPrinter().Orientation, 2);

    // A paper size the printer does not take leaves its own.
    store(QStringLiteral("PaperSize"), QStringLiteral("256"));
    dlg.setApplicationName(QStringLiteral("Voltaris"));
    EXPECT_EQ(CurrentPrinter().PaperSize, 8);

    // Another application keeps its own choice.
    dlg.setApplicationName(QStringLiteral("Other"));
    EXPECT_EQ(CPrintDlg::SettingsSection(QStringLiteral("Other")),
              QStringLiteral("Other/Application printer"));
    EXPECT_EQ(dlg.PaperSize(), 8);  // default: the current printer's
    EXPECT_FALSE(dlg.PrintToFile());
}

TEST_F(CPrintDlgTest, PageOfTheCurrentPrinterInTwips) {
    const QSizeF a4 = PageTwips(PrinterSettings{PdfPrinterName(), 9, 1, false, QString()});
    EXPECT_NEAR(a4.width(), 11906, 1);
    EXPECT_NEAR(a4.height(), 16838, 1);
    const QSizeF landscape = PageTwips(PrinterSettings{PdfPrinterName(), 9, 2, false, QString()});
    EXPECT_NEAR(landscape.width(), 16838, 1);
    EXPECT_TRUE(InstalledPrinters().contains(PdfPrinterName()));
}

}  // namespace
