#pragma once

#include <QString>
#include <memory>

#include "tabulon/RowSet.h"

namespace voltaris {

class CUsoInstr;
class CDigOutConfig;
class CPulseOutSetup;
class CAlarm;
class CSerialComm;
class CAnalogOutSetup;
class ModelCatalogue;

// The three row sets of the configuration report, as the table-printing control reads them.
// Every text comes from the string table; numbers use "." as the decimal separator.

// The header block: a 10692 x 828 twips frame holding the two hand-fill lines "Instrument
// model:" and "Note:".
std::shared_ptr<grevlon::RowSet> MakeReportHeaderDoc();
// The cell styles: "CaptionTableStyle", "Col1TitleStyle", "Col2TitleStyle", "Col1DataStyle",
// "Col2DataStyle".
std::shared_ptr<grevlon::RowSet> MakeReportGridStyle();
// An empty data table (fields nColumn, Column1, Column2) holding its caption row and its
// column title row.
std::shared_ptr<grevlon::RowSet> MakeReportDataTable();

// Each appends the record's section at the end of `rsDataTable`: a one-cell row for a title,
// a two-cell row (label, value) for a parameter. A value outside the texts the program has
// for it (a damaged record) is printed as its number.
//
// The model name comes from `catalogue` (the program's own when not given): a model that is
// not catalogued is the failed check "Modello strumento fuori indice" (AssertFailed) and
// appends nothing.
void SetReport(const CUsoInstr& record, grevlon::RowSet& rsDataTable);
void SetReport(const CUsoInstr& record, grevlon::RowSet& rsDataTable,
               const ModelCatalogue& catalogue);
// Stops after output 1 when ModuleTypeLo is 16.
void SetReport(const CDigOutConfig& record, grevlon::RowSet& rsDataTable);
// Titled with the last character of the instance name ("CPulseOutSetup2" gives 2).
void SetReport(const CPulseOutSetup& record, grevlon::RowSet& rsDataTable);
// The output title, then alarms 1..NumAlarm; IndexError when NumAlarm exceeds 16.
void SetReport(const CAlarm& record, grevlon::RowSet& rsDataTable);
void SetReport(const CSerialComm& record, grevlon::RowSet& rsDataTable);
void SetReport(const CAnalogOutSetup& record, grevlon::RowSet& rsDataTable);

// Formatting helpers of the report values.
// `value` / 10 with one decimal: 1005 gives "100.5", -5 gives "-0.5".
QString FormatTenths(qint64 value);
// `value` / 100 with two decimals: 1250 gives "12.50".
QString FormatHundredths(qint64 value);
// The unit of a pulse weight for counter `selectCounter`: "Pulses/KWh" for the active-energy
// counters (0, 2), "Pulses/Kvarh" for the reactive ones (1, 3); empty for any other value.
QString PulseUnitText(qint16 selectCounter);

}  // namespace voltaris
