#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <vector>

#include "TraceCapture.h"
#include "controls/CTextSpin.h"

using namespace voltaris::controls;

namespace {

// Records the keys that reach the window through the field.
class Window : public QWidget {
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys.push_back(event->key()); }
};

// A window with a spin field and another field to leave it for.
template <typename Field>
struct Form {
    Window window;
    QLineEdit* text = new QLineEdit(&window);
    UpDownArrows* arrows = new UpDownArrows(&window);
    QLineEdit* other = new QLineEdit(&window);
    Field field;

    Form(qint32 min, qint32 max, qint16 slow, qint16 fast, bool wrap, bool tip = false) {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(text);
        layout->addWidget(other);
        text->setObjectName("txtField");
        field.Create(text, arrows, min, max, slow, fast, wrap, tip);
    }
    void activate() {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        text->setFocus();
        ASSERT_TRUE(text->hasFocus());
    }
    // A held key: presses with auto-repeat releases between them.
    void hold(int key, int presses) {
        for (int i = 0; i < presses; ++i) {
            if (i > 0) {
                QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(), true);
                QApplication::sendEvent(text, &release);
            }
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), i > 0);
            QApplication::sendEvent(text, &press);
            steps.push_back(arrows->Increment());
            values.push_back(field.Value());
        }
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(text, &release);
    }
    std::vector<qint32> steps;
    std::vector<qint32> values;
};

}  // namespace

TEST(SpinField, HeldKeyAcceleratesByWidth) {
    struct Case {
        const char* name;
        bool isLong;
        qint32 min, max;
        qint16 slow, fast;
        int presses;
        std::vector<std::pair<int, qint32>> stepAt;  // press number (from 1) -> step used
    };
    const Case cases[] = {
        {"16-bit, max 2000",
         false,
         0,
         2000,
         1,
         10,
         25,
         {{1, 1}, {9, 1}, {10, 10}, {19, 10}, {20, 100}, {25, 100}}},
        {"16-bit, max 1000", false, 0, 1000, 1, 10, 25, {{9, 1}, {10, 10}, {20, 10}, {25, 10}}},
        {"32-bit, 10..60000",
         true,
         10,
         60000,
         1,
         10,
         420,
         {{1, 1},
          {99, 1},
          {100, 10},
          {199, 10},
          {200, 100},
          {299, 100},
          {300, 1000},
          {400, 1000},
          {420, 1000}}},
        {"32-bit, fast step unused",
         true,
         -500000,
         10,
         5,
         9999,
         150,
         {{99, 5}, {100, 50}, {150, 50}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<qint32> steps;
        if (c.isLong) {
            Form<CTextSpinLong> form(c.min, c.max, c.slow, c.fast, false);
            form.hold(Qt::Key_Up, c.presses);
            steps = form.steps;
        } else {
            Form<CTextSpin> form(c.min, c.max, c.slow, c.fast, false);
            form.hold(Qt::Key_Up, c.presses);
            steps = form.steps;
        }
        for (auto [press, step] : c.stepAt)
            EXPECT_EQ(steps.at(press - 1), step) << "press " << press;
    }
}

TEST(SpinField, HeldKeyValuesAndNewPressStartsSlow) {
    Form<CTextSpin> form(0, 2000, 1, 10, false);
    form.hold(Qt::Key_Up, 21);
    EXPECT_EQ(form.values.at(8), 9);
    EXPECT_EQ(form.values.at(18), 9 + 10 * 10);
    EXPECT_EQ(form.values.at(20), 109 + 100 + 100);
    // A real release ends the press: the next key-down steps slowly again.
    form.hold(Qt::Key_Down, 1);
    EXPECT_EQ(form.field.Value(), 308);
}

TEST(SpinField, KeysWrapOrStopAtTheLimits) {
    struct Case {
        bool wrap;
        qint16 slow;
        qint16 start;
        int key;
        qint16 expected;
    };
    const Case cases[] = {
        {true, 1, 30, Qt::Key_Up, 1},   {true, 1, 1, Qt::Key_Down, 30},
        {false, 1, 30, Qt::Key_Up, 30}, {false, 1, 1, Qt::Key_Down, 1},
        {true, 10, 25, Qt::Key_Up, 1},  {false, 10, 25, Qt::Key_Up, 30},
    };
    for (const Case& c : cases) {
        Form<CTextSpin> form(1, 30, c.slow, 10, c.wrap);
        form.field.setValue(c.start);
        form.hold(c.key, 1);
        EXPECT_EQ(form.field.Value(), c.expected)
            << "from " << c.start << " step " << c.slow << " wrap " << c.wrap;
    }
}

TEST(SpinField, SwallowsTypingButLetsWindowKeysThrough) {
    Form<CTextSpin> form(1, 30, 1, 10, false);
    form.field.setValue(5);
    form.field.setDataFormat("#0");
    QTest::keyClicks(form.text, "7x");
    QTest::keyClick(form.text, Qt::Key_Backspace);
    QTest::keyClick(form.text, Qt::Key_Delete);
    EXPECT_EQ(form.text->text(), "5");
    EXPECT_EQ(form.field.Value(), 5);
    EXPECT_TRUE(form.window.keys.isEmpty());

    QTest::keyClick(form.text, Qt::Key_Escape);
    QTest::keyClick(form.text, Qt::Key_Return);
    QTest::keyClick(form.text, Qt::Key_A, Qt::AltModifier);
    form.window.keys.removeAll(Qt::Key_Alt);
    EXPECT_EQ(form.window.keys, (QList<int>{Qt::Key_Escape, Qt::Key_Return, Qt::Key_A}));
    EXPECT_EQ(form.field.Value(), 5);
}

TEST(SpinField, TextIsWrittenAtTheFirstChangeWithEventsInOrder) {
    Form<CTextSpin> form(0, 1000, 1, 10, false);
    QStringList events;
    QObject::connect(&form.field, &SpinField::Change, [&] { events << "Change"; });
    QObject::connect(&form.field, &SpinField::ViewText, [&](QString& text) {
        events << "ViewText " + text;
        if (text == "99.9")
            text = "full";
    });
    EXPECT_EQ(form.text->text(), "");  // Create writes no text
    form.field.setMoltiplicatore(0.1f);
    EXPECT_TRUE(events.isEmpty());  // the factor waits for the next change
    form.field.setDataFormat("###0.0");
    form.field.setValue(125);
    EXPECT_EQ(form.text->text(), "12.5");
    EXPECT_EQ(events, (QStringList{"Change", "ViewText 0.0", "Change", "ViewText 12.5"}));
    form.field.setValue(999);
    EXPECT_EQ(form.text->text(), "full");
    form.field.setUnitaMisura("%");
    EXPECT_EQ(form.text->text(), "99.9 %");

    events.clear();
    form.field.setEnableEvent(false);
    form.field.setValue(50);
    EXPECT_EQ(form.text->text(), "5.0 %");
    EXPECT_TRUE(events.isEmpty());
}

TEST(SpinField, ShowsTheProductInItsWidth) {
    Form<CTextSpinLong> wide(0, 20000000, 1, 10, false);
    wide.field.setValue(16777217);
    wide.field.setDataFormat("#0");
    EXPECT_EQ(wide.text->text(), "16777217");
    Form<CTextSpin> narrow(-32768, 32767, 1, 10, false);
    narrow.field.setMoltiplicatore(0.01f);
    narrow.field.setDataFormat("##0.00");
    narrow.field.setValue(-32768);
    EXPECT_EQ(narrow.text->text(), "-327.68");
}

TEST(SpinField, RangeTipFollowsLimitsAndPattern) {
    Form<CTextSpin> form(1, 30, 1, 10, false, true);
    EXPECT_EQ(form.arrows->toolTip(), "Min:1 Max:30");
    QObject::connect(&form.field, &SpinField::ViewToolTip, [](QString& tip) { tip += "!"; });
    form.field.setMax(20);
    EXPECT_EQ(form.arrows->toolTip(), "Min:1 Max:20!");
    form.field.setViewToolTipText(false);
    form.field.setMin(5);
    EXPECT_EQ(form.arrows->toolTip(), "Min:1 Max:20!");  // kept, not refreshed

    Form<CTextSpin> silent(1, 30, 1, 10, false, false);
    EXPECT_EQ(silent.arrows->toolTip(), "");
}

TEST(SpinField, ValueAndLimitsClamp) {
    Form<CTextSpin> form(1, 30, 1, 10, false);
    EXPECT_EQ(form.field.Value(), 1);  // Create starts at the minimum
    form.field.setValue(40);
    EXPECT_EQ(form.field.Value(), 30);
    form.field.setValue(25);
    form.field.setMax(20);
    EXPECT_EQ(form.field.Value(), 20);
    form.field.setMin(22);
    EXPECT_EQ(form.field.Value(), 22);
    EXPECT_EQ(form.field.Max(), 20);  // limits are not checked against each other

    Form<CTextSpinLong> wide(-100000, 100000, 1, 10, false);
    wide.field.setValue(70000);
    EXPECT_EQ(wide.field.ValueInt(), 4464);
    wide.field.setValue(98304);  // 0x18000
    EXPECT_EQ(wide.field.ValueInt(), -32768);
    wide.field.setValueInt(-1);
    EXPECT_EQ(wide.field.Value(), -1);
}

TEST(SpinField, LeavingValidatesAndCancelKeepsTheFocus) {
    voltaris::test::TraceCapture trace;
    Form<CTextSpinLong> form(0, 100, 1, 10, false);
    form.activate();
    int validations = 0;
    bool cancel = false;
    QObject::connect(&form.field, &SpinField::ChangeValidate, [&](bool& c) {
        ++validations;
        c = cancel;
    });
    // The field's own arrows do not validate; a press gives the focus to the text box.
    form.other->setFocus();
    validations = 0;
    trace.lines.clear();
    cancel = true;
    QTest::mouseClick(form.arrows->upButton(), Qt::LeftButton);
    EXPECT_TRUE(form.text->hasFocus());
    EXPECT_EQ(form.field.Value(), 1);
    QTest::mouseClick(form.arrows->upButton(), Qt::LeftButton);
    EXPECT_EQ(validations, 0);

    form.other->setFocus();
    EXPECT_EQ(validations, 1);
    EXPECT_TRUE(form.text->hasFocus());
    cancel = false;
    form.other->setFocus();
    EXPECT_EQ(validations, 2);
    EXPECT_TRUE(form.other->hasFocus());
    EXPECT_EQ(trace.lines.filter("TextBox validate").size(), 2);
    EXPECT_EQ(trace.lines.filter("m_UpDown_ChangeValidate").size(), 2);

    form.text->setFocus();
    form.field.setEnableEvent(false);
    form.other->setFocus();
    EXPECT_EQ(validations, 2);
    EXPECT_EQ(trace.lines.filter("m_UpDown_ChangeValidate").size(), 3);
}

TEST(SpinField, ArrowPressesAccelerate) {
    Form<CTextSpin> narrow(0, 2000, 1, 10, false);
    QTest::mousePress(narrow.arrows->upButton(), Qt::LeftButton);
    for (int i = 0; i < 12; ++i)
        narrow.arrows->step(true);  // the repeats of a held arrow
    QTest::mouseRelease(narrow.arrows->upButton(), Qt::LeftButton);
    EXPECT_EQ(narrow.field.Value(), 10 * 1 + 10 + 10 + 10);
    QTest::mousePress(narrow.arrows->upButton(), Qt::LeftButton);
    EXPECT_EQ(narrow.arrows->Increment(), 1);  // a new press starts slowly

    // 32-bit: thresholds of 10; only the left button starts a new press.
    Form<CTextSpinLong> wide(0, 60000, 1, 10, false);
    for (int i = 0; i < 10; ++i)
        wide.arrows->step(true);
    EXPECT_EQ(wide.arrows->Increment(), 10);
    QTest::mousePress(wide.arrows->downButton(), Qt::RightButton);
    EXPECT_EQ(wide.arrows->Increment(), 10);
    QTest::mousePress(wide.arrows->downButton(), Qt::LeftButton);
    EXPECT_EQ(wide.arrows->Increment(), 1);
}

TEST(SpinField, AccessibleNamesReachTheArrows) {
    Form<CTextSpin> form(0, 10, 1, 10, false);
    form.field.setAccessibleName("VT ratio");
    EXPECT_EQ(form.text->accessibleName(), "VT ratio");
    EXPECT_EQ(form.arrows->upButton()->accessibleName(), "VT ratio increase");
    EXPECT_EQ(form.arrows->downButton()->accessibleName(), "VT ratio decrease");
    EXPECT_EQ(form.arrows->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(form.arrows->upButton()->focusPolicy(), Qt::NoFocus);
}
