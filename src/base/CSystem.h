#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

namespace voltaris {

// The raw texts the system figures come from. read() takes them from this machine; a test
// builds one by hand to get a known report.
struct SystemTexts {
    QString meminfo;           // contents of /proc/meminfo
    QString cpuinfo;           // contents of /proc/cpuinfo
    QString osRelease;         // contents of /etc/os-release
    QString kernelName;        // uname: sysname ("Linux")
    QString kernelRelease;     // uname: release ("6.1.0-18-amd64")
    QString machine;           // uname: machine ("x86_64")
    QString hostName;          // uname: nodename
    QString userName;          // the effective user's login name
    QString systemRoot;        // folder of the installed system
    QString libraryDir;        // folder of the system libraries the program loads
    int onlineProcessors = 0;  // used when cpuinfo lists no processor entries

    static SystemTexts read();
};

// System figures for the trace log's system report and free-memory queries. The version
// data (WinMajor, WinMinor, OSName) is taken once at creation; everything else is read
// from the source each time it is asked. Memory figures are whole KB.
class CSystem {
public:
    using Source = std::function<SystemTexts()>;

    CSystem();  // reads this machine
    explicit CSystem(Source source);
    explicit CSystem(const SystemTexts& fixed);  // the same texts every time

    // Neither family of the original platform; kept so callers can ask.
    bool IsWindows9x() const { return false; }
    bool IsWindowsNT() const { return false; }

    qint64 FreePhysicalMemory() const;
    qint64 TotalPhysicalMemory() const;
    qint64 FreeVirtualMemory() const;
    qint64 TotalVirtualMemory() const;
    qint64 FreePageFile() const;
    qint64 TotalPageFile() const;
    // Percentage of physical memory in use, 0..100.
    int MemoryLoad() const;

    // Kernel release numbers ("6.1.0-18-amd64" gives 6 and 1).
    int WinMajor() const { return m_major; }
    int WinMinor() const { return m_minor; }
    // PRETTY_NAME of os-release, else kernel name + " " + release.
    QString OSName() const { return m_osName; }
    // "model name" of cpuinfo, else the uname machine.
    QString Processor() const;
    QString ProcessorCount() const;
    QString WindowsDir() const;
    QString SystemDir() const;
    QString User() const;
    QString Machine() const;

    // The twelve-line report of the trace log's header, each line ended by CR LF.
    QString Report() const;

private:
    struct Memory {
        qint64 freePhysical = 0, totalPhysical = 0;
        qint64 freeVirtual = 0, totalVirtual = 0;
        qint64 freePageFile = 0, totalPageFile = 0;
        int load = 0;
    };
    static Memory memoryOf(const QString& meminfo);
    Memory memory() const;

    Source m_source;
    int m_major = 0;
    int m_minor = 0;
    QString m_osName;
};

}  // namespace voltaris
