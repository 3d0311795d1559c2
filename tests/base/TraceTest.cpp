#include <gtest/gtest.h>

#include <QFile>

#include "TestSupport.h"
#include "base/CSystem.h"
#include "base/CTraceCode.h"
#include "base/Components.h"
#include "base/DataFolder.h"
#include "base/Errors.h"
#include "base/UserMessages.h"

using namespace voltaris;

namespace {

SystemTexts fixtureSystem() {
    SystemTexts t;
    t.meminfo = QString::fromLatin1(test::readFile(test::dataPath("base/meminfo.txt")));
    t.cpuinfo = QString::fromLatin1(test::readFile(test::dataPath("base/cpuinfo.txt")));
    t.osRelease = QString::fromLatin1(test::readFile(test::dataPath("base/os-release.txt")));
    t.kernelName = "Linux";
    t.kernelRelease = "6.1.0-18-amd64";
    t.machine = "x86_64";
    t.hostName = "bench-pc";
    t.userName = "installer";
    t.systemRoot = "/";
    t.libraryDir = "/usr/lib/x86_64-linux-gnu";
    t.onlineProcessors = 8;
    return t;
}

// For the tests that compare against fixture figures.
void requireFixtures() {
    ASSERT_TRUE(QFile::exists(test::dataPath("base/meminfo.txt")))
        << "fixtures not found; VOLTARIS_TEST_DATA is not set for this test";
}

QDateTime at(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

std::unique_ptr<CTraceCode> makeTrace(const QString& file,
                                      QDateTime when = at(2005, 12, 9, 14, 3, 22)) {
    auto trace = std::make_unique<CTraceCode>(std::make_unique<CSystem>(fixtureSystem()),
                                              [when] { return when; });
    trace->setBugFileName(file);
    return trace;
}

// A trace in the mode start-up gives it without switches.
std::unique_ptr<CTraceCode> fileTrace(
    const QString& file, CTraceCode::BugTraceModeEnum mode = CTraceCode::tmTraceNormal) {
    auto trace = makeTrace(file);
    trace->setBugMode(CTraceCode::bmTraceFile);
    trace->setBugTraceMode(mode);
    trace->setBugIdentifySystem(false);
    return trace;
}

}  // namespace

TEST(TraceCode, InitialValues) {
    auto trace = makeTrace("x.DBG");
    EXPECT_EQ(trace->BugMode(), CTraceCode::bmTraceImmediate);
    EXPECT_EQ(trace->BugTraceMode(), CTraceCode::tmNoTrace);
    EXPECT_EQ(trace->BugFileCreateMode(), CTraceCode::fcmNew);
    EXPECT_TRUE(trace->BugIdentifySystem());
    EXPECT_TRUE(trace->BugProgramVersion().isEmpty());
}

TEST(TraceCode, DefaultFileIsInTheDataFolder) {
    test::TempDir dir;
    DataFolder::set(dir.path());
    CTraceCode trace(std::make_unique<CSystem>(fixtureSystem()));
    EXPECT_TRUE(trace.BugFileName().startsWith(dir.path() + "/"));
    EXPECT_TRUE(trace.BugFileName().endsWith(".DBG"));
    trace.setBugFileName(dir.file("other.DBG"));
    EXPECT_EQ(trace.BugFileName(), dir.file("other.DBG"));
    DataFolder::set({});
}

TEST(TraceCode, ProcessCommandLine) {
    struct Case {
        const char* line;
        bool found;
        CTraceCode::BugTraceModeEnum mode;
    };
    const Case cases[] = {
        {"  /debug_all  ", true, CTraceCode::tmTraceAll},
        {"/DEBUG", true, CTraceCode::tmTraceNormal},
        {"xx/DeBuGyy", true, CTraceCode::tmTraceNormal},
        {"-a /debug_al", true, CTraceCode::tmTraceNormal},
        {"file.zla /DEBUG_ALL", true, CTraceCode::tmTraceAll},
        {"", false, CTraceCode::tmNoTrace},
        {"    ", false, CTraceCode::tmNoTrace},
        {"/DEBU G", false, CTraceCode::tmNoTrace},
        {"--home /tmp/x", false, CTraceCode::tmNoTrace},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        auto trace = makeTrace("x.DBG");
        trace->setBugFileCreateMode(CTraceCode::fcmAppend);
        EXPECT_EQ(trace->ProcessCommandLine(c.line), c.found);
        EXPECT_EQ(trace->BugTraceMode(), c.mode);
        EXPECT_EQ(trace->BugMode(),
                  c.found ? CTraceCode::bmTraceFile : CTraceCode::bmTraceImmediate);
        EXPECT_EQ(trace->BugFileCreateMode(), c.found ? CTraceCode::fcmNew : CTraceCode::fcmAppend);
    }
}

TEST(TraceCode, StartTraceWritesHeaderSystemReportAndVersion) {
    requireFixtures();
    test::TempDir dir;
    const QString file = dir.file("Voltaris.DBG");
    test::writeFile(file, "left over from the last run\r\n");
    auto trace = makeTrace(file);
    StartTrace(*trace, {});
    EXPECT_EQ(trace->BugMode(), CTraceCode::bmTraceFile);
    EXPECT_EQ(trace->BugTraceMode(), CTraceCode::tmTraceNormal);
    EXPECT_EQ(test::readFile(file), test::readFile(test::dataPath("base/new_run.DBG")));
}

TEST(TraceCode, StartTraceHonoursTheSwitches) {
    test::TempDir dir;
    auto trace = makeTrace(dir.file("t.DBG"));
    StartTrace(*trace, {"--home", dir.path(), "/Debug_All"});
    EXPECT_EQ(trace->BugTraceMode(), CTraceCode::tmTraceAll);
    EXPECT_EQ(trace->BugMode(), CTraceCode::bmTraceFile);
    EXPECT_TRUE(test::readFile(dir.file("t.DBG")).startsWith("Effettuata nuova esecuzione: "));
}

TEST(TraceCode, SecondRunReplacesTheFile) {
    test::TempDir dir;
    const QString file = dir.file("t.DBG");
    {
        auto first = makeTrace(file);
        StartTrace(*first, {});
        first->BugMessage("first run line");
    }
    auto second = makeTrace(file, at(2006, 1, 2, 3, 4, 5));
    StartTrace(*second, {});
    const QByteArray log = test::readFile(file);
    EXPECT_TRUE(log.startsWith("Effettuata nuova esecuzione: 02-01-06 03:04:05\r\n"));
    EXPECT_FALSE(log.contains("first run line"));
    EXPECT_FALSE(log.contains("09-12-05"));
}

TEST(TraceCode, AppendModeWritesOnlyTheHeaderLine) {
    test::TempDir dir;
    const QString file = dir.file("t.DBG");
    test::writeFile(file, "earlier\r\n");
    auto trace = fileTrace(file);
    trace->setBugIdentifySystem(true);
    trace->setBugProgramVersion("Voltaris Version 1.107.1");
    trace->setBugFileCreateMode(CTraceCode::fcmAppend);
    trace->BugStartTrace();
    EXPECT_EQ(test::readFile(file),
              "earlier\r\nEffettuata nuova esecuzione: 09-12-05 14:03:22\r\n");
}

TEST(TraceCode, AppendModeWithoutAFileWritesTheWholeHeader) {
    test::TempDir dir;
    const QString file = dir.file("t.DBG");
    auto trace = fileTrace(file);
    trace->setBugProgramVersion("V");
    trace->setBugFileCreateMode(CTraceCode::fcmAppend);
    trace->BugStartTrace();
    EXPECT_EQ(test::readFile(file), "Effettuata nuova esecuzione: 09-12-05 14:03:22\r\nV\r\n");
}

TEST(TraceCode, NoHeaderWithoutTraceOrInImmediateMode) {
    test::TempDir dir;
    auto quiet = makeTrace(dir.file("quiet.DBG"));
    quiet->setBugMode(CTraceCode::bmTraceFile);
    quiet->BugStartTrace();
    quiet->BugMessage("not written");
    EXPECT_FALSE(QFile::exists(dir.file("quiet.DBG")));

    QStringList console;
    auto immediate = makeTrace(dir.file("console.DBG"));
    immediate->setBugTraceMode(CTraceCode::tmTraceNormal);
    immediate->setImmediateSink([&](const QString& s) { console << s; });
    immediate->BugStartTrace();
    immediate->BugMessage("to the console");
    EXPECT_EQ(console, QStringList{"to the console"});
    EXPECT_FALSE(QFile::exists(dir.file("console.DBG")));
}

TEST(TraceCode, StopAndStartAgainWritesNoSecondHeader) {
    test::TempDir dir;
    const QString file = dir.file("t.DBG");
    auto trace = fileTrace(file);
    trace->BugStartTrace();
    trace->BugMessage("one");
    trace->BugStopTrace();
    trace->BugMessage("lost");
    trace->BugStartTrace();
    trace->BugMessage("two");
    EXPECT_EQ(test::readFile(file),
              "Effettuata nuova esecuzione: 09-12-05 14:03:22\r\none\r\ntwo\r\n");
}

TEST(TraceCode, DisabledLinesOnlyInTraceAll) {
    for (auto mode : {CTraceCode::tmTraceNormal, CTraceCode::tmTraceAll}) {
        SCOPED_TRACE(int(mode));
        test::TempDir dir;
        const QString file = dir.file("t.DBG");
        auto trace = fileTrace(file, mode);
        trace->BugMessage("before");
        trace->BugTraceDisable();
        trace->BugMessage("link status");
        trace->BugTraceEnable();
        trace->BugMessage("after");
        EXPECT_EQ(test::readFile(file), mode == CTraceCode::tmTraceAll
                                            ? "before\r\nlink status\r\nafter\r\n"
                                            : "before\r\nafter\r\n");
    }
}

TEST(TraceCode, LinesAreLatin1) {
    test::TempDir dir;
    const QString file = dir.file("t.DBG");
    auto trace = fileTrace(file);
    trace->BugMessage(QString::fromUtf8("Città \u20ac"));
    EXPECT_EQ(test::readFile(file), QByteArray("Citt\xe0 ?\r\n"));
}

TEST(TraceCode, UnwritableFileDropsLines) {
    test::TempDir dir;
    const QString file = dir.file("missing/folder/t.DBG");
    auto trace = fileTrace(file);
    trace->setBugIdentifySystem(true);
    EXPECT_NO_THROW(trace->BugStartTrace());
    EXPECT_NO_THROW(trace->BugMessage("dropped"));
    EXPECT_FALSE(QFile::exists(file));
    trace->setBugFileName(dir.file("t.DBG"));
    trace->BugMessage("written");
    EXPECT_EQ(test::readFile(dir.file("t.DBG")), "written\r\n");
}

TEST(TraceCode, BugAssert) {
    test::TempDir dir;
    const QString file = dir.file("t.DBG");
    auto trace = fileTrace(file);
    RecordingMessages messages;
    ScopedMessages scope(&messages);

    EXPECT_NO_THROW(trace->BugAssert(true, "holds"));
    EXPECT_TRUE(messages.entries().isEmpty());
    EXPECT_FALSE(QFile::exists(file));

    EXPECT_THROW(trace->BugAssert(false, ""), AssertFailed);
    EXPECT_TRUE(messages.entries().isEmpty());
    EXPECT_EQ(test::readFile(file), "g_Trace.BugAssert fallito: \r\n");

    const QString text = "Record non trovato con il criterio:IDProgramma=7 nella tabella CAlarm1";
    try {
        trace->BugAssert(false, text);
        ADD_FAILURE() << "no exception";
    } catch (const AssertFailed& e) {
        EXPECT_EQ(e.message(), text);
    }
    ASSERT_EQ(messages.entries().size(), 1);
    EXPECT_EQ(messages.entries()[0].icon, UserMessages::Icon::Error);
    EXPECT_EQ(messages.entries()[0].title, "g_Trace.BugAssert fallito: ");
    EXPECT_EQ(messages.entries()[0].text, text);
    EXPECT_TRUE(
        test::readFile(file).endsWith(("g_Trace.BugAssert fallito: " + text + "\r\n").toLatin1()));
}

TEST(TraceCode, GlobalInstanceIsOne) {
    EXPECT_EQ(&g_Trace(), &g_Trace());
}

TEST(System, FiguresFromTheSources) {
    requireFixtures();
    const CSystem sys(fixtureSystem());
    EXPECT_EQ(sys.FreePhysicalMemory(), 6000000);
    EXPECT_EQ(sys.TotalPhysicalMemory(), 8000000);
    EXPECT_EQ(sys.FreePageFile(), 1500000);
    EXPECT_EQ(sys.TotalPageFile(), 2000000);
    EXPECT_EQ(sys.FreeVirtualMemory(), 7500000);
    EXPECT_EQ(sys.TotalVirtualMemory(), 10000000);
    EXPECT_EQ(sys.MemoryLoad(), 25);
    EXPECT_EQ(sys.ProcessorCount(), "2");
    EXPECT_EQ(sys.WinMajor(), 6);
    EXPECT_EQ(sys.WinMinor(), 1);
}

TEST(System, FallbacksForSparseSources) {
    SystemTexts t;
    t.meminfo = "MemTotal: 1000 kB\nMemFree: 250 kB\n";
    t.cpuinfo = "processor : 0\nHardware : BCM2835\n";
    t.kernelName = "Linux";
    t.kernelRelease = "5.10";
    t.machine = "armv7l";
    t.onlineProcessors = 4;
    const CSystem sys([t] { return t; });
    EXPECT_EQ(sys.FreePhysicalMemory(), 250);
    EXPECT_EQ(sys.MemoryLoad(), 75);
    EXPECT_EQ(sys.TotalPageFile(), 0);
    EXPECT_EQ(sys.FreeVirtualMemory(), 250);
    EXPECT_EQ(sys.Processor(), "armv7l");
    EXPECT_EQ(sys.ProcessorCount(), "1");
    EXPECT_EQ(sys.OSName(), "Linux 5.10");
    EXPECT_EQ(sys.WinMajor(), 5);
    EXPECT_EQ(sys.WinMinor(), 10);

    const CSystem empty([] { return SystemTexts{}; });
    EXPECT_EQ(empty.MemoryLoad(), 0);
    EXPECT_EQ(empty.ProcessorCount(), "1");
    EXPECT_EQ(empty.Report().count("\r\n"), 12);
}

TEST(System, ThisMachineGivesAPlausibleReport) {
    const CSystem sys;
    EXPECT_GT(sys.TotalPhysicalMemory(), 0);
    EXPECT_LE(sys.FreePhysicalMemory(), sys.TotalPhysicalMemory());
    EXPECT_GE(sys.MemoryLoad(), 0);
    EXPECT_LE(sys.MemoryLoad(), 100);
    EXPECT_FALSE(sys.Processor().isEmpty());
    EXPECT_FALSE(sys.OSName().isEmpty());
    EXPECT_EQ(sys.Report().count("\r\n"), 12);
}

TEST(Components, MissingOnesAreTraced) {
    test::TempDir dir;
    const QString file = dir.file("t.DBG");
    auto trace = fileTrace(file);
    CheckComponents({{"present.so (here).", [] { return true; }},
                     {"absent.so (not here).", [] { return false; }}},
                    *trace);
    EXPECT_EQ(test::readFile(file),
              "Non trovata la registrazione del componente absent.so (not here).\r\n");
}

