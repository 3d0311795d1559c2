#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "comm/Transport.h"

namespace voltaris {

// The device behind COM1..COM4: section "Ports" of the settings store, key "COM" + n,
// default "/dev/ttyUSB" + (n - 1). `portIndex` is 0-based (0 for COM1); a negative index
// gives an empty name.
QString PortNameForIndex(int portIndex);

// The 0-based index of "COM1".."COM4" (any case, surrounding blanks ignored); nullopt for
// any other name, "COM5" and "COM0" included.
std::optional<int> ComPortIndex(const QString& name);

// "COM1".."COM4" through the settings store; anything else (a device path, tcp://host:port)
// as it is, trimmed.
QString ResolvePortName(const QString& name);

// The fast link option: section "Link", key "FastTick" of the settings store (off unless
// set). Owners pass it to CWirrel::setFastTick; the command line's --fast overrides it.
bool FastTickSetting();
void SetFastTickSetting(bool on);

// A serial transport for a device path, a TCP transport for tcp://host:port. Throws
// VoltarisError with a message for the user when the name is neither.
std::unique_ptr<Transport> CreateTransport(const QString& name);

}  // namespace voltaris
