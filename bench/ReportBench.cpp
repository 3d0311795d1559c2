// Prints the report of a configuration with 16 alarms on each digital output to PDF and
// reports the time taken to build the row sets and to print, with the page count.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "model/COption.h"
#include "model/Configuration.h"
#include "report/ConfigurationReport.h"
#include "report/ReportRows.h"
#include "tabulon/PrintJob.h"

using namespace voltaris;

namespace {

void fill(Configuration& c) {
    c.UsoInstr().setNomeProgramma(QStringLiteral("Benchmark"));
    c.UsoInstr().setInstrModel(0x00240004);
    c.UsoInstr().setRapportoTV(1005);
    c.UsoInstr().setRapportoTA(200);
    c.DigOutConfig().setDigOut1(1);
    c.DigOutConfig().setNumAlarm1(16);
    c.DigOutConfig().setDigOut2(1);
    c.DigOutConfig().setNumAlarm2(16);
    for (int output = 1; output <= 2; ++output) {
        CAlarm& a = c.Alarm(output);
        for (int i = 0; i < 16; ++i) {
            a.setVarControllata(i, i * 2);
            a.setScaleSelect(i, 4);
            a.setMinAlarm(i, qint16(100 * i));
            a.setMaxAlarm(i, qint16(2000 + 100 * i));
            a.setDelayTime(i, qint16(i));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));

    Configuration config;
    fill(config);
    COption options;
    options.setPrintNotePiePagina(true);
    options.setNotePiePagina1(QStringLiteral("Benchmark note"));
    options.setPrintPageNumber(true);

    std::printf("%6s %8s %10s %10s %12s\n", "run", "rows", "build_ms", "print_ms", "pages");
    for (int run = 1; run <= 3; ++run) {
        QElapsedTimer t;
        t.start();
        const ConfigurationReport report{MakeReportHeaderDoc(), MakeReportGridStyle(),
                                         BuildReportDataTable(config)};
        const double buildMs = double(t.nsecsElapsed()) / 1e6;

        grevlon::TabulonDocument doc;
        SetupReportDocument(doc);
        ApplyPrintOptions(options, doc);
        LoadReport(report, doc);
        t.restart();
        QString error;
        if (!grevlon::PrintToPdf(doc, pdf, {grevlon::PdfPrinterName(), 9, 1, false, pdf}, &error)) {
            std::fprintf(stderr, "printing failed: %s\n", qPrintable(error));
            return 1;
        }
        const double printMs = double(t.nsecsElapsed()) / 1e6;
        std::printf("%6d %8d %10.2f %10.1f %12d\n", run, report.rsDataTable->recordCount(), buildMs,
                    printMs, int(doc.TotalPages()));
    }
    return 0;
}
