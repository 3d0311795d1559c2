// The LINK options and the instrument commands, the latter end to end against voltaris-sim on
// a pseudo-terminal in real time.

#include <gtest/gtest.h>

#include <signal.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <optional>

#include "CliTestSupport.h"
#include "TestSupport.h"
#include "base/Clock.h"
#include "base/ResString.h"
#include "base/SettingsStore.h"
#include "cli/Cli.h"
#include "cli/InstrumentSession.h"
#include "cli/LinkOptions.h"
#include "comm/CWirrel.h"
#include "comm/Ports.h"
#include "sim/SimProcess.h"

using namespace voltaris;
using namespace voltaris::cli;

namespace {

using Result = test::CliRun;

// The settings store in a temporary file for one test.
class LinkFixture : public testing::Test {
protected:
    void SetUp() override { settings.emplace(dir.file("Voltaris.ini")); }
    void TearDown() override { settings.reset(); }
    static LinkOptions parse(const QStringList& args) {
        return LinkOptions::parse(
            ArgList(args, LinkOptions::flagNames(), LinkOptions::valuedNames()),
            LinkUse::EveryInstrument);
    }
    test::TempDir dir;
    std::optional<test::ScopedSettingsFile> settings;
};

struct ApplyCase {
    QStringList args;
    qint16 storedInterface;
    qint16 interfaceType, modeConfig, selNetworkAdd, networkAdd, total;
    QString portName;
};

TEST_F(LinkFixture, OptionsGoOverTheStoredRecords) {
    const ApplyCase cases[] = {
        {{"--interface", "aux"}, 1, 0, 0, 0, 1, 255, ""},
        {{"--address", "12"}, 1, 1, 0, 1, 12, 255, ""},
        {{"--auto"}, 1, 1, 0, 0, 1, 255, ""},
        {{"--interface", "network", "--all", "3"}, 0, 2, 1, 0, 1, 3, ""},
        // A network reaches one instrument only through a manual address.
        {{"--interface", "network"}, 1, 2, 0, 1, 1, 255, ""},
        {{"--port", "com3"}, 1, 1, 0, 0, 1, 255, ""},
        {{"--port", "/dev/pts/9"}, 1, 1, 0, 0, 1, 255, "/dev/pts/9"},
        {{"--port", "tcp://10.0.0.7:502"}, 1, 1, 0, 0, 1, 255, "tcp://10.0.0.7:502"},
    };
    for (const ApplyCase& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        SettingsStore().setValue("CCommConfig", "m_InterfaceType",
                                 QString::number(c.storedInterface));
        const LinkSettings s = ResolveLinkSettings(parse(c.args));
        EXPECT_EQ(s.comm.InterfaceType(), c.interfaceType);
        EXPECT_EQ(s.network.ModeConfig(), c.modeConfig);
        EXPECT_EQ(s.network.SelNetworkAdd(), c.selNetworkAdd);
        EXPECT_EQ(s.network.NetworkAdd(), c.networkAdd);
        EXPECT_EQ(s.network.TotalInstrNetwork(), c.total);
        EXPECT_EQ(s.network.InterfaceType(), c.interfaceType);
        EXPECT_EQ(s.portName, c.portName);
    }
    EXPECT_EQ(ResolveLinkSettings(parse({"--port", "COM3"})).comm.ComPort(), 2);
}

TEST_F(LinkFixture, BadValuesAndCombinationsAreRefused) {
    const QStringList bad[] = {
        {"--address", "0"},
        {"--address", "256"},
        {"--address", "x"},
        {"--all", "0"},
        {"--interface", "bus"},
        {"--address", "3", "--auto"},
        {"--all", "3", "--address", "2"},
        {"--port", ""},
        {"--fast", "--classic"},
        {"--classic", "--adaptive"},
    };
    for (const QStringList& args : bad) {
        SCOPED_TRACE(args.join(' ').toStdString());
        EXPECT_THROW(parse(args), UsageError);
    }
    const QStringList refused[] = {
        {"--interface", "single", "--all", "3"},
        {"--interface", "network", "--auto"},
        {"--interface", "aux", "--address", "4"},
    };
    for (const QStringList& args : refused) {
        SCOPED_TRACE(args.join(' ').toStdString());
        EXPECT_THROW(ResolveLinkSettings(parse(args)), UsageError);
    }
}

TEST_F(LinkFixture, SaveStoresWhatWasGivenAndNothingElseDoes) {
    ResolveLinkSettings(parse({"--interface", "network", "--all", "7", "--port", "COM4"}));
    EXPECT_EQ(ResolveLinkSettings(parse({})).comm.InterfaceType(), 0) << "stored without --save";
    ResolveLinkSettings(
        parse({"--interface", "network", "--all", "7", "--port", "COM4", "--save"}));
    const LinkSettings s = ResolveLinkSettings(parse({}));
    EXPECT_EQ(s.comm.InterfaceType(), 2);
    EXPECT_EQ(s.comm.ComPort(), 3);
    EXPECT_EQ(s.network.ModeConfig(), 1);
    EXPECT_EQ(s.network.TotalInstrNetwork(), 7);
}

// A device path or tcp:// address saved with --save is what the next command opens: it
// becomes the device of the record's COM port.
TEST_F(LinkFixture, SaveRemembersTheGivenPortAsGiven) {
    for (const QString port : {"/dev/pts/0", "tcp://10.0.0.7:502"}) {
        SCOPED_TRACE(port.toStdString());
        ResolveLinkSettings(parse({"--port", port, "--interface", "single", "--save"}));
        const LinkSettings next = ResolveLinkSettings(parse({}));
        EXPECT_EQ(ResolvePortName(next.effectivePort()), port);
        EXPECT_EQ(PortNameForIndex(next.comm.ComPort()), port);
    }
    // Without --save the stored device stays.
    ResolveLinkSettings(parse({"--port", "/dev/pts/7"}));
    EXPECT_EQ(ResolvePortName(ResolveLinkSettings(parse({})).effectivePort()),
              "tcp://10.0.0.7:502");
}

TEST_F(LinkFixture, LinkModeFromTheOptionOrTheSetting) {
    const struct {
        LinkMode stored;
        QStringList args;
        LinkMode mode;
        LinkMode storedAfter;
    } cases[] = {
        {LinkMode::Adaptive, {}, LinkMode::Adaptive, LinkMode::Adaptive},
        {LinkMode::Fast, {}, LinkMode::Fast, LinkMode::Fast},
        {LinkMode::Classic, {}, LinkMode::Classic, LinkMode::Classic},
        {LinkMode::Classic, {"--fast"}, LinkMode::Fast, LinkMode::Classic},
        {LinkMode::Fast, {"--adaptive"}, LinkMode::Adaptive, LinkMode::Fast},
        {LinkMode::Adaptive, {"--classic", "--save"}, LinkMode::Classic, LinkMode::Classic},
        {LinkMode::Fast, {"--adaptive", "--save"}, LinkMode::Adaptive, LinkMode::Adaptive},
        {LinkMode::Fast, {"--save"}, LinkMode::Fast, LinkMode::Fast},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        SetLinkModeSetting(c.stored);
        const LinkSettings s = ResolveLinkSettings(parse(c.args));
        EXPECT_EQ(s.mode, c.mode);
        EXPECT_EQ(LinkModeSetting(), c.storedAfter);
        CWirrel link(Clock::real());
        ConfigureLink(link, s);
        EXPECT_EQ(link.linkMode(), c.mode);
    }
}

// A closed terminal (SIGHUP) and a kill (SIGTERM) cancel as Ctrl-C does; the handlers
// that were there come back afterwards.
TEST(InterruptWatch, CtrlCTerminateAndHangUpCancel) {
    test::EnsureCoreApp();
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(sig);
        struct sigaction before {};
        sigaction(sig, nullptr, &before);
        int calls = 0;
        {
            InterruptWatch watch([&] { ++calls; });
            ::raise(sig);
            QElapsedTimer waited;
            waited.start();
            while (!watch.interrupted() && waited.elapsed() < 2000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            EXPECT_TRUE(watch.interrupted());
        }
        EXPECT_EQ(calls, 1);
        struct sigaction after {};
        sigaction(sig, nullptr, &after);
        EXPECT_EQ(after.sa_handler, before.sa_handler);
    }
}

// voltaris-sim built beside the tests; path() is the pseudo-terminal it serves.
class SimProcess : public voltaris::SimProcess {
public:
    explicit SimProcess(const QStringList& args)
        : voltaris::SimProcess(QStringLiteral(VOLTARIS_SIM_EXE), args) {}
    QString path() const { return firstLine(); }
};

class InstrumentCommands : public LinkFixture {
protected:
    void SetUp() override {
        LinkFixture::SetUp();
        test::EnsureCoreApp();
    }
    Result cli(const QStringList& args) { return test::RunCliIn(home.path(), args); }
    QString createDemo() {
        const Result r =
            cli({"create", "--json",
                 QStringLiteral(VOLTARIS_SOURCE_DIR "/resources/demo-configuration.json")});
        EXPECT_EQ(r.status, kDone) << r.err.toStdString();
        return r.out.trimmed();
    }
    test::TempDir home;
};

TEST_F(InstrumentCommands, UsageErrorsAndUnknownIds) {
    EXPECT_EQ(cli({"reset", "everything"}).status, kBadUsage);
    EXPECT_EQ(cli({"reset"}).status, kBadUsage);
    EXPECT_EQ(cli({"transmit"}).status, kBadUsage);
    EXPECT_EQ(cli({"read", "--interface", "network", "--auto"}).status, kBadUsage);
    const Result r = cli({"transmit", "99", "--port", home.file("none")});
    EXPECT_EQ(r.status, kFailed);
    EXPECT_TRUE(r.err.contains("99"));
}

// The LINK options follow one rule whatever the command: read and live reach one
// instrument (no --all), --keep-going is for transmit and reset over a whole network, a port
// is COM1..COM4, a path or tcp://HOST:PORT. Usage errors exit 2 before any port is opened;
// the rest reach the missing port and exit 1 (or 0 for a dry run).
TEST_F(InstrumentCommands, LinkOptionsFollowOneRuleForEveryCommand) {
    const QString id = createDemo();
    const QString none = home.file("no-such-tty");
    const QStringList network4{"--interface", "network", "--all", "4"};
    const struct {
        QStringList command;
        QStringList options;
        int status;
    } cases[] = {
        {{"read"}, network4, kBadUsage},
        {{"live", "--count", "1"}, network4, kBadUsage},
        {{"transmit", id, "--dry-run"}, network4, kDone},
        {{"reset", "all", "--yes"}, network4, kFailed},
        {{"scan"}, network4, kFailed},
        {{"read"}, {"--interface", "single", "--all", "4"}, kBadUsage},
        {{"transmit", id, "--dry-run"}, {"--interface", "single", "--all", "4"}, kBadUsage},
        {{"read"}, {"--interface", "network", "--address", "4"}, kFailed},
        {{"live", "--count", "1"}, {"--interface", "network", "--address", "4"}, kFailed},
        {{"transmit", id, "--dry-run"}, network4 + QStringList{"--keep-going"}, kDone},
        {{"reset", "all", "--yes"}, network4 + QStringList{"--keep-going"}, kFailed},
        {{"reset", "all"}, {"--interface", "network", "--address", "2", "--keep-going"}, kBadUsage},
        {{"transmit", id, "--dry-run"}, {"--interface", "single", "--keep-going"}, kBadUsage},
        {{"read"}, {"--interface", "network", "--address", "2", "--keep-going"}, kBadUsage},
        {{"scan"}, network4 + QStringList{"--keep-going"}, kBadUsage},
    };
    for (const auto& c : cases) {
        const QStringList args = c.command + c.options + QStringList{"--port", none};
        SCOPED_TRACE(args.join(' ').toStdString());
        const Result r = cli(args);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
    }
    const QStringList commands[] = {{"read"},
                                    {"live", "--count", "1"},
                                    {"transmit", id, "--dry-run"},
                                    {"reset", "all"},
                                    {"scan"}};
    for (const QStringList& command : commands) {
        for (const QString port : {"COM5", "com0", "COM", "udp://10.0.0.7:502", "tcp://host"}) {
            SCOPED_TRACE((command.join(' ') + " --port " + port).toStdString());
            const Result r = cli(command + QStringList{"--port", port});
            EXPECT_EQ(r.status, kBadUsage);
            EXPECT_TRUE(r.err.contains("COM1..COM4, a device path or tcp://HOST:PORT"))
                << r.err.toStdString();
        }
    }
}

TEST_F(InstrumentCommands, DryRunListsTheFramesAndOpensNothing) {
    const QString id = createDemo();
    const Result r = cli({"transmit", id, "--dry-run", "--port", home.file("no-such-tty"),
                          "--interface", "network", "--all", "2"});
    ASSERT_EQ(r.status, kDone) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    // Per address: 8 + 1 + 3 + 128 + 16 + 1 writes and the two resets, plus a heading.
    EXPECT_EQ(lines.filter(" write ").size(), 2 * (8 + 1 + 3 + 128 + 16 + 1 + 2));
    EXPECT_TRUE(r.out.contains("write 449 AlarmMemMap(0)")) << r.out.toStdString();
    EXPECT_TRUE(lines.first().contains("KM6.1.x.R2.KX"));
    EXPECT_FALSE(r.out.contains("write 417"));
}

// Real time over a pseudo-terminal: transmit with read-back check, read back into the
// archive, and a silent address failing with its message and nothing stored.
TEST_F(InstrumentCommands, TransmitAndReadBackOverAPseudoTerminal) {
    SimProcess sim({"--pty", "--instrument", "KM6.1.x.R2.KX@5:38400"});
    ASSERT_TRUE(sim.path().startsWith("/dev/")) << sim.path().toStdString();
    const QString id = createDemo();
    const QStringList link{"--port", sim.path(), "--interface", "single", "--fast"};

    const Result sent = cli(QStringList{"transmit", id, "--verify", "--address", "5"} + link);
    ASSERT_EQ(sent.status, kDone) << sent.err.toStdString();
    EXPECT_TRUE(sent.err.contains(FormatResString(222, "5"))) << sent.err.toStdString();

    const QString before = cli({"list"}).out;
    const Result read = cli(QStringList{"read", "--archive", "--address", "5"} + link);
    ASSERT_EQ(read.status, kDone) << read.err.toStdString();
    const QString copy = read.out.trimmed();
    EXPECT_GT(copy.toInt(), id.toInt());
    const Result shown = cli({"show", copy, "--json"});
    const QJsonObject got = QJsonDocument::fromJson(shown.out.toUtf8()).object();
    EXPECT_EQ(got["CUsoInstr"].toObject()["RapportoTA"].toInt(), 100);
    EXPECT_EQ(got["CUsoInstr"].toObject()["RapportoTV"].toInt(), 1005);

    const QString listed = cli({"list"}).out;
    const Result silent = cli(QStringList{"reset", "maxmin", "--yes", "--address", "9"} + link);
    EXPECT_EQ(silent.status, kFailed);
    EXPECT_TRUE(silent.err.contains(plainText(ResString(228)))) << silent.err.toStdString();
    EXPECT_EQ(cli({"list"}).out, listed);
    EXPECT_NE(before, listed);
}

// An instrument that does not take a setting: the check after writing names the register
// and what it holds, and the command fails.
TEST_F(InstrumentCommands, VerifyNamesARegisterThatReadsBackDifferent) {
    SimProcess sim({"--pty", "--instrument", "KM6.1.x.R2.KX@5:38400", "--hold", "413=4660"});
    ASSERT_TRUE(sim.path().startsWith("/dev/")) << sim.path().toStdString();
    const QString id = createDemo();
    const QStringList link{"--port", sim.path(), "--interface", "single", "--fast"};
    const Result sent = cli(QStringList{"transmit", id, "--verify", "--address", "5"} + link);
    EXPECT_EQ(sent.status, kFailed) << sent.err.toStdString();
    const QStringList lines = sent.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << sent.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith("address 5 register 413 ParamMemMap(4): written 0x"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(", read 0x1234")) << lines[0].toStdString();
    EXPECT_FALSE(sent.err.contains("holds what was written")) << sent.err.toStdString();
}

// Every speed is tried; each instrument is listed at its own speed with its model, and a
// network of N asks only addresses N..1.
TEST_F(InstrumentCommands, ScanListsEveryInstrumentAtItsSpeed) {
    SimProcess sim(
        {"--pty", "--instrument", "KM6.1.x.R2.KX@1:38400", "--instrument", "KM5.1.x.R2.KX@3:9600"});
    ASSERT_TRUE(sim.path().startsWith("/dev/")) << sim.path().toStdString();
    const Result r =
        cli({"scan", "--port", sim.path(), "--interface", "network", "--all", "3", "--fast"});
    ASSERT_EQ(r.status, kDone) << r.err.toStdString();
    QStringList rows = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(rows.isEmpty());
    rows.removeFirst();  // the heading
    for (QString& row : rows)
        row = row.simplified();
    EXPECT_EQ(rows, (QStringList{"38400 1 KM6.1.x.R2.KX", "9600 3 KM5.1.x.R2.KX"}))
        << r.out.toStdString();

    const Result none =
        cli({"scan", "--port", sim.path(), "--interface", "single", "--address", "2", "--fast"});
    EXPECT_EQ(none.status, kFailed);
    EXPECT_TRUE(none.err.contains(plainText(ResString(228)))) << none.err.toStdString();
}

// A network of 1, 2 and 4 written as 1..4: address 3 stays silent. With --keep-going the
// write goes on to 4 and ends with every address and its outcome, status 1.
TEST_F(InstrumentCommands, KeepGoingWritesPastASilentAddressAndListsEveryOutcome) {
    SimProcess sim({"--pty", "--instrument", "KM6.1.x.R2.KX@1:38400", "--instrument",
                    "KM6.1.x.R2.KX@2:38400", "--instrument", "KM6.1.x.R2.KX@4:38400"});
    ASSERT_TRUE(sim.path().startsWith("/dev/")) << sim.path().toStdString();
    const QString id = createDemo();
    const Result r = cli({"transmit", id, "--port", sim.path(), "--interface", "network", "--all",
                          "4", "--keep-going", "--fast"});
    EXPECT_EQ(r.status, kFailed) << r.err.toStdString();
    EXPECT_TRUE(
        r.err.contains("Address 3 did not answer (3 tries).\nDone: address 1, 2; going "
                       "on with 4."))
        << r.err.toStdString();
    QStringList rows = r.out.split('\n', Qt::SkipEmptyParts);
    for (QString& row : rows)
        row = row.simplified();
    EXPECT_EQ(rows, (QStringList{"ADDRESS OUTCOME CAUSE", "1 done", "2 done",
                                 "3 failed Address 3 did not answer (3 tries).", "4 done"}))
        << r.out.toStdString();
}

}  // namespace
