#pragma once

#include <QtGlobal>
#include <functional>
#include <memory>

namespace voltaris {

// A timer made by a Clock: a period that fires its callback repeatedly while enabled.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    // Enabling (also when already enabled) starts a new period from now.
    virtual void setEnabled(bool on) = 0;
    virtual bool isEnabled() const = 0;
    virtual void setCallback(std::function<void()> fn) = 0;
};

// Time as the program's waiting code sees it. The real clock wraps the Qt event loop;
// the virtual clock runs the same code in simulated time, so a 9-second timeout costs
// microseconds in a test. Everything happens on one thread.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 nowMs() const = 0;
    virtual std::unique_ptr<Timer> createTimer() = 0;
    // Runs `fn` once, `ms` from now (0: as soon as the waiting code yields).
    virtual void callLater(int ms, std::function<void()> fn) = 0;
    // Lets pending work run while an operation waits for something (window events,
    // timers, bytes from the line). Returns after at least one piece of work ran, or after
    // a short while with the real clock.
    virtual void yield() = 0;

    // The process's real clock.
    static Clock& real();
};

// Simulated time: nothing runs until yield(), advanceBy() or runUntilIdle() is called.
// yield() runs the work due now or, when there is none, jumps to the next due item.
class VirtualClock : public Clock {
public:
    VirtualClock();
    ~VirtualClock() override;

    qint64 nowMs() const override;
    std::unique_ptr<Timer> createTimer() override;
    void callLater(int ms, std::function<void()> fn) override;
    // Throws std::logic_error when nothing at all is scheduled: the waiting code would
    // otherwise spin for ever.
    void yield() override;

    // Runs everything due up to now + ms, in time order, and leaves the time there.
    void advanceBy(qint64 ms);
    // Runs until nothing is scheduled or `limitMs` of simulated time has passed.
    void runUntilIdle(qint64 limitMs = 3600 * 1000);
    bool hasPending() const;

    struct State;

private:
    std::shared_ptr<State> m_state;
};

}  // namespace voltaris
