#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>

#include "NextDialog.h"
#include "base/ResString.h"
#include "controls/MessageBoxSink.h"

using namespace voltaris;
using namespace voltaris::controls;

using Icon = UserMessages::Icon;
using Answer = UserMessages::Answer;

TEST(MessageBoxText, EveryLineBreakBecomesOneNewline) {
    struct Case {
        const char* text;
        const char* shown;
    };
    const Case cases[] = {
        {"", ""},
        {"one line", "one line"},
        {"a\n\rb", "a\nb"},        // the string table's break
        {"a\r\nb", "a\nb"},        // the other order
        {"a\n\r\n\rb", "a\n\nb"},  // an empty line between
        {"a\r\n\r\nb", "a\n\nb"},
        {"a\nb", "a\nb"},
        {"a\rb", "a\nb"},
        {"a\n\nb", "a\n\nb"},
        {"a\r\rb", "a\n\nb"},
        {"end\n\r", "end\n"},
        {"\n\rstart", "\nstart"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MessageBoxText(c.text), QString(c.shown)) << c.text;
    // Every message of the table that has a break shows without a CR.
    for (const int id : {206, 207, 209, 215, 228, 230, 231, 795, 811, 3000}) {
        const QString shown = MessageBoxText(ResString(id));
        EXPECT_FALSE(shown.contains(u'\r')) << id;
        EXPECT_EQ(shown.count(u'\n'), ResString(id).count(u'\n')) << id;
    }
}

TEST(MessageBoxSink, ShowsIconTitleAndPlainTextOverTheActiveWindow) {
    QWidget window;
    window.show();

    struct Case {
        Icon icon;
        QMessageBox::Icon shown;
    };
    const Case cases[] = {
        {Icon::Information, QMessageBox::Information},
        {Icon::Warning, QMessageBox::Warning},
        {Icon::Error, QMessageBox::Critical},
        {Icon::Question, QMessageBox::Question},
    };
    MessageBoxSink sink;
    for (const Case& c : cases) {
        // The offscreen platform does not give the focus back when a box closes.
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        bool seen = false;
        test::onNextDialog<QMessageBox>([&](QMessageBox* box) {
            seen = true;
            EXPECT_EQ(box->icon(), c.shown);
            EXPECT_EQ(box->windowTitle(), ResString(208));
            EXPECT_EQ(box->text(), MessageBoxText(ResString(207)));
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->parentWidget(), &window);
            EXPECT_EQ(box->buttons().size(), 1);
            QTest::keyClick(box, Qt::Key_Return);
        });
        sink.show(c.icon, ResString(208), ResString(207));
        EXPECT_TRUE(seen);
    }
    // Esc closes a message too.
    test::onNextDialog<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    sink.show(Icon::Information, "t", "<b>not markup</b>");
}

TEST(MessageBoxSink, QuestionsAnswerYesOnEnterAndNoOnEscOrClose) {
    struct Case {
        const char* what;
        std::function<void(QMessageBox*)> act;
        Answer answer;
    };
    const Case cases[] = {
        {"Enter", [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Return); }, Answer::Yes},
        {"Esc", [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Escape); }, Answer::No},
        {"close box", [](QMessageBox* b) { b->close(); }, Answer::No},
        {"No clicked", [](QMessageBox* b) { b->button(QMessageBox::No)->click(); }, Answer::No},
        {"Yes clicked", [](QMessageBox* b) { b->button(QMessageBox::Yes)->click(); }, Answer::Yes},
    };
    MessageBoxSink sink;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::onNextDialog<QMessageBox>([&](QMessageBox* box) {
            EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            EXPECT_EQ(box->text(), MessageBoxText(ResString(795)));
            c.act(box);
        });
        EXPECT_EQ(sink.askYesNo(Icon::Question, ResString(301), ResString(795)), c.answer);
    }
}

TEST(MessageBoxSink, ShowsTheNormalPointerWhileABusyOneIsOn) {
    MessageBoxSink sink;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Qt::CursorShape during = Qt::WaitCursor;
    test::onNextDialog<QMessageBox>([&](QMessageBox* box) {
        during = QApplication::overrideCursor()->shape();
        box->button(QMessageBox::Yes)->click();
    });
    sink.askYesNo(Icon::Question, "t", "Overwrite?");
    EXPECT_EQ(during, Qt::ArrowCursor);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
