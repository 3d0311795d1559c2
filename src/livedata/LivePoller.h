#pragma once

#include <QString>
#include <QVector>
#include <memory>

#include "base/Engine.h"
#include "comm/LinkMode.h"
#include "livedata/CInstrViewVar.h"

namespace voltaris {

class CCommConfig;
class CNetworkAddMsgSetup;
class CWirrel;
class Timer;
class WirrelObj;

// The live data engine: finds the instrument's baud rate and address, then polls without
// pause the wiring system (416), the 122 measurement words (11 reads of 12 from 0) and the
// alarm outputs (422, then 259/260), feeding CInstrViewVar and the three lamps. An Engine:
// start() returns at once; Cancel and ChangeAddress work while it runs; the progress line
// comes as connectionLine, the automatic detection as progress, failures as message.
class LivePoller : public Engine {
    Q_OBJECT
public:
    // Lamp colours as 0xBBGGRR.
    enum Lamp : quint32 { Grey = 0x808080, Green = 0x00FF00, Red = 0x0000FF };

    // `component` (the line) stays the caller's and must outlive the poller.
    LivePoller(Clock& clock, WirrelObj& component, QObject* parent = nullptr);
    ~LivePoller() override;

    // Keeps both records (the caller's objects); creates the link. Returns true.
    bool Create(CCommConfig& commConfig, CNetworkAddMsgSetup& network);
    // Device path, COMn or tcp://host:port instead of the record's COM port.
    void setPortName(const QString& name);
    // The cadence of the link (CWirrel::setLinkMode).
    void setLinkMode(LinkMode mode);
    // Stops cleanly after this many shown cycles (0: until cancelled or failed).
    void setMaxCycles(qint64 cycles) { m_maxCycles = cycles; }
    // Waits this long after each shown cycle before the next one (0: none, the default).
    void setCyclePause(int ms) { m_cyclePauseMs = qMax(0, ms); }

    // ReturnValue is false after a cancel or a failure.
    bool ReturnValue() const { return m_ReturnValue; }

    // Close: the running exchange ends as cancelled and the poller ends.
    void Cancel() { cancel(); }
    // The address spin: a value in range sets the address-changed flag, clears the tables
    // and is used from the next request on. Returns false (nothing done) outside the range.
    bool ChangeAddress(qint16 address);

    qint16 AddressMin() const { return 1; }
    qint16 AddressMax() const { return m_spinMax; }
    qint16 AddressValue() const { return m_spinValue; }
    bool AddressEnabled() const { return m_spinEnabled; }
    qint16 CurrentAddress() const { return m_currentAddress; }
    qint32 BaudIndex() const { return m_baudIndex; }

    const CInstrViewVar& Decoder() const { return m_decoder; }
    Lamp LedAlarm() const { return m_ledAlarm; }
    Lamp LedAlarmOut1() const { return m_ledOut1; }
    Lamp LedAlarmOut2() const { return m_ledOut2; }
    qint64 CyclesShown() const { return m_cycles; }

    // The 14 requests of one polling cycle to `address`, in the order they are sent.
    static QVector<QByteArray> CycleRequests(quint8 address);

    // The lamp of the general alarm and of each output from the output functions and the
    // alarm states read: grey when output 1 (for the general lamp) or the output is no alarm
    // output, red when its alarm is on, else green.
    struct Lamps {
        Lamp general, out1, out2;
    };
    static Lamps LampsFor(bool out1IsAlarm, bool out2IsAlarm, bool alarm1, bool alarm2);

signals:
    // The progress line (connectionLine): 229, 222 with the address, 203, 242, 241. The
    // automatic detection's bar: progress(value, minimum, maximum) while visible.
    void AutoDetectVisible(bool visible);
    void AddressSpinChanged(int minimum, int maximum, int value, bool enabled);
    // A cycle has been converted and shown (tables and lamps are current).
    void CycleShown(qint64 cycle);
    // The tables went back to "-----" (address change, silent instrument in a network).
    void TablesCleared();
    void LampsChanged(quint32 general, quint32 out1, quint32 out2);
    // In a network, the chosen address did not answer; polling goes on (the tables are
    // cleared and the lamps grey: nothing is known of that address).
    void AddressSilent(qint16 address);

protected:
    Task<EngineOutcome::Status> run() override;
    void onCancel() override;
    void onEnded() override;

private:
    enum class Step { Ok, Failed, Retry };

    Task<bool> findInstrument();
    Task<bool> scanAddresses(qint32 baud);
    Task<bool> exchange(QByteArray request, int replyLength);
    Step check();
    Task<Step> readSystem(qint16& system);
    Task<Step> readMeasurements(QVector<qint16>& words);
    Task<Step> readAlarms(bool* state);
    // False when cancelled during the pause.
    Task<bool> pause();
    void showLamps(const bool state[4]);
    // Nothing is known of the lamps' outputs (a new address, or one that does not answer).
    void greyLamps();
    void setSpin(qint16 max, qint16 value);
    void trace(const QString& line) const;
    void warn(const QString& text, int textId);

    WirrelObj& m_component;
    std::unique_ptr<Timer> m_timeOut;
    std::unique_ptr<Timer> m_rs232Manager;
    std::unique_ptr<CWirrel> m_link;
    CCommConfig* m_comm = nullptr;
    CNetworkAddMsgSetup* m_network = nullptr;
    CInstrViewVar m_decoder;

    bool m_ReturnValue = true;
    bool m_addressChanged = false;
    qint16 m_spinMax = 255;
    qint16 m_spinValue = 1;
    bool m_spinEnabled = false;
    qint16 m_currentAddress = 1;
    qint32 m_baudIndex = 2;
    qint64 m_maxCycles = 0;
    int m_cyclePauseMs = 0;
    qint64 m_cycles = 0;
    Lamp m_ledAlarm = Grey;
    Lamp m_ledOut1 = Grey;
    Lamp m_ledOut2 = Grey;
};

}  // namespace voltaris
