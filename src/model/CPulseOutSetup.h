#pragma once

#include "model/CRecord.h"

namespace voltaris {

// Pulse settings of one digital output; a configuration has "CPulseOutSetup1" and
// "CPulseOutSetup2" (default instance name "CPulseOutSetup").
class CPulseOutSetup : public CArchiveRecord {
public:
    CPulseOutSetup();

    static const RecordLayout& StaticLayout();
    const RecordLayout& Layout() const override { return StaticLayout(); }

    // Counter giving the pulses: 0 total active energy, 1 total reactive energy.
    qint16 SelectCounter() const { return m_SelectCounter; }
    void setSelectCounter(qint16 v) { m_SelectCounter = v; }
    // Pulse weight in hundredths of pulses per kWh or kvarh (1..50000 on the page); only
    // the low 16 bits reach the instrument.
    qint32 PulseOut() const { return m_PulseOut; }
    void setPulseOut(qint32 v) { m_PulseOut = v; }
    // 0 deactivated, 1 activated.
    qint16 PulseOutStatus() const { return m_PulseOutStatus; }
    void setPulseOutStatus(qint16 v) { m_PulseOutStatus = v; }

private:
    qint16 m_SelectCounter = 0;
    qint32 m_PulseOut = 1;
    qint16 m_PulseOutStatus = 0;
};

}  // namespace voltaris
