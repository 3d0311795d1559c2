#include "model/Validation.h"

#include "base/ResString.h"
#include "model/Configuration.h"
#include "model/ModelCatalogue.h"
#include "variables/CVariableRangeScale.h"
#include "variables/GlobalScale.h"
#include "variables/VariableCatalogue.h"

namespace voltaris {

namespace {

constexpr int FirstScale = 2;

QString SystemText(int system) {
    return ResString(5622 + system);
}

QString VariableText(qint32 code) {
    if (code >= 0 && code < VariableCatalogue::VariableCount)
        return QStringLiteral("%1 (%2)").arg(code).arg(VariableCatalogue::standard().name(code));
    return QString::number(code);
}

QString ModelText(qint32 model) {
    if (const ModelEntry* e = ModelCatalogue::standard().lookup(model))
        return e->name;
    return QStringLiteral("0x%1").arg(quint32(model), 8, 16, QLatin1Char('0'));
}

class Checker {
public:
    explicit Checker(FieldProblems& out) : m_out(out) {}

    void add(const QString& field, const QString& text) { m_out.append({field, text}); }

    // False (and a problem) when `value` is outside lo..hi.
    bool range(const QString& field, qint64 value, qint64 lo, qint64 hi) {
        if (value >= lo && value <= hi)
            return true;
        add(field, QStringLiteral("%1 is outside %2..%3").arg(value).arg(lo).arg(hi));
        return false;
    }

private:
    FieldProblems& m_out;
};

QString Field(const QString& table, const char* property) {
    return table + u'.' + QLatin1String(property);
}

QString Field(const QString& table, const char* property, int index) {
    return QStringLiteral("%1.%2[%3]").arg(table, QLatin1String(property)).arg(index);
}

// What the alarm and analogue output pages need from the usage record.
struct Measuring {
    qint32 model = 0;
    qint32 rapportoTV = 0;
    qint32 rapportoTA = 0;
    int system = -1;     // -1 when the record's system is not valid
    bool ratios = true;  // both ratios valid: ranges can be computed
};

// One variable with its scale and two limits, as the alarm and analogue output pages
// offer them, with the names of the four fields.
struct MeasuredFields {
    QString variable, scale, lower, upper;
    qint32 code;
    qint16 step, min, max;
    QString lowerName, upperName;
};

void CheckMeasured(Checker& c, const Measuring& m, const MeasuredFields& f) {
    if (m.system < 0)
        return;
    bool offered = false;
    for (const VariableEntry& e : VariableCatalogue::standard().variablesForSystem(m.system))
        offered = offered || e.code() == f.code;
    if (!offered) {
        c.add(f.variable, QStringLiteral("variable %1 is not offered for the wiring system %2 (%3)")
                              .arg(VariableText(f.code))
                              .arg(m.system)
                              .arg(SystemText(m.system)));
        return;
    }
    if (!m.ratios)
        return;
    CVariableRangeScale range;
    range.setInstrModel(m.model);
    range.setRapportoTV(m.rapportoTV);
    range.setRapportoTA(m.rapportoTA);
    range.setVariable(qint16(f.code));
    const qint16 top = range.DPScaleMax();
    if (f.step < FirstScale || f.step > top) {
        c.add(f.scale, QStringLiteral("%1 is not a scale offered for variable %2 (%3..%4)")
                           .arg(f.step)
                           .arg(VariableText(f.code))
                           .arg(FirstScale)
                           .arg(top));
        return;
    }
    range.setScaleSelect(f.step);
    const qint16 lo = range.Minimo();
    const qint16 hi = range.Massimo();
    const QString unit = range.UnitaIngegneristica();
    const QString within =
        QStringLiteral("%1..%2 at scale %3 (%4%5..%6%5)")
            .arg(lo)
            .arg(hi)
            .arg(f.step)
            .arg(GlobalScale::FormatScaled(lo, f.step, QStringLiteral(".")), unit,
                 GlobalScale::FormatScaled(hi, f.step, QStringLiteral(".")));
    bool inside = true;
    if (f.min < lo || f.min > hi) {
        c.add(f.lower, QStringLiteral("%1 is outside %2").arg(f.min).arg(within));
        inside = false;
    }
    if (f.max < lo || f.max > hi) {
        c.add(f.upper, QStringLiteral("%1 is outside %2").arg(f.max).arg(within));
        inside = false;
    }
    if (inside && f.min > f.max)
        c.add(f.lower, QStringLiteral("%1 is above the upper limit %2 (%3)")
                           .arg(f.min)
                           .arg(f.upperName)
                           .arg(f.max));
}

Measuring CheckUsoInstr(Checker& c, const CUsoInstr& u, bool catalogued) {
    const QString t = u.ClassName();
    Measuring m;
    m.model = u.InstrModel();
    m.rapportoTV = u.RapportoTV();
    m.rapportoTA = u.RapportoTA();
    const QString name = NameProblem(u.NomeProgramma());
    if (!name.isEmpty())
        c.add(Field(t, "NomeProgramma"), name);
    if (!catalogued)
        c.add(Field(t, "InstrModel"),
              QStringLiteral("%1 is not a model of the catalogue").arg(ModelText(m.model)));
    c.range(Field(t, "FilterScale"), u.FilterScale(), 0, 100);
    c.range(Field(t, "IntTimeCorr"), u.IntTimeCorr(), 1, 30);
    c.range(Field(t, "FilterCoeff"), u.FilterCoeff(), 1, 32);
    m.ratios = c.range(Field(t, "RapportoTV"), u.RapportoTV(), 10, 60000);
    m.ratios = c.range(Field(t, "RapportoTA"), u.RapportoTA(), 1, 60000) && m.ratios;
    if (c.range(Field(t, "System"), u.System(), 0, 4)) {
        if (!catalogued) {
            m.system = u.System();
        } else if (SystemOffered(m.model, u.System())) {
            m.system = u.System();
        } else {
            c.add(Field(t, "System"), QStringLiteral("%1 (%2) is not offered for %3: only 1 or 4")
                                          .arg(u.System())
                                          .arg(SystemText(u.System()), ModelText(m.model)));
        }
    }
    c.range(Field(t, "IntTimePot"), u.IntTimePot(), 1, 30);
    c.range(Field(t, "NetworkAddVexbus"), u.NetworkAddVexbus(), 1, 255);
    return m;
}

void CheckDigOutConfig(Checker& c, const CDigOutConfig& d) {
    const QString t = d.ClassName();
    c.range(Field(t, "DigOut1"), d.DigOut1(), 0, 2);
    const bool count1 = c.range(Field(t, "NumAlarm1"), d.NumAlarm1(), 0, MaxAlarmBlocks);
    c.range(Field(t, "StatusDigOut1"), d.StatusDigOut1(), 0, 1);
    c.range(Field(t, "DigOut2"), d.DigOut2(), 0, 2);
    const bool count2 = c.range(Field(t, "NumAlarm2"), d.NumAlarm2(), 0, MaxAlarmBlocks);
    c.range(Field(t, "StatusDigOut2"), d.StatusDigOut2(), 0, 1);
    // Both outputs share the instrument's 16 alarm blocks.
    if (count1 && count2 && d.NumAlarm1() + d.NumAlarm2() > MaxAlarmBlocks)
        c.add(Field(t, "NumAlarm2"),
              QStringLiteral("%1 alarms with %2 on output 1 exceed the %3 alarms of the instrument")
                  .arg(d.NumAlarm2())
                  .arg(d.NumAlarm1())
                  .arg(MaxAlarmBlocks));
}

void CheckPulseOutSetup(Checker& c, const CPulseOutSetup& p) {
    const QString t = p.ClassName();
    c.range(Field(t, "SelectCounter"), p.SelectCounter(), 0, 1);
    c.range(Field(t, "PulseOut"), p.PulseOut(), 1, 50000);
    c.range(Field(t, "PulseOutStatus"), p.PulseOutStatus(), 0, 1);
}

void CheckAlarm(Checker& c, const CAlarm& a, int inUse, const Measuring& m) {
    const QString t = a.ClassName();
    for (int i = 0; i < IndexedCount; ++i) {
        if (i < inUse) {
            CheckMeasured(
                c, m,
                {Field(t, "VarControllata", i), Field(t, "ScaleSelect", i), Field(t, "MinAlarm", i),
                 Field(t, "MaxAlarm", i), a.VarControllata(i), a.ScaleSelect(i), a.MinAlarm(i),
                 a.MaxAlarm(i), QStringLiteral("MinAlarm"), QStringLiteral("MaxAlarm")});
        }
        c.range(Field(t, "DelayTime", i), a.DelayTime(i), 0, 255);
        c.range(Field(t, "AlarmType", i), a.AlarmType(i), 0, 3);
        c.range(Field(t, "AlarmStatus", i), a.AlarmStatus(i), 0, 1);
        c.range(Field(t, "LogicFunction", i), a.LogicFunction(i), 0, 1);
        c.range(Field(t, "AlarmStartup", i), a.AlarmStartup(i), 0, 1);
    }
}

void CheckSerialComm(Checker& c, const CSerialComm& s) {
    const QString t = s.ClassName();
    c.range(Field(t, "NetworkAdd"), s.NetworkAdd(), 1, 255);
    c.range(Field(t, "BaudRate"), s.BaudRate(), 0, 3);
}

// Only the outputs the model has: a new record holds MaxOut 1000, which the page clamps.
void CheckAnalogOutSetup(Checker& c, const CAnalogOutSetup& a, const Measuring& m) {
    const QString t = a.ClassName();
    CheckMeasured(c, m,
                  {Field(t, "VariabileRipetuta"), Field(t, "ScaleSelect"), Field(t, "MinIn"),
                   Field(t, "MaxIn"), a.VariabileRipetuta(), a.ScaleSelect(), a.MinIn(), a.MaxIn(),
                   QStringLiteral("MinIn"), QStringLiteral("MaxIn")});
    c.range(Field(t, "MaxOut"), a.MaxOut(), 0, 100);
    c.range(Field(t, "MinOut"), a.MinOut(), 0, 100);
}

}  // namespace

QString FieldProblem::message() const {
    return field.isEmpty() ? text : field + QStringLiteral(": ") + text;
}

QString NameProblem(const QString& name) {
    // An empty name would not be stored: the archive keeps the previous one.
    if (name.trimmed().isEmpty())
        return ResString(2960);
    if (name.size() > MaxNameLength)
        return FormatResString(2961, QString::number(name.size()), QString::number(MaxNameLength));
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name.at(i).category() == QChar::Other_Control)
            return FormatResString(
                2962, QStringLiteral("%1").arg(name.at(i).unicode(), 4, 16, QLatin1Char('0')),
                QString::number(i + 1));
    }
    return {};
}

bool SystemOffered(qint32 model, int system) {
    if (system == 1 || system == 4)
        return true;
    if (system == 0 || system == 2 || system == 3) {
        const quint8 base = BaseInstrument(model);
        return base == 0x21 || base == 0x22;
    }
    return false;
}

qint16 SettledSystem(qint32 model) {
    return SystemOffered(model, 0) ? 0 : 4;
}

int AlarmsInUse(const Configuration& config, int output) {
    const CDigOutConfig& d = config.DigOutConfig();
    const qint32 model = config.UsoInstr().InstrModel();
    if (output < 1 || output > DigitalOutputCount(model))
        return 0;
    const qint16 mode = output == 1 ? d.DigOut1() : d.DigOut2();
    const qint16 count = output == 1 ? d.NumAlarm1() : d.NumAlarm2();
    if (mode != CDigOutConfig::Alarm)
        return 0;
    return qBound(0, int(count), AlarmBlockCount(model));
}

bool PulsesInUse(const Configuration& config, int output) {
    if (output < 1 || output > DigitalOutputCount(config.UsoInstr().InstrModel()))
        return false;
    const CDigOutConfig& d = config.DigOutConfig();
    return (output == 1 ? d.DigOut1() : d.DigOut2()) == CDigOutConfig::Pulses;
}

int AnalogOutputsInUse(const Configuration& config) {
    return AnalogOutputCount(config.UsoInstr().InstrModel());
}

FieldProblems ValidateConfiguration(const Configuration& config) {
    FieldProblems problems;
    Checker c(problems);
    const bool catalogued = ModelCatalogue::standard().lookup(config.UsoInstr().InstrModel());
    const Measuring m = CheckUsoInstr(c, config.UsoInstr(), catalogued);
    CheckDigOutConfig(c, config.DigOutConfig());
    for (int output = 1; output <= 2; ++output)
        CheckPulseOutSetup(c, config.PulseOutSetup(output));
    // Which alarms and outputs are in use depends on the model: unknown for an
    // uncatalogued one, which is refused anyway.
    for (int output = 1; output <= 2; ++output)
        CheckAlarm(c, config.Alarm(output), catalogued ? AlarmsInUse(config, output) : 0, m);
    CheckSerialComm(c, config.SerialComm());
    const int analogue = catalogued ? AnalogOutputsInUse(config) : 0;
    for (int output = 1; output <= analogue; ++output)
        CheckAnalogOutSetup(c, config.AnalogOutSetup(output), m);
    return problems;
}

}  // namespace voltaris
