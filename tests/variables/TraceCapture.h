#pragma once

#include <QStringList>

#include "base/CTraceCode.h"
#include "base/UserMessages.h"

namespace test {

// Sends g_Trace() lines into `lines` and message boxes into `messages` for one test.
class TraceCapture {
public:
    TraceCapture() : m_scope(&messages) {
        auto& t = voltaris::g_Trace();
        m_mode = t.BugMode();
        m_traceMode = t.BugTraceMode();
        t.setBugMode(voltaris::CTraceCode::bmTraceImmediate);
        t.setBugTraceMode(voltaris::CTraceCode::tmTraceAll);
        t.setImmediateSink([this](const QString& line) { lines.append(line); });
    }
    ~TraceCapture() {
        auto& t = voltaris::g_Trace();
        t.setImmediateSink([](const QString&) {});
        t.setBugMode(m_mode);
        t.setBugTraceMode(m_traceMode);
    }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    QStringList lines;
    voltaris::RecordingMessages messages;

private:
    voltaris::ScopedMessages m_scope;
    voltaris::CTraceCode::BugModeEnum m_mode;
    voltaris::CTraceCode::BugTraceModeEnum m_traceMode;
};

}  // namespace test
