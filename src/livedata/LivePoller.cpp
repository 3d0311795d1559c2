#include "livedata/LivePoller.h"

#include "base/CTraceCode.h"
#include "base/Clock.h"
#include "base/Errors.h"
#include "base/MBytes.h"
#include "base/ResString.h"
#include "base/Wait.h"
#include "comm/CWirrel.h"
#include "comm/Frames.h"
#include "comm/LinkExchange.h"
#include "comm/WirrelObj.h"
#include "model/CCommConfig.h"
#include "model/CNetworkAddMsgSetup.h"

namespace voltaris {

namespace {

constexpr int kTitle = 208;
constexpr qint16 kAuxiliaryAddress = 255;
constexpr int kLiveReads = 11;
// A cancel during the pause between cycles is seen within this time.
constexpr int kPauseStepMs = 100;

}  // namespace

LivePoller::LivePoller(Clock& clock, WirrelObj& component, QObject* parent)
    : Engine(clock, parent),
      m_component(component),
      m_timeOut(clock.createTimer()),
      m_rs232Manager(clock.createTimer()) {}

LivePoller::~LivePoller() {
    abandon();
    // The link lets go of the timers before they go.
    m_link.reset();
}

void LivePoller::warn(const QString& text, int textId) {
    report(textId, text, kTitle);
}

bool LivePoller::Create(CCommConfig& commConfig, CNetworkAddMsgSetup& network) {
    m_comm = &commConfig;
    m_network = &network;
    m_link = std::make_unique<CWirrel>(clock());
    m_link->Create(*m_timeOut, *m_rs232Manager, m_component, -1);
    m_link->setReplyCheck([](const QByteArray& frame) { return VerifyFrameCRC(frame); });
    connect(m_link.get(), &CWirrel::LineOpened, this, &Engine::lineOpened);
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

void LivePoller::onCancel() {
    trace(QStringLiteral("Cancellata procedura TxRx"));
    m_ReturnValue = false;
    if (m_link)
        m_link->setCancelTxRx(true);
}

void LivePoller::onEnded() {
    if (m_link)
        m_link->CloseRs232();
}

bool LivePoller::ChangeAddress(qint16 address) {
    if (!m_spinEnabled || address < 1 || address > m_spinMax)
        return false;
    if (address == m_spinValue)
        return true;
    m_addressChanged = true;
    m_decoder.AzzeraGriglia();
    emit TablesCleared();
    greyLamps();
    m_currentAddress = address;
    setSpin(m_spinMax, address);
    return true;
}

Task<bool> LivePoller::exchange(QByteArray request, int replyLength) {
    co_return co_await Exchange(*m_link, clock(), std::move(request), replyLength) == CWirrel::leOk;
}

Task<bool> LivePoller::scanAddresses(qint32 baud) {
    if (m_network->ModeConfig() != 0)
        setSpin(static_cast<qint16>(qBound(1, int(m_network->TotalInstrNetwork()), 255)),
                m_spinValue);
    const qint16 found = co_await SearchFirstAddress(
        *m_link, clock(),
        SearchRange::For(m_network->ModeConfig(), m_network->SelNetworkAdd(),
                         m_network->NetworkAdd()),
        [this](int value, int minimum, int maximum) { emit progress(value, minimum, maximum); },
        [this, baud](qint16 address) { emit searching(baud, address); });
    if (found == 0)
        co_return false;
    setSpin(m_spinMax, found);
    co_return m_link->Error() == CWirrel::leOk;
}

Task<bool> LivePoller::findInstrument() {
    emit AutoDetectVisible(true);
    emit connectionLine(ResString(229));
    bool found = false;
    bool cancelled = false;
    bool anyOpened = false;
    for (const SearchSpeed& t : SearchSpeeds()) {
        trace(QStringLiteral("Tentativo connessione con RS232 a %1 baud...").arg(t.baud));
        if (!co_await OpenLine(*m_link, clock(), m_comm->ComPort() + 1, t.baudIndex)) {
            cancelled = isCancelled();
        } else {
            anyOpened = true;
            found = co_await scanAddresses(t.baud);
            cancelled = m_link->Error() == CWirrel::leCancelled || isCancelled();
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
        co_return false;
    }
    if (!found) {
        trace(QStringLiteral("Errore nell'autorilevamento del baudrate"));
        // A port that never opened is named as such, not as a silent instrument.
        const QString openError = m_link->OpenErrorText();
        if (anyOpened)
            warn(ResString(228), 228);
        else
            warn(openError.isEmpty() ? ResString(209) : openError, 209);
        m_ReturnValue = false;
        co_return false;
    }
    co_return true;
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
        greyLamps();
        emit AddressSilent(m_currentAddress);
        return Step::Retry;
    }
    m_link->CloseRs232();
    switch (error) {
        case CWirrel::leUART:
            warn(ResString(206), 206);
            break;
        case CWirrel::leTimeOut:
            warn(ResString(207), 207);
            break;
        case CWirrel::leCRC:
            warn(ResString(215), 215);
            break;
        default:
            break;
    }
    return Step::Failed;
}

Task<LivePoller::Step> LivePoller::readSystem(qint16& system) {
    trace(QStringLiteral("Start ReadSystem()"));
    emit connectionLine(ResString(203));
    co_await exchange(BuildReadRequest(static_cast<quint8>(m_currentAddress), kRegWiringSystem, 1),
                      ReadReplyLength(1));
    const Step s = check();
    if (s == Step::Ok)
        system = ReplyWord(m_link->FrameRx(), 0);
    co_return s;
}

Task<LivePoller::Step> LivePoller::readMeasurements(QVector<qint16>& words) {
    trace(QStringLiteral("Start ReadElettricDataVar()"));
    emit connectionLine(ResString(242));
    words.clear();
    for (int i = 0; i < kLiveReads; ++i) {
        const quint16 start = static_cast<quint16>(kRegLiveValues + kMaxReadCount * i);
        co_await exchange(
            BuildReadRequest(static_cast<quint8>(m_currentAddress), start, kMaxReadCount),
            ReadReplyLength(kMaxReadCount));
        const Step s = check();
        if (s != Step::Ok)
            co_return s;
        words += ReplyWords(m_link->FrameRx(), kMaxReadCount);
    }
    // The last read runs past register 121.
    words.resize(CInstrViewVar::kWordCount);
    co_return Step::Ok;
}

Task<LivePoller::Step> LivePoller::readAlarms(bool* state) {
    trace(QStringLiteral("Start ReadAlarmSetupStatus()"));
    emit connectionLine(ResString(241));
    co_await exchange(
        BuildReadRequest(static_cast<quint8>(m_currentAddress), kRegOutputFunctions, 1),
        ReadReplyLength(1));
    Step s = check();
    if (s != Step::Ok)
        co_return s;
    const qint16 functions = ReplyWord(m_link->FrameRx(), 0);
    state[0] = MBytes::LoByte(functions) == kOutputIsAlarm;
    state[1] = MBytes::HiByte(functions) == kOutputIsAlarm;
    co_await exchange(BuildReadRequest(static_cast<quint8>(m_currentAddress), kRegAlarmStates, 2),
                      ReadReplyLength(2));
    s = check();
    if (s != Step::Ok)
        co_return s;
    const QVector<qint16> alarms = ReplyWords(m_link->FrameRx(), 2);
    state[2] = alarms[0] == 1;
    state[3] = alarms[1] == 1;
    co_return Step::Ok;
}

Task<bool> LivePoller::pause() {
    for (int left = m_cyclePauseMs; left > 0 && !isCancelled(); left -= kPauseStepMs)
        co_await Delay{clock(), qMin(left, kPauseStepMs)};
    co_return !isCancelled();
}

LivePoller::Lamps LivePoller::LampsFor(bool out1IsAlarm, bool out2IsAlarm, bool alarm1,
                                       bool alarm2) {
    return {out1IsAlarm ? ((alarm1 || alarm2) ? Red : Green) : Grey,
            out1IsAlarm ? (alarm1 ? Red : Green) : Grey,
            out2IsAlarm ? (alarm2 ? Red : Green) : Grey};
}

void LivePoller::greyLamps() {
    m_ledAlarm = m_ledOut1 = m_ledOut2 = Grey;
    emit LampsChanged(Grey, Grey, Grey);
}

void LivePoller::showLamps(const bool state[4]) {
    const Lamps lamps = LampsFor(state[0], state[1], state[2], state[3]);
    m_ledAlarm = lamps.general;
    m_ledOut1 = lamps.out1;
    m_ledOut2 = lamps.out2;
    emit LampsChanged(m_ledAlarm, m_ledOut1, m_ledOut2);
}

Task<EngineOutcome::Status> LivePoller::run() {
    if (!m_link)
        throw AssertFailed(QStringLiteral("LivePoller::start prima di Create"));
    m_ReturnValue = true;
    m_cycles = 0;
    greyLamps();
    m_spinEnabled = m_comm->InterfaceType() != 0 && m_network->ModeConfig() == 1;
    setSpin(255, 1);

    if (m_comm->InterfaceType() != 0) {
        if (!co_await findInstrument()) {
            m_link->CloseRs232();
            co_return isCancelled() || m_link->Error() == CWirrel::leCancelled
                ? EngineOutcome::Cancelled
                : EngineOutcome::Failed;
        }
    } else {
        m_baudIndex = kAuxiliarySpeed.baudIndex;
        setSpin(kAuxiliaryAddress, kAuxiliaryAddress);
    }

    m_ReturnValue = !isCancelled();
    if (!co_await OpenLine(*m_link, clock(), m_comm->ComPort() + 1, m_baudIndex)) {
        trace(QStringLiteral("Errore nell'apertura della porta seriale"));
        const QString openError = m_link->OpenErrorText();
        warn(openError.isEmpty() ? ResString(209) : openError, 209);
        m_ReturnValue = false;
        co_return EngineOutcome::Failed;
    }
    m_link->setDTR(true);
    m_link->setRTS(false);

    m_currentAddress = m_spinValue;
    emit connectionLine(FormatResString(222, QString::number(m_currentAddress)));
    EngineOutcome::Status outcome = EngineOutcome::Failed;
    for (;;) {
        m_addressChanged = false;
        emit connectionLine(FormatResString(222, QString::number(m_currentAddress)));
        qint16 system = 0;
        QVector<qint16> words;
        bool alarms[4] = {false, false, false, false};
        Step s = co_await readSystem(system);
        if (s == Step::Ok)
            s = co_await readMeasurements(words);
        if (s == Step::Ok)
            s = co_await readAlarms(alarms);
        if (s == Step::Failed) {
            outcome = m_link->Error() == CWirrel::leCancelled ? EngineOutcome::Cancelled
                                                              : EngineOutcome::Failed;
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
            outcome = EngineOutcome::Done;
            break;
        }
        if (!co_await pause()) {
            outcome = EngineOutcome::Cancelled;
            break;
        }
    }
    if (outcome != EngineOutcome::Done)
        m_ReturnValue = false;
    m_link->CloseRs232();
    co_return outcome;
}

}  // namespace voltaris
