#include "comm/TransferProcedure.h"

#include <QDir>

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

namespace voltaris {

namespace {

constexpr int kTitleId = 208;

void trace(const QString& line) {
    g_Trace().BugMessage(line);
}

// Baud indexes of the link's table in the order they are tried, with their speeds.
struct BaudTry {
    qint32 index;
    const char* baud;
};
constexpr BaudTry kBaudTries[] = {{4, "38400"}, {5, "19200"}, {3, "9600"}, {2, "4800"}};
constexpr qint32 kAuxiliaryBaudIndex = 2;

}  // namespace

bool ReplyMatchesRequest(const QByteArray& request, const QByteArray& reply) {
    if (request.size() < kRequestLength || reply.size() < 3)
        return false;
    if (reply.at(0) != request.at(0) || reply.at(1) != request.at(1))
        return false;
    if (static_cast<quint8>(request.at(1)) == kFuncReadRegisters)
        return static_cast<quint8>(reply.at(2)) == 2 * static_cast<quint8>(request.at(5)) &&
               reply.size() == ReadReplyLength(static_cast<quint8>(request.at(5)));
    // A write is answered by its echo.
    return reply == request;
}

QString RegisterName(quint16 reg) {
    const auto in = [reg](int first, int count) { return reg >= first && reg < first + count; };
    if (in(kRegParam, CGestioneMemMap::ParamWords)) {
        if (reg == kRegNetworkAddress)
            return QStringLiteral("ParamMemMap(8) network address");
        if (reg == kRegBaudRate)
            return QStringLiteral("ParamMemMap(9) baud rate");
        return QStringLiteral("ParamMemMap(%1)").arg(reg - kRegParam);
    }
    for (int i = 0; i < CGestioneMemMap::DigOutWords; ++i)
        if (reg == CGestioneMemMap::DigOutRegisters[i])
            return QStringLiteral("DigOutMemMap(%1)").arg(i);
    if (in(kRegAnalogOut, CGestioneMemMap::AnalogOutWords))
        return QStringLiteral("AnalogOutMemMap(%1)").arg(reg - kRegAnalogOut);
    if (in(kRegAlarm, CGestioneMemMap::AlarmWords))
        return QStringLiteral("AlarmMemMap(%1)").arg(reg - kRegAlarm);
    if (in(kRegPulse, CGestioneMemMap::PulseWords))
        return QStringLiteral("PulseMemMap(%1)").arg(reg - kRegPulse);
    switch (reg) {
        case kRegModelHigh:
            return QStringLiteral("model (high word)");
        case kRegModelLow:
            return QStringLiteral("model (low word)");
        case kRegUnlockBlocks:
            return QStringLiteral("output programming start");
        case kRegBlocksWritten:
            return QStringLiteral("output programming end");
        case kRegReset:
            return QStringLiteral("reset command");
        default:
            return QStringLiteral("register %1").arg(reg);
    }
}

QList<quint8> ResetCommandsForAction(qint32 action) {
    switch (action) {
        case 0:
            return {0};
        case 1:
            return {2};
        case 2:
            return {1, 6};
        case 3:
            return {6};
        case 4:
            return {1};
        case 5:
            return {3};
        case 6:
            return {5};
        case 7:
            return {4};
        default:
            return {};
    }
}

TransferProcedure::TransferProcedure(Clock& clock, WirrelObj& component, Archive& archive,
                                     QObject* parent)
    : QObject(parent), m_clock(clock), m_component(component), m_archive(archive) {}

TransferProcedure::~TransferProcedure() {
    // The link goes before the timers it was given.
    if (m_link)
        m_link->CloseRs232();
    m_link.reset();
}

bool TransferProcedure::Create(CCommConfig& comm, CNetworkAddMsgSetup& network) {
    m_comm = &comm;
    m_network = &network;
    if (comm.InterfaceType() == CCommConfig::AuxiliaryPort) {
        network.setInterfaceType(0);
        network.setModeConfig(0);
        network.setSelNetworkAdd(1);
        network.setNetworkAdd(255);
    }
    if (!m_link) {
        m_TimeOut = m_clock.createTimer();
        m_Rs232Manager = m_clock.createTimer();
        m_link = std::make_unique<CWirrel>(m_clock);
        connect(m_link.get(), &CWirrel::VerifyCRC, this, [this](bool& ok, const QByteArray& frame) {
            ok = VerifyFrameCRC(frame) && ReplyMatchesRequest(m_link->FrameTx(), frame);
        });
    }
    return true;
}

CWirrel& TransferProcedure::link() {
    if (!m_link)
        throw AssertFailed(QStringLiteral("TransferProcedure::link before Create"));
    return *m_link;
}

void TransferProcedure::Cancel() {
    trace(QStringLiteral("Cancellata procedura TxRx"));
    m_ReturnValue = false;
    m_cancelled = true;
    if (m_link)
        m_link->setCancelTxRx(true);
}

bool TransferProcedure::Run() {
    if (m_started || !m_link || !m_comm)
        return m_ReturnValue;
    m_started = true;
    try {
        const bool ok = runOperation();
        m_link->CloseRs232();
        if (!ok || m_cancelled)
            m_ReturnValue = false;
    } catch (...) {
        m_link->CloseRs232();
        m_ReturnValue = false;
        emit finished(false);
        throw;
    }
    emit finished(m_ReturnValue);
    return m_ReturnValue;
}

bool TransferProcedure::runOperation() {
    m_link->Create(*m_TimeOut, *m_Rs232Manager, m_component, -1);
    if (m_cancelled)
        m_link->setCancelTxRx(true);

    qint32 baudIndex = kAuxiliaryBaudIndex;
    if (m_comm->InterfaceType() != CCommConfig::AuxiliaryPort) {
        if (!findBaudRate(baudIndex))
            return false;
    } else {
        m_network->setNetworkAdd(255);
    }

    m_ReturnValue = true;
    if (m_cancelled)
        return false;
    if (!m_link->OpenRs232(m_comm->ComPort() + 1, baudIndex, 0, 0)) {
        trace(QStringLiteral("Errore nell'apertura della porta seriale"));
        showMessage(209, m_link->OpenErrorText());
        return false;
    }
    m_link->setDTR(true);
    m_link->setRTS(false);

    switch (m_Action) {
        case ReadConfiguration:
            return readConfiguration();
        case WriteConfiguration:
            return writeConfiguration();
        default:
            return resets();
    }
}

bool TransferProcedure::findBaudRate(qint32& baudIndex) {
    emit connectionLine(ResString(229));
    bool anyOpened = false;
    QString openError;
    for (const BaudTry& t : kBaudTries) {
        trace(QStringLiteral("Tentativo connessione con RS232 a %1 baud...")
                  .arg(QLatin1String(t.baud)));
        if (!m_link->OpenRs232(m_comm->ComPort() + 1, t.index, 0, 0)) {
            openError = m_link->OpenErrorText();
            continue;
        }
        anyOpened = true;
        m_link->setDTR(true);
        m_link->setRTS(false);
        const bool found = scanAddresses();
        const bool cancelled = m_link->Error() == CWirrel::leCancelled || m_cancelled;
        m_link->CloseRs232();
        if (cancelled) {
            trace(QStringLiteral("Operazione annullata !!!"));
            m_ReturnValue = false;
            return false;
        }
        if (found) {
            baudIndex = t.index;
            return true;
        }
    }
    m_ReturnValue = false;
    if (!anyOpened) {
        // A port that never opened is not an instrument that does not answer: say so.
        trace(QStringLiteral("Errore nell'apertura della porta seriale"));
        showMessage(209, openError);
        return false;
    }
    trace(QStringLiteral("Errore nell'autorilevamento del baudrate"));
    showMessage(228);
    return false;
}

bool TransferProcedure::scanAddresses() {
    const qint16 found = SearchFirstAddress(
        *m_link, m_clock, SearchRange::For(*m_network),
        [this](int value, int minimum, int maximum) { setProgress(value, minimum, maximum); });
    if (found == 0)
        return false;
    m_network->setNetworkAdd(found);
    return true;
}

qint32 TransferProcedure::rawExchange(const QByteArray& request, int replyLength) {
    return RunExchange(*m_link, m_clock, request, replyLength);
}

bool TransferProcedure::errorCheck() {
    const qint32 e = m_link->Error();
    if (e == CWirrel::leOk)
        return true;
    m_link->CloseRs232();
    switch (e) {
        case CWirrel::leUART:
            showMessage(206);
            break;
        case CWirrel::leTimeOut:
            showMessage(207);
            break;
        case CWirrel::leCRC:
            showMessage(215);
            break;
        default:
            break;  // cancelled: no message
    }
    return false;
}

bool TransferProcedure::Exchange(const QByteArray& request, int replyLength, QByteArray* reply) {
    rawExchange(request, replyLength);
    if (!errorCheck())
        return false;
    if (reply)
        *reply = m_link->FrameRx();
    return true;
}

bool TransferProcedure::readWords(quint16 reg, int count, QVector<qint16>& words) {
    QByteArray reply;
    if (!Exchange(BuildReadRequest(CurrentAddress(), reg, static_cast<quint8>(count)),
                  ReadReplyLength(count), &reply))
        return false;
    words = ReplyWords(reply, count);
    return true;
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

void TransferProcedure::showMessage(int textId, const QString& text) {
    const QString shown = text.isEmpty() ? ResString(textId) : text;
    emit message(textId, shown, kTitleId);
    UserMessages::current().show(UserMessages::Icon::Warning, ResString(kTitleId), shown);
}

void TransferProcedure::setProgress(int value, int minimum, int maximum) {
    m_progressMin = minimum;
    m_progressMax = maximum;
    emit progress(value, minimum, maximum);
}

QString TransferProcedure::filePath(const QString& name) const {
    if (!m_fileFolder.isEmpty())
        return QDir(m_fileFolder).filePath(name);
    return DataFolder::file(name);
}

bool TransferProcedure::detectModel() {
    emit operationLine(ResString(200));
    QVector<qint16> high, low;
    if (!readWords(kRegModelHigh, 1, high))
        return false;
    if (!readWords(kRegModelLow, 1, low))
        return false;
    m_detectedModel = ModelFromRegisters(low.at(0), high.at(0));
    return true;
}

bool TransferProcedure::readConfiguration() {
    m_currentAddress = m_network->NetworkAdd();
    showConnectionLine();
    if (!detectModel())
        return false;
    m_memMap = std::make_unique<CGestioneMemMap>(m_archive);
    m_memMap->setInstrModel(m_detectedModel);

    emit operationLine(ResString(203));
    setProgress(0, 0, 5);
    QVector<qint16> w;
    if (!readWords(kRegParam, CGestioneMemMap::ParamWords, w))
        return false;
    for (int i = 0; i < CGestioneMemMap::ParamWords; ++i)
        m_memMap->setParamMemMap(i, w.at(i));
    setProgress(1, 0, 5);
    for (int b = 0; b < 3; ++b) {
        if (!readWords(static_cast<quint16>(kRegAnalogOut + 8 * b), 8, w))
            return false;
        for (int i = 0; i < 8; ++i)
            m_memMap->setAnalogOutMemMap(8 * b + i, w.at(i));
    }
    setProgress(2, 0, 5);
    if (!readWords(kRegDigOut, 5, w))
        return false;
    m_memMap->setDigOutMemMap(0, w.at(0));
    m_memMap->setDigOutMemMap(1, w.at(3));
    m_memMap->setDigOutMemMap(2, w.at(4));
    setProgress(3, 0, 5);
    for (int b = 0; b < CGestioneMemMap::AlarmBlocks; ++b) {
        if (!readWords(static_cast<quint16>(kRegAlarm + 8 * b), 8, w))
            return false;
        for (int i = 0; i < 8; ++i)
            m_memMap->setAlarmMemMap(8 * b + i, w.at(i));
    }
    setProgress(4, 0, 5);
    for (int b = 0; b < 2; ++b) {
        if (!readWords(static_cast<quint16>(kRegPulse + 8 * b), 8, w))
            return false;
        for (int i = 0; i < 8; ++i)
            m_memMap->setPulseMemMap(8 * b + i, w.at(i));
    }
    setProgress(5, 0, 5);

    g_Trace().BugAssert(m_IDProgramma != -1, QStringLiteral("m_IDProgramma non inizializzato"));
    m_memMap->setIDProgramma(m_IDProgramma);
    m_memMap->SaveMemorySetup(filePath(QStringLiteral("MemoryMap.mem")));
    m_memMap->ConvertMemoryMapToUserSetup();
    return true;
}

QList<qint16> TransferProcedure::addressRange() const {
    QList<qint16> range;
    if (m_network->ModeConfig() != 0) {
        for (qint16 a = 1; a <= m_network->TotalInstrNetwork(); ++a)
            range << a;
    } else {
        range << m_network->NetworkAdd();
    }
    return range;
}

bool TransferProcedure::writeConfiguration() {
    g_Trace().BugAssert(m_IDProgramma != -1, QStringLiteral("m_IDProgramma non inizializzato"));
    m_memMap = std::make_unique<CGestioneMemMap>(m_archive);
    m_memMap->setIDProgramma(m_IDProgramma);
    m_memMap->ConvertUserSetupToMemoryMap();
    const qint32 configured = m_memMap->InstrModel() & 0x00FFFFFF;
    m_memMap->SaveMemorySetup(filePath(QStringLiteral("MemoryUser.mem")));

    const QList<qint16> range = addressRange();
    m_lastAddress = range.last();
    for (const qint16 address : range) {
        m_currentAddress = address;
        showConnectionLine();
        if (!detectModel())
            return false;
        if (!ModelMatches(configured, m_detectedModel)) {
            trace(QStringLiteral("ProgInstrModel=%1 m_InstrModel=%2")
                      .arg(configured)
                      .arg(m_detectedModel));
            showMessage(230);
            return false;
        }
        if (!writeBlocks())
            return false;
        emit operationLine(ResString(234));
        for (const quint8 code : {quint8(1), quint8(6)})
            if (!Exchange(BuildResetCommand(CurrentAddress(), code), kWriteReplyLength))
                return false;
        if (m_afterWrite && !m_afterWrite(*this, CurrentAddress()))
            return false;
        if (m_comm->InterfaceType() != CCommConfig::Network || address == m_lastAddress)
            return true;
    }
    return true;
}

QList<PlannedWrite> PlanWrite(const CGestioneMemMap& map, quint8 address, qint32 detectedModel,
                              qint16 interfaceType) {
    const quint8 t = static_cast<quint8>(detectedModel & 0xFF);
    QList<PlannedWrite> plan;
    const auto add = [&](quint16 reg, qint16 value) {
        plan.push_back({BuildWriteRequest(address, reg, value), {}, true, {}, false});
    };
    const auto mark = [&](int value) { plan.back().progressAfter << value; };
    for (int i = 0; i < 8; ++i)
        add(static_cast<quint16>(kRegParam + i), map.ParamMemMap(i));
    mark(1);
    if (t == 2 || t == 3) {
        for (int i = 0; i < CGestioneMemMap::AnalogOutWords; ++i)
            add(static_cast<quint16>(kRegAnalogOut + i), map.AnalogOutMemMap(i));
        mark(2);
    }
    if (t == 4 || t == 5 || t == 16) {
        add(kRegUnlockBlocks, kUnlockBlocksValue);
        for (int i = 0; i < CGestioneMemMap::DigOutWords; ++i)
            add(static_cast<quint16>(CGestioneMemMap::DigOutRegisters[i]), map.DigOutMemMap(i));
        mark(3);
        for (int i = 0; i < CGestioneMemMap::AlarmWords; ++i)
            add(static_cast<quint16>(kRegAlarm + i), map.AlarmMemMap(i));
        mark(4);
        for (int i = 0; i < CGestioneMemMap::PulseWords; ++i)
            add(static_cast<quint16>(kRegPulse + i), map.PulseMemMap(i));
        add(kRegBlocksWritten, 0);
    }
    mark(5);
    if ((t == 1 || t == 5 || t == 16) && (interfaceType == CCommConfig::AuxiliaryPort ||
                                          interfaceType == CCommConfig::SingleInstrument)) {
        add(kRegNetworkAddress, map.ParamMemMap(8));
        plan.back().traceBefore = QStringLiteral("Programmazione indirizzo di rete");
        // A single instrument answers at its new address from now on.
        const quint8 next = interfaceType == CCommConfig::SingleInstrument
                                ? static_cast<quint8>(map.ParamMemMap(8))
                                : address;
        // The instrument may answer at its new speed, or not at all: the outcome is ignored.
        plan.push_back({BuildWriteRequest(next, kRegBaudRate, map.ParamMemMap(9)),
                        {},
                        false,
                        QStringLiteral("Programmazione baud rate"),
                        interfaceType == CCommConfig::SingleInstrument});
    }
    mark(6);
    return plan;
}

bool TransferProcedure::writeBlocks() {
    emit operationLine(ResString(201));
    setProgress(0, 0, 6);
    const QList<PlannedWrite> plan =
        PlanWrite(*m_memMap, CurrentAddress(), m_detectedModel, m_comm->InterfaceType());
    for (const PlannedWrite& w : plan) {
        if (!w.traceBefore.isEmpty())
            trace(w.traceBefore);
        m_currentAddress = static_cast<quint8>(w.frame.at(0));
        if (w.judged) {
            if (!Exchange(w.frame, kWriteReplyLength))
                return false;
        } else {
            rawExchange(w.frame, kWriteReplyLength);
        }
        if (w.followSpeed)
            followNewSpeed(static_cast<qint16>(static_cast<quint8>(w.frame.at(4)) << 8 |
                                               static_cast<quint8>(w.frame.at(5))));
        for (const int value : w.progressAfter)
            setProgress(value, 0, 6);
    }
    return !m_cancelled;
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

bool TransferProcedure::resets() {
    const QList<quint8> codes = ResetCommandsForAction(m_Action);
    if (codes.isEmpty())
        return false;
    const QString text = ResString(232 + m_Action);
    const QList<qint16> range = addressRange();
    m_lastAddress = range.last();
    for (const qint16 address : range) {
        m_currentAddress = address;
        showConnectionLine();
        setProgress(0, 0, 1);
        for (const quint8 code : codes) {
            emit operationLine(text);
            if (!Exchange(BuildResetCommand(CurrentAddress(), code), kWriteReplyLength))
                return false;
        }
        setProgress(1, 0, 1);
    }
    return true;
}

}  // namespace voltaris
