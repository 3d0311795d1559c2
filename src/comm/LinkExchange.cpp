#include "comm/LinkExchange.h"

#include "base/Wait.h"
#include "comm/Frames.h"
#include "comm/WirrelObj.h"

namespace voltaris {

Task<qint32> Exchange(CWirrel& link, Clock& clock, QByteArray request, int replyLength) {
    link.setCommMode(1);
    link.setFrameTx(request);
    link.setByteToReceive(static_cast<qint16>(replyLength));
    link.StartTxRx();
    co_await WaitFor(clock, &link, &CWirrel::TxRxEnded, [&link] { return !link.TxRxInProgress(); });
    co_return link.Error();
}

Task<bool> OpenLine(CWirrel& link, Clock& clock, qint32 comNumber, qint32 baudIndex,
                    qint32 parityIndex, qint32 stopBitsIndex) {
    if (!link.BeginOpenRs232(comNumber, baudIndex, parityIndex, stopBitsIndex))
        co_return false;
    // A TCP gateway connects in the background; a serial port is open at once.
    while (link.OpenPending())
        co_await Delay{clock, 10};
    co_return link.EndOpenRs232();
}

qint32 RunExchange(CWirrel& link, Clock& clock, const QByteArray& request, int replyLength) {
    return RunToEnd(Exchange(link, clock, request, replyLength), clock);
}

const QList<SearchSpeed>& SearchSpeeds() {
    static const QList<SearchSpeed> speeds{{4, 38400}, {5, 19200}, {3, 9600}, {2, 4800}};
    return speeds;
}

StandaloneLink::StandaloneLink(Clock& c, WirrelObj& component)
    : clock(c), timeOut(c.createTimer()), workTick(c.createTimer()), link(c) {
    link.Create(*timeOut, *workTick, component, -1);
    link.setReplyCheck([](const QByteArray& frame) { return VerifyFrameCRC(frame); });
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

SearchRange SearchRange::For(qint16 modeConfig, qint16 selNetworkAdd, qint16 networkAdd) {
    if (modeConfig != 0)
        return {1, 1};
    if (selNetworkAdd != 0)
        return {networkAdd, networkAdd};
    return {};
}

Task<qint16> SearchFirstAddress(CWirrel& link, Clock& clock, SearchRange range,
                                std::function<void(int, int, int)> progress,
                                std::function<void(qint16)> trying) {
    const SearchTiming timing(link);
    const int minimum = range.progressMinimum();
    progress(minimum, minimum, range.first);
    for (qint16 address = range.first; address >= range.last; --address) {
        progress(range.first - address + range.last, minimum, range.first);
        if (address < 1 || address > 255)
            continue;
        if (trying)
            trying(address);
        const qint32 e = co_await Exchange(
            link, clock, BuildReadRequest(static_cast<quint8>(address), kRegModelHigh, 1),
            ReadReplyLength(1));
        if (e == CWirrel::leOk || e == CWirrel::leCancelled)
            co_return address;
    }
    co_return 0;
}

}  // namespace voltaris
