// The LINK options and the instrument commands, the latter end to end against voltaris-sim on
// a pseudo-terminal in real time.

#include <gtest/gtest.h>

#include <QCoreApplication>
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
            ArgList(args, LinkOptions::flagNames(), LinkOptions::valuedNames()));
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

}  // namespace
