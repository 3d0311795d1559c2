#include "CSystem.h"

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QThread>

namespace voltaris {

namespace {

QString readText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    // /proc files report size 0: read until the end instead of by size.
    return QString::fromUtf8(f.readAll());
}

// Value of "Key: value" in a /proc text (first occurrence, trimmed); empty when absent.
QString procField(const QString& text, QStringView key) {
    for (QStringView line : QStringView(text).split(u'\n')) {
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0 && line.left(colon).trimmed() == key)
            return line.mid(colon + 1).trimmed().toString();
    }
    return {};
}

// "16318712 kB" -> 16318712; -1 when the field is missing or not a number.
qint64 kbField(const QString& meminfo, QStringView key) {
    const QString value = procField(meminfo, key);
    if (value.isEmpty())
        return -1;
    bool ok = false;
    const qint64 n = value.section(u' ', 0, 0).toLongLong(&ok);
    return ok && n >= 0 ? n : -1;
}

QString osReleaseField(const QString& text, QStringView key) {
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0 || line.left(eq) != key)
            continue;
        QString value = line.mid(eq + 1).toString();
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        value.replace(QStringLiteral("\\\""), QStringLiteral("\""));
        return value;
    }
    return {};
}

// Leading decimal number of `s` from `pos` (advanced past it); 0 when there is none.
int leadingNumber(const QString& s, qsizetype& pos) {
    const qsizetype start = pos;
    while (pos < s.size() && s.at(pos).unicode() >= '0' && s.at(pos).unicode() <= '9')
        ++pos;
    return QStringView(s).mid(start, pos - start).toInt();
}

}  // namespace

SystemTexts SystemTexts::read() {
    SystemTexts t;
    t.meminfo = readText(QStringLiteral("/proc/meminfo"));
    t.cpuinfo = readText(QStringLiteral("/proc/cpuinfo"));
    t.osRelease = readText(QStringLiteral("/etc/os-release"));
    if (t.osRelease.isEmpty())
        t.osRelease = readText(QStringLiteral("/usr/lib/os-release"));
    struct utsname u {};
    if (uname(&u) == 0) {
        t.kernelName = QString::fromLocal8Bit(u.sysname);
        t.kernelRelease = QString::fromLocal8Bit(u.release);
        t.machine = QString::fromLocal8Bit(u.machine);
        t.hostName = QString::fromLocal8Bit(u.nodename);
    }
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name)
        t.userName = QString::fromLocal8Bit(pw->pw_name);
    if (t.userName.isEmpty())
        t.userName = qEnvironmentVariable("USER", qEnvironmentVariable("LOGNAME"));
    // The counterparts of the Windows folder and its system folder: the root of the
    // installed system, and the folder of the shared libraries (Qt's among them) that the
    // program loads, which is what an installer checks when a component is missing.
    t.systemRoot = QDir::rootPath();
    t.libraryDir = QLibraryInfo::path(QLibraryInfo::LibrariesPath);
    t.onlineProcessors = QThread::idealThreadCount();
    return t;
}

CSystem::CSystem() : CSystem(&SystemTexts::read) {}

CSystem::CSystem(const SystemTexts& fixed) : CSystem(Source([fixed] { return fixed; })) {}

CSystem::CSystem(Source source) : m_source(std::move(source)) {
    const SystemTexts t = m_source();
    qsizetype pos = 0;
    m_major = leadingNumber(t.kernelRelease, pos);
    if (pos < t.kernelRelease.size() && t.kernelRelease.at(pos) == u'.') {
        ++pos;
        m_minor = leadingNumber(t.kernelRelease, pos);
    }
    m_osName = osReleaseField(t.osRelease, u"PRETTY_NAME");
    if (m_osName.isEmpty()) {
        const QString kernel = t.kernelName.isEmpty() ? QStringLiteral("Linux") : t.kernelName;
        m_osName = (kernel + u' ' + t.kernelRelease).trimmed();
    }
}

// The original platform's "virtual memory" was the process address space, which means
// nothing on a 64-bit system. Here virtual memory is what the program can still be given:
// physical memory plus swap; the page file is the swap area.
CSystem::Memory CSystem::memoryOf(const QString& meminfo) {
    Memory m;
    const qint64 total = kbField(meminfo, u"MemTotal");
    qint64 available = kbField(meminfo, u"MemAvailable");
    if (available < 0)
        available = kbField(meminfo, u"MemFree");
    const qint64 swapTotal = kbField(meminfo, u"SwapTotal");
    const qint64 swapFree = kbField(meminfo, u"SwapFree");
    m.totalPhysical = qMax<qint64>(total, 0);
    m.freePhysical = qBound<qint64>(0, available, m.totalPhysical);
    m.totalPageFile = qMax<qint64>(swapTotal, 0);
    m.freePageFile = qBound<qint64>(0, swapFree, m.totalPageFile);
    m.totalVirtual = m.totalPhysical + m.totalPageFile;
    m.freeVirtual = m.freePhysical + m.freePageFile;
    if (m.totalPhysical > 0)
        m.load = int((m.totalPhysical - m.freePhysical) * 100 / m.totalPhysical);
    return m;
}

CSystem::Memory CSystem::memory() const {
    return memoryOf(m_source().meminfo);
}

qint64 CSystem::FreePhysicalMemory() const {
    return memory().freePhysical;
}
qint64 CSystem::TotalPhysicalMemory() const {
    return memory().totalPhysical;
}
qint64 CSystem::FreeVirtualMemory() const {
    return memory().freeVirtual;
}
qint64 CSystem::TotalVirtualMemory() const {
    return memory().totalVirtual;
}
qint64 CSystem::FreePageFile() const {
    return memory().freePageFile;
}
qint64 CSystem::TotalPageFile() const {
    return memory().totalPageFile;
}
int CSystem::MemoryLoad() const {
    return memory().load;
}

QString CSystem::Processor() const {
    const SystemTexts t = m_source();
    const QString model = procField(t.cpuinfo, u"model name");
    return model.isEmpty() ? t.machine : model;
}

QString CSystem::ProcessorCount() const {
    const SystemTexts t = m_source();
    int count = 0;
    for (QStringView line : QStringView(t.cpuinfo).split(u'\n')) {
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0 && line.left(colon).trimmed() == u"processor")
            ++count;
    }
    if (count == 0)
        count = qMax(t.onlineProcessors, 1);
    return QString::number(count);
}

QString CSystem::WindowsDir() const {
    return m_source().systemRoot;
}
QString CSystem::SystemDir() const {
    return m_source().libraryDir;
}
QString CSystem::User() const {
    return m_source().userName;
}
QString CSystem::Machine() const {
    return m_source().hostName;
}

QString CSystem::Report() const {
    const Memory m = memory();
    const QString crlf = QStringLiteral("\r\n");
    QString r;
    r += QStringLiteral("Memoria fisica libera: ") + QString::number(m.freePhysical) +
         QStringLiteral(" KB") + crlf;
    r += QStringLiteral("Memoria fisica disponibile: ") + QString::number(m.totalPhysical) +
         QStringLiteral(" KB") + crlf;
    r += QStringLiteral("Memoria virtuale libera: ") + QString::number(m.freeVirtual) +
         QStringLiteral(" KB") + crlf;
    r += QStringLiteral("Memoria virtuale disponibile: ") + QString::number(m.totalVirtual) +
         QStringLiteral(" KB") + crlf;
    r += QStringLiteral("Memoria caricata: ") + QString::number(m.load) + u'%' + crlf;
    r += QStringLiteral("Processore: ") + Processor() + crlf;
    r += QStringLiteral("Nome sistema operativo: ") + OSName() + crlf;
    r += QStringLiteral("Windows Version: ") + QString::number(WinMajor()) + u'.' +
         QString::number(WinMinor()) + crlf;
    r += QStringLiteral("Windows Directory: ") + WindowsDir() + crlf;
    r += QStringLiteral("System Directory: ") + SystemDir() + crlf;
    r += QStringLiteral("Nome utente: ") + User() + crlf;
    r += QStringLiteral("Nome macchina: ") + Machine() + crlf;
    return r;
}

}  // namespace voltaris
