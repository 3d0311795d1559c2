#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "base/Components.h"

namespace voltaris {

class Archive;

// What both front ends pass to the start-up.
struct StartupOptions {
    QString home;           // --home DIR, empty when not given
    QStringList arguments;  // the command line without the program name (trace switches)
    QString executableDir;  // the folder of the running program
};

// Window steps the desktop program hooks into the sequence (splash, pause); the command
// line leaves them empty.
struct StartupHooks {
    std::function<void()> afterProgramStart;  // after "Inizio Zel1Soft": font, splash
    std::function<void()> beforeConnection;   // after the archive check: "Crea form" etc.
};

// The start-up steps that need no window, in order: data folder, trace log with its run
// header, "Inizio Zel1Soft", scale table, "Verifica esistenza DB..." and the template copy,
// "Crea oggetto connection.", the component check; then the archive is opened and becomes
// the program's connection. Throws TemplateMissing (message 231) when neither the archive
// nor a template exists, IoError for a data folder or archive that cannot be used.
void StartProgram(const StartupOptions& options, Archive& archive, const StartupHooks& hooks = {});

// "Voltaris Version 1.107.1": resources 301, a blank, 303.
QString ProgramTitle();

// The pieces this platform can lack: the Qt SQLite driver of the archive, and the
// system's serial port support.
QList<ComponentProbe> PlatformComponents();

}  // namespace voltaris
