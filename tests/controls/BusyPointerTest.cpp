#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <stdexcept>

#include "base/Errors.h"
#include "base/ResString.h"
#include "controls/BusyPointer.h"

using namespace voltaris;
using namespace voltaris::controls;

namespace {

Qt::CursorShape overrideShape() {
    const QCursor* c = QApplication::overrideCursor();
    return c ? c->shape() : Qt::BitmapCursor;  // BitmapCursor: none set
}

// HourGlass keeps one state for the program: every test starts and ends with it off.
class HourGlassTest : public ::testing::Test {
protected:
    void SetUp() override { ResetHourGlass(); }
    void TearDown() override { ResetHourGlass(); }
};

}  // namespace

TEST_F(HourGlassTest, TogglesBusyAndTheRememberedPointer) {
    QWidget own;
    own.setCursor(Qt::PointingHandCursor);
    // Shows its parent's pointer: after the busy one it must follow the parent again.
    auto* inherited = new QWidget(&own);

    for (QWidget* w : {&own, inherited}) {
        const Qt::CursorShape before = w->cursor().shape();
        HourGlass(w);
        EXPECT_TRUE(HourGlassOn());
        EXPECT_EQ(w->cursor().shape(), Qt::WaitCursor);
        HourGlass(w);
        EXPECT_FALSE(HourGlassOn());
        EXPECT_EQ(w->cursor().shape(), before);
        HourGlass(w);
        EXPECT_EQ(w->cursor().shape(), Qt::WaitCursor);
        HourGlass(w);
        EXPECT_EQ(w->cursor().shape(), before);
    }
    EXPECT_FALSE(inherited->testAttribute(Qt::WA_SetCursor));
    own.setCursor(Qt::CrossCursor);
    EXPECT_EQ(inherited->cursor().shape(), Qt::CrossCursor);
}

TEST_F(HourGlassTest, RestoresTheWindowThatWasMadeBusy) {
    QWidget busy;
    busy.setCursor(Qt::IBeamCursor);
    QWidget other;
    other.setCursor(Qt::CrossCursor);
    HourGlass(&busy);
    HourGlass(&other);
    EXPECT_EQ(busy.cursor().shape(), Qt::IBeamCursor);
    EXPECT_EQ(other.cursor().shape(), Qt::CrossCursor);
}

TEST_F(HourGlassTest, AWindowGoneWhileBusyOnlyTurnsTheStateOff) {
    auto* w = new QWidget;
    HourGlass(w);
    delete w;
    QWidget next;
    HourGlass(&next);  // the second call of the pair: restores nothing
    EXPECT_FALSE(HourGlassOn());
    EXPECT_FALSE(next.testAttribute(Qt::WA_SetCursor));
}

TEST_F(HourGlassTest, NullWindowIsAProgramError) {
    try {
        HourGlass(nullptr);
        FAIL() << "no error";
    } catch (const ProgramError& e) {
        EXPECT_EQ(e.number(), ProgramError::kObjectErrorBase + 13001);
        EXPECT_TRUE(e.source().endsWith(".Utility")) << e.source().toStdString();
        EXPECT_EQ(e.message(), "HourGlass: Object doesn't have mouse pointer");
        EXPECT_EQ(e.message(), ResString(2911));
    }
    EXPECT_FALSE(HourGlassOn());
}

TEST(BusyPointer, ShownForTheScopeAndTakenOffByAnException) {
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    try {
        BusyPointer busy;
        EXPECT_EQ(overrideShape(), Qt::WaitCursor);
        EXPECT_EQ(BusyPointer::Depth(), 1);
        throw std::runtime_error("inside");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(BusyPointer::Depth(), 0);
}

TEST(BusyPointer, NestedGuardsBalance) {
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    {
        BusyPointer outer;
        {
            BusyPointer inner;
            EXPECT_EQ(BusyPointer::Depth(), 2);
        }
        EXPECT_EQ(overrideShape(), Qt::WaitCursor) << "the outer guard still holds it";
        EXPECT_EQ(BusyPointer::Depth(), 1);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // A pointer the program set before the guard comes back after it.
    QApplication::setOverrideCursor(Qt::CrossCursor);
    {
        BusyPointer busy;
        EXPECT_EQ(overrideShape(), Qt::WaitCursor);
    }
    EXPECT_EQ(overrideShape(), Qt::CrossCursor);
    QApplication::restoreOverrideCursor();
}
