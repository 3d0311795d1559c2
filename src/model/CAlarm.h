#pragma once

#include <array>

#include "model/CRecord.h"

namespace voltaris {

// The 16 virtual alarms of one digital output; a configuration has "CAlarm1" and "CAlarm2"
// (default instance name "CAlarm"). All 16 entries are stored whatever NumAlarm is, index by
// index ("m_VarControllata00" ... "m_AlarmStartup00", "m_VarControllata01", ...). Indexed
// accessors throw IndexError outside 0..15.
class CAlarm : public CArchiveRecord {
    // Defined first: the accessors below deduce their types from it.
    template <class A>
    static auto& at(const char* property, A& entries, int i) {
        checkIndex(property, i);
        return entries[size_t(i)];
    }

public:
    using Entries16 = std::array<qint16, IndexedCount>;
    using Entries32 = std::array<qint32, IndexedCount>;

    CAlarm();

    static const RecordLayout& StaticLayout();
    const RecordLayout& Layout() const override { return StaticLayout(); }

    // Variable code watched (codes 0..42 offered).
    qint32 VarControllata(int i) const { return at("VarControllata", m_VarControllata, i); }
    void setVarControllata(int i, qint32 v) { at("VarControllata", m_VarControllata, i) = v; }
    // Decimal-point step of both limits.
    qint16 ScaleSelect(int i) const { return at("ScaleSelect", m_ScaleSelect, i); }
    void setScaleSelect(int i, qint16 v) { at("ScaleSelect", m_ScaleSelect, i) = v; }
    // Lower and upper limit, integers at step ScaleSelect.
    qint16 MinAlarm(int i) const { return at("MinAlarm", m_MinAlarm, i); }
    void setMinAlarm(int i, qint16 v) { at("MinAlarm", m_MinAlarm, i) = v; }
    qint16 MaxAlarm(int i) const { return at("MaxAlarm", m_MaxAlarm, i); }
    void setMaxAlarm(int i, qint16 v) { at("MaxAlarm", m_MaxAlarm, i) = v; }
    // Delay on activation, seconds 0..255.
    qint16 DelayTime(int i) const { return at("DelayTime", m_DelayTime, i); }
    void setDelayTime(int i, qint16 v) { at("DelayTime", m_DelayTime, i) = v; }
    // 0 up-alarm, 1 down-alarm (with hysteresis), 2 in-window, 3 out-window.
    qint16 AlarmType(int i) const { return at("AlarmType", m_AlarmType, i); }
    void setAlarmType(int i, qint16 v) { at("AlarmType", m_AlarmType, i) = v; }
    // 0 disabled, 1 enabled.
    qint16 AlarmStatus(int i) const { return at("AlarmStatus", m_AlarmStatus, i); }
    void setAlarmStatus(int i, qint16 v) { at("AlarmStatus", m_AlarmStatus, i) = v; }
    // 0 AND, 1 OR.
    qint16 LogicFunction(int i) const { return at("LogicFunction", m_LogicFunction, i); }
    void setLogicFunction(int i, qint16 v) { at("LogicFunction", m_LogicFunction, i) = v; }
    // State at power-on: 0 deactivated, 1 activated.
    qint16 AlarmStartup(int i) const { return at("AlarmStartup", m_AlarmStartup, i); }
    void setAlarmStartup(int i, qint16 v) { at("AlarmStartup", m_AlarmStartup, i) = v; }

    // Not stored; set from the configuration before the alarm page is shown.
    qint32 InstrModel() const { return m_InstrModel; }
    void setInstrModel(qint32 v) { m_InstrModel = v; }
    qint16 System() const { return m_System; }
    void setSystem(qint16 v) { m_System = v; }
    qint32 RapportoTV() const { return m_RapportoTV; }
    void setRapportoTV(qint32 v) { m_RapportoTV = v; }
    qint32 RapportoTA() const { return m_RapportoTA; }
    void setRapportoTA(qint32 v) { m_RapportoTA = v; }
    // Alarms in use for this output (at most 16).
    qint16 NumAlarm() const { return m_NumAlarm; }
    void setNumAlarm(qint16 v) { m_NumAlarm = v; }

private:
    Entries32 m_VarControllata{};
    Entries16 m_ScaleSelect{};
    Entries16 m_MinAlarm{};
    Entries16 m_MaxAlarm{};
    Entries16 m_DelayTime{};
    Entries16 m_AlarmType{};
    Entries16 m_AlarmStatus{};
    Entries16 m_LogicFunction{};
    Entries16 m_AlarmStartup{};
    qint32 m_InstrModel = 0x00230004;
    qint16 m_System = 0;
    qint32 m_RapportoTV = 1;
    qint32 m_RapportoTA = 1;
    qint16 m_NumAlarm = 1;
};

}  // namespace voltaris
