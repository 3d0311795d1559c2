// The coroutine Task and the Engine base on virtual time: values and errors travel up the
// chain, a destroyed chain leaves nothing behind to resume, and finished() never comes from
// inside the operation.
#include <gtest/gtest.h>

#include <stdexcept>

#include "base/Clock.h"
#include "base/Engine.h"
#include "base/Task.h"
#include "base/Wait.h"

using namespace voltaris;

namespace {

struct Guard {
    int& count;
    explicit Guard(int& c) : count(c) { ++count; }
    ~Guard() { --count; }
};

Task<int> leaf(Clock& clock, int value, int& alive) {
    const Guard g(alive);
    co_await Delay(clock, 100);
    if (value < 0)
        throw std::runtime_error("negative");
    co_return value * 2;
}

Task<int> middle(Clock& clock, int value, int& alive) {
    const Guard g(alive);
    const int a = co_await leaf(clock, value, alive);
    const int b = co_await leaf(clock, value + 1, alive);
    co_return a + b;
}

TEST(Task, ValuesAndErrorsTravelUpTheChain) {
    VirtualClock clock;
    int alive = 0;
    EXPECT_EQ(RunToEnd(middle(clock, 3, alive), clock), 6 + 8);
    EXPECT_EQ(clock.nowMs(), 200);
    EXPECT_EQ(alive, 0);
    EXPECT_THROW(RunToEnd(middle(clock, -5, alive), clock), std::runtime_error);
    EXPECT_EQ(alive, 0);
}

TEST(Task, DestroyingASuspendedChainUnwindsItAndNothingResumesIt) {
    VirtualClock clock;
    int alive = 0;
    bool ended = false;
    {
        Task<int> t = middle(clock, 1, alive);
        t.start([&] { ended = true; });
        EXPECT_EQ(alive, 2);  // suspended in the first leaf
    }
    EXPECT_EQ(alive, 0);
    // The delay it was waiting for comes and finds nobody to resume.
    clock.runUntilIdle();
    EXPECT_FALSE(ended);
}

// An engine whose operation waits `steps` times 100 ms, or fails with a message.
class StepEngine : public Engine {
public:
    StepEngine(Clock& clock, int steps) : Engine(clock), m_steps(steps) {}
    ~StepEngine() override { abandon(); }
    int alive = 0;
    int ended = 0;

protected:
    Task<EngineOutcome::Status> run() override {
        const Guard g(alive);
        for (int i = 0; i < m_steps; ++i) {
            if (isCancelled())
                co_return EngineOutcome::Cancelled;
            emit progress(i, 0, m_steps);
            co_await Delay(clock(), 100);
        }
        if (m_steps == 0) {
            report(228, QStringLiteral("nobody answered"), 208);
            co_return EngineOutcome::Failed;
        }
        co_return EngineOutcome::Done;
    }
    void onEnded() override { ++ended; }

private:
    int m_steps;
};

TEST(Engine, FinishedComesFromTheClockOnceWithTheOutcome) {
    VirtualClock clock;
    const struct {
        int steps;
        bool cancelAtOne;
        EngineOutcome::Status status;
        int messageId;
    } cases[] = {{3, false, EngineOutcome::Done, 0},
                 {0, false, EngineOutcome::Failed, 228},
                 {3, true, EngineOutcome::Cancelled, 0}};
    for (const auto& c : cases) {
        StepEngine e(clock, c.steps);
        QList<EngineOutcome> outcomes;
        QObject::connect(&e, &Engine::finished, [&](const EngineOutcome& o) { outcomes << o; });
        if (c.cancelAtOne)
            QObject::connect(&e, &Engine::progress, [&](int v, int, int) {
                if (v == 1)
                    e.cancel();
            });
        ASSERT_TRUE(e.start());
        EXPECT_TRUE(outcomes.isEmpty());  // never from inside start()
        EXPECT_FALSE(e.start());
        clock.runUntilIdle();
        ASSERT_EQ(outcomes.size(), 1) << c.steps;
        EXPECT_EQ(outcomes[0].status, c.status);
        EXPECT_EQ(outcomes[0].messageId, c.messageId);
        EXPECT_EQ(e.alive, 0);
        EXPECT_EQ(e.ended, 1);
        EXPECT_FALSE(e.isRunning());
    }
}

TEST(Engine, AFinishedHandlerMayDeleteTheEngineAndDeletingARunningOneIsQuiet) {
    VirtualClock clock;
    auto* e = new StepEngine(clock, 2);
    bool deleted = false;
    QObject::connect(e, &Engine::finished, [&] {
        delete e;
        deleted = true;
    });
    ASSERT_TRUE(e->start());
    clock.runUntilIdle();
    EXPECT_TRUE(deleted);

    auto running = std::make_unique<StepEngine>(clock, 5);
    int finished = 0;
    QObject::connect(running.get(), &Engine::finished, [&] { ++finished; });
    ASSERT_TRUE(running->start());
    clock.advanceBy(150);
    running.reset();
    clock.runUntilIdle();
    EXPECT_EQ(finished, 0);
}

}  // namespace
