#pragma once

#include "model/CRecord.h"

namespace voltaris {

// Network address and line speed programmed into a model with a serial line (table
// "CSerialComm"). GetData/SetData copy the two values, never the instance name.
class CSerialComm : public CArchiveRecord {
public:
    CSerialComm();

    static const RecordLayout& StaticLayout();
    const RecordLayout& Layout() const override { return StaticLayout(); }

    // Network address to program, 1..255 on the page.
    qint16 NetworkAdd() const { return m_NetworkAdd; }
    void setNetworkAdd(qint16 v) { m_NetworkAdd = v; }
    // Speed code: 0 4800, 1 9600, 2 19200, 3 38400 baud.
    qint16 BaudRate() const { return m_BaudRate; }
    void setBaudRate(qint16 v) { m_BaudRate = v; }

private:
    qint16 m_NetworkAdd = 1;
    qint16 m_BaudRate = 0;
};

}  // namespace voltaris
