#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTimer>

#include "TraceCapture.h"
#include "base/ResString.h"
#include "model/CAlarm.h"
#include "model/CAnalogOutSetup.h"
#include "wizard/FWAlarm.h"
#include "wizard/FWAnalogOutSetup.h"

using namespace voltaris;
using voltaris::wizard::AlarmVariableEnabling;
using voltaris::wizard::AlarmVariableRules;
using voltaris::wizard::FWAlarm;
using voltaris::wizard::PowerFactorText;
using voltaris::wizard::WizardPage;

namespace {

constexpr qint16 kVoltL1 = 0, kVoltL2 = 1, kPhaseSequence = 19, kPfL1 = 20, kPfSys = 28, kHz = 29,
                 kAsy = 30, kWattSys = 25;

TEST(AlarmVariableRules, ScaleAndLimitsByVariable) {
    const struct {
        qint16 variable;
        AlarmVariableEnabling expected;
    } cases[] = {
        {kVoltL1, {true, true}}, {kWattSys, {true, true}}, {kPhaseSequence, {false, false}},
        {kPfL1, {false, true}},  {kPfSys, {false, true}},  {kHz, {false, true}},
        {kAsy, {false, true}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AlarmVariableRules(c.variable), c.expected) << c.variable;
}

TEST(PowerFactorText, InductiveCapacitiveAndUnity) {
    const struct {
        qint16 value;
        float multiplier;
        const char* format;
        const char* expected;
    } cases[] = {
        {200, 0.001f, "0.000", "L.800"},  {-200, 0.001f, "0.000", "C.800"},
        {0, 0.001f, "0.000", "1.000"},    {-1, 0.001f, "0.000", "C.999"},
        {1000, 0.001f, "0.000", "L.000"}, {50, 0.001f, "#0.00", "L0.95"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PowerFactorText(c.value, c.multiplier, c.format, "", ".").toStdString(),
                  c.expected)
            << c.value;
}

// A page of three alarms over a three-phase system: a voltage, the phase sequence and a
// power factor.
struct AlarmPage {
    CAlarm record;
    FWAlarm page;
    AlarmPage(qint16 system = 0) {
        record.setClassName("CAlarm2");
        record.setInstrModel(0x00230004);
        record.setSystem(system);
        record.setRapportoTA(5);
        record.setRapportoTV(10);
        record.setNumAlarm(3);
        record.setVarControllata(0, kVoltL2);
        record.setVarControllata(1, kPhaseSequence);
        record.setMinAlarm(1, 7);
        record.setVarControllata(2, kPfL1);
        record.setMinAlarm(2, -200);
        record.setMaxAlarm(2, 200);
        record.setAlarmType(2, 3);
        page.setFormType(WizardPage::ftDialog);
    }
    // Shows the page, runs `check` on it, leaves it with OK and takes its record back.
    void run(const std::function<void()>& check) {
        page.SetData(record);
        QObject::connect(&page, &WizardPage::Activated, &page, [&] {
            QTimer::singleShot(0, &page, [&] {
                check();
                page.button("cmdDialogOk")->click();
            });
        });
        ASSERT_EQ(page.ShowModal(), WizardPage::brEnd);
        page.GetData(record);
    }
    QString text(const char* name) { return page.findChild<QLineEdit*>(name)->text(); }
    bool enabled(const char* name) { return page.findChild<QWidget*>(name)->isEnabled(); }
};

TEST(FWAlarm, TabsVariablesAndTheirRules) {
    AlarmPage p;
    test::TraceCapture trace;
    p.run([&] {
        QTabBar* tabs = p.page.tabs();
        ASSERT_EQ(tabs->count(), 3);
        EXPECT_EQ(tabs->tabText(0), "Al. 1");
        EXPECT_EQ(tabs->tabText(2), "Al. 3");
        EXPECT_EQ(p.page.title()->text(), FormatResString(570, "2"));
        EXPECT_EQ(p.page.findChild<QGroupBox*>("frmAlarmSetup")->title(),
                  FormatResString(571, "1"));
        // The first alarm: a voltage with every control in use, the upper limit at the
        // range's top.
        EXPECT_TRUE(p.enabled("cmbScaleSelect"));
        EXPECT_TRUE(p.enabled("txtMaxAlarm"));
        EXPECT_TRUE(p.text("txtMaxAlarm").endsWith("V")) << p.text("txtMaxAlarm").toStdString();

        tabs->setCurrentIndex(1);  // the phase sequence: no scale, no limits, no type
        EXPECT_EQ(p.page.findChild<QGroupBox*>("frmAlarmSetup")->title(),
                  FormatResString(571, "2"));
        EXPECT_FALSE(p.enabled("cmbScaleSelect"));
        EXPECT_FALSE(p.enabled("txtMinAlarm"));
        EXPECT_FALSE(p.enabled("optAlarmType1"));
        EXPECT_EQ(p.text("txtMinAlarm"), "");

        tabs->setCurrentIndex(2);  // a power factor: L / C readings, no scale
        EXPECT_FALSE(p.enabled("cmbScaleSelect"));
        EXPECT_TRUE(p.enabled("txtMinAlarm"));
        EXPECT_TRUE(p.text("txtMinAlarm").startsWith("C")) << p.text("txtMinAlarm").toStdString();
        EXPECT_TRUE(p.text("txtMaxAlarm").startsWith("L")) << p.text("txtMaxAlarm").toStdString();
        EXPECT_EQ(p.page.m_MinAlarm.Value(), -200);
        EXPECT_EQ(p.page.m_MaxAlarm.Value(), 200);

        // Back on the first tab, a change is kept when the tab changes.
        tabs->setCurrentIndex(0);
        p.page.m_DelayTime.setValue(42);
        tabs->setCurrentIndex(2);
        tabs->setCurrentIndex(0);
        EXPECT_EQ(p.page.m_DelayTime.Value(), 42);
    });
    EXPECT_EQ(p.record.DelayTime(0), 42);
    EXPECT_EQ(p.record.VarControllata(1), kPhaseSequence);
    EXPECT_EQ(p.record.MinAlarm(1), 0);  // the phase sequence has no limits
    EXPECT_EQ(p.record.AlarmType(1), 0);
    EXPECT_EQ(p.record.MinAlarm(2), -200);
    EXPECT_EQ(p.record.AlarmType(2), 3);
    EXPECT_TRUE(trace.lines.filter("Convertito valore PF da -200 a C").size() > 0);
}

TEST(FWAlarm, TheLowerLimitNeverPassesTheUpper) {
    AlarmPage p;
    p.run([&] {
        const qint16 top = p.page.m_MaxAlarm.Max();
        ASSERT_GT(top, 4000);
        p.page.m_MaxAlarm.setValue(4000);
        p.page.m_MinAlarm.setValue(top);  // above the upper: held at it
        EXPECT_EQ(p.page.m_MinAlarm.Value(), 4000);
        p.page.m_MinAlarm.setValue(1000);
        p.page.m_MaxAlarm.setValue(0);  // below the lower: held at it
        EXPECT_EQ(p.page.m_MaxAlarm.Value(), 1000);
        p.page.m_MinAlarm.setValue(1500);  // the stored order survives a later change
    });
    EXPECT_EQ(p.record.MinAlarm(0), 1000);
    EXPECT_EQ(p.record.MaxAlarm(0), 1000);
}

// Single phase offers no V L2-N: the alarm falls back to W Sys, on every tab at once, traced.
TEST(FWAlarm, AVariableTheSystemDoesNotOfferIsReplacedOnEveryAlarm) {
    AlarmPage p(1);
    p.record.setVarControllata(2, kVoltL2);
    test::TraceCapture trace;
    p.run([] {});
    EXPECT_EQ(p.record.VarControllata(0), kWattSys);
    EXPECT_EQ(p.record.VarControllata(2), kWattSys);  // a tab never shown
    EXPECT_EQ(trace.lines.filter("variabile 1 non disponibile nel sistema 1").size(), 2);
    EXPECT_FALSE(trace.lines.filter("adattato").isEmpty());
}

}  // namespace

namespace {

// The analogue output page shares the variable, scale and range with the alarm page; it adds
// the output range in percent and reads the phase sequence as OK / NO OK.
TEST(FWAnalogOutSetup, RangesAndReadings) {
    const struct {
        qint16 variable;
        qint16 minIn, maxIn;
        const char* maxText;  // what the maximum input field shows ("" when only its start)
    } cases[] = {
        {kPhaseSequence, 0, 1, "OK"},
        {kPhaseSequence, 0, 0, "NO OK"},
        {kPfSys, -200, 200, "L"},
        {kVoltL1, 0, 4000, "V"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variable);
        CAnalogOutSetup record;
        record.setClassName("CAnalogOutSetup3");
        record.setInstrModel(0x00230303);
        record.setSystem(0);
        record.setRapportoTA(5);
        record.setRapportoTV(10);
        record.setVariabileRipetuta(c.variable);
        record.setScaleSelect(4);
        record.setMinIn(c.minIn);
        record.setMaxIn(c.maxIn);
        record.setMaxOut(250);  // outside 0..100: shown and kept at 100
        record.setMinOut(20);
        wizard::FWAnalogOutSetup page;
        page.setFormType(WizardPage::ftDialog);
        page.SetData(record);
        QString maxText, outText;
        bool scale = true;
        QObject::connect(&page, &WizardPage::Activated, &page, [&] {
            QTimer::singleShot(0, &page, [&] {
                maxText = page.findChild<QLineEdit*>("txtMaxIn")->text();
                outText = page.findChild<QLineEdit*>("txtMaxOut")->text();
                scale = page.findChild<QComboBox*>("cmbScaleSelect")->isEnabled();
                page.button("cmdDialogOk")->click();
            });
        });
        ASSERT_EQ(page.ShowModal(), WizardPage::brEnd);
        page.GetData(record);
        if (QString(c.maxText).size() > 2)
            EXPECT_EQ(maxText, c.maxText);
        else
            EXPECT_TRUE(c.variable == kVoltL1 ? maxText.endsWith(c.maxText)
                                              : maxText.startsWith(c.maxText))
                << maxText.toStdString();
        EXPECT_EQ(scale, c.variable == kVoltL1);
        EXPECT_EQ(outText, "100 %");
        EXPECT_EQ(page.title()->text(), FormatResString(670, "3"));
        EXPECT_EQ(record.MaxOut(), 100);
        EXPECT_EQ(record.MinOut(), 20);
        EXPECT_EQ(record.VariabileRipetuta(), c.variable);
        EXPECT_EQ(record.MaxIn(), c.maxIn);
        EXPECT_EQ(record.MinIn(), c.minIn);
    }
}

}  // namespace
