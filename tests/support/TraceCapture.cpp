#include "TraceCapture.h"

namespace voltaris::test {

TraceCapture::TraceCapture(CTraceCode::BugTraceModeEnum mode) : m_scope(&messages) {
    CTraceCode& t = g_Trace();
    m_mode = t.BugMode();
    m_traceMode = t.BugTraceMode();
    t.setBugMode(CTraceCode::bmTraceImmediate);
    t.setBugTraceMode(mode);
    t.setImmediateSink([this](const QString& line) { lines.append(line); });
}

TraceCapture::~TraceCapture() {
    CTraceCode& t = g_Trace();
    t.setImmediateSink([](const QString&) {});
    t.setBugMode(m_mode);
    t.setBugTraceMode(m_traceMode);
    t.BugTraceEnable();  // a test may have switched the trace off
}

}  // namespace voltaris::test
