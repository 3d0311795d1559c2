#pragma once

#include <QComboBox>
#include <QDialog>
#include <QList>

#include "comm/SerialPorts.h"

namespace voltaris::shell {

// What COM1 .. COM4 stand for on this PC: for each, the serial ports present to choose from
// (device, stable by-id name, maker and product), or a path or gateway typed in. OK stores
// the choices in the settings the command line reads too; Cancel stores nothing.
class FPortMap : public QDialog {
    Q_OBJECT
public:
    // `present`: the ports to offer (this PC's by default).
    explicit FPortMap(QWidget* parent = nullptr,
                      QList<SerialPortEntry> present = AvailableSerialPorts());

    QComboBox* port(int index) const { return m_ports.value(index); }

public slots:
    void accept() override;

private:
    QList<SerialPortEntry> m_present;
    QList<QComboBox*> m_ports;
};

}  // namespace voltaris::shell
