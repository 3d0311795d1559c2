#include "report/ConfigurationReport.h"

#include "model/COption.h"
#include "model/Configuration.h"
#include "model/ModelCatalogue.h"
#include "report/ReportRows.h"
#include "tabulon/TabulonDocument.h"

namespace voltaris {

namespace {

// The measuring settings the alarm and analogue sections need from the usage record.
template <class R>
void copyMeasuring(const CUsoInstr& u, R& r) {
    r.setInstrModel(u.InstrModel());
    r.setSystem(u.System());
    r.setRapportoTA(u.RapportoTA());
    r.setRapportoTV(u.RapportoTV());
}

}  // namespace

std::shared_ptr<grevlon::RowSet> BuildReportDataTable(const Configuration& config) {
    return BuildReportDataTable(config, ModelCatalogue::standard());
}

std::shared_ptr<grevlon::RowSet> BuildReportDataTable(const Configuration& config,
                                                      const ModelCatalogue& catalogue) {
    auto rs = MakeReportDataTable();
    const CUsoInstr& uso = config.UsoInstr();
    const qint32 model = uso.InstrModel();
    const quint8 e = ModuleType(model);
    const bool digital = DigitalOutputCount(model) >= 1;
    const bool twoOutputs = DigitalOutputCount(model) >= 2;

    CDigOutConfig dig;
    dig.SetData(config.DigOutConfig());
    dig.setModuleTypeLo(e);

    SetReport(uso, *rs, catalogue);
    if (digital)
        SetReport(dig, *rs);

    const qint16 digOut[2] = {dig.DigOut1(), dig.DigOut2()};
    const qint16 numAlarm[2] = {dig.NumAlarm1(), dig.NumAlarm2()};
    for (int output = 1; output <= 2; ++output) {
        if (!(output == 1 ? digital : twoOutputs))
            continue;
        const int k = output - 1;
        if (digOut[k] == CDigOutConfig::Pulses)
            SetReport(config.PulseOutSetup(output), *rs);
        if (numAlarm[k] != 0 && digOut[k] == CDigOutConfig::Alarm) {
            CAlarm alarm;
            alarm.SetData(config.Alarm(output));
            copyMeasuring(uso, alarm);
            alarm.setNumAlarm(numAlarm[k]);
            SetReport(alarm, *rs);
        }
    }

    if (HasNetworkAddress(model))
        SetReport(config.SerialComm(), *rs);

    const int analog = AnalogOutputCount(model);
    for (int output = 1; output <= analog; ++output) {
        CAnalogOutSetup out;
        out.SetData(config.AnalogOutSetup(output));
        copyMeasuring(uso, out);
        SetReport(out, *rs);
    }
    rs->moveFirst();
    return rs;
}

ConfigurationReport BuildConfigurationReport(Archive& archive, qint32 id) {
    Configuration config;
    config.load(archive, id);
    ConfigurationReport report;
    report.rsHeaderDoc = MakeReportHeaderDoc();
    report.rsGridStyle = MakeReportGridStyle();
    report.rsDataTable = BuildReportDataTable(config);
    return report;
}

void SetupReportDocument(grevlon::TabulonDocument& doc) {
    doc.setLanguage(grevlon::lEng);
    doc.setTopMargin(10);
    doc.setLeftMargin(10);
    doc.setBottomMargin(20);
    doc.setRightMargin(10);
    doc.RowManager().setMultiColumns(1);
}

void ApplyPrintOptions(const COption& options, grevlon::TabulonDocument& doc) {
    doc.Header().setIsEnabled(options.PrintHeaderPage());
    doc.Header().setHeaderPath(options.PrintHeaderPage() ? options.HeaderPagePath() : QString());
    doc.Footer().setNotePiePagina1(options.NotePiePagina1());
    doc.Footer().setNotePiePagina2(options.NotePiePagina2());
    doc.Footer().setEnableNote(options.PrintNotePiePagina());
    doc.Footer().setEnablePageNumber(options.PrintPageNumber());
}

void LoadReport(const ConfigurationReport& report, grevlon::TabulonDocument& doc) {
    doc.NewDoc(report.rsHeaderDoc, report.rsGridStyle);
    doc.AddTable(report.rsDataTable);
}

}  // namespace voltaris
