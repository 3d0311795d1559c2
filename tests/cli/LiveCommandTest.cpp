// `voltaris live` in real time against the voltaris-sim executable on a pseudo-terminal.
#include <gtest/gtest.h>

#include <signal.h>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTimer>

#include "CliTestSupport.h"
#include "TestSupport.h"
#include "base/ResString.h"
#include "cli/Cli.h"
#include "sim/SimProcess.h"

using namespace voltaris;

namespace {

using LiveRun = test::CliRun;

LiveRun runLive(const QString& home, const QStringList& args) {
    test::EnsureCoreApp();
    return test::RunCliIn(home, QStringList{"live"} + args);
}

// voltaris-sim on a pseudo-terminal; path() is the terminal.
class Sim : public SimProcess {
public:
    explicit Sim(const QStringList& args)
        : SimProcess(QStringLiteral(VOLTARIS_BIN_DIR "/voltaris-sim"),
                     QStringList{"--pty"} + args) {}
    QString path() const { return firstLine(); }
};

TEST(LiveCommand, OneCycleAsJsonOverAPseudoTerminal) {
    test::TempDir home;
    Sim sim({"--instrument", "KM5.1.x.R2.KX@7:19200"});
    ASSERT_TRUE(sim.path().startsWith("/dev/")) << sim.path().toStdString();
    const LiveRun r =
        runLive(home.path(), {"--port", sim.path(), "--interface", "single", "--address", "7",
                              "--count", "2", "--interval", "0", "--json", "--fast"});
    ASSERT_EQ(r.status, cli::kDone) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << r.out.toStdString();
    for (int i = 0; i < 2; ++i) {
        QJsonParseError e;
        const QJsonObject o = QJsonDocument::fromJson(lines[i].toUtf8(), &e).object();
        ASSERT_EQ(e.error, QJsonParseError::NoError) << lines[i].toStdString();
        EXPECT_EQ(o["cycle"].toInt(), i + 1);
        EXPECT_EQ(o["address"].toInt(), 7);
        EXPECT_FALSE(o["timestamp"].toString().isEmpty());
        const QJsonObject tables = o["tables"].toObject();
        EXPECT_EQ(tables["electrical"].toArray().size(), 12);
        EXPECT_EQ(tables["dmd"].toArray().size(), 3);
        EXPECT_EQ(tables["maxmin"].toArray().size(), 6);
        EXPECT_EQ(tables["counters"].toArray().size(), 3);
        const QJsonObject hz = tables["electrical"].toArray()[8].toObject();
        EXPECT_EQ(hz["name"].toString(), "Hz");
        // Each cell: its text, and beside a measurement its number and unit.
        const QJsonObject f = hz["L1"].toObject();
        EXPECT_TRUE(f["text"].toString().endsWith("Hz")) << f["text"].toString().toStdString();
        EXPECT_EQ(f["unit"].toString(), "Hz");
        EXPECT_NEAR(f["value"].toDouble(), 50, 1);
        EXPECT_FALSE(hz["L2"].toObject().contains("value"));
        const QJsonObject hours = tables["counters"].toArray()[2].toObject()["Totals"].toObject();
        EXPECT_TRUE(hours["text"].toString().endsWith("h"))
            << hours["text"].toString().toStdString();
        EXPECT_EQ(hours["unit"].toString(), "h");
        EXPECT_GE(hours["value"].toDouble(), 0);
        const QJsonObject kwh = tables["counters"].toArray()[0].toObject()["Totals"].toObject();
        EXPECT_TRUE(kwh["text"].toString().endsWith("kWh")) << kwh["text"].toString().toStdString();
        const QJsonObject lamps = o["lamps"].toObject();
        for (const char* k : {"alarm", "out1", "out2"})
            EXPECT_TRUE(QStringList({"grey", "green", "red"}).contains(lamps[k].toString()));
    }
}

TEST(LiveCommand, PlainTablesAndCtrlCCancels) {
    test::TempDir home;
    Sim sim({"--instrument", "KM5.1.x.R2.KX@1:38400"});
    ASSERT_FALSE(sim.path().isEmpty());
    // Ctrl-C once the polling runs: the exchange ends, the port closes, status 3.
    test::EnsureCoreApp();
    QTimer::singleShot(2500, [] { ::raise(SIGINT); });
    const LiveRun r = runLive(
        home.path(), {"--port", sim.path(), "--interface", "single", "--address", "1", "--fast"});
    EXPECT_EQ(r.status, cli::kCancelled) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Network address 1")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Electrical variables"));
    EXPECT_TRUE(r.out.contains("Wh imp."));
    // Off a terminal the search is one line per speed tried; the cycles add nothing.
    EXPECT_EQ(r.err,
              "Download the communication parameters in progress...\n"
              "Searching at 38400 baud\n");
    // The handler is gone afterwards: SIGINT is back to what it was.
    struct sigaction now {};
    sigaction(SIGINT, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

TEST(LiveCommand, FailuresEndWithTheirMessageAndStatus) {
    test::TempDir home;
    Sim sim({"--instrument", "KM5.1.x.R2.KX@3:9600"});
    struct Case {
        QStringList args;
        int status;
        QString inErr;
    };
    const QList<Case> cases = {
        {{"--port", "/nonexistent/voltaris-tty", "--interface", "aux", "--count", "1"},
         cli::kFailed,
         "/nonexistent/voltaris-tty"},
        // Address 5 does not answer at any speed.
        {{"--port", sim.path(), "--interface", "single", "--address", "5", "--fast"},
         cli::kFailed,
         "Error during the download of the instrument communication parameter!"},
        {{"--count", "0"}, cli::kBadUsage, "--count"},
        {{"--count", "many"}, cli::kBadUsage, "--count"},
        {{"--interval", "-1"}, cli::kBadUsage, "--interval"},
        {{"--interval", "soon"}, cli::kBadUsage, "--interval"},
        {{"--interval", "nan"}, cli::kBadUsage, "--interval"},
        {{"extra"}, cli::kBadUsage, ""},
        {{"--interface", "aux", "--address", "3"}, cli::kBadUsage, "--address"},
    };
    for (const Case& c : cases) {
        const LiveRun r = runLive(home.path(), c.args);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString() << "\n"
                                      << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.inErr)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    }
}

}  // namespace
