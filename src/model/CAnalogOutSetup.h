#pragma once

#include "model/CRecord.h"

namespace voltaris {

// One analogue output: an input range of a measured variable mapped onto an output range in
// percent. A configuration has "CAnalogOutSetup1".."3" (default instance name
// "CAnalogOutSetup").
class CAnalogOutSetup : public CArchiveRecord {
public:
    CAnalogOutSetup();

    static const RecordLayout& StaticLayout();
    const RecordLayout& Layout() const override { return StaticLayout(); }

    // Variable code repeated on the output (codes 0..42 offered).
    qint32 VariabileRipetuta() const { return m_VariabileRipetuta; }
    void setVariabileRipetuta(qint32 v) { m_VariabileRipetuta = v; }
    // Decimal-point step of MaxIn and MinIn.
    qint16 ScaleSelect() const { return m_ScaleSelect; }
    void setScaleSelect(qint16 v) { m_ScaleSelect = v; }
    // Variable values giving the maximum and minimum output, integers at step ScaleSelect.
    qint16 MaxIn() const { return m_MaxIn; }
    void setMaxIn(qint16 v) { m_MaxIn = v; }
    qint16 MinIn() const { return m_MinIn; }
    void setMinIn(qint16 v) { m_MinIn = v; }
    // Output range in percent (the page offers 0..100); a new record has MaxOut 1000.
    qint16 MaxOut() const { return m_MaxOut; }
    void setMaxOut(qint16 v) { m_MaxOut = v; }
    qint16 MinOut() const { return m_MinOut; }
    void setMinOut(qint16 v) { m_MinOut = v; }

    // Not stored; set from the configuration before the page is shown.
    qint16 System() const { return m_System; }
    void setSystem(qint16 v) { m_System = v; }
    qint32 InstrModel() const { return m_InstrModel; }
    void setInstrModel(qint32 v) { m_InstrModel = v; }
    qint32 RapportoTV() const { return m_RapportoTV; }
    void setRapportoTV(qint32 v) { m_RapportoTV = v; }
    qint32 RapportoTA() const { return m_RapportoTA; }
    void setRapportoTA(qint32 v) { m_RapportoTA = v; }

private:
    qint32 m_VariabileRipetuta = 0;
    qint16 m_ScaleSelect = 0;
    qint16 m_MaxIn = 0;
    qint16 m_MinIn = 0;
    qint16 m_MaxOut = 1000;
    qint16 m_MinOut = 0;
    qint16 m_System = 0;
    qint32 m_InstrModel = 0x00230004;
    qint32 m_RapportoTV = 1;
    qint32 m_RapportoTA = 1;
};

}  // namespace voltaris
