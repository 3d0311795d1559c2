#include "Components.h"

#include "base/CTraceCode.h"

namespace voltaris {

void CheckComponents(const QList<ComponentProbe>& probes, CTraceCode& trace) {
    for (const ComponentProbe& probe : probes)
        if (!probe.available || !probe.available())
            trace.BugMessage(QStringLiteral("Non trovata la registrazione del componente ") +
                             probe.description);
}

}  // namespace voltaris
