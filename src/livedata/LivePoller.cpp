#include "livedata/LivePoller.h"

#include "base/CTraceCode.h"
#include "base/Clock.h"
#include "base/Errors.h"
#include "base/MBytes.h"
#include "base/ResString.h"
#include "base/UserMessages.h"
#include "comm/CWirrel.h"
#include "comm/Frames.h"
#include "comm/LinkExchange.h"
#include "comm/WirrelObj.h"
#include "model/CCommConfig.h"
#include "model/CNetworkAddMsgSetup.h"

namespace voltaris {

namespace {

constexpr int kTitle = 208;
constexpr qint32 kAuxiliaryBaudIndex = 2;  // 4800 baud
constexpr qint16 kAuxiliaryAddress = 255;
constexpr int kLiveReads = 11;

void warn(const QString& text) {
    UserMessages::current().show(UserMessages::Icon::Warning, ResString(kTitle), text);
}

}  // namespace

LivePoller::LivePoller(Clock& clock, WirrelObj& component, QObject* parent)
    : QObject(parent),
      m_clock(clock),
      m_component(component),
      m_timeOut(clock.createTimer()),
      m_rs232Manager(clock.createTimer()) {}

LivePoller::~LivePoller() {
    // The link lets go of the timers before they go.
    m_link.reset();
}

bool LivePoller::Create(CCommConfig& commConfig, CNetworkAddMsgSetup& network) {
    m_comm = &commConfig;
    m_network = &network;
    m_link = std::make_unique<CWirrel>(m_clock);
    m_link->Create(*m_timeOut, *m_rs232Manager, m_component, -1);
    connect(m_link.get(), &CWirrel::VerifyCRC,
            [](bool& ok, const QByteArray& frame) { ok = VerifyFrameCRC(frame); });
    return true;
}

void LivePoller::setPortName(const QString& name) {
    if (!m_link)
        throw AssertFailed(QStringLiteral("LivePoller::setPortName prima di Create"));
    m_link->setPortName(name);
}

void LivePoller::setLinkMode(LinkMode mode) {
    if (!m_link)
        throw AssertFailed(QStringLiteral("LivePoller::setLinkMode prima di Create"));
    m_link->setLinkMode(mode);
}

QVector<QByteArray> LivePoller::CycleRequests(quint8 address) {
    QVector<QByteArray> frames{BuildReadRequest(address, kRegWiringSystem, 1)};
    for (int i = 0; i < kLiveReads; ++i)
        frames.append(BuildReadRequest(address, static_cast<quint16>(kRegLiveValues + 12 * i),
                                       kMaxReadCount));
    frames.append(BuildReadRequest(address, kRegOutputFunctions, 1));
    frames.append(BuildReadRequest(address, kRegAlarmStates, 2));
    return frames;
}

void LivePoller::trace(const QString& line) const {
    g_Trace().BugMessage(line);
}

void LivePoller::setSpin(qint16 max, qint16 value) {
    m_spinMax = max;
    m_spinValue = value;
    emit AddressSpinChanged(1, m_spinMax, m_spinValue, m_spinEnabled);
}

void LivePoller::Cancel() {
    trace(QStringLiteral("Cancellata procedura TxRx"));
    m_ReturnValue = false;
    m_cancelled = true;
    if (m_link)
        m_link->setCancelTxRx(true);
}

bool LivePoller::ChangeAddress(qint16 address) {
    if (!m_spinEnabled || address < 1 || address > m_spinMax)
        return false;
    if (address == m_spinValue)
        return true;
    m_addressChanged = true;
    m_decoder.AzzeraGriglia();
    emit TablesCleared();
    m_currentAddress = address;
    setSpin(m_spinMax, address);
    return true;
}

bool LivePoller::exchange(const QByteArray& request, int replyLength) {
    return RunExchange(*m_link, m_clock, request, replyLength) == CWirrel::leOk;
}

bool LivePoller::scanAddresses() {
    if (m_network->ModeConfig() != 0)
        setSpin(static_cast<qint16>(qBound(1, int(m_network->TotalInstrNetwork()), 255)),
                m_spinValue);
    const qint16 found = SearchFirstAddress(*m_link, m_clock, SearchRange::For(*m_network),
                                            [this](int value, int minimum, int maximum) {
                                                emit AutoDetectProgress(minimum, maximum, value);
                                            });
    if (found == 0)
        return false;
    setSpin(m_spinMax, found);
    return m_link->Error() == CWirrel::leOk;
}

bool LivePoller::findInstrument() {
    struct Try {
        qint32 baudIndex;
        const char* baud;
    };
    static constexpr Try kTries[] = {{4, "38400"}, {5, "19200"}, {3, "9600"}, {2, "4800"}};
    emit Caption(ResString(229));
    emit AutoDetectVisible(true);
    bool found = false;
    bool cancelled = false;
    bool anyOpened = false;
    for (const Try& t : kTries) {
        trace(QStringLiteral("Tentativo connessione con RS232 a %1 baud...")
                  .arg(QLatin1String(t.baud)));
        if (!m_link->OpenRs232(m_comm->ComPort() + 1, t.baudIndex, 0, 0)) {
            cancelled = m_cancelled;
        } else {
            anyOpened = true;
            found = scanAddresses();
            cancelled = m_link->Error() == CWirrel::leCancelled || m_cancelled;
            m_link->CloseRs232();
        }
        if (found || cancelled) {
            m_baudIndex = t.baudIndex;
            break;
        }
    }
    emit AutoDetectVisible(false);
    if (cancelled) {
        trace(QStringLiteral("Operazione annullata !!!"));
        m_ReturnValue = false;
        return false;
    }
    if (!found) {
        trace(QStringLiteral("Errore nell'autorilevamento del baudrate"));
        // A port that never opened is named as such, not as a silent instrument.
        const QString openError = m_link->OpenErrorText();
        warn(anyOpened ? ResString(228) : (openError.isEmpty() ? ResString(209) : openError));
        m_ReturnValue = false;
        return false;
    }
    return true;
}

LivePoller::Step LivePoller::check() {
    const qint32 error = m_link->Error();
    if (error == CWirrel::leOk)
        return Step::Ok;
    if (error == CWirrel::leTimeOut && m_network->ModeConfig() != 0) {
        // The chosen address may simply not exist in the network: keep polling.
        m_addressChanged = true;
        m_decoder.AzzeraGriglia();
        emit TablesCleared();
        return Step::Retry;
    }
    m_link->CloseRs232();
    switch (error) {
        case CWirrel::leUART:
            warn(ResString(206));
            break;
        case CWirrel::leTimeOut:
            warn(ResString(207));
            break;
        case CWirrel::leCRC:
            warn(ResString(215));
            break;
        default:
            break;
    }
    return Step::Failed;
}

LivePoller::Step LivePoller::readSystem(qint16& system) {
    trace(QStringLiteral("Start ReadSystem()"));
    emit Caption(ResString(203));
    exchange(BuildReadRequest(static_cast<quint8>(m_currentAddress), kRegWiringSystem, 1),
             ReadReplyLength(1));
    const Step s = check();
    if (s == Step::Ok)
        system = ReplyWord(m_link->FrameRx(), 0);
    return s;
}

LivePoller::Step LivePoller::readMeasurements(QVector<qint16>& words) {
    trace(QStringLiteral("Start ReadElettricDataVar()"));
    emit Caption(ResString(242));
    words.clear();
    for (int i = 0; i < kLiveReads; ++i) {
        const quint16 start = static_cast<quint16>(kRegLiveValues + kMaxReadCount * i);
        exchange(BuildReadRequest(static_cast<quint8>(m_currentAddress), start, kMaxReadCount),
                 ReadReplyLength(kMaxReadCount));
        const Step s = check();
        if (s != Step::Ok)
            return s;
        words += ReplyWords(m_link->FrameRx(), kMaxReadCount);
    }
    // The last read runs past register 121.
    words.resize(CInstrViewVar::kWordCount);
    return Step::Ok;
}

LivePoller::Step LivePoller::readAlarms(bool state[4]) {
    trace(QStringLiteral("Start ReadAlarmSetupStatus()"));
    emit Caption(ResString(241));
    exchange(BuildReadRequest(static_cast<quint8>(m_currentAddress), kRegOutputFunctions, 1),
             ReadReplyLength(1));
    Step s = check();
    if (s != Step::Ok)
        return s;
    const qint16 functions = ReplyWord(m_link->FrameRx(), 0);
    state[0] = MBytes::LoByte(functions) == kOutputIsAlarm;
    state[1] = MBytes::HiByte(functions) == kOutputIsAlarm;
    exchange(BuildReadRequest(static_cast<quint8>(m_currentAddress), kRegAlarmStates, 2),
             ReadReplyLength(2));
    s = check();
    if (s != Step::Ok)
        return s;
    const QVector<qint16> alarms = ReplyWords(m_link->FrameRx(), 2);
    state[2] = alarms[0] == 1;
    state[3] = alarms[1] == 1;
    return Step::Ok;
}

void LivePoller::showLamps(const bool state[4]) {
    const bool out1IsAlarm = state[0], out2IsAlarm = state[1];
    const bool alarm1 = state[2], alarm2 = state[3];
    m_ledAlarm = out1IsAlarm ? ((alarm1 || alarm2) ? Red : Green) : Grey;
    m_ledOut1 = out1IsAlarm ? (alarm1 ? Red : Green) : Grey;
    m_ledOut2 = out2IsAlarm ? (alarm2 ? Red : Green) : Grey;
    emit LampsChanged(m_ledAlarm, m_ledOut1, m_ledOut2);
}

LivePoller::Outcome LivePoller::Run() {
    if (!m_link)
        throw AssertFailed(QStringLiteral("LivePoller::Run prima di Create"));
    m_ledAlarm = m_ledOut1 = m_ledOut2 = Grey;
    emit LampsChanged(Grey, Grey, Grey);
    m_spinEnabled = m_comm->InterfaceType() != 0 && m_network->ModeConfig() == 1;
    setSpin(255, 1);

    if (m_comm->InterfaceType() != 0) {
        if (!findInstrument()) {
            m_link->CloseRs232();
            return m_cancelled || m_link->Error() == CWirrel::leCancelled ? Outcome::Cancelled
                                                                          : Outcome::Failed;
        }
    } else {
        m_baudIndex = kAuxiliaryBaudIndex;
        setSpin(kAuxiliaryAddress, kAuxiliaryAddress);
    }

    m_ReturnValue = !m_cancelled;
    if (!m_link->OpenRs232(m_comm->ComPort() + 1, m_baudIndex, 0, 0)) {
        trace(QStringLiteral("Errore nell'apertura della porta seriale"));
        const QString openError = m_link->OpenErrorText();
        warn(openError.isEmpty() ? ResString(209) : openError);
        m_ReturnValue = false;
        return Outcome::Failed;
    }
    m_link->setDTR(true);
    m_link->setRTS(false);

    m_currentAddress = m_spinValue;
    emit Caption(FormatResString(222, QString::number(m_currentAddress)));
    Outcome outcome = Outcome::Failed;
    for (;;) {
        m_addressChanged = false;
        emit Caption(FormatResString(222, QString::number(m_currentAddress)));
        qint16 system = 0;
        QVector<qint16> words;
        bool alarms[4] = {false, false, false, false};
        Step s = readSystem(system);
        if (s == Step::Ok)
            s = readMeasurements(words);
        if (s == Step::Ok)
            s = readAlarms(alarms);
        if (s == Step::Failed) {
            outcome =
                m_link->Error() == CWirrel::leCancelled ? Outcome::Cancelled : Outcome::Failed;
            break;
        }
        if (s == Step::Retry || m_addressChanged)
            continue;
        m_decoder.setSystem(system);
        m_decoder.ProcessData(words);
        showLamps(alarms);
        ++m_cycles;
        emit CycleShown(m_cycles);
        if (m_maxCycles > 0 && m_cycles >= m_maxCycles) {
            outcome = Outcome::Finished;
            break;
        }
    }
    if (outcome != Outcome::Finished)
        m_ReturnValue = false;
    m_link->CloseRs232();
    return outcome;
}

}  // namespace voltaris
