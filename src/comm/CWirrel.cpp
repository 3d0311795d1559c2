#include "comm/CWirrel.h"

#include "base/CTraceCode.h"
#include "base/Clock.h"
#include "base/Errors.h"
#include "comm/WirrelObj.h"

namespace voltaris {

namespace {

void trace(const QString& line) {
    g_Trace().BugMessage(line);
}

template <std::size_t N>
qint32 entry(const std::array<qint32, N>& table, qint32 index, const char* what) {
    if (index < 0 || index >= qint32(N))
        throw IndexError(
            QStringLiteral("%1: indice %2 fuori tabella").arg(QLatin1String(what)).arg(index));
    return table[std::size_t(index)];
}

template <std::size_t N>
void checkIndex(const std::array<qint32, N>& table, qint32 index, const char* what) {
    if (index != -1)
        entry(table, index, what);
}

bool isLineErrorCode(qint32 code) {
    return code == 3 || code == 5 || code == 7 || code == 9 || code == 10 || code == 12;
}

constexpr qint32 kReplyCompleteCode = 15;
constexpr qint32 kSerialIconResource = 10001;
constexpr qint32 kTelephoneIconResource = 10002;

}  // namespace

CWirrel::CWirrel(Clock& clock, QObject* parent) : QObject(parent), m_clock(clock) {}

CWirrel::~CWirrel() {
    CloseRs232();
    for (Timer* timer : {m_TimeOut, m_Rs232Manager}) {
        if (timer) {
            timer->setEnabled(false);
            timer->setCallback({});
        }
    }
    if (m_component)
        m_component->disconnect(this);
}

void CWirrel::Create(Timer& timeOut, Timer& rs232Manager, WirrelObj& component, qint32 handleWnd) {
    if (m_component)
        m_component->disconnect(this);
    m_TimeOut = &timeOut;
    m_Rs232Manager = &rs232Manager;
    m_component = &component;
    m_HandleWnd = handleWnd;
    m_TimeOut->setEnabled(false);
    m_Rs232Manager->setEnabled(false);
    m_Rs232Manager->setInterval(kWorkIntervalMs);
    m_TimeOut->setInterval(kTimeOutMs);
    m_TimeOut->setCallback([this] { onTimeOut(); });
    m_Rs232Manager->setCallback([this] { onWorkTick(); });
    m_CommMode = 0;

    connect(&component, &WirrelObj::CommStatus, this, &CWirrel::onCommStatus);
    connect(&component, &WirrelObj::ModemConnected, this,
            [] { trace(QStringLiteral("Modem connected!!!!")); });
    connect(&component, &WirrelObj::ModemDisconnected, this, [](qint32 cause) {
        trace(QStringLiteral("Modem disconnected!!!! Cause:&H") +
              QString::number(quint32(cause), 16).toUpper());
    });
    connect(&component, &WirrelObj::TelephonyError, this,
            [](const QString& text) { trace(QStringLiteral("Tapi error:") + text); });
    connect(&component, &WirrelObj::TelephonyStatus, this, [](qint32 status) {
        trace(QStringLiteral("Tapi status: &H") + QString::number(quint32(status), 16).toUpper());
    });
}

void CWirrel::setPortName(const QString& name) {
    m_portName = name.trimmed();
}

bool CWirrel::OpenRs232(qint32 comNumber, qint32 baudIndex, qint32 parityIndex,
                        qint32 stopBitsIndex) {
    if (!BeginOpenRs232(comNumber, baudIndex, parityIndex, stopBitsIndex))
        return false;
    while (OpenPending())
        m_clock.yield();
    return EndOpenRs232();
}

bool CWirrel::BeginOpenRs232(qint32 comNumber, qint32 baudIndex, qint32 parityIndex,
                             qint32 stopBitsIndex) {
    newOperation();
    m_openError.clear();
    const QString port =
        m_portName.isEmpty() ? QStringLiteral("COM") + QString::number(comNumber) : m_portName;
    m_openFailedTrace =
        QStringLiteral("Porta ") + port + QStringLiteral(" già aperta o non presente sul sistema.");
    if (!m_component) {
        trace(m_openFailedTrace);
        return false;
    }
    try {
        m_component->setConnectionType(0);
        m_component->setPortName(m_portName);
        m_component->setPortIndex(comNumber - 1);
        m_component->setBaudRate(entry(kBaudTable, baudIndex, "BaudRate"));
        m_component->setDataBits(8);
        m_component->setParity(entry(kParityTable, parityIndex, "Parity"));
        m_component->setStopBits(entry(kStopBitsTable, stopBitsIndex, "StopBits"));
        m_component->setPortOpen(true);
        // The indexes, so that Settings(-1, ...) gives back what is in use.
        m_currentBaud = baudIndex;
        m_currentParity = parityIndex;
        m_currentStopBits = stopBitsIndex;
        return true;
    } catch (const VoltarisError& e) {
        m_openError = e.message();
        trace(m_openFailedTrace);
        return false;
    }
}

bool CWirrel::OpenPending() const {
    return m_component && m_component->Busy();
}

bool CWirrel::EndOpenRs232() {
    if (!m_component)
        return false;
    const bool open = m_component->PortOpen();
    if (open && !m_trayIcon && m_HandleWnd != -1) {
        ShowTrayIcon(kSerialIconResource);
        m_trayIcon = true;
    }
    if (!open) {
        // A connection that failed after the open had started (a TCP gateway).
        if (Transport* t = m_component->transport())
            m_openError = t->lastError();
        trace(m_openFailedTrace);
    }
    setLineOpen(open);
    return open;
}

void CWirrel::setLineOpen(bool open) {
    if (open == m_lineOpen)
        return;
    m_lineOpen = open;
    emit LineOpened(open);
}

bool CWirrel::OpenTelephonComm(const QString& phoneNumber, bool useDialingRules,
                               const QString& areaCode, const QString& countryCode,
                               const QString& location, const QString& device) {
    newOperation();
    m_openError.clear();
    if (!m_component) {
        trace(QStringLiteral("Apertura comunicazione telefonica non riuscita."));
        return false;
    }
    try {
        m_component->setConnectionType(1);
        m_component->setPhoneNumber(phoneNumber);
        m_component->setUseDialingRules(useDialingRules);
        m_component->setAreaCode(areaCode);
        m_component->setCountryCode(countryCode);
        m_component->setCurrentLocation(location);
        m_component->setCurrentDevice(device);
        m_component->setPortOpen(true);
        while (m_component->Busy())
            m_clock.yield();
        const bool open = m_component->PortOpen();
        if (open && !m_trayIcon && !g_Trace().System().IsWindows9x() && m_HandleWnd != -1) {
            ShowTrayIcon(kTelephoneIconResource);
            m_trayIcon = true;
        }
        setLineOpen(open);
        return open;
    } catch (const VoltarisError& e) {
        m_openError = e.message();
        trace(QStringLiteral("Apertura comunicazione telefonica non riuscita."));
        return false;
    }
}

void CWirrel::CloseRs232() {
    if (m_component) {
        try {
            if (m_component->ConnectionType() == 1 && m_component->Busy())
                m_component->HangUp();
            else
                m_component->setPortOpen(false);
        } catch (const VoltarisError&) {
            trace(QStringLiteral(
                "CloseRs232() non riuscita!!!!. Errore nella chiusura della porta."));
        }
    }
    if (m_trayIcon) {
        DropTrayIcon();
        m_trayIcon = false;
    }
    setLineOpen(false);
}

void CWirrel::Settings(qint32& baudIndex, qint32& parityIndex, qint32& stopBitsIndex) {
    checkIndex(kBaudTable, baudIndex, "BaudRate");
    checkIndex(kParityTable, parityIndex, "Parity");
    checkIndex(kStopBitsTable, stopBitsIndex, "StopBits");
    if (baudIndex == -1)
        baudIndex = m_currentBaud;
    else
        m_currentBaud = baudIndex;
    if (parityIndex == -1)
        parityIndex = m_currentParity;
    else
        m_currentParity = parityIndex;
    if (stopBitsIndex == -1)
        stopBitsIndex = m_currentStopBits;
    else
        m_currentStopBits = stopBitsIndex;
    if (!m_component)
        return;
    m_component->setBaudRate(entry(kBaudTable, m_currentBaud, "BaudRate"));
    m_component->setDataBits(8);
    m_component->setParity(entry(kParityTable, m_currentParity, "Parity"));
    m_component->setStopBits(entry(kStopBitsTable, m_currentStopBits, "StopBits"));
}

void CWirrel::StartTxRx() {
    if (!m_component)
        throw AssertFailed(QStringLiteral("CWirrel::StartTxRx prima di Create"));
    m_Error = leOk;
    m_TxRxInProgress = true;
    m_evaluate = true;
    // A reply reported before this request is sent belongs to an earlier one.
    m_replyReady = false;
    m_sentThisExchange = false;
    enableBoth(true);
    requestFastTick();
}

void CWirrel::enableBoth(bool on) {
    m_Rs232Manager->setEnabled(on);
    m_TimeOut->setEnabled(on);
}

void CWirrel::onWorkTick() {
    if (m_evaluate) {
        m_evaluate = false;
        evaluate();
    }
    if (m_replyReady) {
        m_replyReady = false;
        // An exchange the evaluation has just ended takes no reply: a bad one would start
        // the timers and a resend outside any exchange.
        if (m_TxRxInProgress)
            takeReply();
    }
}

void CWirrel::evaluate() {
    m_Rs232Manager->setEnabled(false);
    if (m_cancel) {
        trace(QStringLiteral("Annullata operazione di Tx Rx"));
        enableBoth(false);
        endWith(leCancelled);
        return;
    }
    if (m_lineErrors >= kMaxLineErrors) {
        trace(QStringLiteral("Errore UART"));
        enableBoth(false);
        endWith(leUART);
        return;
    }
    if (m_timeOuts >= m_MaxErrorTimeOut) {
        trace(QStringLiteral("Errore TIMEOUT"));
        enableBoth(false);
        endWith(leTimeOut);
        return;
    }
    if (m_crcErrors < kMaxCrcErrors) {
        // Errors of the component while sending are left to the limits above.
        try {
            m_component->setBytesToReceive(m_ByteToReceive);
        } catch (const VoltarisError&) {
        }
        try {
            m_component->setTxFrame(m_FrameTx);
        } catch (const VoltarisError&) {
        }
        m_sentThisExchange = true;
        try {
            m_component->StartTxRx();
        } catch (const VoltarisError&) {
        }
        enableBoth(true);
        return;
    }
    trace(QStringLiteral("Errore CRC"));
    enableBoth(false);
    endWith(leCRC);
}

void CWirrel::endWith(LinkError error) {
    m_TxRxInProgress = false;
    m_Error = error;
    if (m_CommMode != 0) {
        emit TxRxEnded();
        return;
    }
    switch (error) {
        case leUART:
            emit UARTError();
            break;
        case leTimeOut:
            emit TimeOutError();
            break;
        case leCRC:
            emit CRCError();
            break;
        case leCancelled:
            emit TxRxCancelled();
            break;
        case leOk:
            break;
    }
    emit TxRxEnded();
}

void CWirrel::onTimeOut() {
    ++m_timeOuts;
    trace(QStringLiteral("Errore di timeout nr.") + QString::number(m_timeOuts));
    if (!m_searching)
        fallBack();
    m_evaluate = true;
    requestFastTick();
}

void CWirrel::takeReply() {
    enableBoth(false);
    m_FrameRx = m_component->RxFrame();
    bool crcOk = true;
    if (m_replyCheck)
        crcOk = m_replyCheck(m_FrameRx);
    else
        emit VerifyCRC(crcOk, m_FrameRx);
    if (crcOk) {
        m_TxRxInProgress = false;
        if (m_CommMode == 0)
            emit EndTxRx();
        emit TxRxEnded();
        return;
    }
    ++m_crcErrors;
    trace(QStringLiteral("Errore di CRC nr.") + QString::number(m_crcErrors));
    fallBack();
    m_evaluate = true;
    enableBoth(true);
    requestFastTick();
}

void CWirrel::onCommStatus(qint32 code, const QString& text) {
    m_Rs232Manager->setEnabled(false);
    g_Trace().BugTraceDisable();
    trace(QStringLiteral("CommStatus event:") + QString::number(code) + QStringLiteral("->") +
          text);
    g_Trace().BugTraceEnable();
    if (isLineErrorCode(code)) {
        ++m_lineErrors;
        trace(QStringLiteral("Errore UART nr.") + QString::number(m_lineErrors));
        fallBack();
        m_evaluate = true;
    } else if (code == kReplyCompleteCode && m_sentThisExchange) {
        m_replyReady = true;
    }
    // Between exchanges the work tick stays off: a late status must not resend a request.
    if (m_TxRxInProgress) {
        m_Rs232Manager->setEnabled(true);
        requestFastTick();
    }
}

bool CWirrel::fastTick() const {
    return m_linkMode == LinkMode::Fast || (m_linkMode == LinkMode::Adaptive && !m_fellBack);
}

void CWirrel::fallBack() {
    if (m_linkMode != LinkMode::Adaptive || m_fellBack)
        return;
    m_fellBack = true;
    trace(QStringLiteral("Collegamento lento: cadenza classica fino al termine dell'operazione"));
}

void CWirrel::requestFastTick() {
    if (!fastTick() || m_fastTickPending || !m_Rs232Manager->isEnabled())
        return;
    m_fastTickPending = true;
    const std::weak_ptr<bool> alive = m_alive;
    m_clock.callLater(0, [this, alive] {
        if (alive.expired())
            return;
        m_fastTickPending = false;
        // A fall-back since the request leaves the work to the 200 ms tick.
        if (fastTick() && m_Rs232Manager && m_Rs232Manager->isEnabled() &&
            (m_evaluate || m_replyReady))
            onWorkTick();
    });
}

void CWirrel::setCancelTxRx(bool cancel) {
    if (!cancel)
        return;
    m_cancel = true;
    if (m_component && m_component->ConnectionType() == 1 && m_component->Busy())
        m_component->HangUp();
}

bool CWirrel::DTR() const {
    return m_component && m_component->DTR();
}

void CWirrel::setDTR(bool on) {
    if (m_component && m_component->PortOpen())
        m_component->setDTR(on);
}

bool CWirrel::RTS() const {
    return m_component && m_component->RTS();
}

void CWirrel::setRTS(bool on) {
    if (m_component && m_component->PortOpen())
        m_component->setRTS(on);
}

qint16 CWirrel::InBufferSize() const {
    return m_component ? m_component->InBufferSize() : 0;
}

void CWirrel::setInBufferSize(qint16 size) {
    if (m_component)
        m_component->setInBufferSize(size);
}

qint16 CWirrel::OutBufferSize() const {
    return m_component ? m_component->OutBufferSize() : 0;
}

void CWirrel::setOutBufferSize(qint16 size) {
    if (m_component)
        m_component->setOutBufferSize(size);
}

bool CWirrel::CD() const {
    return m_component && m_component->CD();
}
bool CWirrel::DSR() const {
    return m_component && m_component->DSR();
}
bool CWirrel::CTS() const {
    return m_component && m_component->CTS();
}

void CWirrel::setFrameTx(const QByteArray& frame) {
    if (m_TxRxInProgress)
        return;
    m_FrameTx = frame;
    m_crcErrors = 0;
    m_lineErrors = 0;
    m_timeOuts = 0;
}

void CWirrel::setByteToReceive(qint16 count) {
    if (!m_TxRxInProgress)
        m_ByteToReceive = count;
}

qint16 CWirrel::TimeOutRx() const {
    return m_TimeOut ? static_cast<qint16>(m_TimeOut->interval()) : 0;
}

void CWirrel::setTimeOutRx(qint16 ms) {
    // An interval of 0 would fire without end in virtual time.
    if (m_TimeOut)
        m_TimeOut->setInterval(qMax<int>(ms, 1));
}

}  // namespace voltaris
