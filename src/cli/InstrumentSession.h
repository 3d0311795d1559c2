#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "cli/Cli.h"

class QSocketNotifier;

namespace voltaris {
class Engine;
}

namespace voltaris::cli {

// Ctrl-C (and SIGTERM, SIGHUP) while an instrument command runs: the signal handler only
// writes to a pipe; the event loop sees it and calls `onInterrupt` (the operation's cancel).
// The previous handlers are put back on destruction.
class InterruptWatch : public QObject {
    Q_OBJECT
public:
    explicit InterruptWatch(std::function<void()> onInterrupt);
    ~InterruptWatch() override;
    bool interrupted() const { return m_interrupted; }

private:
    std::function<void()> m_onInterrupt;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_interrupted = false;
    bool m_installed = false;
};

// Shows an operation's progress on standard error: on a terminal one line redrawn with a
// bar, the caption line and the operation line; otherwise each new caption or operation
// line as a plain line. The automatic search shows its speed and address on a terminal,
// otherwise one line per speed.
class ProgressView {
public:
    explicit ProgressView(Context& ctx) : m_ctx(ctx) {}
    ~ProgressView() { clear(); }
    void setCaption(const QString& text);
    void setOperation(const QString& text);
    void setProgress(int value, int minimum, int maximum);
    void setSearch(int baud, int address);
    // Removes the redrawn line (before a message is printed, and at the end).
    void clear();

private:
    void redraw();

    Context& m_ctx;
    QString m_caption;
    QString m_operation;
    int m_value = 0, m_min = 0, m_max = 0;
    int m_searchBaud = 0;
    bool m_drawn = false;
};

// Shows `engine`'s caption lines and progress on `view` (when given), starts it and waits for
// its end in an event loop of its own. Its messages are printed through the message sink,
// Ctrl-C cancels it. Rethrows an archive or file error that ended it. Returns the exit
// status: done, failed or cancelled.
int RunEngine(Engine& engine, ProgressView* view);

}  // namespace voltaris::cli
