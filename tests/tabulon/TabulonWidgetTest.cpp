#include <QFile>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>

#include "LayoutFixtures.h"
#include "PrintFixture.h"
#include "tabulon/PrintJob.h"
#include "tabulon/Tabulon.h"

using namespace grevlon;
using grevlon::test::headerBlock;
using grevlon::test::numberedRows;
using grevlon::test::styleSet;
using grevlon::test::table;

namespace {

bool hasPoppler(const QString& tool) {
    return !QStandardPaths::findExecutable(tool).isEmpty();
}

// Output of a poppler tool on `pdf` (empty when the tool is missing).
QString poppler(const QString& tool, const QStringList& args) {
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty())
        return QString();
    QProcess p;
    p.start(exe, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString& pdf) {
    const QString info = poppler(QStringLiteral("pdfinfo"), {pdf});
    for (const QString& line : info.split(u'\n'))
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

class TabulonWidget : public test::PrintFixture {
protected:
    void SetUp() override {
        PrintFixture::SetUp();
        control = std::make_unique<Tabulon>();
        control->resize(900, 700);
        control->setApplicationName(QStringLiteral("Voltaris"));
        control->SetMargin(10, 10, 10, 10);
    }
    // A document of `records` one-column rows: 75 rows fit an A4 page without footer.
    void document(int records) {
        control->NewDoc(headerBlock({}), styleSet(1));
        control->AddTable(
            table(QStringLiteral("Readings"), {QStringLiteral("Value")}, numberedRows(records)));
    }
    QPushButton* button(const char* name) {
        return control->findChild<QPushButton*>(QString::fromLatin1(name));
    }

    std::unique_ptr<Tabulon> control;
};

TEST_F(TabulonWidget, DefaultsAndForwardedProperties) {
    EXPECT_FALSE(control->NotPrinterInSystem());
    EXPECT_TRUE(control->ViewPrintDialog());
    EXPECT_EQ(control->Zoom(), 100);
    EXPECT_EQ(control->OutputTarget(), otPreview);
    EXPECT_EQ(control->Appearance(), 1);
    EXPECT_EQ(control->Language(), lIta);
    EXPECT_FALSE(button("cbNext")->isEnabled());
    EXPECT_FALSE(button("cbPrevious")->isEnabled());
    EXPECT_FALSE(control->findChild<QLabel*>(QStringLiteral("pbPreview"))->isVisible());
    EXPECT_EQ(button("cbPrint")->toolTip(), QStringLiteral("Stampa documento"));

    EXPECT_FLOAT_EQ(control->TopMargin(), 10.0f);
    EXPECT_FLOAT_EQ(control->Document().LeftMarginTwips(), 566.86f);
    control->setMultiColumns(3);
    EXPECT_EQ(control->Document().RowManager().MultiColumns(), 3);
    EXPECT_THROW(control->setMultiColumns(0), LayoutError);
    EXPECT_THROW(control->setAppearance(2), TabulonError);
    control->setEnablePageNumber(true);
    EXPECT_TRUE(control->Document().Footer().EnablePageNumber());
    control->setNotePiePagina1(QStringLiteral("n1"));
    EXPECT_EQ(control->Document().Footer().NotePiePagina1(), QStringLiteral("n1"));
}

TEST_F(TabulonWidget, LanguageReloadsTipsAndContinuationText) {
    control->setLanguage(lDeu);
    EXPECT_EQ(button("cbNext")->toolTip(), GrevlonString(410));
    EXPECT_EQ(button("cbNext")->toolTip(), QString::fromUtf8("Página siguiente "));
    EXPECT_EQ(button("cbPrevious")->toolTip(), GrevlonString(411));
    EXPECT_EQ(button("cbClose")->toolTip(), QStringLiteral("Close preview"));
    EXPECT_EQ(button("cbPrint")->toolTip(), GrevlonString(413));
    EXPECT_EQ(LanguageText(lDeu, kContinuationText), QString::fromUtf8(" (nächster...)"));
    control->setLanguage(lEng);
    EXPECT_EQ(button("cbNext")->toolTip(), QStringLiteral("Following page "));
    EXPECT_THROW(control->setLanguage(eLanguage(5)), TabulonError);
}

TEST_F(TabulonWidget, PersistentPropertiesRoundTripInOrder) {
    // Only the margins set by the fixture differ from the defaults; single-precision values.
    const Tabulon::PropertyBag margins = control->WriteProperties();
    ASSERT_EQ(margins.size(), 4);
    EXPECT_EQ(margins.at(0).first, QStringLiteral("TopMargin"));
    EXPECT_EQ(margins.at(3).first, QStringLiteral("RightMargin"));
    EXPECT_EQ(margins.at(0).second.metaType().id(), QMetaType::Float);
    EXPECT_FLOAT_EQ(margins.at(0).second.toFloat(), 10.0f);
    QVariantMap bag{
        {QStringLiteral("EnableNote"), true},    {QStringLiteral("Language"), 1},
        {QStringLiteral("LeftMargin"), 12.5f},   {QStringLiteral("MultiColumns"), 2},
        {QStringLiteral("DataProgressMode"), 1}, {QStringLiteral("ViewPrintDialog"), false}};
    control->ReadProperties(bag);
    EXPECT_FLOAT_EQ(control->TopMargin(), 0.0f);  // missing: back to its default
    QStringList names;
    for (const auto& [name, value] : control->WriteProperties())
        names.append(name);
    EXPECT_EQ(names, (QStringList{"EnableNote", "Language", "LeftMargin", "MultiColumns",
                                  "DataProgressMode", "ViewPrintDialog"}));

    Tabulon other;
    QVariantMap copy;
    for (const auto& [name, value] : control->WriteProperties())
        copy.insert(name, value);
    other.ReadProperties(copy);
    EXPECT_EQ(other.WriteProperties(), control->WriteProperties());
    EXPECT_FLOAT_EQ(other.LeftMargin(), 12.5f);
    EXPECT_EQ(other.DataProgressMode(), dpmHorizontal);
}

TEST_F(TabulonWidget, PreviewPagesButtonsAndZoom) {
    document(150);
    int pageTexts = 0;
    QObject::connect(control.get(), &Tabulon::GetTextNumerazionePagina, control.get(),
                     [&pageTexts](QString&, qint16, qint16) { ++pageTexts; });
    control->setEnablePageNumber(true);
    ASSERT_TRUE(control->StartPreviewDoc());
    ASSERT_EQ(control->TotalPages(), 3);
    EXPECT_EQ(control->CurrentPage(), 1);
    EXPECT_EQ(pageTexts, 1);
    EXPECT_FALSE(button("cbPrevious")->isEnabled());
    EXPECT_TRUE(button("cbNext")->isEnabled());
    // The canvas is the A4 page at 15 twips per pixel.
    EXPECT_EQ(control->Canvas().size(), QSize(794, 1123));

    auto* pb = control->findChild<QLabel*>(QStringLiteral("pbPreview"));
    EXPECT_EQ(pb->size(), QSize(794, 1123));
    button("cbNext")->click();
    button("cbNext")->click();
    EXPECT_EQ(control->CurrentPage(), 3);
    EXPECT_EQ(pageTexts, 3);  // each shown page is composed once, alone
    EXPECT_FALSE(button("cbNext")->isEnabled());
    EXPECT_TRUE(button("cbPrevious")->isEnabled());
    control->NextPage();  // nothing beyond the last page
    EXPECT_EQ(control->CurrentPage(), 3);

    control->ToggleZoom();
    EXPECT_EQ(control->Zoom(), 50);
    EXPECT_EQ(pb->size(), QSize(397, 561));
    control->ToggleZoom();
    EXPECT_EQ(control->Zoom(), 100);

    QSignalSpy closed(control.get(), &Tabulon::PreviewClose);
    button("cbClose")->click();
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(TabulonWidget, OnePageDocumentDisablesBothPageButtons) {
    document(3);
    ASSERT_TRUE(control->StartPreviewDoc());
    EXPECT_EQ(control->TotalPages(), 1);
    EXPECT_FALSE(button("cbPrevious")->isEnabled());
    EXPECT_FALSE(button("cbNext")->isEnabled());
}

TEST_F(TabulonWidget, PreviewErrorsReachTheCaller) {
    control->NewDoc(headerBlock({}), styleSet(1));
    control->AddTable(
        table(QStringLiteral("T"), {QStringLiteral("a"), QStringLiteral("b")}, numberedRows(2)));
    EXPECT_THROW(control->StartPreviewDoc(), LayoutError);
}

TEST_F(TabulonWidget, PrintsEveryPageToPdfWithoutDialog) {
    document(150);
    control->setLanguage(lEng);
    control->setEnablePageNumber(true);
    control->setViewPrintDialog(false);
    const QString pdf = dir.file(QStringLiteral("report.pdf"));
    control->setOutputFileName(pdf);
    ASSERT_TRUE(control->StartPrintDoc()) << control->LastPrintError().toStdString();
    EXPECT_EQ(control->OutputTarget(), otPreview);
    ASSERT_TRUE(QFile::exists(pdf));

    if (!hasPoppler(QStringLiteral("pdftotext")) || !hasPoppler(QStringLiteral("pdfinfo")))
        GTEST_SKIP() << "poppler-utils not installed";
    const QString text = poppler(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    EXPECT_EQ(pdfPages(pdf), 3);
    EXPECT_TRUE(text.contains(QStringLiteral("Readings (following...)")));
    EXPECT_TRUE(text.contains(QStringLiteral("R150")));
    EXPECT_TRUE(text.contains(QStringLiteral("3/3")));
}

TEST_F(TabulonWidget, DialogRangeIsCutToThePageCountAndCancelPrintsNothing) {
    document(200);
    const QString pdf = dir.file(QStringLiteral("range.pdf"));
    control->setOutputFileName(pdf);
    CPrintDlg::setDialogRunner([](QDialog& dialog, QPrinter& printer) {
        auto* d = qobject_cast<QPrintDialog*>(&dialog);
        EXPECT_EQ(d->minPage(), 1);
        EXPECT_EQ(d->maxPage(), 3);
        EXPECT_EQ(printer.fromPage(), 1);
        EXPECT_EQ(printer.toPage(), 3);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 40);
        return true;
    });
    ASSERT_TRUE(control->StartPrintDoc()) << control->LastPrintError().toStdString();
    if (!hasPoppler(QStringLiteral("pdfinfo")))
        GTEST_SKIP() << "poppler-utils not installed";
    EXPECT_EQ(pdfPages(pdf), 2);

    QFile::remove(pdf);
    CPrintDlg::setDialogRunner([](QDialog&, QPrinter&) { return false; });
    EXPECT_FALSE(control->StartPrintDoc());
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(TabulonWidget, PrintFailureIsReportedAndStateRestored) {
    document(10);
    control->setViewPrintDialog(false);
    control->setOutputFileName(dir.file(QStringLiteral("missing/folder/x.pdf")));
    EXPECT_FALSE(control->StartPrintDoc());
    EXPECT_FALSE(control->LastPrintError().isEmpty());
    EXPECT_EQ(control->OutputTarget(), otPreview);
}

TEST_F(TabulonWidget, EmptyRangePrintsNothingAndSucceeds) {
    TabulonDocument doc;
    doc.NewDoc(headerBlock({}), styleSet(1));
    doc.AddTable(table(QStringLiteral("T"), {QStringLiteral("a")}, numberedRows(200)));
    const QSizeF page = PageTwips(CurrentPrinter());
    doc.setPageSize(float(page.width()), float(page.height()));
    ASSERT_GE(doc.CountPages(), 3);
    QPrinter printer(QPrinter::HighResolution);
    PrinterSettings s = CurrentPrinter();
    s.OutputFileName = dir.file(QStringLiteral("none.pdf"));
    ConfigurePrinter(printer, s);
    EXPECT_TRUE(PrintPages(doc, printer, 5, 3));
    EXPECT_FALSE(QFile::exists(s.OutputFileName));
}

TEST_F(TabulonWidget, PrintToPdfWithoutWidget) {
    TabulonDocument doc;
    doc.NewDoc(headerBlock({}), styleSet(1));
    doc.AddTable(table(QStringLiteral("Alone"), {QStringLiteral("a")}, numberedRows(5)));
    const QString pdf = dir.file(QStringLiteral("alone.pdf"));
    QString error;
    ASSERT_TRUE(PrintToPdf(doc, pdf, PrinterSettings{QString(), 11, 2, false, QString()}, &error))
        << error.toStdString();
    EXPECT_NEAR(doc.PageWidth(), 11906, 1);  // A5 landscape
    if (!hasPoppler(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "poppler-utils not installed";
    const QString text = poppler(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Alone")));

    TabulonDocument broken;
    broken.NewDoc(headerBlock({}), styleSet(1));
    broken.AddTable(table(QStringLiteral("T"), {QStringLiteral("a"), QStringLiteral("b")}, {}));
    EXPECT_FALSE(PrintToPdf(broken, dir.file(QStringLiteral("b.pdf")), PrinterSettings{}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("Col2TitleStyle")));
}

}  // namespace
