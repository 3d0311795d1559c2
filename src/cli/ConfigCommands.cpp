#include <QFile>

#include "archive/Archive.h"
#include "base/Errors.h"
#include "base/ResString.h"
#include "cli/Command.h"
#include "model/Configuration.h"
#include "model/ConfigurationJson.h"
#include "model/ModelCatalogue.h"
#include "model/Validation.h"
#include "report/ReportRows.h"
#include "variables/CVariableViewConvert.h"
#include "variables/FixedPoint.h"
#include "variables/GlobalScale.h"
#include "variables/VariableCatalogue.h"

namespace voltaris::cli {

namespace {

const QString kJson = QStringLiteral("--json");

// A report text without its cell markup ("#SB#VT ratio" gives "VT ratio").
QString WithoutMarkup(QString text) {
    if (text.startsWith(u'#')) {
        const qsizetype end = text.indexOf(u'#', 1);
        if (end > 0)
            text = text.mid(end + 1);
    }
    return text.trimmed();
}

QString Label(int id) {
    return WithoutMarkup(ResString(id));
}

// The text of resource first + value for a value of 0..count-1, else the number itself.
QString Choice(int first, qint64 value, int count) {
    if (value < 0 || value >= count)
        return QString::number(value);
    return ResString(first + int(value));
}

QString VariableName(qint32 code) {
    if (code < 0 || code >= VariableCatalogue::VariableCount)
        return QString::number(code);
    return VariableCatalogue::standard().name(code);
}

// Variables whose scale is fixed: the pages and the report show no scale for them.
bool FixedScale(const CVariableType& type) {
    return type.IsASY() || type.IsPFFase() || type.IsPFSys() || type.IsPhaseSequence() ||
           type.IsHZ();
}

// A scaled limit in engineering units ("230.4V", "C.950"); the integer and its step when
// the code or step is not one the program knows.
QString Scaled(qint32 code, qint16 value, qint16 step) {
    if (code < 0 || code >= VariableCatalogue::VariableCount || !GlobalScale::IsValidStep(step))
        return QStringLiteral("%1 (scale %2)").arg(value).arg(step);
    CVariableViewConvert view(QStringLiteral("."));
    view.VariableIntDPScale(qint16(code), value, step);
    return view.ElettricDataString();
}

QString ScaleText(qint16 step) {
    return GlobalScale::IsValidStep(step) ? GlobalScale::Row(step).SampleText
                                          : QString::number(step);
}

// Two columns, label and value, under one heading per record.
class Listing {
public:
    void heading(const QString& table, bool used) {
        if (!m_lines.isEmpty())
            m_lines.append({QString(), QString()});
        m_lines.append(
            {QStringLiteral("[%1]%2").arg(table, used ? QString() : QStringLiteral(" (not used)")),
             QString()});
    }
    void row(const QString& label, const QString& value, int indent = 2) {
        m_lines.append({QString(indent, u' ') + label, value});
    }
    QString text() const {
        qsizetype width = 0;
        for (const auto& [label, value] : m_lines) {
            if (!value.isEmpty())
                width = qMax(width, label.size());
        }
        QString out;
        for (const auto& [label, value] : m_lines) {
            out += value.isEmpty() ? label : label.leftJustified(width + 2) + value;
            out += u'\n';
        }
        return out;
    }

private:
    QList<QPair<QString, QString>> m_lines;
};

void ListUsoInstr(Listing& l, const CUsoInstr& u) {
    l.heading(u.ClassName(), true);
    l.row(Label(5638), u.NomeProgramma());
    l.row(Label(5644), ModelName(u.InstrModel()));
    l.row(Label(5621), Choice(5622, u.System(), 5));
    l.row(Label(5633), FormatFixed(u.RapportoTV(), 1));
    l.row(Label(5632), QString::number(u.RapportoTA()));
    l.row(Label(5628), QString::number(u.IntTimeCorr()) + ResString(5631));
    l.row(Label(5629), QString::number(u.IntTimePot()) + ResString(5631));
    l.row(Label(5636), QString::number(u.FilterScale()) + u'%');
    l.row(Label(5637), QString::number(u.FilterCoeff()));
    l.row(Label(5634), QString::number(u.NetworkAddVexbus()));
}

void ListDigOutConfig(Listing& l, const CDigOutConfig& d, bool used) {
    l.heading(d.ClassName(), used);
    l.row(Label(5601), Choice(5602, d.DigOut1(), 3));
    l.row(Label(5605), QString::number(d.NumAlarm1()));
    l.row(Label(5607), Choice(5608, d.StatusDigOut1(), 2));
    l.row(Label(5606), Choice(5602, d.DigOut2(), 3));
    l.row(Label(5605), QString::number(d.NumAlarm2()));
    l.row(Label(5610), Choice(5608, d.StatusDigOut2(), 2));
}

void ListPulseOutSetup(Listing& l, const CPulseOutSetup& p, bool used) {
    l.heading(p.ClassName(), used);
    l.row(Label(5651), Choice(5652, p.SelectCounter(), 4));
    const QString unit = PulseUnitText(p.SelectCounter());
    l.row(Label(5657), unit.isEmpty() ? FormatFixed(p.PulseOut(), 2)
                                      : FormatFixed(p.PulseOut(), 2) + u' ' + unit);
    l.row(Label(5658), Choice(5659, p.PulseOutStatus(), 2));
}

void ListAlarms(Listing& l, const CAlarm& a, int inUse) {
    l.heading(a.ClassName(), inUse > 0);
    for (int i = 0; i < inUse; ++i) {
        l.row(WithoutMarkup(FormatResString(5571, QString::number(i + 1))), QString());
        const qint32 code = a.VarControllata(i);
        l.row(Label(5572), VariableName(code), 4);
        if (!FixedScale(CVariableType(qint16(code))))
            l.row(Label(5573), ScaleText(a.ScaleSelect(i)), 4);
        l.row(Label(5574), Scaled(code, a.MinAlarm(i), a.ScaleSelect(i)), 4);
        l.row(Label(5575), Scaled(code, a.MaxAlarm(i), a.ScaleSelect(i)), 4);
        l.row(Label(5576), QString::number(a.DelayTime(i)) + QStringLiteral("s."), 4);
        l.row(Label(5577), Choice(5578, a.AlarmType(i), 4), 4);
        l.row(Label(5582), Choice(5583, a.AlarmStatus(i), 2), 4);
        l.row(Label(5585), Choice(5586, a.LogicFunction(i), 2), 4);
        l.row(Label(5588), Choice(5589, a.AlarmStartup(i), 2), 4);
    }
}

void ListSerialComm(Listing& l, const CSerialComm& s, bool used) {
    l.heading(s.ClassName(), used);
    l.row(Label(5350), QString::number(s.NetworkAdd()));
    l.row(Label(5351), Choice(5352, s.BaudRate(), 4));
}

void ListAnalogOutSetup(Listing& l, const CAnalogOutSetup& a, bool used) {
    l.heading(a.ClassName(), used);
    const qint32 code = a.VariabileRipetuta();
    l.row(Label(5671), VariableName(code));
    if (!FixedScale(CVariableType(qint16(code))))
        l.row(Label(5672), ScaleText(a.ScaleSelect()));
    l.row(Label(5674), Scaled(code, a.MaxIn(), a.ScaleSelect()));
    l.row(Label(5675), Scaled(code, a.MinIn(), a.ScaleSelect()));
    l.row(Label(5677), QString::number(a.MaxOut()) + u'%');
    l.row(Label(5678), QString::number(a.MinOut()) + u'%');
}

QString Listed(const Configuration& c) {
    // The sections the report prints are the ones marked in use.
    const qint32 model = c.UsoInstr().InstrModel();
    Listing l;
    ListUsoInstr(l, c.UsoInstr());
    ListDigOutConfig(l, c.DigOutConfig(), HasAlarmBlocks(model));
    ListPulseOutSetup(l, c.PulseOutSetup(1), PulsesInUse(c, 1));
    ListPulseOutSetup(l, c.PulseOutSetup(2), PulsesInUse(c, 2));
    ListAlarms(l, c.Alarm(1), AlarmsInUse(c, 1));
    ListAlarms(l, c.Alarm(2), AlarmsInUse(c, 2));
    ListSerialComm(l, c.SerialComm(), HasNetworkAddress(model));
    for (int output = 1; output <= 3; ++output)
        ListAnalogOutSetup(l, c.AnalogOutSetup(output), output <= AnalogOutputsInUse(c));
    return l.text();
}

// At most one byte past MaxJsonSize, so that endless input (/dev/zero) ends at once and
// the reader refuses it as too long.
QByteArray ReadInput(Session& s, const QString& source) {
    if (source == QLatin1String("-"))
        return s.ctx.in.read(MaxJsonSize + 1).toUtf8();
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        throw IoError(QStringLiteral("Cannot read %1: %2").arg(source, file.errorString()));
    QByteArray bytes;
    while (bytes.size() <= MaxJsonSize) {
        const QByteArray chunk = file.read(MaxJsonSize + 1 - bytes.size());
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (file.error() != QFileDevice::NoError)
        throw IoError(QStringLiteral("Cannot read %1: %2").arg(source, file.errorString()));
    return bytes;
}

QString RequireSource(const ArgList& a) {
    if (!a.has(kJson))
        throw UsageError(QStringLiteral("--json FILE or --json - is needed"));
    return a.value(kJson);
}

int Refused(Session& s, const FieldProblems& problems) {
    s.ctx.err << "The configuration was refused; nothing was stored:\n";
    for (const FieldProblem& p : problems)
        s.ctx.err << "  " << p.message() << '\n';
    return kBadUsage;
}

}  // namespace

Command showCommand() {
    return {QStringLiteral("show"), QStringLiteral("ID [--json]"),
            QStringLiteral("all ten records of a configuration"),
            [](Session& s, const QStringList& args) {
                const ArgList a(args, {kJson}, {});
                const qint32 id = a.requireId(0);
                a.expectPositionals(1);
                if (!requireConfiguration(s, id, Purpose::Use))
                    return int(kFailed);
                Configuration config;
                config.load(s.archive, id);
                if (a.flag(kJson))
                    s.ctx.out << QString::fromUtf8(ConfigurationToJsonText(config));
                else
                    s.ctx.out << Listed(config);
                return int(kDone);
            }};
}

Command createCommand() {
    return {QStringLiteral("create"), QStringLiteral("--json FILE|-"),
            QStringLiteral("new configuration from JSON; prints the new id"),
            [](Session& s, const QStringList& args) {
                const ArgList a(args, {}, {kJson});
                a.expectPositionals(0);
                const QByteArray json = ReadInput(s, RequireSource(a));
                Configuration config;
                const FieldProblems problems =
                    ApplyConfigurationJson(json, config, JsonMode::Create);
                if (!problems.isEmpty())
                    return Refused(s, problems);
                s.ctx.out << config.create(s.archive) << '\n';
                return int(kDone);
            }};
}

Command updateCommand() {
    return {QStringLiteral("update"), QStringLiteral("ID --json FILE|-"),
            QStringLiteral("overwrite configuration ID from JSON"),
            [](Session& s, const QStringList& args) {
                const ArgList a(args, {}, {kJson});
                const qint32 id = a.requireId(0);
                a.expectPositionals(1);
                const QString source = RequireSource(a);
                if (!requireConfiguration(s, id, Purpose::Use))
                    return int(kFailed);
                const QByteArray json = ReadInput(s, source);
                Configuration config;
                config.load(s.archive, id);
                const FieldProblems problems =
                    ApplyConfigurationJson(json, config, JsonMode::Update);
                if (!problems.isEmpty())
                    return Refused(s, problems);
                config.update(s.archive, id);
                return int(kDone);
            }};
}

}  // namespace voltaris::cli
