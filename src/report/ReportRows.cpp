#include "report/ReportRows.h"

#include "base/ResString.h"
#include "model/CAlarm.h"
#include "model/CAnalogOutSetup.h"
#include "model/CDigOutConfig.h"
#include "model/CPulseOutSetup.h"
#include "model/CSerialComm.h"
#include "model/CUsoInstr.h"
#include "model/ModelCatalogue.h"
#include "variables/CVariableType.h"
#include "variables/CVariableViewConvert.h"
#include "variables/FixedPoint.h"
#include "variables/GlobalScale.h"
#include "variables/VariableCatalogue.h"

using grevlon::RowSet;

namespace voltaris {

namespace {

const QString kFontName = QStringLiteral("Times New Roman");
constexpr qint16 kFontCharSet = 1;

QStringList cellFields() {
    return {QStringLiteral("Key"),       QStringLiteral("Top"),       QStringLiteral("Left"),
            QStringLiteral("Width"),     QStringLiteral("Height"),    QStringLiteral("Tag"),
            QStringLiteral("FontSize"),  QStringLiteral("FontBold"),  QStringLiteral("FontCharSet"),
            QStringLiteral("FontName"),  QStringLiteral("Multiline"), QStringLiteral("Alignment"),
            QStringLiteral("LineWidth"), QStringLiteral("DrawBox"),   QStringLiteral("Text")};
}

struct Box {
    qint16 top, left, width, height;
    qint32 tag;
    qint16 fontSize;
    bool bold;
    bool multiline;
    qint16 alignment;
    qint16 drawBox;
    QString text;
};

// One row of a cell set; the frame row has no font, which reads as 0, false and empty.
void addCell(RowSet& rs, const QVariant& key, const Box& b, bool hasFont = true) {
    rs.addRow({key, b.top, b.left, b.width, b.height, b.tag, hasFont ? b.fontSize : qint16(0),
               hasFont && b.bold, hasFont ? kFontCharSet : qint16(0),
               hasFont ? kFontName : QString(), hasFont && b.multiline, b.alignment, qint16(1),
               b.drawBox, b.text});
}

void addRow(RowSet& rs, const QString& cell) {
    rs.addRow({qint16(1), cell});
}

void addRow(RowSet& rs, const QString& label, const QString& value) {
    rs.addRow({qint16(2), label, value});
}

// The text of resource first + value for a value of 0..count-1, else the number itself.
QString choice(int first, qint64 value, int count) {
    if (value < 0 || value >= count)
        return QString::number(value);
    return ResString(first + int(value));
}

QString variableName(qint32 code) {
    if (code < 0 || code >= VariableCatalogue::VariableCount)
        return QString::number(code);
    return VariableCatalogue::standard().name(code);
}

// Variables measured at a fixed scale: no scale row for them.
bool fixedScale(qint16 code) {
    const CVariableType t(code);
    return t.IsASY() || t.IsPFFase() || t.IsPFSys() || t.IsPhaseSequence() || t.IsHZ();
}

QString scaleText(qint16 step) {
    return GlobalScale::IsValidStep(step) ? GlobalScale::Row(step).SampleText
                                          : QString::number(step);
}

// An integer at `step` in engineering units ("230.4V", "C.950").
QString engineeringValue(qint16 code, qint16 value, qint16 step) {
    if (!GlobalScale::IsValidStep(step))
        return QStringLiteral("%1 (scale %2)").arg(value).arg(step);
    CVariableViewConvert view(QStringLiteral("."));
    view.VariableIntDPScale(code, value, step);
    return view.ElettricDataString();
}

// The record's number: the last character of its instance name.
QString recordNumber(const QString& instanceName) {
    return instanceName.right(1);
}

}  // namespace

QString FormatTenths(qint64 value) {
    return FormatFixed(value, 1);
}

QString FormatHundredths(qint64 value) {
    return FormatFixed(value, 2);
}

QString PulseUnitText(qint16 selectCounter) {
    // The string table holds each unit twice (5661, 5662 active; 5663, 5664 reactive): the
    // counter's kind picks the unit, so the reactive counter is not labelled in kWh.
    switch (selectCounter) {
        case 0:
        case 2:
            return ResString(5661);
        case 1:
        case 3:
            return ResString(5663);
        default:
            return QString();
    }
}

std::shared_ptr<RowSet> MakeReportHeaderDoc() {
    auto rs = std::make_shared<RowSet>(cellFields());
    addCell(*rs, QVariant(), {0, 0, 10692, 828, 1, 0, false, false, 0, 15, QString()}, false);
    addCell(*rs, QVariant(), {432, 330, 888, 276, 0, 10, true, false, 0, 0, ResString(681)});
    addCell(*rs, QVariant(), {432, 1236, 9012, 276, 0, 10, false, false, 0, 0, QString(106, u'_')});
    addCell(*rs, QVariant(), {120, 2256, 7992, 276, 0, 10, false, false, 0, 0, QString(94, u'_')});
    addCell(*rs, QVariant(), {120, 330, 1908, 276, 0, 10, true, false, 0, 0, ResString(680)});
    rs->moveFirst();
    return rs;
}

std::shared_ptr<RowSet> MakeReportGridStyle() {
    auto rs = std::make_shared<RowSet>(cellFields());
    addCell(*rs, QStringLiteral("CaptionTableStyle"),
            {0, 0, 0, 336, 0, 10, true, false, 2, 15, QStringLiteral("Titolo tabella")});
    for (int n = 1; n <= 2; ++n)
        addCell(*rs, QStringLiteral("Col%1TitleStyle").arg(n),
                {0, 0, 0, 336, 0, 8, true, false, 2, 15, QString()});
    for (int n = 1; n <= 2; ++n)
        addCell(*rs, QStringLiteral("Col%1DataStyle").arg(n),
                {0, 0, 0, 432, 0, 8, false, true, 0, 15, QString()});
    rs->moveFirst();
    return rs;
}

std::shared_ptr<RowSet> MakeReportDataTable() {
    auto rs = std::make_shared<RowSet>(QStringList{
        QStringLiteral("nColumn"), QStringLiteral("Column1"), QStringLiteral("Column2")});
    addRow(*rs, ResString(682));
    addRow(*rs, ResString(683), ResString(684));
    return rs;
}

void SetReport(const CUsoInstr& u, RowSet& rs) {
    SetReport(u, rs, ModelCatalogue::standard());
}

void SetReport(const CUsoInstr& u, RowSet& rs, const ModelCatalogue& catalogue) {
    // The catalogue search comes first: an unknown model ends the report with nothing added.
    const QString model = catalogue.find(u.InstrModel()).name;
    const QString minutes = ResString(5631);
    addRow(rs, ResString(5638), u.NomeProgramma());
    addRow(rs, ResString(5644), model);
    addRow(rs, ResString(5621), choice(5622, u.System(), 5));
    addRow(rs, ResString(5633), FormatTenths(u.RapportoTV()));
    addRow(rs, ResString(5632), QString::number(u.RapportoTA()));
    addRow(rs, ResString(5628));
    addRow(rs, ResString(5630), QString::number(u.IntTimeCorr()) + minutes);
    addRow(rs, ResString(5629));
    addRow(rs, ResString(5630), QString::number(u.IntTimePot()) + minutes);
    addRow(rs, ResString(5635));
    addRow(rs, ResString(5636), QString::number(u.FilterScale()) + u'%');
    addRow(rs, ResString(5637), QString::number(u.FilterCoeff()));
    if (HasFieldBusAddress(u.InstrModel()))
        addRow(rs, ResString(5634), QString::number(u.NetworkAddVexbus()));
}

void SetReport(const CDigOutConfig& d, RowSet& rs) {
    addRow(rs, ResString(5601), choice(5602, d.DigOut1(), 3));
    if (d.DigOut1() == CDigOutConfig::Alarm)
        addRow(rs, ResString(5605), QString::number(d.NumAlarm1()));
    addRow(rs, ResString(5607), choice(5608, d.StatusDigOut1(), 2));
    if (DigitalOutputCount(d.ModuleTypeLo()) == 1)
        return;
    addRow(rs, ResString(5606), choice(5602, d.DigOut2(), 3));
    if (d.DigOut2() == CDigOutConfig::Alarm)
        addRow(rs, ResString(5605), QString::number(d.NumAlarm2()));
    addRow(rs, ResString(5610), choice(5608, d.StatusDigOut2(), 2));
}

void SetReport(const CPulseOutSetup& p, RowSet& rs) {
    addRow(rs, FormatResString(5650, recordNumber(p.ClassName())));
    addRow(rs, ResString(5651), choice(5652, p.SelectCounter(), 4));
    addRow(rs, ResString(5657),
           FormatHundredths(p.PulseOut()) + u' ' + PulseUnitText(p.SelectCounter()));
    addRow(rs, ResString(5658), choice(5659, p.PulseOutStatus(), 2));
}

void SetReport(const CAlarm& a, RowSet& rs) {
    addRow(rs, FormatResString(5570, recordNumber(a.ClassName())));
    for (int i = 0; i < a.NumAlarm(); ++i) {
        const qint16 code = qint16(a.VarControllata(i) & 0xFF);
        const qint16 step = a.ScaleSelect(i);
        addRow(rs, FormatResString(5571, QString::number(i + 1)));
        addRow(rs, ResString(5572), variableName(code));
        if (!fixedScale(code))
            addRow(rs, ResString(5573), scaleText(step));
        addRow(rs, ResString(5574), engineeringValue(code, a.MinAlarm(i), step));
        addRow(rs, ResString(5575), engineeringValue(code, a.MaxAlarm(i), step));
        addRow(rs, ResString(5576), QString::number(a.DelayTime(i)) + QStringLiteral("s."));
        addRow(rs, ResString(5577), choice(5578, a.AlarmType(i), 4));
        addRow(rs, ResString(5582), choice(5583, a.AlarmStatus(i), 2));
        addRow(rs, ResString(5585), choice(5586, a.LogicFunction(i), 2));
        addRow(rs, ResString(5588), choice(5589, a.AlarmStartup(i), 2));
    }
}

void SetReport(const CSerialComm& s, RowSet& rs) {
    addRow(rs, ResString(5350), QString::number(s.NetworkAdd()));
    addRow(rs, ResString(5351), choice(5352, s.BaudRate(), 4));
}

void SetReport(const CAnalogOutSetup& o, RowSet& rs) {
    const qint16 code = qint16(o.VariabileRipetuta() & 0xFF);
    const qint16 step = o.ScaleSelect();
    // The title has no placeholder: every analogue output carries the same one.
    addRow(rs, FormatResString(5670, recordNumber(o.ClassName())));
    addRow(rs, ResString(5671), variableName(code));
    if (!fixedScale(code))
        addRow(rs, ResString(5672), scaleText(step));
    addRow(rs, ResString(5673));
    addRow(rs, ResString(5674), engineeringValue(code, o.MaxIn(), step));
    addRow(rs, ResString(5675), engineeringValue(code, o.MinIn(), step));
    addRow(rs, ResString(5676));
    addRow(rs, ResString(5677), QString::number(o.MaxOut()) + u'%');
    addRow(rs, ResString(5678), QString::number(o.MinOut()) + u'%');
}

}  // namespace voltaris
