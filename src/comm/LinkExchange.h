#pragma once

#include <QByteArray>
#include <QList>
#include <functional>
#include <memory>

#include "base/Clock.h"
#include "base/Task.h"
#include "comm/CWirrel.h"

namespace voltaris {

class WirrelObj;

// One exchange on `link` the way the engines do (CommMode 1: the error is returned, not
// raised as an event); the Task ends with the exchange. Returns the link's Error().
Task<qint32> Exchange(CWirrel& link, Clock& clock, QByteArray request, int replyLength);
// Opens the line as OpenRs232 does, without waiting in place for a connection being made.
Task<bool> OpenLine(CWirrel& link, Clock& clock, qint32 comNumber, qint32 baudIndex,
                    qint32 parityIndex = 0, qint32 stopBitsIndex = 0);
// Exchange, waited for by yielding to `clock` (tests, benchmarks).
qint32 RunExchange(CWirrel& link, Clock& clock, const QByteArray& request, int replyLength);

// A link with timers of its own on `component`, judging replies by the frame's CRC
// check: what a window sets up, for callers that only exchange frames (the scan command,
// benchmarks, tests).
struct StandaloneLink {
    StandaloneLink(Clock& clock, WirrelObj& component);
    qint32 exchange(const QByteArray& request, int replyLength) {
        return RunExchange(link, clock, request, replyLength);
    }

    Clock& clock;
    std::unique_ptr<Timer> timeOut;
    std::unique_ptr<Timer> workTick;
    CWirrel link;
};

// The address search's own timing on `link` for the lifetime of the object: a short timeout
// and one try per address, and the link searching (a silent address does not slow it down).
// The link's timeout, limit and searching state come back afterwards.
class SearchTiming {
public:
    static constexpr qint16 kTimeOutMs = 500;

    explicit SearchTiming(CWirrel& link);
    ~SearchTiming();
    SearchTiming(const SearchTiming&) = delete;
    SearchTiming& operator=(const SearchTiming&) = delete;

private:
    CWirrel& m_link;
    qint16 m_timeOut;
    qint16 m_maxTimeOuts;
    bool m_searching;
};

// The addresses an automatic search tries, from `first` down to `last`: the whole line
// 255..1, address 1 of a network, or the manual address alone.
struct SearchRange {
    qint16 first = 255;
    qint16 last = 1;

    // From the network record: network mode (ModeConfig), manual address (SelNetworkAdd)
    // and the address (NetworkAdd).
    static SearchRange For(qint16 modeConfig, qint16 selNetworkAdd, qint16 networkAdd);
    // The progress bar's minimum: one below a single address, so that it shows a step.
    int progressMinimum() const { return first == last ? last - 1 : last; }
};

// Asks each address of `range` in turn for the model register under SearchTiming, reporting
// progress (value, minimum, maximum) at the start and before each address, and `trying` with
// each address it sends to. Returns the first address that answered, or the one being asked
// when the exchange was cancelled (the link's Error() tells which); 0 when none answered. An
// address outside 1..255 cannot be sent and is passed over.
Task<qint16> SearchFirstAddress(CWirrel& link, Clock& clock, SearchRange range,
                                std::function<void(int, int, int)> progress,
                                std::function<void(qint16)> trying = {});

// The speeds an automatic search tries, in order, as baud-table indexes with their rates;
// the auxiliary port answers at 4800 baud only.
struct SearchSpeed {
    qint32 baudIndex;
    qint32 baud;
};
const QList<SearchSpeed>& SearchSpeeds();
constexpr SearchSpeed kAuxiliarySpeed{2, 4800};

}  // namespace voltaris
