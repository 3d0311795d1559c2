#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>
#include <memory>

#include "comm/LinkMode.h"

namespace voltaris {

class Clock;
class Timer;
class WirrelObj;

// The link to the instruments around the communication component: opens and closes the
// line, carries one request/reply exchange at a time on a 200 ms work tick, times each try
// out, repeats the request after line errors, timeouts and bad replies up to fixed limits,
// and leaves the outcome in Error. The owner keeps the two timers and the component; the
// timers come from the owner's clock, so the whole exchange can run in virtual time.
class CWirrel : public QObject {
    Q_OBJECT
public:
    // Outcome of an exchange (Error).
    enum LinkError : qint32 { leOk = 0, leUART = 1, leTimeOut = 2, leCancelled = 3, leCRC = 4 };

    static constexpr int kWorkIntervalMs = 200;
    static constexpr int kTimeOutMs = 3000;
    static constexpr qint16 kMaxLineErrors = 3;
    static constexpr qint16 kMaxCrcErrors = 3;

    explicit CWirrel(Clock& clock, QObject* parent = nullptr);
    // Closes the link and lets go of the timers; release it before the timers it was given.
    ~CWirrel() override;

    // Keeps the four; both timers off, work interval 200 ms, timeout 3000 ms, CommMode 0.
    void Create(Timer& timeOut, Timer& rs232Manager, WirrelObj& component, qint32 handleWnd);

    // Opens the serial link on COM `comNumber` (1-based; the device comes from the settings
    // store, or from setPortName when one was given). Indexes select the table entries.
    // Each open starts a new operation (see newOperation).
    bool OpenRs232(qint32 comNumber, qint32 baudIndex, qint32 parityIndex, qint32 stopBitsIndex);
    // OpenRs232 in steps, for callers that must not wait in place: Begin starts the open
    // (false: failed at once), OpenPending is true while a connection is being made, End
    // gives the outcome.
    bool BeginOpenRs232(qint32 comNumber, qint32 baudIndex, qint32 parityIndex,
                        qint32 stopBitsIndex);
    bool OpenPending() const;
    bool EndOpenRs232();
    bool LineOpen() const { return m_lineOpen; }
    // A device path, COMn or tcp://host:port for the next OpenRs232, instead of the COM number;
    // empty goes back to the COM number.
    void setPortName(const QString& name);
    QString portName() const { return m_portName; }
    // Why the last open failed, for the user (message 209, or what to do about permissions).
    QString OpenErrorText() const { return m_openError; }

    // Dials through the component's telephone line; on this system that always fails.
    bool OpenTelephonComm(const QString& phoneNumber, bool useDialingRules, const QString& areaCode,
                          const QString& countryCode, const QString& location,
                          const QString& device);
    void CloseRs232();

    // -1 in an argument returns the current index in it; any other value becomes current.
    // Then writes BaudRate, DataBits 8, Parity and StopBits to the component.
    void Settings(qint32& baudIndex, qint32& parityIndex, qint32& stopBitsIndex);

    // Starts one exchange of FrameTx, expecting ByteToReceive bytes.
    void StartTxRx();

    qint32 CommMode() const { return m_CommMode; }
    void setCommMode(qint32 mode) { m_CommMode = mode; }
    qint32 Error() const { return m_Error; }
    // True cancels the running exchange at its next evaluation and every later exchange at
    // its first tick; false does not clear it.
    void setCancelTxRx(bool cancel);

    bool DTR() const;
    void setDTR(bool on);
    bool RTS() const;
    void setRTS(bool on);
    qint16 InBufferSize() const;
    void setInBufferSize(qint16 size);
    qint16 OutBufferSize() const;
    void setOutBufferSize(qint16 size);
    bool CD() const;
    bool DSR() const;
    bool CTS() const;

    // How the owner judges a reply (CRC, and that it answers the request). When set it is
    // used instead of VerifyCRC, so the judgement does not depend on how a signal is connected.
    using ReplyCheck = std::function<bool(const QByteArray& frame)>;
    void setReplyCheck(ReplyCheck check) { m_replyCheck = std::move(check); }

    // Ignored while an exchange is in progress; otherwise also sets the error counts to 0.
    void setFrameTx(const QByteArray& frame);
    QByteArray FrameTx() const { return m_FrameTx; }
    QByteArray FrameRx() const { return m_FrameRx; }
    qint16 ByteToReceive() const { return m_ByteToReceive; }
    void setByteToReceive(qint16 count);
    bool TxRxInProgress() const { return m_TxRxInProgress; }
    qint16 TimeOutRx() const;
    void setTimeOutRx(qint16 ms);
    qint16 MaxErrorTimeOut() const { return m_MaxErrorTimeOut; }
    void setMaxErrorTimeOut(qint16 count) { m_MaxErrorTimeOut = count; }
    qint32 HandleWnd() const { return m_HandleWnd; }

    // Counts of the current exchange (since the last FrameTx).
    qint16 CrcErrorCount() const { return m_crcErrors; }
    qint16 LineErrorCount() const { return m_lineErrors; }
    qint16 TimeOutCount() const { return m_timeOuts; }

    // The cadence (Adaptive unless set: setting Link/FastTick, the command line's --fast,
    // --classic, --adaptive). Order, counts and timeouts of the retries are the same in every
    // mode.
    void setLinkMode(LinkMode mode) { m_linkMode = mode; }
    LinkMode linkMode() const { return m_linkMode; }
    // True forces Fast, false Classic.
    void setFastTick(bool on) { setLinkMode(on ? LinkMode::Fast : LinkMode::Classic); }
    // The work tick runs event-driven now: Fast, or Adaptive before its fall-back.
    bool fastTick() const;
    // An Adaptive link has met a timeout or a damaged reply and keeps the classic cadence
    // until the next operation.
    bool fellBack() const { return m_fellBack; }
    // A new operation: an Adaptive link runs event-driven again. OpenRs232 and
    // OpenTelephonComm call it, so each baud rate tried by a search starts afresh.
    void newOperation() { m_fellBack = false; }
    // While set (an address search, see SearchTiming) a timeout is the normal answer of an
    // address nobody has and does not make the link fall back; damaged replies still do.
    void setSearching(bool on) { m_searching = on; }
    bool searching() const { return m_searching; }

    // The baud, parity and stop-bits tables (index to component code).
    static constexpr std::array<qint32, 7> kBaudTable{0, 1, 2, 3, 6, 5, 9};
    static constexpr std::array<qint32, 3> kParityTable{0, 2, 1};
    static constexpr std::array<qint32, 3> kStopBitsTable{0, 2, 1};

signals:
    void UARTError();
    void TimeOutError();
    void CRCError();
    // For every reply; `crcOk` arrives true and the handler sets it. No handler: accepted.
    void VerifyCRC(bool& crcOk, const QByteArray& frame);
    void EndTxRx();
    void TxRxCancelled();
    // Every end of an exchange, whatever the CommMode and the outcome (Error tells).
    void TxRxEnded();
    // The line opened or closed (the notification-area icon of the desktop program).
    void LineOpened(bool open);

protected:
    // The notification-area icon while a link is open; the desktop program provides it.
    virtual void ShowTrayIcon(qint32 iconResource) { Q_UNUSED(iconResource); }
    virtual void DropTrayIcon() {}

private:
    void onWorkTick();
    void onTimeOut();
    void onCommStatus(qint32 code, const QString& text);
    void evaluate();
    void takeReply();
    void endWith(LinkError error);
    void enableBoth(bool on);
    void requestFastTick();
    void setLineOpen(bool open);
    void fallBack();

    Clock& m_clock;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);

    // Members in the order of the link's data model.
    Timer* m_TimeOut = nullptr;
    Timer* m_Rs232Manager = nullptr;
    QPointer<WirrelObj> m_component;
    qint32 m_HandleWnd = -1;
    bool m_trayIcon = false;
    qint32 m_currentBaud = 3;
    qint32 m_currentParity = 2;
    qint32 m_currentStopBits = 0;
    qint16 m_crcErrors = 0;
    qint16 m_lineErrors = 0;
    qint16 m_timeOuts = 0;
    bool m_replyReady = false;
    bool m_evaluate = false;
    bool m_TxRxInProgress = false;
    QByteArray m_FrameTx;
    QByteArray m_FrameRx;
    qint16 m_ByteToReceive = 0;
    qint32 m_CommMode = 0;
    qint32 m_Error = 0;
    bool m_cancel = false;
    qint16 m_MaxErrorTimeOut = 3;

    QString m_portName;
    QString m_openError;
    ReplyCheck m_replyCheck;
    QString m_openFailedTrace;
    bool m_lineOpen = false;
    bool m_sentThisExchange = false;  // the request of this exchange has gone out
    LinkMode m_linkMode = LinkMode::Adaptive;
    bool m_fellBack = false;
    bool m_searching = false;
    bool m_fastTickPending = false;
};

}  // namespace voltaris
