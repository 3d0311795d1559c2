#pragma once

#include "cli/Command.h"
#include "comm/SerialPorts.h"

namespace voltaris::cli {

// The commands that talk to instruments (LINK options in LinkOptions.h).
Command transmitCommand();
Command readCommand();
Command resetCommand();
Command scanCommand();
Command portsCommand();

// The serial ports of this machine as `voltaris ports` prints them: a table of the present
// ports (device, the COM names that lead to it, by-id name, maker, product), then one line per
// COM name saying what it stands for.
QString FormatPorts(const QList<SerialPortEntry>& present, const QList<ComPortMapping>& map);
// The same as one JSON object {"ports": [...], "com": [...]}.
QByteArray PortsJson(const QList<SerialPortEntry>& present, const QList<ComPortMapping>& map);

}  // namespace voltaris::cli
