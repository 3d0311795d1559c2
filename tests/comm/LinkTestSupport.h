#pragma once

#include <QStringList>
#include <memory>

#include "ScriptedTransport.h"
#include "TraceCapture.h"
#include "base/CTraceCode.h"
#include "base/Clock.h"
#include "base/UserMessages.h"
#include "comm/CWirrel.h"
#include "comm/Frames.h"
#include "comm/WirrelObj.h"

namespace voltaris::test {

// A link as a window owns it: clock, two timers, the component on a scripted line, CWirrel.
struct ScriptedLink {
    VirtualClock clock;
    ScriptedTransport line{clock};
    WirrelObj component{clock, line};
    std::unique_ptr<Timer> timeOut = clock.createTimer();
    std::unique_ptr<Timer> rs232Manager = clock.createTimer();
    CWirrel link{clock};

    // Creates the link and, when `answerCrc`, answers VerifyCRC with VerifyFrameCRC.
    explicit ScriptedLink(bool answerCrc = true) {
        link.Create(*timeOut, *rs232Manager, component, -1);
        if (answerCrc)
            QObject::connect(&link, &CWirrel::VerifyCRC,
                             [](bool& ok, const QByteArray& frame) { ok = VerifyFrameCRC(frame); });
    }

    bool open(qint32 baudIndex = 3) { return link.OpenRs232(1, baudIndex, 0, 0); }

    // One exchange the way the windows run it; returns Error. `limitMs` of virtual time at
    // most (the test fails on hitting it).
    qint32 exchange(const QByteArray& request, qint16 replyLength, qint32 commMode = 1,
                    qint64 limitMs = 120000) {
        link.setCommMode(commMode);
        link.setFrameTx(request);
        link.setByteToReceive(replyLength);
        startedAt = clock.nowMs();
        link.StartTxRx();
        while (link.TxRxInProgress() && clock.nowMs() - startedAt <= limitMs)
            clock.yield();
        endedAt = clock.nowMs();
        return link.Error();
    }
    qint64 elapsed() const { return endedAt - startedAt; }

    qint64 startedAt = 0;
    qint64 endedAt = 0;
};

// The reply an instrument gives to a read of `words.size()` registers.
inline QByteArray ReadReply(quint8 address, const QList<qint16>& words) {
    QByteArray body;
    body.append(char(address));
    body.append(char(kFuncReadRegisters));
    body.append(char(words.size() * 2));
    for (qint16 w : words) {
        body.append(char((quint16(w) >> 8) & 0xFF));
        body.append(char(quint16(w) & 0xFF));
    }
    return AppendCRC(body);
}

// `frame` with its last CRC byte spoiled.
inline QByteArray SpoilCrc(QByteArray frame) {
    frame[frame.size() - 1] = char(frame[frame.size() - 1] ^ 0x5A);
    return frame;
}

}  // namespace voltaris::test
