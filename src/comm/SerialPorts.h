#pragma once

#include <QList>
#include <QString>

namespace voltaris {

// One serial port this machine has: the device, its stable name under /dev/serial/by-id
// (empty when it has none), and the maker and product the device reports (empty when
// unknown).
struct SerialPortEntry {
    QString device;
    QString byId;
    QString manufacturer;
    QString product;
};

// The serial ports present now (QSerialPortInfo), sorted by device, each with its by-id name
// looked up in `byIdFolder`.
QList<SerialPortEntry> AvailableSerialPorts(
    const QString& byIdFolder = QStringLiteral("/dev/serial/by-id"));

// The name in `byIdFolder` whose link leads to `device`; empty when none does.
QString ByIdName(const QString& device, const QString& byIdFolder);

// What COM1..COM4 stand for on this machine. `port` is the stored setting as written (a
// device path, possibly a by-id link, or tcp://host:port); `present` is the index in the list
// of present ports of the device it leads to, -1 when it leads to none of them.
struct ComPortMapping {
    QString name;  // "COM1"
    QString port;
    bool gateway = false;  // tcp://host:port
    int present = -1;
};

// The four COM names against `present` (from AvailableSerialPorts). A setting matches a port
// when both lead to the same file once links are followed.
QList<ComPortMapping> MapComPorts(const QList<SerialPortEntry>& present);

// One line for a tool tip or a list: "COM1: /dev/ttyUSB0 (FTDI FT232R USB UART)",
// "COM2: /dev/ttyUSB1 (not present)", "COM3: tcp://10.0.0.5:4001 (gateway)".
QString DescribeComPort(const ComPortMapping& mapping, const QList<SerialPortEntry>& present);

}  // namespace voltaris
