#include "base/Engine.h"

#include <QEventLoop>

#include "base/Clock.h"

namespace voltaris {

Engine::Engine(Clock& clock, QObject* parent) : QObject(parent), m_clock(clock) {
    qRegisterMetaType<EngineOutcome>();
}

Engine::~Engine() {
    *m_alive = false;
}

bool Engine::start() {
    if (m_running)
        return false;
    m_running = true;
    m_cancelled = false;
    m_lastMessageId = 0;
    m_outcome = {};
    m_task = run();
    const std::weak_ptr<bool> alive = m_alive;
    // finished() goes out from the clock, never from inside the operation's frame: a handler
    // may delete the engine.
    m_task.start([this, alive] {
        m_clock.callLater(0, [this, alive] {
            if (!alive.expired() && *alive.lock())
                end();
        });
    });
    return true;
}

const EngineOutcome& Engine::exec() {
    QEventLoop loop;
    const QMetaObject::Connection c = connect(this, &Engine::finished, &loop, &QEventLoop::quit);
    if (start())
        loop.exec();
    disconnect(c);
    return m_outcome;
}

void Engine::cancel() {
    if (!m_running || m_cancelled)
        return;
    m_cancelled = true;
    onCancel();
}

void Engine::report(int textId, const QString& text, int titleId) {
    m_lastMessageId = textId;
    emit message(textId, text, titleId);
}

void Engine::end() {
    if (!m_running || !m_task.done())
        return;
    EngineOutcome outcome;
    try {
        outcome.status = m_task.result();
    } catch (...) {
        outcome.status = EngineOutcome::Failed;
        outcome.error = std::current_exception();
    }
    if (m_cancelled && outcome.status == EngineOutcome::Failed && !outcome.error)
        outcome.status = EngineOutcome::Cancelled;
    if (outcome.status == EngineOutcome::Failed)
        outcome.messageId = m_lastMessageId;
    m_task.reset();
    onEnded();
    m_running = false;
    m_outcome = outcome;
    emit finished(m_outcome);
}

void Engine::abandon() {
    if (!m_running)
        return;
    m_cancelled = true;
    *m_alive = false;
    m_task.reset();
    onEnded();
    m_running = false;
    m_outcome = {EngineOutcome::Cancelled, 0, {}};
}

}  // namespace voltaris
