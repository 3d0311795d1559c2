#pragma once

#include <QStringList>
#include <memory>

#include "shell/FMain.h"

namespace voltaris {
class Archive;
}

namespace voltaris::shell {

// The desktop program's command line: --home DIR, --demo, the trace switches (/DEBUG,
// /DEBUG_ALL); anything else is ignored as the program always did.
struct DesktopOptions {
    QString home;
    QStringList arguments;
    QString executableDir;
    int splashSeconds = 3;
    bool demo = false;  // --demo: a simulated network on COM1 for this run
};
DesktopOptions ParseDesktopArguments(const QStringList& args, const QString& executableDir);

// The start-up sequence with its windows: the font, the splash window, the archive (created
// from its template on the first run), the main window and the pause that keeps the splash
// visible. The main window, shown; nullptr when the program cannot start (the message has been
// shown: a missing template, or a data folder or archive that cannot be used).
std::unique_ptr<FMain> StartDesktop(const DesktopOptions& options, Archive& archive);

}  // namespace voltaris::shell
