#include "transfer/InstrumentScan.h"

#include "base/Clock.h"
#include "base/Errors.h"
#include "base/ResString.h"
#include "comm/CWirrel.h"
#include "comm/Frames.h"
#include "comm/LinkExchange.h"
#include "model/CCommConfig.h"
#include "model/CNetworkAddMsgSetup.h"

namespace voltaris {

namespace {
constexpr int kTitleId = 208;
}

InstrumentScan::InstrumentScan(Clock& clock, WirrelObj& component, QObject* parent)
    : Engine(clock, parent),
      m_component(component),
      m_timeOut(clock.createTimer()),
      m_workTick(clock.createTimer()),
      m_link(std::make_unique<CWirrel>(clock)) {
    m_link->Create(*m_timeOut, *m_workTick, m_component, -1);
    m_link->setReplyCheck([](const QByteArray& frame) { return VerifyFrameCRC(frame); });
    connect(m_link.get(), &CWirrel::LineOpened, this, &Engine::lineOpened);
}

InstrumentScan::~InstrumentScan() {
    abandon();
    m_link.reset();
}

void InstrumentScan::Create(const CCommConfig& comm, QList<quint8> addresses) {
    m_interfaceType = comm.InterfaceType();
    m_comPort = comm.ComPort();
    m_addresses = std::move(addresses);
}

QList<quint8> InstrumentScan::Addresses(qint16 interfaceType, int address, int count) {
    using N = CNetworkAddMsgSetup;
    const auto valid = [](int a) { return a >= N::MinAddress && a <= N::MaxAddress; };
    if (interfaceType == CCommConfig::AuxiliaryPort)
        return {static_cast<quint8>(N::AuxiliaryAddress)};
    if (valid(address))
        return {static_cast<quint8>(address)};
    QList<quint8> addresses;
    for (int a = valid(count) ? count : N::MaxAddress; a >= N::MinAddress; --a)
        addresses << static_cast<quint8>(a);
    return addresses;
}

void InstrumentScan::onCancel() {
    m_link->setCancelTxRx(true);
}

void InstrumentScan::onEnded() {
    m_link->CloseRs232();
}

Task<EngineOutcome::Status> InstrumentScan::run() {
    m_found.clear();
    const QList<SearchSpeed> speeds = m_interfaceType == CCommConfig::AuxiliaryPort
                                          ? QList<SearchSpeed>{kAuxiliarySpeed}
                                          : SearchSpeeds();
    const int count = int(m_addresses.size());
    for (const SearchSpeed& speed : speeds) {
        if (isCancelled())
            break;
        emit connectionLine(QStringLiteral("%1 baud").arg(speed.baud));
        if (!co_await OpenLine(*m_link, clock(), m_comPort + 1, speed.baudIndex)) {
            if (isCancelled())
                break;
            const QString why = m_link->OpenErrorText();
            report(209, why.isEmpty() ? ResString(209) : why, kTitleId);
            co_return EngineOutcome::Failed;
        }
        m_link->setDTR(true);
        m_link->setRTS(false);
        const SearchTiming timing(*m_link);
        for (int i = 0; i < count && !isCancelled(); ++i) {
            const quint8 address = m_addresses.at(i);
            emit operationLine(FormatResString(222, QString::number(address)));
            emit progress(i, 0, count);
            if (co_await Exchange(*m_link, clock(), BuildReadRequest(address, kRegModelHigh, 1),
                                  ReadReplyLength(1)) != CWirrel::leOk)
                continue;
            const QByteArray high = m_link->FrameRx();
            if (co_await Exchange(*m_link, clock(), BuildReadRequest(address, kRegModelLow, 1),
                                  ReadReplyLength(1)) != CWirrel::leOk)
                continue;
            const Found f{speed.baud, address,
                          ModelFromRegisters(ReplyWord(m_link->FrameRx(), 0), ReplyWord(high, 0))};
            m_found.push_back(f);
            emit found(f);
        }
        m_link->CloseRs232();
    }
    if (isCancelled())
        co_return EngineOutcome::Cancelled;
    if (m_found.isEmpty()) {
        report(228, ResString(228), kTitleId);
        co_return EngineOutcome::Failed;
    }
    co_return EngineOutcome::Done;
}

}  // namespace voltaris
