#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "base/CSystem.h"

namespace voltaris {

// The program's diagnostic log. Lines go to a text file (opened, appended and closed for
// every line, so the file is complete at any moment) or to the developer console.
class CTraceCode {
public:
    enum BugModeEnum : qint32 { bmTraceFile = 0, bmTraceImmediate = 1 };
    enum BugTraceModeEnum : qint32 { tmNoTrace = 0, tmTraceNormal = 1, tmTraceAll = 2 };
    enum BugFileCreateModeEnum : qint32 { fcmNew = 0, fcmAppend = 1 };

    using Clock = std::function<QDateTime()>;
    using Sink = std::function<void(const QString&)>;

    // Reads the system figures of this machine and uses the wall clock.
    CTraceCode();
    explicit CTraceCode(std::unique_ptr<CSystem> system, Clock clock = {});
    ~CTraceCode();
    CTraceCode(const CTraceCode&) = delete;
    CTraceCode& operator=(const CTraceCode&) = delete;

    // Looks for "/DEBUG" and "/DEBUG_ALL" anywhere in the trimmed line, ignoring case.
    // When found: fcmNew, bmTraceFile, tmTraceAll or tmTraceNormal, and true; else false.
    bool ProcessCommandLine(const QString& sCommandLine);

    BugFileCreateModeEnum BugFileCreateMode() const { return m_fileCreateMode; }
    void setBugFileCreateMode(BugFileCreateModeEnum mode) { m_fileCreateMode = mode; }
    // Until set: data folder (program folder when none is settled yet) + "/" + executable
    // name without extension + ".DBG", taken when asked.
    QString BugFileName() const;
    void setBugFileName(const QString& name) { m_fileName = name; }
    BugModeEnum BugMode() const { return m_mode; }
    void setBugMode(BugModeEnum mode) { m_mode = mode; }
    QString BugProgramVersion() const { return m_programVersion; }
    void setBugProgramVersion(const QString& text) { m_programVersion = text; }
    bool BugIdentifySystem() const { return m_identifySystem; }
    void setBugIdentifySystem(bool on) { m_identifySystem = on; }
    BugTraceModeEnum BugTraceMode() const { return m_traceMode; }
    void setBugTraceMode(BugTraceModeEnum mode) { m_traceMode = mode; }

    // Writes one line (text + CR LF, Latin-1) when tracing is on; a line that cannot be
    // written is dropped. In bmTraceImmediate the text goes to the console as it is.
    void BugMessage(const QString& sMessage);

    // Nothing when bExpression holds. Otherwise logs "g_Trace.BugAssert fallito: " + text,
    // shows the text in an error box when it is not empty, and throws AssertFailed(text)
    // so that the command in progress is abandoned; the caller's command loop catches it.
    void BugAssert(bool bExpression, const QString& sExpression);
    // The title of the box a failed BugAssert shows (and the prefix of its trace line).
    static QString AssertTitle();

    // Starts (again) writing; the first call writes the run header into a new file, or only
    // the header line when appending to an existing one.
    void BugStartTrace();
    void BugStopTrace() { m_started = false; }
    // Honoured only in tmTraceNormal.
    void BugTraceDisable() { m_enabled = false; }
    void BugTraceEnable() { m_enabled = true; }

    qint64 FreePhysicalMemory() const { return m_system->FreePhysicalMemory(); }
    qint64 FreeVirtualMemory() const { return m_system->FreeVirtualMemory(); }

    const CSystem& System() const { return *m_system; }
    void setClock(Clock clock);
    // Where bmTraceImmediate writes; standard error until set.
    void setImmediateSink(Sink sink);

private:
    bool writing() const;
    void writeLine(const QString& text);

    std::unique_ptr<CSystem> m_system;
    Clock m_clock;
    Sink m_sink;
    BugModeEnum m_mode = bmTraceImmediate;
    BugTraceModeEnum m_traceMode = tmNoTrace;
    QString m_fileName;
    BugFileCreateModeEnum m_fileCreateMode = fcmNew;
    bool m_identifySystem = true;
    QString m_programVersion;
    bool m_started = true;
    bool m_enabled = true;
    bool m_firstStartPending = true;
};

// The process-wide trace log, created on first use and alive until the process ends.
CTraceCode& g_Trace();

// Start-up preparation of the trace: version text = resources 301 + " " + 303, system
// report on, switches looked for in `arguments` (without the program name) joined by
// blanks; without a switch: fcmNew, tmTraceNormal, bmTraceFile. Then starts the trace.
void StartTrace(CTraceCode& trace, const QStringList& arguments);

}  // namespace voltaris
