#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <memory>

#include "TraceCapture.h"
#include "base/ResString.h"
#include "controls/UpDownArrows.h"
#include "model/CDigOutConfig.h"
#include "model/CPulseOutSetup.h"
#include "wizard/FWDigOutConfig.h"
#include "wizard/FWPulseOutSetup.h"

using namespace voltaris;
using namespace voltaris::test;
using voltaris::wizard::DigOutCounts;
using voltaris::wizard::DigOutEnabling;
using voltaris::wizard::DigOutRules;
using voltaris::wizard::FWDigOutConfig;
using voltaris::wizard::FWPulseOutSetup;
using voltaris::wizard::MaxAlarmsOutput2;
using voltaris::wizard::ShownAlarmCounts;
using voltaris::wizard::WizardPage;

namespace {

constexpr qint16 P = CDigOutConfig::Pulses;
constexpr qint16 A = CDigOutConfig::Alarm;
constexpr qint16 R = CDigOutConfig::RemoteControl;

// Shows the page as a dialog, runs `act` once it is on the screen and returns how it was left.
qint32 RunPage(WizardPage& page, const std::function<void()>& act) {
    page.setFormType(WizardPage::ftDialog);
    // Once: a page may be shown again by a later call.
    QObject::connect(
        &page, &WizardPage::Activated, &page,
        [&] {
            QTimer::singleShot(0, &page, [&] {
                act();
                if (page.isVisible()) {
                    ADD_FAILURE() << "the page was left open";
                    page.reject();
                }
            });
        },
        Qt::SingleShotConnection);
    return page.ShowModal();
}

template <typename T>
T* Child(const QWidget& page, const QString& name) {
    T* w = page.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}

QString Shown(const QWidget& page, const QString& field) {
    return Child<QLineEdit>(page, field)->text();
}

void Ok(const WizardPage& page) {
    page.button("cmdDialogOk")->click();
}

// The values of a digital outputs record; records themselves do not copy.
struct DigOutValues {
    quint8 type;
    qint16 mode1, n1, state1, mode2, n2, state2;
    std::unique_ptr<CDigOutConfig> make() const {
        auto r = std::make_unique<CDigOutConfig>();
        r->setModuleTypeLo(type);
        r->setDigOut1(mode1);
        r->setNumAlarm1(n1);
        r->setStatusDigOut1(state1);
        r->setDigOut2(mode2);
        r->setNumAlarm2(n2);
        r->setStatusDigOut2(state2);
        return r;
    }
};
DigOutValues DigOut(quint8 type, qint16 mode1, qint16 n1, qint16 state1, qint16 mode2, qint16 n2,
                    qint16 state2) {
    return {type, mode1, n1, state1, mode2, n2, state2};
}

// ---- rules ---------------------------------------------------------------------------------

TEST(DigOutRules, ByModuleOutputAndMode) {
    const struct {
        quint8 type;
        int output;
        qint16 mode;
        DigOutEnabling expected;  // mode group, alarm count, normal state
    } cases[] = {
        {4, 1, P, {true, false, false}},
        {4, 1, A, {true, true, true}},
        {4, 1, R, {true, false, true}},
        {4, 2, P, {true, false, false}},
        {4, 2, A, {true, true, true}},
        {4, 2, R, {true, false, true}},
        {5, 2, A, {true, true, true}},
        // the serial module with one output: output 2 is off whatever its mode
        {16, 1, A, {true, true, true}},
        {16, 1, P, {true, false, false}},
        {16, 2, P, {false, false, false}},
        {16, 2, A, {false, false, false}},
        {16, 2, R, {false, false, false}},
        // a mode no option names (damaged record): no count, a normal state
        {4, 1, -1, {true, false, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "type " << int(c.type) << " output " << c.output << " mode " << c.mode);
        EXPECT_EQ(DigOutRules(c.type, c.output, c.mode), c.expected);
    }
}

TEST(DigOutRules, Output2GetsWhatAnAlarmOutput1Leaves) {
    const struct {
        qint16 mode1, count1, max2;
    } cases[] = {
        {A, 0, 16}, {A, 1, 15},  {A, 10, 6},
        {A, 16, 0}, {P, 10, 16}, {R, 16, 16},  // output 1 drives no alarms
        {A, 20, 0}, {A, -3, 16},               // outside 0..16: taken at the nearest end
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mode1 << " " << c.count1);
        EXPECT_EQ(MaxAlarmsOutput2(c.mode1, c.count1), c.max2);
    }
}

TEST(DigOutRules, ShownCountsKeepTheSharedLimit) {
    const struct {
        const char* what;
        DigOutValues record;
        DigOutCounts expected;
    } cases[] = {
        {"within the limit", DigOut(4, A, 10, 0, A, 6, 0), {10, 6, false}},
        {"all on output 2", DigOut(4, P, 0, 0, A, 16, 0), {0, 16, false}},
        {"counts of outputs not in alarm mode are 0", DigOut(4, P, 9, 0, R, 9, 0), {0, 0, false}},
        {"a stale count on a pulse output takes nothing from output 2",
         DigOut(4, P, 12, 0, A, 12, 0),
         {0, 12, false}},
        {"together above 16: output 2 gets what output 1 leaves",
         DigOut(4, A, 10, 0, A, 10, 0),
         {10, 6, true}},
        {"output 1 above 16", DigOut(4, A, 40, 0, A, 3, 0), {16, 0, true}},
        {"output 2 above 16", DigOut(5, R, 0, 0, A, 17, 0), {0, 16, true}},
        {"negative", DigOut(4, A, -2, 0, A, 4, 0), {0, 4, true}},
        {"type 16: output 2 shows 0", DigOut(16, A, 4, 0, A, 5, 0), {4, 0, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ShownAlarmCounts(*c.record.make()), c.expected);
    }
}

// ---- digital outputs page -------------------------------------------------------------------

QString ModeOption(int output, int mode) {
    return QStringLiteral("optDigOut%1%2").arg(output).arg(mode);
}

TEST(DigOutPage, ShowsTheRecordAndGivesItBack) {
    const struct {
        const char* what;
        DigOutValues record;
        QString count1, count2;
    } cases[] = {
        {"alarms on both", DigOut(4, A, 10, 1, A, 6, 0), "10", "6"},
        {"pulses and remote control", DigOut(4, P, 0, 0, R, 0, 1), "0", "0"},
        {"remote control and alarms", DigOut(5, R, 0, 1, A, 16, 1), "0", "16"},
        {"serial module, output 1 on alarms", DigOut(16, A, 16, 1, P, 0, 0), "16", "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FWDigOutConfig page;
        page.SetData(*c.record.make());
        TraceCapture trace;
        const qint32 left = RunPage(page, [&] {
            EXPECT_EQ(page.title()->text(), ResString(600));
            EXPECT_TRUE(Child<QRadioButton>(page, ModeOption(1, c.record.mode1))->isChecked());
            EXPECT_TRUE(Child<QRadioButton>(page, ModeOption(2, c.record.mode2))->isChecked());
            EXPECT_EQ(Shown(page, "txtNAlarm1"), c.count1);
            EXPECT_EQ(Shown(page, "txtNAlarm2"), c.count2);
            EXPECT_EQ(page.m_StatusDigOut1.Value(), c.record.state1);
            EXPECT_EQ(page.m_StatusDigOut2.Value(), c.record.state2);
            Ok(page);
        });
        EXPECT_EQ(left, WizardPage::brEnd);
        EXPECT_TRUE(trace.lines.filter("Allarmi virtuali").isEmpty());
        CDigOutConfig after;
        page.GetData(after);
        EXPECT_TRUE(after.SameData(*c.record.make()));
        EXPECT_EQ(after.ModuleTypeLo(), c.record.type);
    }
}

// What a user can reach on each output, read from the controls themselves.
DigOutEnabling Reachable(const FWDigOutConfig& page, int n) {
    const QString i = QString::number(n);
    return {Child<QRadioButton>(page, ModeOption(n, 0))->isEnabled(),
            Child<QLineEdit>(page, "txtNAlarm" + i)->isEnabled() &&
                Child<QLabel>(page, "Label" + i)->isEnabled(),
            Child<QRadioButton>(page, "optDisableOut" + i)->isEnabled() &&
                Child<QRadioButton>(page, "optEnableOut" + i)->isEnabled()};
}

TEST(DigOutPage, ControlsFollowTheModes) {
    for (const quint8 type : {quint8(4), quint8(16)}) {
        SCOPED_TRACE(int(type));
        FWDigOutConfig page;
        page.SetData(*DigOut(type, P, 0, 0, A, 3, 1).make());
        RunPage(page, [&] {
            EXPECT_EQ(Reachable(page, 1), DigOutRules(type, 1, P));
            EXPECT_EQ(Reachable(page, 2), DigOutRules(type, 2, A));
            for (const qint16 mode : {A, R, P, A}) {
                Child<QRadioButton>(page, ModeOption(1, mode))->click();
                EXPECT_EQ(Reachable(page, 1), DigOutRules(type, 1, mode)) << mode;
            }
            if (type != 16) {
                for (const qint16 mode : {R, P, A}) {
                    Child<QRadioButton>(page, ModeOption(2, mode))->click();
                    EXPECT_EQ(Reachable(page, 2), DigOutRules(type, 2, mode)) << mode;
                }
            }
            page.reject();
        });
    }
}

TEST(DigOutPage, BothOutputsShareSixteenAlarms) {
    FWDigOutConfig page;
    page.SetData(*DigOut(4, A, 0, 0, A, 0, 0).make());
    RunPage(page, [&] {
        page.m_NumAlarm1.setValue(10);
        EXPECT_EQ(page.m_NumAlarm2.Max(), 6);
        // Stepping up past what is left wraps round to 0.
        auto* arrows2 = Child<controls::UpDownArrows>(page, "UpDown2");
        for (int i = 0; i < 6; ++i)
            arrows2->step(true);
        EXPECT_EQ(Shown(page, "txtNAlarm2"), "6");
        arrows2->step(true);
        EXPECT_EQ(Shown(page, "txtNAlarm2"), "0");
        arrows2->step(false);
        EXPECT_EQ(Shown(page, "txtNAlarm2"), "6");
        // More alarms on output 1 take them from output 2.
        page.m_NumAlarm1.setValue(14);
        EXPECT_EQ(Shown(page, "txtNAlarm2"), "2");
        // Output 1 on pulses: its count goes to 0, output 2 may have all 16.
        Child<QRadioButton>(page, ModeOption(1, P))->click();
        EXPECT_EQ(Shown(page, "txtNAlarm1"), "0");
        EXPECT_EQ(page.m_NumAlarm2.Max(), 16);
        page.m_NumAlarm2.setValue(16);
        // Output 2 on remote control: its count goes to 0 as well.
        Child<QRadioButton>(page, ModeOption(2, R))->click();
        EXPECT_EQ(Shown(page, "txtNAlarm2"), "0");
        Ok(page);
    });
    CDigOutConfig after;
    page.GetData(after);
    EXPECT_TRUE(after.SameData(*DigOut(4, P, 0, 0, R, 0, 0).make()));
}

TEST(DigOutPage, BringsADamagedRecordWithinTheLimit) {
    const struct {
        DigOutValues record;
        qint16 count1, count2;
        const char* trace;
    } cases[] = {
        {DigOut(4, A, 10, 0, A, 10, 0), 10, 6,
         "Allarmi virtuali 10 e 10 oltre il limite di 16: impostati 10 e 6"},
        {DigOut(4, A, 99, 0, P, 0, 0), 16, 0,
         "Allarmi virtuali 99 e 0 oltre il limite di 16: impostati 16 e 0"},
        {DigOut(5, R, 0, 0, A, 30, 0), 0, 16,
         "Allarmi virtuali 0 e 30 oltre il limite di 16: impostati 0 e 16"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.trace);
        FWDigOutConfig page;
        page.SetData(*c.record.make());
        TraceCapture trace;
        RunPage(page, [&] {
            EXPECT_EQ(Shown(page, "txtNAlarm1"), QString::number(c.count1));
            EXPECT_EQ(Shown(page, "txtNAlarm2"), QString::number(c.count2));
            Ok(page);
        });
        EXPECT_TRUE(trace.lines.contains(QLatin1String(c.trace)))
            << trace.lines.join('\n').toStdString();
        CDigOutConfig after;
        page.GetData(after);
        EXPECT_EQ(after.NumAlarm1(), c.count1);
        EXPECT_EQ(after.NumAlarm2(), c.count2);
        EXPECT_LE(after.NumAlarm1() + after.NumAlarm2(), 16);
    }
}

// Coming back to the page after a later page changed the module type: the output 2 rules
// follow the new type, and the limit starts afresh.
TEST(DigOutPage, ActivatedAgainFollowsTheRecordItIsGiven) {
    FWDigOutConfig page;
    page.SetData(*DigOut(4, A, 12, 0, A, 4, 0).make());
    RunPage(page, [&] { Ok(page); });
    CDigOutConfig r;
    page.GetData(r);
    r.setModuleTypeLo(16);
    r.setDigOut1(P);
    r.setNumAlarm1(0);
    page.SetData(r);
    RunPage(page, [&] {
        EXPECT_EQ(Reachable(page, 2), (DigOutEnabling{false, false, false}));
        EXPECT_EQ(Shown(page, "txtNAlarm2"), "0");
        EXPECT_EQ(page.m_NumAlarm2.Max(), 16);
        Ok(page);
    });
    page.GetData(r);
    EXPECT_EQ(r.NumAlarm2(), 0);
    EXPECT_EQ(r.DigOut2(), A);  // kept; the output does not exist on this module
}

TEST(DigOutPage, CountFieldsHaveDistinctNames) {
    FWDigOutConfig page;
    page.SetData(CDigOutConfig());
    RunPage(page, [&] {
        const QString one = Child<QLineEdit>(page, "txtNAlarm1")->accessibleName();
        const QString two = Child<QLineEdit>(page, "txtNAlarm2")->accessibleName();
        EXPECT_FALSE(one.isEmpty());
        EXPECT_NE(one, two);
        EXPECT_EQ(Child<QLabel>(page, "Label1")->text(), ResString(605));
        EXPECT_EQ(Child<QLabel>(page, "Label2")->buddy(), Child<QLineEdit>(page, "txtNAlarm2"));
        page.reject();
    });
}

// ---- pulse output page ----------------------------------------------------------------------

struct PulseValues {
    const char* name;
    qint16 counter;
    qint32 weight;
    qint16 status;
    std::unique_ptr<CPulseOutSetup> make() const {
        auto r = std::make_unique<CPulseOutSetup>();
        r->setClassName(QLatin1String(name));
        r->setSelectCounter(counter);
        r->setPulseOut(weight);
        r->setPulseOutStatus(status);
        return r;
    }
};
PulseValues Pulse(const char* name, qint16 counter, qint32 weight, qint16 status) {
    return {name, counter, weight, status};
}

TEST(PulseOutPage, ShowsTheRecordAndGivesItBack) {
    const struct {
        PulseValues record;
        QString title, weight;
    } cases[] = {
        {Pulse("CPulseOutSetup1", 0, 1, 0), "Pulse output setup 1...", "0.01 Pulses/KWh"},
        {Pulse("CPulseOutSetup2", 1, 50000, 1), "Pulse output setup 2...", "500.00 Pulses/Kvarh"},
        {Pulse("CPulseOutSetup1", 1, 150, 1), "Pulse output setup 1...", "1.50 Pulses/Kvarh"},
        {Pulse("CPulseOutSetup2", 0, 12345, 0), "Pulse output setup 2...", "123.45 Pulses/KWh"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.weight.toStdString());
        FWPulseOutSetup page;
        page.SetData(*c.record.make());
        TraceCapture trace;
        const qint32 left = RunPage(page, [&] {
            EXPECT_EQ(page.title()->text(), c.title);
            EXPECT_EQ(Shown(page, "txtPulseOut"), c.weight);
            EXPECT_TRUE(Child<QRadioButton>(page, c.record.counter ? "optKVARhTot" : "optKWhTot")
                            ->isChecked());
            EXPECT_TRUE(Child<QRadioButton>(
                            page, c.record.status ? "optPulseOutStatusOn" : "optPulseOutStatusOff")
                            ->isChecked());
            Ok(page);
        });
        EXPECT_EQ(left, WizardPage::brEnd);
        EXPECT_TRUE(trace.lines.filter("Peso impulsi").isEmpty());
        CPulseOutSetup after;
        page.GetData(after);
        EXPECT_TRUE(after.SameData(*c.record.make()));
        EXPECT_EQ(after.ClassName(), QLatin1String(c.record.name));
    }
}

TEST(PulseOutPage, TheUnitFollowsTheCounter) {
    FWPulseOutSetup page;
    page.SetData(*Pulse("CPulseOutSetup1", 0, 250, 1).make());
    RunPage(page, [&] {
        EXPECT_EQ(Shown(page, "txtPulseOut"), "2.50 Pulses/KWh");
        Child<QRadioButton>(page, "optKVARhTot")->click();
        EXPECT_EQ(Shown(page, "txtPulseOut"), "2.50 Pulses/Kvarh");
        Child<QRadioButton>(page, "optKWhTot")->click();
        EXPECT_EQ(Shown(page, "txtPulseOut"), "2.50 Pulses/KWh");
        Child<QRadioButton>(page, "optKVARhTot")->click();
        // The weight steps by hundredths and wraps at its ends.
        auto* arrows = Child<controls::UpDownArrows>(page, "UpDown1");
        arrows->step(false);
        EXPECT_EQ(Shown(page, "txtPulseOut"), "2.49 Pulses/Kvarh");
        page.m_PulseOut.setValue(50000);
        arrows->step(true);
        EXPECT_EQ(Shown(page, "txtPulseOut"), "0.01 Pulses/Kvarh");
        Ok(page);
    });
    CPulseOutSetup after;
    page.GetData(after);
    EXPECT_TRUE(after.SameData(*Pulse("CPulseOutSetup1", 1, 1, 1).make()));
}

TEST(PulseOutPage, AWeightOutsideItsRangeIsShownAtTheNearestEnd) {
    const struct {
        qint32 stored, shown;
        const char* trace;
    } cases[] = {
        {0, 1, "Peso impulsi 0 fuori dai limiti 1..50000: impostato 1"},
        {-7, 1, "Peso impulsi -7 fuori dai limiti 1..50000: impostato 1"},
        {65535, 50000, "Peso impulsi 65535 fuori dai limiti 1..50000: impostato 50000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.trace);
        FWPulseOutSetup page;
        page.SetData(*Pulse("CPulseOutSetup2", 0, c.stored, 0).make());
        TraceCapture trace;
        RunPage(page, [&] { Ok(page); });
        EXPECT_TRUE(trace.lines.contains(QLatin1String(c.trace)))
            << trace.lines.join('\n').toStdString();
        CPulseOutSetup after;
        page.GetData(after);
        EXPECT_EQ(after.PulseOut(), c.shown);
    }
}

}  // namespace
