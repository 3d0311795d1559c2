#pragma once

#include <QObject>
#include <stdexcept>

#include "base/Clock.h"
#include "base/Engine.h"
#include "base/ResString.h"
#include "base/UserMessages.h"

namespace voltaris::test {

// Starts `engine` and yields to `clock` until it has finished, without any event loop; its
// messages go to the current message sink, as the command line shows them. Rethrows the
// error that ended it; returns its status.
inline EngineOutcome::Status RunToFinish(Engine& engine, Clock& clock) {
    QObject context;
    QObject::connect(
        &engine, &Engine::message, &context, [](int, const QString& text, int titleId) {
            UserMessages::current().show(UserMessages::Icon::Warning, ResString(titleId), text);
        });
    bool ended = false;
    QObject::connect(&engine, &Engine::finished, &context, [&ended] { ended = true; });
    if (!engine.start())
        throw std::logic_error("engine already running");
    while (!ended)
        clock.yield();
    if (engine.outcome().error)
        std::rethrow_exception(engine.outcome().error);
    return engine.outcome().status;
}

}  // namespace voltaris::test
