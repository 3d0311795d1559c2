#include <gtest/gtest.h>

#include <QAction>
#include <QFile>

#include "DesktopSupport.h"
#include "model/Configuration.h"
#include "model/ConfigurationJson.h"
#include "model/Validation.h"
#include "shell/FMain.h"

using namespace voltaris;
using namespace voltaris::test;
using voltaris::wizard::WizardPage;

namespace {

QByteArray Fixture(const char* name) {
    QFile f(QString::fromLocal8Bit(qgetenv("VOLTARIS_TEST_DATA")) + "/json/" + name);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// A configuration the engine accepts, opened in the wizard and left with Next on every page
// and End, is stored exactly as it was: the pages add nothing of their own.
TEST(ConfigurationWizard, EndWithoutChangesKeepsAValidConfiguration) {
    const struct {
        const char* what;
        QByteArray json;
    } cases[] = {
        {"the feeder fixture: alarms on output 1, pulses on output 2", Fixture("feeder.json")},
        {"alarms on both outputs, 10 and 6",
         R"({"CUsoInstr": {"NomeProgramma": "Both", "InstrModel": "KM5.1.x.R2.KX",
              "RapportoTV": 10, "RapportoTA": 50},
             "CDigOutConfig": {"DigOut1": 1, "NumAlarm1": 10, "DigOut2": 1, "NumAlarm2": 6},
             "CAlarm1": {"VarControllata": [29, 29, 29, 29, 29, 29, 29, 29, 29, 29],
                         "ScaleSelect": [3, 3, 3, 3, 3, 3, 3, 3, 3, 3],
                         "MinAlarm": [4800, 4700, 4600, 4500, 4800, 4900, 4800, 4800, 4800, 4800],
                         "MaxAlarm": [5200, 5300, 5400, 5500, 5200, 5100, 6500, 5200, 5200, 5200],
                         "DelayTime": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10]},
             "CAlarm2": {"VarControllata": [28, 29, 28, 29, 28, 29],
                         "ScaleSelect": [2, 3, 2, 3, 2, 3],
                         "MinAlarm": [-300, 4800, -200, 4900, 0, 4500],
                         "MaxAlarm": [300, 5200, 200, 5100, 0, 6500],
                         "AlarmType": [0, 1, 2, 3, 0, 1]}})"},
        {"three analogue outputs",
         R"({"CUsoInstr": {"NomeProgramma": "Analogue", "InstrModel": "KM5.1.x.A3.KX",
              "RapportoTV": 10, "RapportoTA": 5},
             "CAnalogOutSetup1": {"ScaleSelect": 4, "MaxIn": 4000},
             "CAnalogOutSetup2": {"VariabileRipetuta": 6, "ScaleSelect": 3, "MinIn": 0,
                                  "MaxIn": 250, "MinOut": 20, "MaxOut": 100},
             "CAnalogOutSetup3": {"VariabileRipetuta": 19, "ScaleSelect": 5, "MaxIn": 1}})"},
        {"a single-phase instrument with its serial module",
         R"({"CUsoInstr": {"NomeProgramma": "Serial", "InstrModel": "KM5.1.x.S1.KX", "System": 1},
             "CSerialComm": {"NetworkAdd": 200, "BaudRate": 3}})"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Desktop d;
        ASSERT_TRUE(d.main);
        Configuration original;
        const FieldProblems problems = ApplyConfigurationJson(c.json, original, JsonMode::Create);
        ASSERT_TRUE(problems.isEmpty()) << problems.first().message().toStdString();
        const qint32 id = original.create(d.archive);
        Configuration before;
        before.load(d.archive, id);
        d.restart();
        d.main->SelectProgram(id);
        QStringList trail;
        {
            PageDriver driver([&](WizardPage* page) {
                trail << page->objectName();
                return QString(page->button("cmdNext")->isEnabled() ? "cmdNext" : "cmdEnd");
            });
            d.main->findChild<QAction*>("mnuEditProgramma")->trigger();
        }
        EXPECT_EQ(trail.last(), "FWFinalSetupMessage");
        EXPECT_TRUE(d.trace.messages.entries().isEmpty());
        Configuration after;
        after.load(d.archive, id);
        EXPECT_EQ(QString(ConfigurationToJsonText(after)).toStdString(),
                  QString(ConfigurationToJsonText(before)).toStdString())
            << trail.join(",").toStdString();
    }
}

}  // namespace
