#include <gtest/gtest.h>

#include <QSignalSpy>

#include "LinkTestSupport.h"
#include "comm/LinkExchange.h"

using namespace voltaris;
using namespace voltaris::test;
using Fault = Transport::Fault;
using Step = ScriptedTransport::Step;

namespace {

const QByteArray kRequest = BuildReadRequest(1, kRegModelHigh, 1);
const QByteArray kGood = ReadReply(1, {0x0023});
const QByteArray kBad = SpoilCrc(kGood);
const QByteArray kGarbage = QByteArray::fromHex("5A5A5A5A5A5A5A");

// How one exchange goes against a line behaving as `steps`.
struct FaultCase {
    const char* name;
    QList<Step> steps;
    int transmissions;
    qint32 error;
    qint64 elapsedMs;          // classic: the 200 ms work tick
    qint64 fastElapsedMs;      // fast link
    qint64 adaptiveElapsedMs;  // fast up to the first fault, classic from there on
    bool search = false;       // under SearchTiming: 500 ms, one timeout allowed
};

const char* modeName(LinkMode mode) {
    switch (mode) {
        case LinkMode::Adaptive:
            return "Adaptive";
        case LinkMode::Fast:
            return "Fast";
        case LinkMode::Classic:
            return "Classic";
    }
    return "?";
}

const LinkMode kModes[] = {LinkMode::Adaptive, LinkMode::Fast, LinkMode::Classic};
const QString kFallBackLine =
    QStringLiteral("Collegamento lento: cadenza classica fino al termine dell'operazione");

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

QList<FaultCase> faultCases() {
    const auto rep = [](const QByteArray& b, int delay = 50, int pieces = 1) {
        return ScriptedTransport::reply(b, delay, pieces);
    };
    const auto flt = [](Fault f) { return ScriptedTransport::fault(f); };
    return {
        {"Answered", {rep(kGood)}, 1, CWirrel::leOk, 450, 50, 50},
        {"AnsweredInPieces", {rep(kGood, 50, 3)}, 1, CWirrel::leOk, 470, 70, 70},
        // The resend falls on the tick that follows the timeout in the same instant.
        {"Silent", {}, 3, CWirrel::leTimeOut, 9200, 9000, 9000},
        {"ShortReplies",
         {rep(kGood.left(3)), rep(kGood.left(3)), rep(kGood.left(3))},
         3,
         CWirrel::leTimeOut,
         9200,
         9000,
         9000},
        // Adaptive: the first bad reply is taken at once, the rest two ticks apart.
        {"BadCrcThrice", {rep(kBad), rep(kBad), rep(kBad)}, 3, CWirrel::leCRC, 1550, 150, 1150},
        {"GarbageThrice",
         {rep(kGarbage), rep(kGarbage), rep(kGarbage)},
         3,
         CWirrel::leCRC,
         1550,
         150,
         1150},
        {"BadThenGood", {rep(kBad), rep(kGood)}, 2, CWirrel::leOk, 900, 100, 500},
        {"LateReplyAfterResend", {rep(kGood, 4000)}, 2, CWirrel::leOk, 4400, 4000, 4200},
        {"LineErrorThrice",
         {flt(Fault::LineError), flt(Fault::LineError), flt(Fault::LineError)},
         3,
         CWirrel::leUART,
         950,
         150,
         750},
        {"IoErrorThenGood", {flt(Fault::Other), rep(kGood)}, 2, CWirrel::leOk, 700, 100, 500},
        // The port goes away: the two resends find it closed and fail at once.
        {"Unplugged", {flt(Fault::Unplugged)}, 1, CWirrel::leUART, 850, 50, 650},
        {"EndOfFile", {flt(Fault::EndOfFile)}, 1, CWirrel::leUART, 850, 50, 650},
        // The address search: a silent address leaves the adaptive link fast.
        {"SearchSilent", {}, 1, CWirrel::leTimeOut, 800, 500, 500, true},
        {"SearchAnswered", {rep(kGood)}, 1, CWirrel::leOk, 450, 50, 50, true},
        // A damaged reply slows the adaptive link down even while searching.
        {"SearchBadCrc", {rep(kBad)}, 2, CWirrel::leTimeOut, 1250, 550, 850, true},
    };
}

class LinkFaults : public ::testing::TestWithParam<std::tuple<FaultCase, LinkMode>> {};

TEST_P(LinkFaults, TransmissionsErrorAndTime) {
    const auto& [c, mode] = GetParam();
    TraceCapture trace;
    ScriptedLink l;
    l.link.setLinkMode(mode);
    ASSERT_TRUE(l.open());
    l.line.pushAll(c.steps);
    std::optional<SearchTiming> search;
    if (c.search)
        search.emplace(l.link);

    EXPECT_EQ(l.exchange(kRequest, 7), c.error);
    EXPECT_EQ(l.line.sent().size(), c.transmissions);
    for (const auto& s : l.line.sent())
        EXPECT_EQ(s.bytes, kRequest);
    const qint64 expected[] = {c.adaptiveElapsedMs, c.fastElapsedMs, c.elapsedMs};
    EXPECT_EQ(l.elapsed(), expected[int(mode)]);
    if (c.error == CWirrel::leOk) {
        EXPECT_EQ(l.link.FrameRx(), kGood);
    }
    // Between exchanges both timers are off.
    EXPECT_FALSE(l.timeOut->isEnabled());
    EXPECT_FALSE(l.rs232Manager->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Link, LinkFaults,
                         ::testing::Combine(::testing::ValuesIn(faultCases()),
                                            ::testing::ValuesIn(kModes)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    modeName(std::get<1>(info.param));
                         });

TEST(Link, RetriesAreTracedWithTheirCounts) {
    struct Case {
        QList<Step> steps;
        QStringList lines;
    };
    const Step bad = ScriptedTransport::reply(kBad);
    const Step lineError = ScriptedTransport::fault(Fault::LineError);
    const QList<Case> cases = {
        {{},
         {"Errore di timeout nr.1", "Errore di timeout nr.2", "Errore di timeout nr.3",
          "Errore TIMEOUT"}},
        {{bad, bad, bad},
         {"Errore di CRC nr.1", "Errore di CRC nr.2", "Errore di CRC nr.3", "Errore CRC"}},
        {{lineError, lineError, lineError},
         {"Errore UART nr.1", "Errore UART nr.2", "Errore UART nr.3", "Errore UART"}},
    };
    for (const LinkMode mode : kModes) {
        for (const auto& c : cases) {
            TraceCapture trace(CTraceCode::tmTraceNormal);
            ScriptedLink l;
            l.link.setLinkMode(mode);
            ASSERT_TRUE(l.open());
            l.line.pushAll(c.steps);
            l.exchange(kRequest, 7);
            // The same retries in every mode; the adaptive link says once that it slows down.
            QStringList expected = c.lines;
            if (mode == LinkMode::Adaptive)
                expected.insert(1, kFallBackLine);
            EXPECT_EQ(trace.lines, expected) << modeName(mode);
        }
    }
}

// How a link paces a clean exchange (reply 50 ms after the request) before an event, after
// it, and once the port was opened again for a new operation.
TEST(Link, CadenceBeforeAndAfterAFault) {
    enum class Event { Clean, TimeOut, BadCrc, LineError };
    const struct {
        const char* name;
        Event event;
    } events[] = {{"clean", Event::Clean},
                  {"timeout", Event::TimeOut},
                  {"bad CRC", Event::BadCrc},
                  {"line error", Event::LineError}};
    const auto eventSteps = [](Event e) -> QList<Step> {
        switch (e) {
            case Event::Clean:
                return {};
            case Event::TimeOut:
                return {ScriptedTransport::silent()};
            case Event::BadCrc:
                return {ScriptedTransport::reply(kBad)};
            case Event::LineError:
                return {ScriptedTransport::fault(Fault::LineError)};
        }
        return {};
    };
    // Work ticks a clean exchange takes: none event-driven, two on the 200 ms tick (one to
    // send, one to take the reply).
    const auto ticksOf = [](qint64 elapsedMs) {
        return (elapsedMs - 50) / CWirrel::kWorkIntervalMs;
    };
    for (const LinkMode mode : kModes) {
        for (const auto& ev : events) {
            SCOPED_TRACE(std::string(modeName(mode)) + ", " + ev.name);
            TraceCapture trace;
            ScriptedLink l;
            l.link.setLinkMode(mode);
            ASSERT_TRUE(l.open());
            const auto clean = [&] {
                l.line.push(ScriptedTransport::reply(kGood));
                EXPECT_EQ(l.exchange(kRequest, 7), CWirrel::leOk);
                EXPECT_EQ((l.elapsed() - 50) % CWirrel::kWorkIntervalMs, 0) << l.elapsed();
                return ticksOf(l.elapsed());
            };
            const qint64 forced = mode == LinkMode::Classic ? 2 : 0;
            EXPECT_EQ(clean(), forced);

            l.line.pushAll(eventSteps(ev.event));
            l.line.push(ScriptedTransport::reply(kGood));
            EXPECT_EQ(l.exchange(kRequest, 7), CWirrel::leOk);

            const bool fellBack = mode == LinkMode::Adaptive && ev.event != Event::Clean;
            EXPECT_EQ(l.link.fellBack(), fellBack);
            EXPECT_EQ(l.link.fastTick(),
                      mode == LinkMode::Fast || (mode == LinkMode::Adaptive && !fellBack));
            EXPECT_EQ(l.link.linkMode(), mode);
            EXPECT_EQ(trace.lines.count(kFallBackLine), fellBack ? 1 : 0);
            // For the rest of the operation.
            EXPECT_EQ(clean(), fellBack ? 2 : forced);
            EXPECT_EQ(clean(), fellBack ? 2 : forced);

            l.link.CloseRs232();
            ASSERT_TRUE(l.open());
            EXPECT_FALSE(l.link.fellBack());
            EXPECT_EQ(clean(), forced);
            EXPECT_EQ(trace.lines.count(kFallBackLine), fellBack ? 1 : 0);
        }
    }
}

TEST(Link, NewOperationMakesTheAdaptiveLinkFastAgain) {
    TraceCapture trace;
    ScriptedLink l;
    ASSERT_TRUE(l.open());
    l.line.pushAll({ScriptedTransport::reply(kBad), ScriptedTransport::reply(kGood),
                    ScriptedTransport::reply(kGood)});
    ASSERT_EQ(l.exchange(kRequest, 7), CWirrel::leOk);
    ASSERT_TRUE(l.link.fellBack());
    l.link.newOperation();
    EXPECT_FALSE(l.link.fellBack());
    EXPECT_EQ(l.exchange(kRequest, 7), CWirrel::leOk);
    EXPECT_EQ(l.elapsed(), 50);
    // A second fall-back in the new operation is traced again.
    l.line.pushAll({ScriptedTransport::fault(Fault::LineError), ScriptedTransport::reply(kGood)});
    ASSERT_EQ(l.exchange(kRequest, 7), CWirrel::leOk);
    EXPECT_TRUE(l.link.fellBack());
    EXPECT_EQ(trace.lines.count(kFallBackLine), 2);
}

TEST(Link, SearchTimingMarksTheLinkSearchingAndRestoresIt) {
    TraceCapture trace;
    ScriptedLink l;
    ASSERT_TRUE(l.open());
    EXPECT_FALSE(l.link.searching());
    {
        const SearchTiming timing(l.link);
        EXPECT_TRUE(l.link.searching());
        // Nobody at the first two addresses; the third answers.
        l.line.pushAll({ScriptedTransport::silent(), ScriptedTransport::silent(),
                        ScriptedTransport::reply(kGood)});
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(l.exchange(kRequest, 7), CWirrel::leTimeOut);
        EXPECT_EQ(l.exchange(kRequest, 7), CWirrel::leOk);
        EXPECT_EQ(l.elapsed(), 50);
    }
    EXPECT_FALSE(l.link.searching());
    EXPECT_FALSE(l.link.fellBack());
    EXPECT_EQ(l.link.TimeOutRx(), CWirrel::kTimeOutMs);
    // Out of the search a timeout slows the link down.
    l.line.pushAll({ScriptedTransport::silent(), ScriptedTransport::reply(kGood)});
    EXPECT_EQ(l.exchange(kRequest, 7), CWirrel::leOk);
    EXPECT_TRUE(l.link.fellBack());
}

TEST(Link, StatusEventsAreTracedOnlyWhenTracingEverything) {
    const QString line = QStringLiteral("CommStatus event:15->Ricezione completata");
    {
        TraceCapture trace(CTraceCode::tmTraceAll);
        ScriptedLink l;
        ASSERT_TRUE(l.open());
        l.line.push(ScriptedTransport::reply(kGood));
        l.exchange(kRequest, 7);
        EXPECT_TRUE(trace.lines.contains(line)) << trace.lines.join('|').toStdString();
    }
    {
        TraceCapture trace(CTraceCode::tmTraceNormal);
        ScriptedLink l;
        ASSERT_TRUE(l.open());
        l.line.push(ScriptedTransport::reply(kGood));
        l.exchange(kRequest, 7);
        EXPECT_TRUE(trace.lines.isEmpty()) << trace.lines.join('|').toStdString();
        // ... and the trace is writing again afterwards.
        g_Trace().BugMessage("after");
        EXPECT_EQ(trace.lines, QStringList{"after"});
    }
}

TEST(Link, GoodReplyAfterBadOneKeepsTheCrcCountUntilTheNextFrame) {
    TraceCapture trace;
    ScriptedLink l;
    ASSERT_TRUE(l.open());
    l.line.pushAll({ScriptedTransport::reply(kBad), ScriptedTransport::reply(kGood)});
    EXPECT_EQ(l.exchange(kRequest, 7), CWirrel::leOk);
    EXPECT_EQ(l.link.CrcErrorCount(), 1);
    l.link.setFrameTx(kRequest);
    EXPECT_EQ(l.link.CrcErrorCount(), 0);
}

TEST(Link, FrameAndLengthCannotChangeDuringAnExchange) {
    TraceCapture trace;
    ScriptedLink l;
    ASSERT_TRUE(l.open());
    l.link.setCommMode(1);
    l.link.setFrameTx(kRequest);
    l.link.setByteToReceive(7);
    l.link.StartTxRx();
    l.clock.advanceBy(3300);  // sent once, timed out once
    ASSERT_EQ(l.link.TimeOutCount(), 1);
    l.link.setFrameTx(BuildWriteRequest(1, kRegParam, 5));
    l.link.setByteToReceive(8);
    EXPECT_EQ(l.link.TimeOutCount(), 1);  // the let was ignored, counts included
    while (l.link.TxRxInProgress())
        l.clock.yield();
    ASSERT_EQ(l.line.sent().size(), 3);
    for (const auto& s : l.line.sent())
        EXPECT_EQ(s.bytes, kRequest);
    EXPECT_EQ(l.link.ByteToReceive(), 7);
    EXPECT_EQ(l.link.FrameTx(), kRequest);
}

TEST(Link, CancelBeforeStartSendsNothingAndIsNeverCleared) {
    for (const LinkMode mode : kModes) {
        TraceCapture trace;
        ScriptedLink l;
        l.link.setLinkMode(mode);
        ASSERT_TRUE(l.open());
        QSignalSpy cancelled(&l.link, &CWirrel::TxRxCancelled);
        l.link.setCancelTxRx(true);
        l.line.push(ScriptedTransport::reply(kGood));
        EXPECT_EQ(l.exchange(kRequest, 7, /*commMode*/ 0), CWirrel::leCancelled);
        EXPECT_TRUE(l.line.sent().isEmpty());
        // The first tick, or at once when event-driven.
        EXPECT_EQ(l.elapsed(), mode == LinkMode::Classic ? 200 : 0) << modeName(mode);
        EXPECT_EQ(cancelled.count(), 1);
        EXPECT_EQ(trace.lines, QStringList{"Annullata operazione di Tx Rx"});

        l.link.setCancelTxRx(false);
        EXPECT_EQ(l.exchange(kRequest, 7), CWirrel::leCancelled);
        EXPECT_TRUE(l.line.sent().isEmpty());
    }
}

TEST(Link, CancelDuringAnExchangeEndsItAtTheNextEvaluation) {
    for (const LinkMode mode : kModes) {
        TraceCapture trace;
        ScriptedLink l;
        l.link.setLinkMode(mode);
        ASSERT_TRUE(l.open());
        l.link.setCommMode(1);
        l.link.setFrameTx(kRequest);
        l.link.setByteToReceive(7);
        l.link.StartTxRx();
        l.clock.advanceBy(1000);
        l.link.setCancelTxRx(true);
        // Nothing to evaluate until the timeout: the exchange goes on until then.
        l.clock.advanceBy(1900);
        EXPECT_TRUE(l.link.TxRxInProgress());
        while (l.link.TxRxInProgress())
            l.clock.yield();
        EXPECT_EQ(l.link.Error(), CWirrel::leCancelled);
        // The timeout comes 3000 ms after the request; the classic link sends on its first
        // tick and evaluates on the tick due with the timeout.
        EXPECT_EQ(l.clock.nowMs(), mode == LinkMode::Classic ? 3200 : 3000) << modeName(mode);
        EXPECT_EQ(l.line.sent().size(), 1);
    }
}

TEST(Link, WithoutAVerifyHandlerEveryReplyIsAccepted) {
    TraceCapture trace;
    ScriptedLink l(/*answerCrc*/ false);
    ASSERT_TRUE(l.open());
    l.line.push(ScriptedTransport::reply(kBad));
    EXPECT_EQ(l.exchange(kRequest, 7), CWirrel::leOk);
    EXPECT_EQ(l.link.FrameRx(), kBad);
}

TEST(Link, OutcomeEventsOnlyInCommModeZero) {
    struct Case {
        const char* name;
        QList<Step> steps;
        bool cancel;
        const char* expected;  // the one outcome event raised in mode 0
    };
    const Step bad = ScriptedTransport::reply(kBad);
    const Step lineError = ScriptedTransport::fault(Fault::LineError);
    const QList<Case> cases = {
        {"ok", {ScriptedTransport::reply(kGood)}, false, "EndTxRx"},
        {"timeout", {}, false, "TimeOutError"},
        {"crc", {bad, bad, bad}, false, "CRCError"},
        {"uart", {lineError, lineError, lineError}, false, "UARTError"},
        {"cancel", {}, true, "TxRxCancelled"},
    };
    for (const auto& c : cases) {
        for (qint32 mode : {0, 1}) {
            TraceCapture trace;
            ScriptedLink l;
            ASSERT_TRUE(l.open());
            l.line.pushAll(c.steps);
            if (c.cancel)
                l.link.setCancelTxRx(true);
            QStringList raised;
            QObject::connect(&l.link, &CWirrel::UARTError, [&] { raised << "UARTError"; });
            QObject::connect(&l.link, &CWirrel::TimeOutError, [&] { raised << "TimeOutError"; });
            QObject::connect(&l.link, &CWirrel::CRCError, [&] { raised << "CRCError"; });
            QObject::connect(&l.link, &CWirrel::EndTxRx, [&] { raised << "EndTxRx"; });
            QObject::connect(&l.link, &CWirrel::TxRxCancelled, [&] { raised << "TxRxCancelled"; });
            int verified = 0;
            QObject::connect(&l.link, &CWirrel::VerifyCRC,
                             [&](bool& ok, const QByteArray&) { ++verified, (void)ok; });
            l.exchange(kRequest, 7, mode);
            EXPECT_EQ(raised, mode == 0 ? QStringList{c.expected} : QStringList{}) << c.name;
            // VerifyCRC comes for every reply, whatever the mode.
            const int replies =
                int(std::count_if(c.steps.begin(), c.steps.end(),
                                  [](const Step& s) { return s.kind == Step::Kind::Reply; }));
            EXPECT_EQ(verified, replies) << c.name << " mode " << mode;
        }
    }
}

TEST(Link, LateReplyOfAnEndedExchangeIsNotTakenForTheNextOne) {
    // The late reply arrives between the exchanges, or in the very instant the next one
    // starts (its status still on its way when StartTxRx runs).
    for (bool sameInstant : {false, true}) {
        TraceCapture trace;
        ScriptedLink l;
        ASSERT_TRUE(l.open());
        l.link.setTimeOutRx(500);
        l.link.setMaxErrorTimeOut(1);
        ASSERT_EQ(l.exchange(kRequest, 7), CWirrel::leTimeOut);
        l.line.inject(kGood);
        if (!sameInstant)
            l.clock.advanceBy(100);
        // The next request is not answered: it must time out, not succeed on the old reply.
        EXPECT_EQ(l.exchange(BuildReadRequest(2, kRegModelHigh, 1), 7), CWirrel::leTimeOut)
            << sameInstant;
        EXPECT_EQ(l.line.sent().size(), 2);
    }
}

TEST(Link, SecondAnswerToAResentRequestIsNotTakenForTheNextOne) {
    // An instrument slower than the timeout answers the request and its repeat: the first
    // answer ends the exchange, the second arrives while the next request waits and must
    // not be taken for its answer (same address, function and length, valid CRC).
    const QByteArray requestB = BuildReadRequest(1, kRegModelLow, 1);
    const QByteArray replyB = ReadReply(1, {0x0004});
    for (bool fast : {false, true}) {
        TraceCapture trace;
        ScriptedLink l;
        l.link.setFastTick(fast);
        ASSERT_TRUE(l.open());
        for (int i = 0; i < 2; ++i)
            l.line.push(ScriptedTransport::reply(kGood, 4000));
        for (int i = 0; i < 2; ++i)
            l.line.push(ScriptedTransport::reply(replyB, 4000));
        ASSERT_EQ(l.exchange(kRequest, 7), CWirrel::leOk) << fast;
        EXPECT_EQ(l.link.FrameRx(), kGood) << fast;
        ASSERT_EQ(l.exchange(requestB, 7), CWirrel::leOk) << fast;
        EXPECT_EQ(l.link.FrameRx(), replyB) << fast;
        EXPECT_EQ(trace.lines.filter("copia tardiva").size(), 1) << fast;
        // The link goes on as usual afterwards.
        l.line.push(ScriptedTransport::reply(kGood, 50));
        ASSERT_EQ(l.exchange(kRequest, 7), CWirrel::leOk) << fast;
        EXPECT_EQ(l.link.FrameRx(), kGood) << fast;
    }
}

TEST(Link, ReplyReadyWhenTheExchangeEndsIsNotTaken) {
    // The timeout limit is reached and a bad reply is waiting on the same tick: the exchange
    // ends with the timeout and nothing starts again.
    TraceCapture trace;
    ScriptedLink l;
    ASSERT_TRUE(l.open());
    l.link.setTimeOutRx(500);
    l.link.setMaxErrorTimeOut(1);
    int verified = 0;
    QObject::connect(&l.link, &CWirrel::VerifyCRC, [&](bool&, const QByteArray&) { ++verified; });
    l.line.push(ScriptedTransport::reply(kBad, 550));  // after the timeout, before the tick
    EXPECT_EQ(l.exchange(kRequest, 7), CWirrel::leTimeOut);
    EXPECT_EQ(verified, 0);
    EXPECT_FALSE(l.timeOut->isEnabled());
    EXPECT_FALSE(l.rs232Manager->isEnabled());
    l.clock.advanceBy(5000);
    EXPECT_EQ(l.line.sent().size(), 1);
    EXPECT_EQ(l.link.Error(), CWirrel::leTimeOut);
    EXPECT_FALSE(trace.lines.contains("Errore di CRC nr.1"));
}

// The owner's reply check judges every reply in place of the VerifyCRC event: a reply it
// refuses is asked for again, up to the CRC limit.
TEST(Link, TheReplyCheckJudgesInsteadOfTheEvent) {
    TraceCapture trace;
    ScriptedLink l(false);
    ASSERT_TRUE(l.open());
    int events = 0;
    QObject::connect(&l.link, &CWirrel::VerifyCRC, [&](bool&, const QByteArray&) { ++events; });
    QList<QByteArray> judged;
    l.link.setReplyCheck([&](const QByteArray& frame) {
        judged << frame;
        return judged.size() == 2;
    });
    l.line.push(ScriptedTransport::reply(kGood));
    l.line.push(ScriptedTransport::reply(kGood));
    EXPECT_EQ(l.exchange(kRequest, 7), CWirrel::leOk);
    EXPECT_EQ(judged, (QList<QByteArray>{kGood, kGood}));
    EXPECT_EQ(l.line.sent().size(), 2);
    EXPECT_TRUE(trace.lines.contains("Errore di CRC nr.1"));

    l.link.setReplyCheck([](const QByteArray&) { return false; });
    for (int i = 0; i < CWirrel::kMaxCrcErrors; ++i)
        l.line.push(ScriptedTransport::reply(kGood));
    EXPECT_EQ(l.exchange(kRequest, 7), CWirrel::leCRC);
    EXPECT_EQ(events, 0);
}

TEST(Link, StatusBetweenExchangesDoesNotResend) {
    TraceCapture trace;
    ScriptedLink l;
    ASSERT_TRUE(l.open());
    l.line.push(ScriptedTransport::reply(kGood));
    ASSERT_EQ(l.exchange(kRequest, 7), CWirrel::leOk);
    l.line.raise(Fault::LineError);
    l.clock.advanceBy(5000);
    EXPECT_EQ(l.line.sent().size(), 1);
    EXPECT_FALSE(l.rs232Manager->isEnabled());
    EXPECT_FALSE(l.clock.hasPending());
}

TEST(Link, UnpluggedPortIsClosedOnceAndTheTimersStop) {
    TraceCapture trace;
    ScriptedLink l;
    ASSERT_TRUE(l.open());
    l.line.push(ScriptedTransport::fault(Fault::Unplugged));
    EXPECT_EQ(l.exchange(kRequest, 7), CWirrel::leUART);
    EXPECT_EQ(l.line.closeCount(), 1);
    EXPECT_FALSE(l.component.PortOpen());
    EXPECT_FALSE(l.clock.hasPending());
    // A later exchange on the closed port fails just as fast, without touching the line.
    EXPECT_EQ(l.exchange(kRequest, 7), CWirrel::leUART);
    EXPECT_EQ(l.elapsed(), 800);
    EXPECT_EQ(l.line.sent().size(), 1);
}

TEST(Link, FastLinkKeepsTheOrderOfEvaluationAndTaking) {
    // A reply and a timeout due at the same moment: evaluation (the resend) comes first in
    // every mode, and the reply already collected is then taken.
    for (const LinkMode mode : kModes) {
        TraceCapture trace;
        ScriptedLink l;
        l.link.setLinkMode(mode);
        ASSERT_TRUE(l.open());
        const int sendAt = mode == LinkMode::Classic ? 200 : 0;
        l.line.push(ScriptedTransport::reply(kGood, 3000));  // lands with the first timeout
        EXPECT_EQ(l.exchange(kRequest, 7), CWirrel::leOk);
        ASSERT_EQ(l.line.sent().size(), 2) << modeName(mode);
        EXPECT_EQ(l.line.sent()[1].atMs, sendAt + 3000);
        EXPECT_EQ(trace.lines.filter("Errore di timeout").size(), 1);
    }
}

TEST(Link, OpenPassesTheTableCodesToTheComponent) {
    const std::pair<qint32, qint32> bauds[] = {{2, 4800}, {3, 9600}, {4, 38400}, {5, 19200}};
    for (const auto& [index, baud] : bauds) {
        TraceCapture trace;
        ScriptedLink l;
        ASSERT_TRUE(l.link.OpenRs232(2, index, 0, 0));
        EXPECT_EQ(l.line.settings().baudRate, baud) << index;
        EXPECT_EQ(l.line.settings().dataBits, 8);
        EXPECT_EQ(l.line.settings().parity, Transport::Parity::None);
        EXPECT_EQ(l.line.settings().stopBits, Transport::StopBits::One);
        EXPECT_EQ(l.component.PortIndex(), 1);
        EXPECT_EQ(l.component.BaudRate(), CWirrel::kBaudTable[index]);
        qint32 b = -1, p = -1, s = -1;
        l.link.Settings(b, p, s);
        EXPECT_EQ(b, index);
        EXPECT_EQ(p, 0);
        EXPECT_EQ(s, 0);
        EXPECT_EQ(l.line.settings().baudRate, baud);
    }
}

TEST(Link, SettingsChangesTheOpenLine) {
    TraceCapture trace;
    ScriptedLink l;
    ASSERT_TRUE(l.open(3));
    qint32 b = 4, p = 1, s = 1;
    l.link.Settings(b, p, s);
    EXPECT_EQ(l.line.settings().baudRate, 38400);
    EXPECT_EQ(l.line.settings().parity, Transport::Parity::Even);
    EXPECT_EQ(l.line.settings().stopBits, Transport::StopBits::Two);
    qint32 bad = 7, keep = -1, keep2 = -1;
    EXPECT_THROW(l.link.Settings(bad, keep, keep2), IndexError);
    EXPECT_EQ(l.line.settings().baudRate, 38400);
}

TEST(Link, OpenFailureIsTracedAndExplained) {
    struct Case {
        Fault fault;
        QString text;
    };
    for (const auto& c :
         {Case{Fault::NotFound, "missing"}, Case{Fault::PermissionDenied, "denied"}}) {
        TraceCapture trace;
        ScriptedLink l;
        l.line.failOpenWith(c.fault, c.text);
        EXPECT_FALSE(l.link.OpenRs232(2, 3, 0, 0));
        EXPECT_EQ(
            trace.lines,
            QStringList{QString::fromUtf8("Porta COM2 già aperta o non presente sul sistema.")});
        EXPECT_EQ(l.link.OpenErrorText(), c.text);
    }
    // A bad table index is a component error too.
    TraceCapture trace;
    ScriptedLink l;
    EXPECT_FALSE(l.link.OpenRs232(1, 9, 0, 0));
    EXPECT_EQ(trace.lines.size(), 1);
    EXPECT_FALSE(l.component.PortOpen());
}

TEST(Link, OpeningTwiceFailsTheSecondTime) {
    TraceCapture trace;
    ScriptedLink l;
    ASSERT_TRUE(l.open());
    EXPECT_FALSE(l.open());
    EXPECT_TRUE(l.component.PortOpen());
    l.link.CloseRs232();
    EXPECT_FALSE(l.component.PortOpen());
    EXPECT_TRUE(l.open());
}

TEST(Link, TelephoneLinkFailsOnThisSystem) {
    TraceCapture trace;
    ScriptedLink l;
    EXPECT_FALSE(l.link.OpenTelephonComm("0123", true, "02", "39", "Home", "Modem"));
    EXPECT_EQ(trace.lines, QStringList{"Apertura comunicazione telefonica non riuscita."});
    EXPECT_FALSE(l.link.OpenErrorText().isEmpty());
    EXPECT_EQ(l.component.ConnectionType(), 1);
    EXPECT_EQ(l.component.PhoneNumber(), "0123");
}

TEST(Link, ControlLinesOnlyWhileOpen) {
    TraceCapture trace;
    ScriptedLink l;
    l.link.setDTR(true);
    EXPECT_FALSE(l.link.DTR());
    ASSERT_TRUE(l.open());
    l.link.setDTR(true);
    l.link.setRTS(false);
    EXPECT_TRUE(l.link.DTR());
    EXPECT_TRUE(l.line.dtr());
    EXPECT_FALSE(l.link.RTS());
}

TEST(Link, PropertiesPassThroughAndDefaults) {
    TraceCapture trace;
    ScriptedLink l;
    EXPECT_EQ(l.link.TimeOutRx(), 3000);
    EXPECT_EQ(l.rs232Manager->interval(), 200);
    EXPECT_EQ(l.link.MaxErrorTimeOut(), 3);
    EXPECT_EQ(l.link.CommMode(), 0);
    EXPECT_EQ(l.link.HandleWnd(), -1);
    l.link.setInBufferSize(2048);
    l.link.setOutBufferSize(128);
    EXPECT_EQ(l.component.InBufferSize(), 2048);
    EXPECT_EQ(l.link.OutBufferSize(), 128);
    l.link.setTimeOutRx(500);
    EXPECT_EQ(l.timeOut->interval(), 500);
}

TEST(Link, ModemEventsOnlyTrace) {
    TraceCapture trace;
    ScriptedLink l;
    emit l.component.ModemConnected();
    emit l.component.ModemDisconnected(0x1F);
    emit l.component.TelephonyError("busy");
    emit l.component.TelephonyStatus(0xA0);
    EXPECT_EQ(trace.lines, (QStringList{"Modem connected!!!!", "Modem disconnected!!!! Cause:&H1F",
                                        "Tapi error:busy", "Tapi status: &HA0"}));
}

TEST(Link, DestroyedDuringAnExchangeLeavesTheTimersQuiet) {
    TraceCapture trace;
    VirtualClock clock;
    ScriptedTransport line(clock);
    WirrelObj component(clock, line);
    auto timeOut = clock.createTimer();
    auto work = clock.createTimer();
    {
        CWirrel link(clock);
        link.Create(*timeOut, *work, component, -1);
        ASSERT_TRUE(link.OpenRs232(1, 3, 0, 0));
        line.push(ScriptedTransport::reply(kGood, 300));
        link.setFrameTx(kRequest);
        link.setByteToReceive(7);
        link.StartTxRx();
        clock.advanceBy(250);
    }
    EXPECT_FALSE(line.isOpen());
    clock.runUntilIdle();
    EXPECT_FALSE(timeOut->isEnabled());
    EXPECT_FALSE(work->isEnabled());
}

}  // namespace
