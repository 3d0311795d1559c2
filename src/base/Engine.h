#pragma once

#include <QObject>
#include <QString>
#include <exception>
#include <memory>

#include "base/Task.h"

namespace voltaris {

class Clock;

// How a long operation ended.
struct EngineOutcome {
    enum Status { Done, Failed, Cancelled };
    Status status = Done;
    // The string-table id of the message that told the user why it failed; 0 when none
    // (cancelled, or a failure reported as an error below).
    int messageId = 0;
    // An archive, file or program error that ended the operation; the caller reports it as
    // it reports such errors elsewhere (a message box, or a message and exit status).
    std::exception_ptr error;

    bool ok() const { return status == Done; }
};

// The one shape of the long operations (transfer, scan, live data, printing), driven alike
// by a window and by the command line.
//
// start() returns at once. The operation is a Task run from the caller's own event loop:
// every wait (a reply, a timeout, an open port) suspends it, and the event that ends the
// wait resumes it, so the caller never runs a nested event loop and stays free to repaint,
// take Cancel, or close. cancel() works at any time and ends the work within one exchange.
// A second start() while running is refused. Deleting the engine while it runs cancels it,
// destroys the operation's frames (nothing is stored half-way: stores happen in one call at
// the end of an operation) and closes the line.
//
// Messages reach the user by one path, the message signal: the command line prints it, a
// window shows it. finished() comes once, from the clock, after the operation has ended:
// a handler may delete the engine.
class Engine : public QObject {
    Q_OBJECT
public:
    explicit Engine(Clock& clock, QObject* parent = nullptr);
    ~Engine() override;

    // Starts the operation; false (nothing done) when one is already running.
    bool start();
    void cancel();
    // Starts the operation and runs an event loop of the caller's own until it has finished:
    // for the command line and tools without windows. The outcome (error kept, not thrown).
    const EngineOutcome& exec();
    bool isRunning() const { return m_running; }
    bool isCancelled() const { return m_cancelled; }
    const EngineOutcome& outcome() const { return m_outcome; }
    Clock& clock() const { return m_clock; }

signals:
    // The first caption line (where: speed, address) and the second (what is being done).
    void connectionLine(const QString& text);
    void operationLine(const QString& text);
    void progress(int value, int minimum, int maximum);
    // The automatic search is asking `address` at `baud` (before each address it tries).
    void searching(int baud, int address);
    // A message for the user: its string-table id (0 for a text of its own), text, title id.
    void message(int textId, const QString& text, int titleId);
    // The line to the instruments opened or closed (the tray icon).
    void lineOpened(bool open);
    void finished(const voltaris::EngineOutcome& outcome);

protected:
    // The operation. Its result is the outcome's status; it reports through the signals.
    virtual Task<EngineOutcome::Status> run() = 0;
    // Called once when cancel() is first called while running: end the running wait.
    virtual void onCancel() {}
    // Called when the operation has ended (also when abandoned): close what it opened.
    virtual void onEnded() {}

    // Emits message and remembers its id for the outcome.
    void report(int textId, const QString& text, int titleId);
    // For the destructor of a derived engine: ends a running operation (frames destroyed,
    // onEnded called) before the members it uses go. No finished() is emitted.
    void abandon();

private:
    void end();

    Clock& m_clock;
    Task<EngineOutcome::Status> m_task;
    EngineOutcome m_outcome;
    bool m_running = false;
    bool m_cancelled = false;
    int m_lastMessageId = 0;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace voltaris

Q_DECLARE_METATYPE(voltaris::EngineOutcome)
