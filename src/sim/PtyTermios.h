#pragma once

#include "comm/Transport.h"

namespace voltaris {

// Line settings a program has set on a pseudo-terminal, read through the master side.
// On Linux the master shares the slave's termios: TCGETS2 on the master returns what the
// program set with tcsetattr (or termios2) on the slave, c_ospeed holding the speed in
// baud also when it was set as a Bnnn code. Only the speed tells anything: the pty driver
// forces 8 data bits without parity whatever the program asks for. False when the
// descriptor is no terminal.
bool ReadPtyLineSettings(int masterFd, Transport::LineSettings* settings);

}  // namespace voltaris
