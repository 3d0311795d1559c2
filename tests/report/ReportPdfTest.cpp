// The report printed to PDF and read back as text.

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QStandardPaths>

#include "TestSupport.h"
#include "base/Errors.h"
#include "model/COption.h"
#include "model/Configuration.h"
#include "report/ConfigurationReport.h"
#include "report/ReportRows.h"
#include "tabulon/PrintJob.h"

using namespace voltaris;

namespace {

QString pdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("<pdftotext failed: %1>")
            .arg(QString::fromLocal8Bit(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A KM5.1 R2 with 16 alarms on output 1: long enough for a second page.
void fillConfiguration(Configuration& c) {
    c.UsoInstr().setNomeProgramma("Cabina Est");
    c.UsoInstr().setInstrModel(0x00230004);
    c.UsoInstr().setRapportoTV(1005);
    c.DigOutConfig().setDigOut1(1);
    c.DigOutConfig().setNumAlarm1(16);
    c.PulseOutSetup(2).setPulseOut(1250);
    for (int i = 0; i < 16; ++i) {
        c.Alarm(1).setVarControllata(i, 29);
        c.Alarm(1).setScaleSelect(i, 3);
        c.Alarm(1).setMinAlarm(i, qint16(4900 + i));
        c.Alarm(1).setMaxAlarm(i, 5100);
    }
}

}  // namespace

TEST(ReportPdf, PrintsEveryRowWithNotesAndPageNumbers) {
    Configuration c;
    fillConfiguration(c);
    ConfigurationReport report{MakeReportHeaderDoc(), MakeReportGridStyle(),
                               BuildReportDataTable(c)};
    COption options;
    options.setPrintNotePiePagina(true);
    options.setNotePiePagina1("Impianto Nord");
    options.setNotePiePagina2("Verificato dal collaudatore");
    options.setPrintPageNumber(true);

    grevlon::TabulonDocument doc;
    SetupReportDocument(doc);
    EXPECT_EQ(doc.Language(), grevlon::lEng);
    EXPECT_NEAR(doc.BottomMargin(), 20.0f, 0.001f);
    ApplyPrintOptions(options, doc);
    LoadReport(report, doc);

    test::TempDir dir;
    const QString pdf = dir.file("report.pdf");
    QString error;
    ASSERT_TRUE(
        grevlon::PrintToPdf(doc, pdf, {grevlon::PdfPrinterName(), 9, 1, false, pdf}, &error))
        << error.toStdString();
    const qint16 pages = doc.TotalPages();
    ASSERT_GE(pages, 2);

    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) not installed";
    const QString text = pdfText(pdf);
    for (const char* expected :
         {"Instrument model:", "Note:", "LIST OF INSTRUMENT PARAMETER SETUP", "PARAMETER NAME",
          "PARAMETER VALUE", "Cabina Est", "KM5.1.x.R2.KX", "100.5",
          "Virtual alarm setup linked to output 1", "Alarm setup 16", "49.15Hz",
          "Pulse output setup 2", "12.50 Pulses/KWh", "Impianto Nord",
          "Verificato dal collaudatore", "(following...)"})
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected;
    EXPECT_FALSE(text.contains(u'#')) << "markup printed";
    for (int p = 1; p <= pages; ++p)
        EXPECT_TRUE(text.contains(QStringLiteral("%1/%2").arg(p).arg(pages))) << p;
}

TEST(ReportPdf, PrintOptionsSwitchTheBands) {
    grevlon::TabulonDocument doc;
    COption options;
    options.setHeaderPagePath("/nonexistent/stale.bmp");
    // A switched-off band does not load its picture: a stale path does not stop the print.
    ASSERT_NO_THROW(ApplyPrintOptions(options, doc));
    EXPECT_FALSE(doc.Header().IsEnabled());
    EXPECT_FALSE(doc.Footer().EnableNote());
    EXPECT_FALSE(doc.Footer().EnablePageNumber());
    EXPECT_FALSE(doc.Footer().IsEnabled());

    options.setPrintHeaderPage(true);
    EXPECT_THROW(ApplyPrintOptions(options, doc), IoError);

    test::TempDir dir;
    QImage picture(200, 60, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    ASSERT_TRUE(picture.save(dir.file("logo.png")));
    options.setHeaderPagePath(dir.file("logo.png"));
    options.setPrintNotePiePagina(true);
    options.setNotePiePagina1("riga 1");
    ApplyPrintOptions(options, doc);
    EXPECT_TRUE(doc.Header().IsEnabled());
    EXPECT_TRUE(doc.Header().HasPicture());
    EXPECT_TRUE(doc.Footer().EnableNote());
    EXPECT_EQ(doc.Footer().NotePiePagina1(), QStringLiteral("riga 1"));
}
