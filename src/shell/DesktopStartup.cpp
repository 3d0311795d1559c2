#include "shell/DesktopStartup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>

#include "app/Startup.h"
#include "archive/Archive.h"
#include "base/CTraceCode.h"
#include "base/Errors.h"
#include "base/ResString.h"
#include "base/UserMessages.h"
#include "controls/BusyPointer.h"
#include "controls/ProgramFont.h"
#include "shell/FAbout.h"

namespace voltaris::shell {

DesktopOptions ParseDesktopArguments(const QStringList& args, const QString& executableDir) {
    DesktopOptions o;
    o.executableDir = executableDir;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--home") && i + 1 < args.size())
            o.home = args[++i];
        else if (args[i] == QLatin1String("--demo"))
            o.demo = true;
        else
            o.arguments << args[i];
    }
    return o;
}

std::unique_ptr<FMain> StartDesktop(const DesktopOptions& options, Archive& archive) {
    std::unique_ptr<FSplash> splash;
    std::optional<controls::BusyPointer> busy;
    StartupHooks hooks;
    hooks.afterProgramStart = [&] {
        controls::SetProgramFont();
        busy.emplace();
        g_Trace().BugMessage(QStringLiteral("Mostra splash window"));
        splash = std::make_unique<FSplash>();
        splash->adjustSize();
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            splash->move(screen->availableGeometry().center() - splash->rect().center());
        splash->show();
        splash->repaint();
        QCoreApplication::processEvents();
    };
    try {
        StartProgram({options.home, options.arguments, options.executableDir}, archive, hooks);
    } catch (const AssertFailed&) {
        return nullptr;  // already shown
    } catch (const VoltarisError& e) {
        // A missing template (its own message), or a folder or archive that cannot be used.
        busy.reset();
        splash.reset();
        UserMessages::current().show(UserMessages::Icon::Error, ResString(301), e.message());
        return nullptr;
    }
    g_Trace().BugMessage(QStringLiteral("Crea form"));
    auto main = std::make_unique<FMain>(archive);
    if (options.splashSeconds > 0) {
        const QString seconds = QString::number(options.splashSeconds);
        g_Trace().BugMessage(QStringLiteral("Inizio pausa ") + seconds + QStringLiteral(" sec."));
        // The splash stays visible and answers its events meanwhile.
        QEventLoop pause;
        QTimer::singleShot(options.splashSeconds * 1000, &pause, &QEventLoop::quit);
        pause.exec();
        g_Trace().BugMessage(QStringLiteral("Fine pausa ") + seconds + QStringLiteral(" sec."));
    }
    splash.reset();
    g_Trace().BugMessage(QStringLiteral("Visualizza form main"));
    main->show();
    g_Trace().BugMessage(QStringLiteral("Sub Main() step 1"));
    busy.reset();
    g_Trace().BugMessage(QStringLiteral("End Sub Main()"));
    return main;
}

}  // namespace voltaris::shell
