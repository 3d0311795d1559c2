#include "comm/LinkExchange.h"

#include "comm/Frames.h"
#include "comm/WirrelObj.h"
#include "model/CNetworkAddMsgSetup.h"

namespace voltaris {

qint32 RunExchange(CWirrel& link, Clock& clock, const QByteArray& request, int replyLength) {
    link.setCommMode(1);
    link.setFrameTx(request);
    link.setByteToReceive(static_cast<qint16>(replyLength));
    link.StartTxRx();
    while (link.TxRxInProgress())
        clock.yield();
    return link.Error();
}

StandaloneLink::StandaloneLink(Clock& c, WirrelObj& component)
    : clock(c), timeOut(c.createTimer()), workTick(c.createTimer()), link(c) {
    link.Create(*timeOut, *workTick, component, -1);
    QObject::connect(&link, &CWirrel::VerifyCRC,
                     [](bool& ok, const QByteArray& frame) { ok = VerifyFrameCRC(frame); });
}

SearchTiming::SearchTiming(CWirrel& link)
    : m_link(link),
      m_timeOut(link.TimeOutRx()),
      m_maxTimeOuts(link.MaxErrorTimeOut()),
      m_searching(link.searching()) {
    m_link.setTimeOutRx(kTimeOutMs);
    m_link.setMaxErrorTimeOut(1);
    m_link.setSearching(true);
}

SearchTiming::~SearchTiming() {
    m_link.setTimeOutRx(m_timeOut);
    m_link.setMaxErrorTimeOut(m_maxTimeOuts);
    m_link.setSearching(m_searching);
}

SearchRange SearchRange::For(const CNetworkAddMsgSetup& network) {
    if (network.ModeConfig() != 0)
        return {1, 1};
    if (network.SelNetworkAdd() != 0)
        return {network.NetworkAdd(), network.NetworkAdd()};
    return {};
}

qint16 SearchFirstAddress(CWirrel& link, Clock& clock, const SearchRange& range,
                          const std::function<void(int, int, int)>& progress) {
    const SearchTiming timing(link);
    const int minimum = range.progressMinimum();
    progress(minimum, minimum, range.first);
    for (qint16 address = range.first; address >= range.last; --address) {
        progress(range.first - address + range.last, minimum, range.first);
        if (address < 1 || address > 255)
            continue;
        const qint32 e = RunExchange(
            link, clock, BuildReadRequest(static_cast<quint8>(address), kRegModelHigh, 1),
            ReadReplyLength(1));
        if (e == CWirrel::leOk || e == CWirrel::leCancelled)
            return address;
    }
    return 0;
}

}  // namespace voltaris
