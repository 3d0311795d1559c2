#pragma once

#include <QString>
#include <memory>

#include "tabulon/RowSet.h"

namespace grevlon {
class TabulonDocument;
}

namespace voltaris {

class Archive;
class COption;
class Configuration;
class ModelCatalogue;

// The three row sets of one configuration's report.
struct ConfigurationReport {
    std::shared_ptr<grevlon::RowSet> rsHeaderDoc;
    std::shared_ptr<grevlon::RowSet> rsGridStyle;
    std::shared_ptr<grevlon::RowSet> rsDataTable;
};

// The data table of `config`: caption, column titles, then the section of each record whose
// model condition holds, in the order usage, digital outputs, pulse output 1, alarms of
// output 1, pulse output 2, alarms of output 2, serial line, analogue outputs 1..3. The
// records are copied before the plain properties (model, ratios, ModuleTypeLo, NumAlarm)
// are set on them, so `config` is left as it is. A model that is not catalogued is the
// failed check "Modello strumento fuori indice" (AssertFailed).
std::shared_ptr<grevlon::RowSet> BuildReportDataTable(const Configuration& config);
// The same with the model names of `catalogue`.
std::shared_ptr<grevlon::RowSet> BuildReportDataTable(const Configuration& config,
                                                      const ModelCatalogue& catalogue);

// All three row sets for configuration `id` of the archive. Errors of the archive (an id
// without records is a failed check) and of the catalogue propagate.
ConfigurationReport BuildConfigurationReport(Archive& archive, qint32 id);

// The control settings of the report, made once: language English, margins top 10, left
// 10, bottom 20, right 10 millimetres, one column group.
void SetupReportDocument(grevlon::TabulonDocument& doc);

// Copies the print options into the control: header band and picture, the two footer notes,
// page numbering. The picture is loaded only when the header band is on, so a stale path of
// a switched-off band does not stop the print; a picture that cannot be loaded throws
// IoError naming it.
void ApplyPrintOptions(const COption& options, grevlon::TabulonDocument& doc);

// NewDoc with the header block and style set, AddTable with the data table.
void LoadReport(const ConfigurationReport& report, grevlon::TabulonDocument& doc);

}  // namespace voltaris
