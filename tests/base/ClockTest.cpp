#include <gtest/gtest.h>

#include <QStringList>

#include "base/Clock.h"

using namespace voltaris;

TEST(VirtualClock, TimersAndCallsRunInTimeOrder) {
    VirtualClock clock;
    QStringList log;
    auto work = clock.createTimer();
    work->setInterval(200);
    work->setCallback([&] { log << QString("tick@%1").arg(clock.nowMs()); });
    auto timeout = clock.createTimer();
    timeout->setInterval(500);
    timeout->setCallback([&] {
        log << QString("timeout@%1").arg(clock.nowMs());
        work->setEnabled(false);
        timeout->setEnabled(false);
    });
    work->setEnabled(true);
    timeout->setEnabled(true);
    clock.callLater(300, [&] { log << QString("later@%1").arg(clock.nowMs()); });
    clock.runUntilIdle();
    EXPECT_EQ(log, QStringList({"tick@200", "later@300", "tick@400", "timeout@500"}));
    EXPECT_EQ(clock.nowMs(), 500);
    EXPECT_FALSE(clock.hasPending());
}

TEST(VirtualClock, ReEnablingRestartsThePeriod) {
    VirtualClock clock;
    int fired = 0;
    auto t = clock.createTimer();
    t->setInterval(3000);
    t->setCallback([&] { ++fired; });
    t->setEnabled(true);
    clock.advanceBy(2000);
    t->setEnabled(true);  // a new period from now: due at 5000, not 3000
    clock.advanceBy(2500);
    EXPECT_EQ(fired, 0);
    clock.advanceBy(500);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(clock.nowMs(), 5000);
}

TEST(VirtualClock, YieldJumpsToTheNextItemAndRefusesToSpinOnNothing) {
    VirtualClock clock;
    bool done = false;
    clock.callLater(9000, [&] { done = true; });
    while (!done)
        clock.yield();
    EXPECT_EQ(clock.nowMs(), 9000);
    EXPECT_THROW(clock.yield(), std::logic_error);
}

TEST(VirtualClock, DestroyedTimerNeverFires) {
    VirtualClock clock;
    int fired = 0;
    {
        auto t = clock.createTimer();
        t->setInterval(10);
        t->setCallback([&] { ++fired; });
        t->setEnabled(true);
    }
    clock.advanceBy(100);
    EXPECT_EQ(fired, 0);
}
