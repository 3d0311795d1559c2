#pragma once

#include <QMetaObject>
#include <QObject>
#include <coroutine>

#include "base/Clock.h"
#include "base/Task.h"

namespace voltaris {

// co_await Delay{clock, ms}: resumes `ms` from now on the clock (0: at the next turn).
class Delay {
public:
    Delay(Clock& c, int delayMs) : clock(c), ms(delayMs) {}
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> h) {
        token = ResumeToken(h);
        clock.callLater(ms, token.resumer());
    }
    void await_resume() noexcept { token.drop(); }
    ~Delay() { token.drop(); }

private:
    Clock& clock;
    int ms = 0;
    ResumeToken token;
};

// co_await SignalOrReady{...}: waits until `ready()` is true, checking it each time
// `sender` emits `signal`. The resumption goes through the clock, never from inside the
// emitter, so the waiting code may start the next step at once.
template <typename Sender, typename Signal, typename Ready>
struct WaitForSignal {
    Clock& clock;
    Sender* sender;
    Signal signal;
    Ready ready;
    ResumeToken token;
    QMetaObject::Connection connection;

    bool await_ready() { return ready(); }
    void await_suspend(std::coroutine_handle<> h) {
        token = ResumeToken(h);
        connection = QObject::connect(sender, signal, sender,
                                      [c = &clock, r = token.resumer(), ready = ready] {
                                          if (ready())
                                              c->callLater(0, r);
                                      });
    }
    void await_resume() { release(); }
    ~WaitForSignal() { release(); }
    void release() {
        QObject::disconnect(connection);
        token.drop();
    }
};

template <typename Sender, typename Signal, typename Ready>
WaitForSignal<Sender, Signal, Ready> WaitFor(Clock& clock, Sender* sender, Signal signal,
                                             Ready ready) {
    return {clock, sender, signal, ready, {}, {}};
}

// Runs a Task to its end by yielding to `clock`: for tests, benchmarks and tools that have no
// window to keep alive. Rethrows the Task's exception.
template <typename T>
T RunToEnd(Task<T> task, Clock& clock) {
    bool ended = false;
    task.start([&ended] { ended = true; });
    while (!ended)
        clock.yield();
    return task.result();
}

}  // namespace voltaris
