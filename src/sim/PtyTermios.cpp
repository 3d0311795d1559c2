// Kept apart from <termios.h>: the kernel's termios2 comes from <asm/termbits.h>, whose
// definitions clash with the C library's.
#include "sim/PtyTermios.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace voltaris {

bool ReadPtyLineSettings(int masterFd, Transport::LineSettings* settings) {
    struct termios2 t {};
    if (ioctl(masterFd, TCGETS2, &t) != 0)
        return false;
    settings->baudRate = static_cast<qint32>(t.c_ospeed);
    switch (t.c_cflag & CSIZE) {
        case CS5:
            settings->dataBits = 5;
            break;
        case CS6:
            settings->dataBits = 6;
            break;
        case CS7:
            settings->dataBits = 7;
            break;
        default:
            settings->dataBits = 8;
            break;
    }
    if (!(t.c_cflag & PARENB))
        settings->parity = Transport::Parity::None;
    else
        settings->parity = (t.c_cflag & PARODD) ? Transport::Parity::Odd : Transport::Parity::Even;
    settings->stopBits = (t.c_cflag & CSTOPB) ? Transport::StopBits::Two : Transport::StopBits::One;
    return true;
}

}  // namespace voltaris
