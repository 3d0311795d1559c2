#include "ConfigJsonFuzz.h"

#include <exception>

#include "model/Configuration.h"
#include "model/ConfigurationJson.h"

namespace voltaris::test {

namespace {

// A stored configuration the update is tried on: alarms in use on output 1.
void FillStored(Configuration& c) {
    c.UsoInstr().setNomeProgramma(QStringLiteral("Stored"));
    c.UsoInstr().setInstrModel(0x00220004);
    c.UsoInstr().setRapportoTA(100);
    c.DigOutConfig().setDigOut1(CDigOutConfig::Alarm);
    c.DigOutConfig().setNumAlarm1(2);
    for (int i = 0; i < 2; ++i) {
        c.Alarm(1).setVarControllata(i, 6);
        c.Alarm(1).setScaleSelect(i, 4);
        c.Alarm(1).setMaxAlarm(i, 6000);
    }
}

bool SameRecords(const Configuration& a, const Configuration& b) {
    for (int i = 0; i < a.Records().size(); ++i) {
        if (!a.Records()[i]->SameData(*b.Records()[i]))
            return false;
    }
    return true;
}

QString Check(const QByteArray& json, Configuration& config, JsonMode mode, bool* accepted) {
    const QByteArray before = ConfigurationToJsonText(config);
    const FieldProblems problems = ApplyConfigurationJson(json, config, mode);
    *accepted = problems.isEmpty();
    if (!problems.isEmpty()) {
        for (const FieldProblem& p : problems) {
            if (p.text.isEmpty())
                return QStringLiteral("a problem without text for ") + p.field;
        }
        if (ConfigurationToJsonText(config) != before)
            return QStringLiteral("a refused document changed the configuration");
        return {};
    }
    const FieldProblems rules = ValidateConfiguration(config);
    if (!rules.isEmpty())
        return QStringLiteral("accepted against the rules: ") + rules.first().message();
    Configuration again;
    const FieldProblems back =
        ApplyConfigurationJson(ConfigurationToJsonText(config), again, JsonMode::Update);
    if (!back.isEmpty())
        return QStringLiteral("its own text is refused: ") + back.first().message();
    if (!SameRecords(config, again))
        return QStringLiteral("its own text reads back differently");
    return {};
}

}  // namespace

ConfigJsonOutcome FuzzConfigurationJson(const uint8_t* data, size_t size) {
    ConfigJsonOutcome outcome;
    const QByteArray json(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        Configuration created;
        outcome.violation = Check(json, created, JsonMode::Create, &outcome.accepted);
        if (!outcome.violation.isEmpty())
            return outcome;
        Configuration stored;
        FillStored(stored);
        bool updated = false;
        outcome.violation = Check(json, stored, JsonMode::Update, &updated);
    } catch (const std::exception& e) {
        outcome.violation = QStringLiteral("exception: ") + QString::fromUtf8(e.what());
    }
    return outcome;
}

}  // namespace voltaris::test
