#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>

#include "TraceCapture.h"
#include "base/Errors.h"
#include "controls/ChoiceGroups.h"

using namespace voltaris::controls;

namespace {

struct ComboForm {
    QWidget window;
    QComboBox* list = new QComboBox(&window);
    QLineEdit* other = new QLineEdit(&window);
    CComboBox combo;
    int changes = 0;
    int validations = 0;
    ComboForm() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(list);
        layout->addWidget(other);
        combo.Create(list);
        combo.AddText("a", 10);
        combo.AddText("b", 20);
        combo.AddText("c", 30);
        QObject::connect(&combo, &CComboBox::Change, [this] { ++changes; });
        QObject::connect(&combo, &CComboBox::ChangeValidate, [this](bool&) { ++validations; });
    }
};

struct OptionForm {
    QWidget window;
    QGroupBox* frame = new QGroupBox(&window);
    QLineEdit* other = new QLineEdit(&window);
    QRadioButton* options[5];
    COptionButton group;
    int changes = 0;
    int validations = 0;
    bool cancel = false;
    OptionForm() {
        auto* layout = new QVBoxLayout(&window);
        auto* inner = new QVBoxLayout(frame);
        layout->addWidget(frame);
        layout->addWidget(other);
        group.Create(frame);
        for (auto*& option : options) {
            option = new QRadioButton(frame);
            inner->addWidget(option);
            group.AddOptionButton(option);
        }
        group.setValue(0);
        QObject::connect(&group, &COptionButton::Change, [this] { ++changes; });
        QObject::connect(&group, &COptionButton::ChangeValidate, [this](bool& c) {
            ++validations;
            c = cancel;
        });
    }
    void activate(QWidget* focus) {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        focus->setFocus();
    }
};

}  // namespace

TEST(CComboBox, ValueWritesAndTheirChanges) {
    struct Case {
        qint16 start, write, value;
        int changes;
    };
    const Case cases[] = {
        {0, 3, 0, 0},    // beyond the entries: ignored
        {0, 2, 2, 2},    // a new index: notification, then the write itself
        {2, 2, 2, 1},    // the same index: the write only
        {1, -1, -1, 2},  // clears the selection
    };
    for (const Case& c : cases) {
        ComboForm form;
        form.combo.setValue(c.start);
        form.changes = 0;
        form.combo.setValue(c.write);
        EXPECT_EQ(form.combo.Value(), c.value) << c.start << " -> " << c.write;
        EXPECT_EQ(form.changes, c.changes) << c.start << " -> " << c.write;
    }
}

TEST(CComboBox, UnknownNumberOrTextSelectsNothingAndIsReported) {
    ComboForm form;
    EXPECT_EQ(form.combo.Value(), -1);  // nothing chosen before the first write
    form.combo.setItemData(7);
    EXPECT_EQ(form.changes, 0);
    EXPECT_EQ(form.combo.UnmatchedValue(), 7);

    form.combo.setItemData(20);
    EXPECT_EQ(form.combo.Value(), 1);
    EXPECT_EQ(form.combo.Text(), "b");
    EXPECT_FALSE(form.combo.UnmatchedValue());
    form.changes = 0;
    form.combo.setItemData(99);
    EXPECT_EQ(form.combo.Value(), -1);
    EXPECT_EQ(form.changes, 1);  // the clearing only
    EXPECT_EQ(form.combo.UnmatchedValue(), 99);

    form.combo.setText("c");
    EXPECT_EQ(form.combo.ItemData(), 30);
    form.combo.setText("zz");
    EXPECT_EQ(form.combo.Value(), -1);

    form.combo.setEnableEvent(false);
    form.changes = 0;
    form.combo.setValue(0);
    EXPECT_EQ(form.combo.Value(), 0);
    EXPECT_EQ(form.changes, 0);
}

TEST(CComboBox, LeavingWithAnotherEntryValidatesOnce) {
    ComboForm form;
    form.combo.setValue(0);
    form.window.show();
    form.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form.window));
    form.list->setFocus();
    form.other->setFocus();
    EXPECT_EQ(form.validations, 0);
    form.list->setFocus();
    form.list->setCurrentIndex(2);  // the user's pick
    form.other->setFocus();
    EXPECT_EQ(form.validations, 1);
}

TEST(COptionButton, DisablingTheChosenOptionWalksTheEnabledOnes) {
    OptionForm form;
    form.group.Activate(2, false);  // not the chosen one: nothing changes
    EXPECT_EQ(form.group.Value(), 0);
    EXPECT_EQ(form.changes, 0);
    form.group.Activate(2, true);

    QList<int> chosen;
    QObject::connect(&form.group, &COptionButton::Change, [&] { chosen << form.group.Value(); });
    form.group.Activate(0, false);
    EXPECT_EQ(form.group.Value(), 4);
    EXPECT_EQ(chosen, (QList<int>{1, 2, 3, 4}));
}

TEST(COptionButton, ValuesThatNameNoOptionSelectNothing) {
    struct Case {
        const char* what;
        bool byItemData;
        qint16 value;
    };
    const Case cases[] = {
        {"System 9 in a group of five", false, 9},
        {"negative", false, -1},
        {"above the sixteen slots", false, 300},
        {"a number no option carries", true, 7},
    };
    for (const Case& c : cases) {
        voltaris::test::TraceCapture trace;
        OptionForm form;
        form.group.setValue(2);
        EXPECT_NO_THROW(c.byItemData ? form.group.setItemData(c.value)
                                     : form.group.setValue(c.value))
            << c.what;
        EXPECT_EQ(form.group.Value(), -1) << c.what;
        EXPECT_EQ(form.group.ItemData(), COptionButton::kNoItemData) << c.what;
        EXPECT_EQ(form.group.UnmatchedValue(), c.value) << c.what;
        EXPECT_TRUE(trace.messages.entries().isEmpty()) << c.what;
        form.group.setValue(1);
        EXPECT_FALSE(form.group.UnmatchedValue()) << c.what;
    }
}

TEST(COptionButton, CallerMistakesAreFailedChecks) {
    voltaris::test::TraceCapture trace;
    QGroupBox frame;
    COptionButton group;
    group.Create(&frame);
    group.AddOptionButton(new QRadioButton(&frame), 5);
    EXPECT_THROW(group.AddOptionButton(new QRadioButton(&frame), 5), voltaris::AssertFailed);
    ASSERT_EQ(trace.messages.entries().size(), 1);
    EXPECT_EQ(trace.messages.entries()[0].text, "Errore ItemData 5 duplicato !!!");
    for (int i = 1; i < 16; ++i)
        group.AddOptionButton(new QRadioButton(&frame));
    EXPECT_THROW(group.AddOptionButton(new QRadioButton(&frame)), voltaris::AssertFailed);
    EXPECT_THROW(group.Activate(16, false), voltaris::AssertFailed);
}

TEST(COptionButton, LeavingTheGroupWithAnotherChoiceValidates) {
    OptionForm form;
    form.activate(form.options[0]);
    form.options[1]->setFocus();  // inside the group
    EXPECT_EQ(form.validations, 0);
    form.other->setFocus();
    EXPECT_EQ(form.validations, 0);  // same choice

    form.options[1]->setFocus();
    form.options[3]->click();  // the user's pick
    EXPECT_EQ(form.changes, 1);
    form.cancel = true;
    form.other->setFocus();
    EXPECT_EQ(form.validations, 1);
    EXPECT_TRUE(form.options[0]->hasFocus());  // back to the option chosen before
}
