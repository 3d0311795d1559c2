#include "cli/InstrumentSession.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <iterator>

#include "base/Engine.h"
#include "base/ResString.h"
#include "base/UserMessages.h"

namespace voltaris::cli {

namespace {

int g_pipe[2] = {-1, -1};
// A terminal closed (SIGHUP) or a kill (SIGTERM) ends the work as Ctrl-C does: the port
// closed, nothing half stored.
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction g_previous[std::size(kSignals)];

extern "C" void onSigint(int) {
    const int saved = errno;
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &c, 1);
    errno = saved;
}

}  // namespace

InterruptWatch::InterruptWatch(std::function<void()> onInterrupt)
    : m_onInterrupt(std::move(onInterrupt)) {
    if (g_pipe[0] != -1 || ::pipe(g_pipe) != 0)
        return;  // one watch at a time; without a pipe Ctrl-C keeps its default action
    for (const int fd : g_pipe)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        char buf[16];
        while (::read(g_pipe[0], buf, sizeof buf) > 0) {
        }
        if (m_interrupted)
            return;
        m_interrupted = true;
        if (m_onInterrupt)
            m_onInterrupt();
    });
    struct sigaction sa {};
    sa.sa_handler = onSigint;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    m_installed = true;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        m_installed = ::sigaction(kSignals[i], &sa, &g_previous[i]) == 0 && m_installed;
}

InterruptWatch::~InterruptWatch() {
    if (m_installed)
        for (std::size_t i = 0; i < std::size(kSignals); ++i)
            ::sigaction(kSignals[i], &g_previous[i], nullptr);
    m_notifier.reset();
    if (g_pipe[0] != -1) {
        ::close(g_pipe[0]);
        ::close(g_pipe[1]);
        g_pipe[0] = g_pipe[1] = -1;
    }
}

void ProgressView::setCaption(const QString& text) {
    if (text == m_caption)
        return;
    m_caption = text;
    if (!m_ctx.interactive) {
        m_ctx.err << plainText(text) << '\n';
        m_ctx.err.flush();
        return;
    }
    redraw();
}

void ProgressView::setOperation(const QString& text) {
    if (text == m_operation)
        return;
    m_operation = text;
    if (!m_ctx.interactive) {
        m_ctx.err << plainText(text) << '\n';
        m_ctx.err.flush();
        return;
    }
    redraw();
}

void ProgressView::setProgress(int value, int minimum, int maximum) {
    m_value = value;
    m_min = minimum;
    m_max = maximum;
    if (m_ctx.interactive)
        redraw();
}

void ProgressView::setSearch(int baud, int address) {
    if (!m_ctx.interactive) {
        if (baud != m_searchBaud)
            setOperation(QStringLiteral("Searching at %1 baud").arg(baud));
    } else {
        setOperation(QStringLiteral("%1 baud, address %2").arg(baud).arg(address));
    }
    m_searchBaud = baud;
}

void ProgressView::clear() {
    if (!m_drawn)
        return;
    m_ctx.err << "\r\033[K\033[1A\r\033[K";
    m_ctx.err.flush();
    m_drawn = false;
}

void ProgressView::redraw() {
    constexpr int kWidth = 30;
    const int span = m_max - m_min;
    const int filled = span > 0 ? qBound(0, (m_value - m_min) * kWidth / span, kWidth) : 0;
    const int percent = span > 0 ? qBound(0, (m_value - m_min) * 100 / span, 100) : 0;
    if (m_drawn)
        m_ctx.err << "\r\033[K\033[1A\r\033[K";
    m_ctx.err << plainText(m_caption) << '\n'
              << '[' << QString(filled, u'#') << QString(kWidth - filled, u'.') << "] "
              << QString::number(percent).rightJustified(3) << "%  " << plainText(m_operation);
    m_ctx.err.flush();
    m_drawn = true;
}

int RunEngine(Engine& engine, ProgressView* view) {
    QObject context;
    if (view) {
        QObject::connect(&engine, &Engine::connectionLine, &context,
                         [view](const QString& t) { view->setCaption(t); });
        QObject::connect(&engine, &Engine::operationLine, &context,
                         [view](const QString& t) { view->setOperation(t); });
        QObject::connect(&engine, &Engine::progress, &context,
                         [view](int v, int min, int max) { view->setProgress(v, min, max); });
        QObject::connect(&engine, &Engine::searching, &context,
                         [view](int baud, int address) { view->setSearch(baud, address); });
    }
    QObject::connect(
        &engine, &Engine::message, &context, [view](int, const QString& text, int titleId) {
            if (view)
                view->clear();
            UserMessages::current().show(UserMessages::Icon::Warning, ResString(titleId), text);
        });
    InterruptWatch watch([&engine] { engine.cancel(); });
    const EngineOutcome& outcome = engine.exec();
    if (view)
        view->clear();
    if (outcome.error)
        std::rethrow_exception(outcome.error);
    if (outcome.status == EngineOutcome::Cancelled || watch.interrupted())
        return kCancelled;
    return outcome.ok() ? kDone : kFailed;
}

}  // namespace voltaris::cli
