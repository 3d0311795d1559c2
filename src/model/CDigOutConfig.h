#pragma once

#include "model/CRecord.h"

namespace voltaris {

// Mode, normal state and number of alarms of the two digital outputs (table
// "CDigOutConfig"). NumAlarm1 + NumAlarm2 must not exceed the instrument's 16 alarm blocks.
class CDigOutConfig : public CArchiveRecord {
public:
    enum Mode : qint16 { Pulses = 0, Alarm = 1, RemoteControl = 2 };

    CDigOutConfig();

    static const RecordLayout& StaticLayout();
    const RecordLayout& Layout() const override { return StaticLayout(); }

    // Mode of output 1: 0 pulses, 1 alarm, 2 remote control.
    qint16 DigOut1() const { return m_DigOut1; }
    void setDigOut1(qint16 v) { m_DigOut1 = v; }
    // Alarms driving output 1, 0..16.
    qint16 NumAlarm1() const { return m_NumAlarm1; }
    void setNumAlarm1(qint16 v) { m_NumAlarm1 = v; }
    // Normal state of output 1: 0 de-energized, 1 energized.
    qint16 StatusDigOut1() const { return m_StatusDigOut1; }
    void setStatusDigOut1(qint16 v) { m_StatusDigOut1 = v; }
    qint16 DigOut2() const { return m_DigOut2; }
    void setDigOut2(qint16 v) { m_DigOut2 = v; }
    qint16 NumAlarm2() const { return m_NumAlarm2; }
    void setNumAlarm2(qint16 v) { m_NumAlarm2 = v; }
    qint16 StatusDigOut2() const { return m_StatusDigOut2; }
    void setStatusDigOut2(qint16 v) { m_StatusDigOut2 = v; }
    // Module type code of the configuration's model, set before the page is shown; copied
    // by GetData/SetData, never stored.
    quint8 ModuleTypeLo() const { return m_ModuleTypeLo; }
    void setModuleTypeLo(quint8 v) { m_ModuleTypeLo = v; }

private:
    qint16 m_DigOut1 = 0;
    qint16 m_NumAlarm1 = 0;
    qint16 m_StatusDigOut1 = 0;
    qint16 m_DigOut2 = 0;
    qint16 m_NumAlarm2 = 0;
    qint16 m_StatusDigOut2 = 0;
    quint8 m_ModuleTypeLo = 4;
};

}  // namespace voltaris
