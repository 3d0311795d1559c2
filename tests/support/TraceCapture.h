#pragma once

#include <QStringList>

#include "base/CTraceCode.h"
#include "base/UserMessages.h"

namespace voltaris::test {

// Sends g_Trace() lines into `lines` and message boxes into `messages` for one scope, with
// the trace in `mode` (everything, by default).
class TraceCapture {
public:
    explicit TraceCapture(CTraceCode::BugTraceModeEnum mode = CTraceCode::tmTraceAll);
    ~TraceCapture();
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    QStringList lines;
    RecordingMessages messages;

private:
    ScopedMessages m_scope;
    CTraceCode::BugModeEnum m_mode;
    CTraceCode::BugTraceModeEnum m_traceMode;
};

}  // namespace voltaris::test
