#include "CTraceCode.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "base/DataFolder.h"
#include "base/Errors.h"
#include "base/ResString.h"
#include "base/UserMessages.h"

namespace voltaris {

namespace {

const QString kAssertText = QStringLiteral("g_Trace.BugAssert fallito: ");

void writeToStderr(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

}  // namespace

CTraceCode::CTraceCode() : CTraceCode(std::make_unique<CSystem>()) {}

CTraceCode::CTraceCode(std::unique_ptr<CSystem> system, Clock clock) : m_system(std::move(system)) {
    setClock(std::move(clock));
    setImmediateSink({});
}

CTraceCode::~CTraceCode() = default;

void CTraceCode::setClock(Clock clock) {
    m_clock = clock ? std::move(clock) : Clock(&QDateTime::currentDateTime);
}

void CTraceCode::setImmediateSink(Sink sink) {
    m_sink = sink ? std::move(sink) : Sink(&writeToStderr);
}

bool CTraceCode::ProcessCommandLine(const QString& sCommandLine) {
    const QString line = sCommandLine.trimmed().toUpper();
    if (line.isEmpty() || !line.contains(QStringLiteral("/DEBUG")))
        return false;
    m_fileCreateMode = fcmNew;
    m_mode = bmTraceFile;
    m_traceMode = line.contains(QStringLiteral("/DEBUG_ALL")) ? tmTraceAll : tmTraceNormal;
    return true;
}

QString CTraceCode::BugFileName() const {
    if (!m_fileName.isEmpty())
        return m_fileName;
    const bool app = QCoreApplication::instance() != nullptr;
    QString dir = DataFolder::path();
    if (dir.isEmpty())
        dir = app ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    QString name =
        app ? QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() : QString();
    if (name.isEmpty())
        name = QCoreApplication::applicationName();
    if (name.isEmpty())
        name = QStringLiteral("Voltaris");
    return dir + u'/' + name + QStringLiteral(".DBG");
}

bool CTraceCode::writing() const {
    return m_traceMode != tmNoTrace && m_started && (m_traceMode == tmTraceAll || m_enabled);
}

void CTraceCode::writeLine(const QString& text) {
    QFile f(BugFileName());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    // The log is 8-bit text; characters outside Latin-1 become '?'.
    f.write(text.toLatin1() + "\r\n");
    f.close();
}

void CTraceCode::BugMessage(const QString& sMessage) {
    if (!writing())
        return;
    if (m_mode == bmTraceFile)
        writeLine(sMessage);
    else
        m_sink(sMessage);
}

void CTraceCode::BugAssert(bool bExpression, const QString& sExpression) {
    if (bExpression)
        return;
    BugMessage(kAssertText + sExpression);
    if (!sExpression.isEmpty())
        UserMessages::current().show(UserMessages::Icon::Error, kAssertText, sExpression);
    throw AssertFailed(sExpression);
}

QString CTraceCode::AssertTitle() {
    return kAssertText;
}

void CTraceCode::BugStartTrace() {
    m_started = true;
    if (!m_firstStartPending)
        return;
    m_firstStartPending = false;
    if (m_traceMode == tmNoTrace || m_mode == bmTraceImmediate)
        return;

    const QDateTime now = m_clock();
    const QString header = QStringLiteral("Effettuata nuova esecuzione: ") +
                           now.toString(QStringLiteral("dd-MM-yy ")) +
                           now.toString(QStringLiteral("hh:mm:ss"));
    QFile file(BugFileName());
    const bool exists = file.open(QIODevice::ReadOnly);
    file.close();
    if (exists && m_fileCreateMode == fcmAppend) {
        BugMessage(header);
        return;
    }
    // A file that cannot be created is left alone; the lines below are then dropped.
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.close();
    BugMessage(header);
    if (m_identifySystem)
        BugMessage(m_system->Report());
    if (!m_programVersion.isEmpty())
        BugMessage(m_programVersion);
}

CTraceCode& g_Trace() {
    static CTraceCode trace;
    return trace;
}

void StartTrace(CTraceCode& trace, const QStringList& arguments) {
    trace.setBugProgramVersion(ResString(301) + u' ' + ResString(303));
    trace.setBugIdentifySystem(true);
    if (!trace.ProcessCommandLine(arguments.join(u' '))) {
        trace.setBugFileCreateMode(CTraceCode::fcmNew);
        trace.setBugTraceMode(CTraceCode::tmTraceNormal);
        trace.setBugMode(CTraceCode::bmTraceFile);
    }
    trace.BugStartTrace();
}

}  // namespace voltaris
