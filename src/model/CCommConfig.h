#pragma once

#include "model/CRecord.h"

namespace voltaris {

// How the PC is connected: settings section "CCommConfig".
class CCommConfig : public CSettingsRecord {
public:
    enum Interface : qint16 { AuxiliaryPort = 0, SingleInstrument = 1, Network = 2 };

    CCommConfig();

    static const RecordLayout& StaticLayout();
    const RecordLayout& Layout() const override { return StaticLayout(); }

    // Index into "COM1".."COM4" (0 is COM1); 1 on first start.
    qint16 ComPort() const { return m_ComPort; }
    void setComPort(qint16 v) { m_ComPort = v; }
    // 0 auxiliary port, 1 single instrument, 2 network of instruments.
    qint16 InterfaceType() const { return m_InterfaceType; }
    void setInterfaceType(qint16 v) { m_InterfaceType = v; }

private:
    qint16 m_ComPort = 1;
    qint16 m_InterfaceType = 0;
};

}  // namespace voltaris
