#include "base/Clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <map>
#include <stdexcept>

namespace voltaris {

// ---- real time ----

namespace {

class RealTimer : public Timer {
public:
    RealTimer() {
        m_timer.setSingleShot(false);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (m_fn)
                m_fn();
        });
    }
    void setInterval(int ms) override { m_timer.setInterval(ms); }
    int interval() const override { return m_timer.interval(); }
    void setEnabled(bool on) override {
        if (on)
            m_timer.start();
        else
            m_timer.stop();
    }
    bool isEnabled() const override { return m_timer.isActive(); }
    void setCallback(std::function<void()> fn) override { m_fn = std::move(fn); }

private:
    QTimer m_timer;
    std::function<void()> m_fn;
};

class RealClock : public Clock {
public:
    RealClock() { m_elapsed.start(); }
    qint64 nowMs() const override { return m_elapsed.elapsed(); }
    std::unique_ptr<Timer> createTimer() override { return std::make_unique<RealTimer>(); }
    void callLater(int ms, std::function<void()> fn) override {
        QTimer::singleShot(ms, QCoreApplication::instance(), std::move(fn));
    }
    void yield() override {
        // Wait for the next event (a timer, bytes on the port, a click), but never longer
        // than a tick, so a caller polling a flag stays responsive.
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }

private:
    QElapsedTimer m_elapsed;
};

}  // namespace

Clock& Clock::real() {
    static RealClock clock;
    return clock;
}

// ---- virtual time ----

struct VirtualClock::State {
    qint64 now = 0;
    quint64 nextSeq = 0;
    // Due time and insertion order -> work; a timer re-arms itself when it fires.
    std::map<std::pair<qint64, quint64>, std::function<void()>> queue;

    std::pair<qint64, quint64> schedule(qint64 due, std::function<void()> fn) {
        const auto key = std::make_pair(due, nextSeq++);
        queue.emplace(key, std::move(fn));
        return key;
    }
    void runFirst() {
        auto it = queue.begin();
        if (it->first.first > now)
            now = it->first.first;
        auto fn = std::move(it->second);
        queue.erase(it);
        fn();
    }
};

namespace {

class VirtualTimer : public Timer {
public:
    explicit VirtualTimer(std::weak_ptr<VirtualClock::State> state) : m_state(std::move(state)) {}
    ~VirtualTimer() override { disarm(); }
    void setInterval(int ms) override {
        m_interval = ms;
        if (m_armed)
            arm();
    }
    int interval() const override { return m_interval; }
    void setEnabled(bool on) override {
        if (on)
            arm();
        else
            disarm();
    }
    bool isEnabled() const override { return m_armed; }
    void setCallback(std::function<void()> fn) override { m_fn = std::move(fn); }

private:
    void arm() {
        disarm();
        auto state = m_state.lock();
        if (!state)
            return;
        m_key = state->schedule(state->now + qMax(m_interval, 0), [this] { fire(); });
        m_armed = true;
    }
    void disarm() {
        if (!m_armed)
            return;
        if (auto state = m_state.lock())
            state->queue.erase(m_key);
        m_armed = false;
    }
    void fire() {
        m_armed = false;
        arm();  // periodic: the next period starts now, before the callback may stop it
        if (m_fn)
            m_fn();
    }

    std::weak_ptr<VirtualClock::State> m_state;
    std::function<void()> m_fn;
    std::pair<qint64, quint64> m_key{};
    int m_interval = 0;
    bool m_armed = false;
};

}  // namespace

VirtualClock::VirtualClock() : m_state(std::make_shared<State>()) {}

VirtualClock::~VirtualClock() = default;

qint64 VirtualClock::nowMs() const {
    return m_state->now;
}

std::unique_ptr<Timer> VirtualClock::createTimer() {
    return std::make_unique<VirtualTimer>(m_state);
}

void VirtualClock::callLater(int ms, std::function<void()> fn) {
    m_state->schedule(m_state->now + qMax(ms, 0), std::move(fn));
}

void VirtualClock::yield() {
    if (m_state->queue.empty())
        throw std::logic_error("virtual clock: waiting with nothing scheduled");
    m_state->runFirst();
}

void VirtualClock::advanceBy(qint64 ms) {
    const qint64 until = m_state->now + ms;
    while (!m_state->queue.empty() && m_state->queue.begin()->first.first <= until)
        m_state->runFirst();
    m_state->now = until;
}

void VirtualClock::runUntilIdle(qint64 limitMs) {
    const qint64 until = m_state->now + limitMs;
    while (!m_state->queue.empty() && m_state->queue.begin()->first.first <= until)
        m_state->runFirst();
}

bool VirtualClock::hasPending() const {
    return !m_state->queue.empty();
}

}  // namespace voltaris
