#include "controls/CommandGuard.h"

#include <exception>

#include "base/CTraceCode.h"
#include "base/Errors.h"
#include "base/ResString.h"
#include "base/UserMessages.h"
#include "controls/BusyPointer.h"

namespace voltaris::controls {

namespace {

constexpr int kTitle = 301;             // the program's name
constexpr int kUnexpectedError = 2910;  // "stopped by an unexpected error", |1 = the log

QString windowName(const QWidget* w) {
    if (!w)
        return QStringLiteral("-");
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

void reportError(const QString& text) {
    // The guard is the last stop: a sink that fails cannot take the program down with it.
    try {
        UserMessages::current().show(UserMessages::Icon::Error, ResString(kTitle), text);
    } catch (...) {
        g_Trace().BugMessage(QStringLiteral("Impossibile mostrare il messaggio: ") + text);
    }
}

QString unexpectedErrorText() {
    return FormatResString(kUnexpectedError, g_Trace().BugFileName());
}

}  // namespace

bool RunCommand(QWidget* parent, const std::function<void()>& command) {
    const bool hourGlassBefore = HourGlassOn();
    // Busy guards inside the command are gone by the time a handler runs; what can be left is
    // the toggled pointer, which is taken off before any box is shown.
    const auto restorePointer = [hourGlassBefore] {
        if (!hourGlassBefore && HourGlassOn())
            ResetHourGlass();
    };
    const QString where = QStringLiteral("Comando interrotto in ") + windowName(parent);
    try {
        command();
        return true;
    } catch (const AssertFailed& e) {
        restorePointer();
        // BugAssert has logged the check and shown its text.
        g_Trace().BugMessage(where + QStringLiteral(" dopo un controllo fallito: ") + e.message());
    } catch (const ProgramError& e) {
        restorePointer();
        g_Trace().BugMessage(where + QStringLiteral(": errore ") + QString::number(e.number()) +
                             QStringLiteral(" (") + e.source() + QStringLiteral(") ") +
                             e.message());
        reportError(e.message().isEmpty() ? unexpectedErrorText() : e.message());
    } catch (const VoltarisError& e) {
        restorePointer();
        g_Trace().BugMessage(where + QStringLiteral(": ") + e.message());
        reportError(e.message().isEmpty() ? unexpectedErrorText() : e.message());
    } catch (const std::exception& e) {
        restorePointer();
        // Not a text for the user: it stays in the log, the box says where to find it.
        g_Trace().BugMessage(where + QStringLiteral(" da un errore imprevisto: ") +
                             QString::fromLocal8Bit(e.what()));
        reportError(unexpectedErrorText());
    } catch (...) {
        restorePointer();
        g_Trace().BugMessage(where + QStringLiteral(" da un errore sconosciuto"));
        reportError(unexpectedErrorText());
    }
    return false;
}

}  // namespace voltaris::controls
