#include "Components.h"

#include <QDir>
#include <QSqlDatabase>

#include "base/CTraceCode.h"

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

void CheckComponents(const QList<ComponentProbe>& probes, CTraceCode& trace) {
    for (const ComponentProbe& probe : probes)
        if (!probe.available || !probe.available())
            trace.BugMessage(QStringLiteral("Non trovata la registrazione del componente ") +
                             probe.description);
}

void CheckComponents() {
    CheckComponents(PlatformComponents(), g_Trace());
}

}  // namespace voltaris
