#include "app/Startup.h"

#include <QDir>
#include <QSqlDatabase>

#include "archive/Archive.h"
#include "base/CTraceCode.h"
#include "base/Components.h"
#include "base/DataFolder.h"
#include "base/ResString.h"
#include "variables/GlobalScale.h"

namespace voltaris {

QList<ComponentProbe> PlatformComponents() {
    return {
        // The driver is a plugin loaded at run time; a missing package shows up only here.
        {QStringLiteral("libqsqlite.so (Qt SQL driver for SQLite)."),
         [] { return QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")); }},
        // The serial port library is linked into the program and cannot be missing; what
        // can be missing is the kernel's tty class, through which it lists the ports.
        {QStringLiteral("/sys/class/tty (serial port support of the system)."),
         [] { return QDir(QStringLiteral("/sys/class/tty")).exists(); }},
    };
}

QString ProgramTitle() {
    return ResString(301) + QLatin1Char(' ') + ResString(303);
}

void StartProgram(const StartupOptions& options, Archive& archive, const StartupHooks& hooks) {
    // The trace file lives in the data folder, so the folder is settled first.
    const QString folder = DataFolder::resolve(options.home, options.executableDir);

    CTraceCode& trace = g_Trace();
    StartTrace(trace, options.arguments);
    trace.BugMessage(QStringLiteral("Inizio Zel1Soft"));
    if (hooks.afterProgramStart)
        hooks.afterProgramStart();

    GlobalScale::InitScaleTable();

    trace.BugMessage(QStringLiteral("Verifica esistenza DB..."));
    Archive::provision(
        folder, DataFolder::templateCandidates(options.executableDir, Archive::TemplateFileName));

    trace.BugMessage(QStringLiteral("Crea oggetto connection."));
    if (hooks.beforeConnection)
        hooks.beforeConnection();
    CheckComponents(PlatformComponents(), g_Trace());

    archive.open(DataFolder::file(Archive::ArchiveFileName));
    Archive::setCurrent(&archive);
}

}  // namespace voltaris
