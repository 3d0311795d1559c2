#include "TraceCapture.h"

namespace voltaris::test {

TraceCapture::TraceCapture() : m_scope(&messages) {
    CTraceCode& t = g_Trace();
    m_mode = t.BugMode();
    m_traceMode = t.BugTraceMode();
    t.setBugMode(CTraceCode::bmTraceImmediate);
    t.setBugTraceMode(CTraceCode::tmTraceAll);
    t.setImmediateSink([this](const QString& line) { lines.append(line); });
}

TraceCapture::~TraceCapture() {
    CTraceCode& t = g_Trace();
    t.setImmediateSink([](const QString&) {});
    t.setBugMode(m_mode);
    t.setBugTraceMode(m_traceMode);
}

}  // namespace voltaris::test
