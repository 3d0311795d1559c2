#include "transfer/TransferProcedure.h"

#include <QDir>
#include <QStringList>

#include "archive/Archive.h"
#include "base/CTraceCode.h"
#include "base/Clock.h"
#include "base/DataFolder.h"
#include "base/Errors.h"
#include "base/ResString.h"
#include "comm/CWirrel.h"
#include "comm/Frames.h"
#include "comm/LinkExchange.h"
#include "comm/WirrelObj.h"
#include "memmap/CGestioneMemMap.h"
#include "model/CCommConfig.h"
#include "model/CNetworkAddMsgSetup.h"
#include "model/ModelCatalogue.h"

namespace voltaris {

namespace {

void trace(const QString& line) {
    g_Trace().BugMessage(line);
}

// Resource texts break lines with LF then CR.
const QString kBreak = QStringLiteral("\n\r");

QString addressList(const QList<qint16>& addresses) {
    QStringList texts;
    for (const qint16 a : addresses)
        texts << QString::number(a);
    return texts.join(QStringLiteral(", "));
}

QString speedList() {
    QStringList bauds;
    for (const SearchSpeed& s : SearchSpeeds())
        bauds << QString::number(s.baud);
    const QString last = bauds.takeLast();
    return bauds.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

}  // namespace

TransferProcedure::TransferProcedure(Clock& clock, WirrelObj& component, Archive& archive,
                                     QObject* parent)
    : Engine(clock, parent), m_component(component), m_archive(archive) {
    qRegisterMetaType<RegisterDifference>();
}

TransferProcedure::~TransferProcedure() {
    abandon();
    // The link goes before the timers it was given.
    if (m_link)
        m_link->CloseRs232();
    m_link.reset();
}

bool TransferProcedure::Create(CCommConfig& comm, CNetworkAddMsgSetup& network) {
    m_comm = &comm;
    m_network = &network;
    NormaliseNetworkForInterface(comm, network);
    if (!m_link) {
        m_TimeOut = clock().createTimer();
        m_Rs232Manager = clock().createTimer();
        m_link = std::make_unique<CWirrel>(clock());
        m_link->setReplyCheck([this](const QByteArray& frame) {
            return VerifyFrameCRC(frame) && ReplyMatchesRequest(m_link->FrameTx(), frame);
        });
        connect(m_link.get(), &CWirrel::LineOpened, this, &Engine::lineOpened);
    }
    return true;
}

CWirrel& TransferProcedure::link() {
    if (!m_link)
        throw AssertFailed(QStringLiteral("TransferProcedure::link before Create"));
    return *m_link;
}

void TransferProcedure::onCancel() {
    trace(QStringLiteral("Cancellata procedura TxRx"));
    m_ReturnValue = false;
    if (m_link)
        m_link->setCancelTxRx(true);
}

void TransferProcedure::onEnded() {
    if (m_link)
        m_link->CloseRs232();
}

Task<EngineOutcome::Status> TransferProcedure::run() {
    if (!m_link || !m_comm)
        throw AssertFailed(QStringLiteral("TransferProcedure::start before Create"));
    m_ReturnValue = true;
    m_memMap.reset();
    m_outcomes.clear();
    m_partlyWritten = 0;
    bool ok = false;
    try {
        ok = co_await runOperation();
    } catch (...) {
        m_link->CloseRs232();
        m_ReturnValue = false;
        throw;
    }
    m_link->CloseRs232();
    if (!ok || isCancelled()) {
        m_ReturnValue = false;
        co_return isCancelled() ? EngineOutcome::Cancelled : EngineOutcome::Failed;
    }
    co_return EngineOutcome::Done;
}

Task<bool> TransferProcedure::runOperation() {
    m_link->Create(*m_TimeOut, *m_Rs232Manager, m_component, -1);
    if (isCancelled())
        m_link->setCancelTxRx(true);

    qint32 baudIndex = kAuxiliarySpeed.baudIndex;
    if (m_comm->InterfaceType() != CCommConfig::AuxiliaryPort) {
        if (!co_await findBaudRate(baudIndex))
            co_return false;
    } else {
        m_network->setNetworkAdd(CNetworkAddMsgSetup::AuxiliaryAddress);
    }

    m_ReturnValue = true;
    m_baudIndex = baudIndex;
    if (isCancelled())
        co_return false;
    if (!co_await OpenLine(*m_link, clock(), m_comm->ComPort() + 1, baudIndex)) {
        trace(QStringLiteral("Errore nell'apertura della porta seriale"));
        showMessage(209, m_link->OpenErrorText());
        co_return false;
    }
    m_link->setDTR(true);
    m_link->setRTS(false);

    switch (m_Action) {
        case ReadConfiguration:
            co_return co_await readConfiguration();
        case WriteConfiguration:
            co_return co_await writeConfiguration();
        default:
            if (ResetCommandsForAction(m_Action).isEmpty())
                co_return false;
            co_return co_await visitAddresses(0);
    }
}

Task<bool> TransferProcedure::findBaudRate(qint32& baudIndex) {
    emit connectionLine(ResString(229));
    bool anyOpened = false;
    QString openError;
    for (const SearchSpeed& speed : SearchSpeeds()) {
        trace(QStringLiteral("Tentativo connessione con RS232 a %1 baud...").arg(speed.baud));
        if (!co_await OpenLine(*m_link, clock(), m_comm->ComPort() + 1, speed.baudIndex)) {
            openError = m_link->OpenErrorText();
            if (isCancelled())
                break;
            continue;
        }
        anyOpened = true;
        m_link->setDTR(true);
        m_link->setRTS(false);
        const qint16 found = co_await SearchFirstAddress(
            *m_link, clock(),
            SearchRange::For(m_network->ModeConfig(), m_network->SelNetworkAdd(),
                             m_network->NetworkAdd()),
            [this](int value, int minimum, int maximum) { emit progress(value, minimum, maximum); },
            [this, baud = speed.baud](qint16 address) { emit searching(baud, address); });
        const bool cancelled = m_link->Error() == CWirrel::leCancelled || isCancelled();
        m_link->CloseRs232();
        if (cancelled) {
            trace(QStringLiteral("Operazione annullata !!!"));
            m_ReturnValue = false;
            co_return false;
        }
        if (found != 0) {
            m_network->setNetworkAdd(found);
            baudIndex = speed.baudIndex;
            co_return true;
        }
    }
    m_ReturnValue = false;
    if (isCancelled()) {
        trace(QStringLiteral("Operazione annullata !!!"));
        co_return false;
    }
    if (!anyOpened) {
        // A port that never opened is not an instrument that does not answer: say so.
        trace(QStringLiteral("Errore nell'apertura della porta seriale"));
        showMessage(209, openError);
        co_return false;
    }
    trace(QStringLiteral("Errore nell'autorilevamento del baudrate"));
    const SearchRange range = SearchRange::For(m_network->ModeConfig(), m_network->SelNetworkAdd(),
                                               m_network->NetworkAdd());
    const QString who =
        range.first == range.last
            ? QStringLiteral("Address %1 did not answer").arg(range.first)
            : QStringLiteral("No address from %1 to %2 answered").arg(range.first).arg(range.last);
    showMessage(228, {}, QStringLiteral("%1 at %2 baud.").arg(who, speedList()));
    co_return false;
}

bool TransferProcedure::errorCheck() {
    const qint32 e = m_link->Error();
    if (e == CWirrel::leOk)
        return true;
    // Before the line closes: what came of the last try.
    const QString cause = linkFailureCause();
    m_link->CloseRs232();
    switch (e) {
        case CWirrel::leUART:
            showMessage(206, {}, cause);
            break;
        case CWirrel::leTimeOut:
            showMessage(207, {}, cause);
            break;
        case CWirrel::leCRC:
            showMessage(215, {}, cause);
            break;
        default:
            break;  // cancelled: no message
    }
    return false;
}

Task<bool> TransferProcedure::exchange(QByteArray request, int replyLength, QByteArray* reply) {
    co_await Exchange(*m_link, clock(), std::move(request), replyLength);
    if (!errorCheck())
        co_return false;
    if (reply)
        *reply = m_link->FrameRx();
    co_return true;
}

Task<bool> TransferProcedure::readWords(quint16 reg, int count, QVector<qint16>& words) {
    QByteArray reply;
    if (!co_await exchange(BuildReadRequest(CurrentAddress(), reg, static_cast<quint8>(count)),
                           ReadReplyLength(count), &reply))
        co_return false;
    words = ReplyWords(reply, count);
    co_return true;
}

void TransferProcedure::showConnectionLine() {
    if (m_comm->InterfaceType() != CCommConfig::AuxiliaryPort) {
        const QString text = FormatResString(222, QString::number(m_currentAddress));
        emit connectionLine(text);
        trace(text);
    } else {
        emit connectionLine(ResString(223));
    }
}

QString TransferProcedure::linkFailureCause() const {
    const qint16 address = m_currentAddress;
    switch (m_link->Error()) {
        case CWirrel::leTimeOut: {
            const qsizetype got = m_component.BytesCollected();
            if (got > 0)
                return QStringLiteral("Address %1 sent a short reply: %2 of %3 bytes.")
                    .arg(address)
                    .arg(got)
                    .arg(m_link->ByteToReceive());
            return QStringLiteral("Address %1 did not answer (%2 tries).")
                .arg(address)
                .arg(m_link->TimeOutCount());
        }
        case CWirrel::leCRC:
            return QStringLiteral(
                       "Address %1 replied %2 times with a bad CRC or a reply to another request.")
                .arg(address)
                .arg(m_link->CrcErrorCount());
        case CWirrel::leUART:
            return QStringLiteral(
                       "The line to address %1 failed %2 times (parity, framing, overrun or the "
                       "port itself).")
                .arg(address)
                .arg(m_link->LineErrorCount());
        default:
            return {};
    }
}

QString TransferProcedure::addressesDoneLine() const {
    if (m_outcomes.size() < 2)
        return {};
    QList<qint16> done, failed, left;
    for (const AddressOutcome& o : m_outcomes) {
        if (o.address == m_currentAddress && o.result == AddressOutcome::NotTried)
            continue;
        (o.result == AddressOutcome::Done     ? done
         : o.result == AddressOutcome::Failed ? failed
                                              : left)
            << o.address;
    }
    QString line = done.isEmpty() ? QStringLiteral("No address done")
                                  : QStringLiteral("Done: address %1").arg(addressList(done));
    if (!failed.isEmpty())
        line += QStringLiteral("; failed: %1").arg(addressList(failed));
    if (!left.isEmpty())
        line +=
            (m_keepGoing ? QStringLiteral("; going on with %1") : QStringLiteral("; not tried: %1"))
                .arg(addressList(left));
    return line + u'.';
}

void TransferProcedure::showMessage(int textId, const QString& text, const QString& cause) {
    m_lastCause = cause;
    QString shown = text.isEmpty() ? ResString(textId) : text;
    if (!cause.isEmpty())
        shown += kBreak + cause;
    const QString done = addressesDoneLine();
    if (!done.isEmpty())
        shown += kBreak + done;
    report(textId, shown, kTitleId);
}

QString TransferProcedure::filePath(const QString& name) const {
    if (!m_fileFolder.isEmpty())
        return QDir(m_fileFolder).filePath(name);
    return DataFolder::file(name);
}

Task<bool> TransferProcedure::detectModel() {
    emit operationLine(ResString(200));
    QVector<qint16> high, low;
    if (!co_await readWords(kRegModelHigh, 1, high))
        co_return false;
    if (!co_await readWords(kRegModelLow, 1, low))
        co_return false;
    m_detectedModel = ModelFromRegisters(low.at(0), high.at(0));
    co_return true;
}

Task<bool> TransferProcedure::readConfiguration() {
    m_currentAddress = m_network->NetworkAdd();
    showConnectionLine();
    if (!co_await detectModel())
        co_return false;
    m_memMap = std::make_unique<CGestioneMemMap>(m_archive);
    m_memMap->setInstrModel(m_detectedModel);

    emit operationLine(ResString(203));
    emit progress(0, 0, 5);
    QVector<qint16> w;
    if (!co_await readWords(kRegParam, CGestioneMemMap::ParamWords, w))
        co_return false;
    for (int i = 0; i < CGestioneMemMap::ParamWords; ++i)
        m_memMap->setParamMemMap(i, w.at(i));
    emit progress(1, 0, 5);
    for (int b = 0; b < 3; ++b) {
        if (!co_await readWords(static_cast<quint16>(kRegAnalogOut + 8 * b), 8, w))
            co_return false;
        for (int i = 0; i < 8; ++i)
            m_memMap->setAnalogOutMemMap(8 * b + i, w.at(i));
    }
    emit progress(2, 0, 5);
    if (!co_await readWords(kRegDigOut, 5, w))
        co_return false;
    m_memMap->setDigOutMemMap(0, w.at(0));
    m_memMap->setDigOutMemMap(1, w.at(3));
    m_memMap->setDigOutMemMap(2, w.at(4));
    emit progress(3, 0, 5);
    for (int b = 0; b < CGestioneMemMap::AlarmBlocks; ++b) {
        if (!co_await readWords(static_cast<quint16>(kRegAlarm + 8 * b), 8, w))
            co_return false;
        for (int i = 0; i < 8; ++i)
            m_memMap->setAlarmMemMap(8 * b + i, w.at(i));
    }
    emit progress(4, 0, 5);
    for (int b = 0; b < 2; ++b) {
        if (!co_await readWords(static_cast<quint16>(kRegPulse + 8 * b), 8, w))
            co_return false;
        for (int i = 0; i < 8; ++i)
            m_memMap->setPulseMemMap(8 * b + i, w.at(i));
    }
    emit progress(5, 0, 5);

    g_Trace().BugAssert(m_IDProgramma != -1, QStringLiteral("m_IDProgramma non inizializzato"));
    m_memMap->setIDProgramma(m_IDProgramma);
    m_memMap->SaveMemorySetup(filePath(QStringLiteral("MemoryMap.mem")));
    m_memMap->ConvertMemoryMapToUserSetup();
    co_return true;
}

Task<bool> TransferProcedure::writeConfiguration() {
    g_Trace().BugAssert(m_IDProgramma != -1, QStringLiteral("m_IDProgramma non inizializzato"));
    m_memMap = std::make_unique<CGestioneMemMap>(m_archive);
    m_memMap->setIDProgramma(m_IDProgramma);
    m_memMap->ConvertUserSetupToMemoryMap();
    const qint32 configured = ReportedModel(m_memMap->InstrModel());
    m_memMap->SaveMemorySetup(filePath(QStringLiteral("MemoryUser.mem")));

    co_return co_await visitAddresses(configured);
}

Task<bool> TransferProcedure::visitAddresses(qint32 configured) {
    m_outcomes.clear();
    for (const qint16 address : m_network->Addresses(m_comm->InterfaceType()))
        m_outcomes.push_back({address, AddressOutcome::NotTried, {}});
    bool allDone = true;
    for (qsizetype i = 0; i < m_outcomes.size(); ++i) {
        m_currentAddress = m_outcomes.at(i).address;
        m_lastCause.clear();
        if (!m_link->LineOpen()) {
            // A failed exchange closed the line; the next address needs it again.
            if (!co_await OpenLine(*m_link, clock(), m_comm->ComPort() + 1, m_baudIndex)) {
                trace(QStringLiteral("Errore nell'apertura della porta seriale"));
                showMessage(209, m_link->OpenErrorText());
                co_return false;
            }
            m_link->setDTR(true);
            m_link->setRTS(false);
        }
        const bool ok = m_Action == WriteConfiguration ? co_await writeAddress(configured)
                                                       : co_await resetAddress();
        if (isCancelled())
            co_return false;
        if (ok) {
            m_outcomes[i].result = AddressOutcome::Done;
            continue;
        }
        m_outcomes[i].result = AddressOutcome::Failed;
        m_outcomes[i].cause = m_lastCause;
        allDone = false;
        if (!m_keepGoing)
            co_return false;
    }
    co_return allDone;
}

Task<bool> TransferProcedure::writeAddress(qint32 configured) {
    showConnectionLine();
    if (!co_await detectModel())
        co_return false;
    if (!ModelMatches(configured, m_detectedModel)) {
        trace(QStringLiteral("ProgInstrModel=%1 m_InstrModel=%2")
                  .arg(configured)
                  .arg(m_detectedModel));
        showMessage(230, {},
                    QStringLiteral("The configuration is for %1; the instrument at address %2 is "
                                   "%3.")
                        .arg(ModelName(configured))
                        .arg(m_currentAddress)
                        .arg(ModelName(m_detectedModel)));
        co_return false;
    }
    const QList<PlannedWrite> plan =
        PlanWrite(*m_memMap, CurrentAddress(), m_detectedModel, m_comm->InterfaceType());
    if (!co_await writeBlocks(plan))
        co_return false;
    emit operationLine(ResString(234));
    for (const ResetCode code : kAfterWriteResets)
        if (!co_await exchange(BuildResetCommand(CurrentAddress(), code), kWriteReplyLength))
            co_return false;
    if (m_verify && !co_await verifyBlocks(plan)) {
        if (m_lastCause.isEmpty())
            m_lastCause = QStringLiteral("The read-back check found registers that differ.");
        co_return false;
    }
    co_return true;
}

Task<bool> TransferProcedure::writeBlocks(QList<PlannedWrite> plan) {
    emit operationLine(ResString(201));
    emit progress(0, 0, 6);
    const qint16 target = m_currentAddress;
    m_partlyWritten = target;
    for (const PlannedWrite& w : plan) {
        if (!w.traceBefore.isEmpty())
            trace(w.traceBefore);
        m_currentAddress = static_cast<quint8>(w.frame.at(0));
        if (w.judged) {
            if (!co_await exchange(w.frame, kWriteReplyLength))
                co_return false;
        } else {
            co_await Exchange(*m_link, clock(), w.frame, kWriteReplyLength);
        }
        if (w.followSpeed)
            followNewSpeed(static_cast<qint16>(static_cast<quint8>(w.frame.at(4)) << 8 |
                                               static_cast<quint8>(w.frame.at(5))));
        for (const int value : w.progressAfter)
            emit progress(value, 0, 6);
    }
    if (isCancelled())
        co_return false;
    m_partlyWritten = 0;
    co_return true;
}

Task<bool> TransferProcedure::verifyBlocks(const QList<PlannedWrite>& plan) {
    const quint8 address = CurrentAddress();
    QList<RegisterDifference> differences;
    for (const ReadBackSpan& span : PlanReadBack(plan)) {
        QVector<qint16> got;
        const int count = int(span.written.size());
        if (!co_await readWords(span.first, count, got))
            co_return false;
        for (int i = 0; i < count; ++i)
            if (got.at(i) != span.written.at(i))
                differences.push_back(
                    {address, static_cast<quint16>(span.first + i), span.written.at(i), got.at(i)});
    }
    emit readBack(address, differences);
    co_return differences.isEmpty();
}

void TransferProcedure::followNewSpeed(qint16 speedCode) {
    // Speed codes 0..3 (4800..38400 baud) as indexes of the link's baud table. The reset
    // commands that follow must reach the instrument at the speed it now listens at.
    static constexpr qint32 kIndexForCode[] = {2, 3, 5, 4};
    if (speedCode < 0 || speedCode > 3)
        return;
    qint32 baud = kIndexForCode[speedCode];
    qint32 parity = -1;
    qint32 stopBits = -1;
    qint32 current = -1;
    m_link->Settings(current, parity, stopBits);
    if (current == baud)
        return;
    parity = -1;
    stopBits = -1;
    m_link->Settings(baud, parity, stopBits);
}

Task<bool> TransferProcedure::resetAddress() {
    const QString text = ResString(232 + m_Action);
    showConnectionLine();
    emit progress(0, 0, 1);
    for (const ResetCode code : ResetCommandsForAction(m_Action)) {
        emit operationLine(text);
        if (!co_await exchange(BuildResetCommand(CurrentAddress(), code), kWriteReplyLength))
            co_return false;
    }
    emit progress(1, 0, 1);
    co_return true;
}

}  // namespace voltaris
