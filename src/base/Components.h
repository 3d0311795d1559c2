#pragma once

#include <QList>
#include <QString>
#include <functional>

namespace voltaris {

class CTraceCode;

// One outside piece the program needs at run time, and how to tell it is there.
struct ComponentProbe {
    QString description;
    std::function<bool()> available;
};

// Writes "Non trovata la registrazione del componente " + description to `trace` for every
// probe that fails. Nothing else happens.
void CheckComponents(const QList<ComponentProbe>& probes, CTraceCode& trace);

}  // namespace voltaris
