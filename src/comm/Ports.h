#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "comm/LinkMode.h"
#include "comm/Transport.h"

namespace voltaris {

// The device behind COM1..COM4: section "Ports" of the settings store, key "COM" + n,
// default "/dev/ttyUSB" + (n - 1). `portIndex` is 0-based (0 for COM1); a negative index
// gives an empty name.
QString PortNameForIndex(int portIndex);
// For this run only, COM portIndex + 1 stands for `name` whatever the settings say (the
// desktop program's demonstration maps COM1 to a simulated network); an empty name ends it.
// Nothing is stored.
void SetPortOverride(int portIndex, const QString& name);

// Stores `name` (a device path or tcp://host:port) as the device behind COM portIndex + 1.
void SetPortNameForIndex(int portIndex, const QString& name);

// The 0-based index of "COM1".."COM4" (any case, surrounding blanks ignored); nullopt for
// any other name, "COM5" and "COM0" included.
std::optional<int> ComPortIndex(const QString& name);

// "COM1".."COM4" through the settings store; anything else (a device path, tcp://host:port)
// as it is, trimmed.
QString ResolvePortName(const QString& name);

// The link's cadence: section "Link", key "FastTick" of the settings store; true forces
// Fast, false Classic, missing (or unreadable) is Adaptive. Owners pass it to
// CWirrel::setLinkMode; the command line's --fast, --classic and --adaptive override it.
LinkMode LinkModeSetting();
// Adaptive removes the key.
void SetLinkModeSetting(LinkMode mode);

// A serial transport for a device path, a TCP transport for tcp://host:port. Throws
// VoltarisError with a message for the user when the name is neither.
std::unique_ptr<Transport> CreateTransport(const QString& name);

}  // namespace voltaris
