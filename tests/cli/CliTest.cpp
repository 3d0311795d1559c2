#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "TestSupport.h"
#include "base/ResString.h"
#include "cli/Cli.h"

using namespace voltaris;

namespace {

// Runs `voltaris` in-process with captured streams.
struct CliRun {
    QString out, err;
    int status = -1;
};

CliRun runCli(const QStringList& args, const QString& exeDir = VOLTARIS_BIN_DIR,
              const QString& input = {}, bool interactive = false) {
    CliRun r;
    QString in = input;
    QTextStream out(&r.out), err(&r.err), inStream(&in);
    cli::Context ctx{out, err, inStream, interactive, exeDir};
    r.status = cli::run(args, ctx);
    return r;
}

// Adds a configuration straight into the archive's record tables, as a saved one would be.
void addConfiguration(const QString& archivePath, int id, const QString& name) {
    const QString cn = QStringLiteral("cli-test-%1").arg(id);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", cn);
        db.setDatabaseName(archivePath);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("INSERT INTO CounterProgrammi DEFAULT VALUES"));
        for (const char* t :
             {"CUsoInstr", "CDigOutConfig", "CPulseOutSetup1", "CPulseOutSetup2", "CAlarm1",
              "CAlarm2", "CSerialComm", "CAnalogOutSetup1", "CAnalogOutSetup2", "CAnalogOutSetup3"})
            ASSERT_TRUE(
                q.exec(QStringLiteral("INSERT INTO %1 (IDProgramma) VALUES (%2)").arg(t).arg(id)));
        q.prepare("UPDATE CUsoInstr SET m_NomeProgramma = ? WHERE IDProgramma = ?");
        q.addBindValue(name);
        q.addBindValue(id);
        ASSERT_TRUE(q.exec());
    }
    QSqlDatabase::removeDatabase(cn);
}

}  // namespace

TEST(Cli, ListOnAnEmptyFolderCreatesTheArchiveAndListsNothing) {
    test::TempDir home;
    const CliRun r = runCli({"--home", home.path(), "list"});
    EXPECT_EQ(r.status, cli::kDone) << r.err.toStdString();
    EXPECT_EQ(r.out, QString());
    EXPECT_TRUE(QFile::exists(home.file("Zel2Program.cfg")));
    // The trace log of the run starts with its header and the start-up lines.
    const QStringList logs = QDir(home.path()).entryList({"*.DBG"});
    ASSERT_EQ(logs.size(), 1);
    const QByteArray log = test::readFile(home.file(logs.first()));
    EXPECT_TRUE(log.startsWith("Effettuata nuova esecuzione: ")) << log.left(80).constData();
    EXPECT_TRUE(
        log.contains("Voltaris Version 1.107.1\r\nInizio Zel1Soft\r\n"
                     "Verifica esistenza DB...\r\nCrea oggetto connection.\r\n"));
}

TEST(Cli, ListShowsConfigurationsSortedByName) {
    test::TempDir home;
    ASSERT_EQ(runCli({"--home", home.path(), "list"}).status, cli::kDone);
    addConfiguration(home.file("Zel2Program.cfg"), 3, "Substation B");
    addConfiguration(home.file("Zel2Program.cfg"), 4, "Feeder A");
    const CliRun r = runCli({"--home", home.path(), "list"});
    EXPECT_EQ(r.status, cli::kDone);
    EXPECT_EQ(r.out, QString("ID  %1\n 4  Feeder A\n 3  Substation B\n").arg(ResString(796)));
    const CliRun j = runCli({"--home", home.path(), "list", "--json"});
    EXPECT_EQ(j.status, cli::kDone);
    EXPECT_TRUE(j.out.contains("\"name\": \"Feeder A\"")) << j.out.toStdString();
}

TEST(Cli, DeleteAsksOnATerminalAndNeedsYesOtherwise) {
    test::TempDir home;
    ASSERT_EQ(runCli({"--home", home.path(), "list"}).status, cli::kDone);
    addConfiguration(home.file("Zel2Program.cfg"), 3, "Only one");
    const QStringList list{"--home", home.path(), "list"};

    CliRun r = runCli({"--home", home.path(), "delete", "3"});
    EXPECT_EQ(r.status, cli::kBadUsage);
    EXPECT_TRUE(runCli(list).out.contains("Only one"));

    r = runCli({"--home", home.path(), "delete", "3"}, VOLTARIS_BIN_DIR, "n\n", true);
    EXPECT_EQ(r.status, cli::kCancelled);
    EXPECT_TRUE(r.err.contains("The selected configuration will be deleted !!."));
    EXPECT_TRUE(runCli(list).out.contains("Only one"));

    r = runCli({"--home", home.path(), "delete", "3"}, VOLTARIS_BIN_DIR, "y\n", true);
    EXPECT_EQ(r.status, cli::kDone);
    EXPECT_EQ(runCli(list).out, QString());

    r = runCli({"--home", home.path(), "delete", "3", "--yes"});
    EXPECT_EQ(r.status, cli::kFailed);  // already gone
    r = runCli({"--home", home.path(), "delete", "2", "--yes"});
    EXPECT_EQ(r.status, cli::kFailed);  // the instrument's slot is not a configuration
}

TEST(Cli, BadUsageIsStatusTwo) {
    test::TempDir home;
    const QList<QStringList> cases = {
        {},
        {"--home"},
        {"--bogus", "list"},
        {"--home", home.path(), "frobnicate"},
        {"--home", home.path(), "list", "extra"},
        {"--home", home.path(), "delete"},
        {"--home", home.path(), "delete", "abc", "--yes"},
        {"--home", home.path(), "list", "--nope"},
    };
    for (const QStringList& args : cases) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.status, cli::kBadUsage) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
}

TEST(Cli, HelpAndVersion) {
    CliRun r = runCli({"--version"});
    EXPECT_EQ(r.status, cli::kDone);
    EXPECT_EQ(r.out, QString("Voltaris Version 1.107.1\n"));
    r = runCli({"--help"});
    EXPECT_EQ(r.status, cli::kDone);
    EXPECT_TRUE(r.out.contains("list [--json]"));
    EXPECT_TRUE(r.out.contains("Exit status"));
}

TEST(Cli, MissingTemplateOnFirstRunReportsAndCreatesNothing) {
    test::TempDir home, bareExe;
    const CliRun r = runCli({"--home", home.path(), "list"}, bareExe.path());
    EXPECT_EQ(r.status, cli::kFailed);
    EXPECT_EQ(r.err.trimmed(), cli::plainText(FormatResString(231, QString("Zel2Setup.dll"))));
    EXPECT_FALSE(QFile::exists(home.file("Zel2Program.cfg")));
}

TEST(Cli, DamagedArchiveIsNamedAndLeftAlone) {
    test::TempDir home;
    const QByteArray garbage("this is not a database, just some text an editor left behind\n");
    test::writeFile(home.file("Zel2Program.cfg"), garbage);
    const CliRun r = runCli({"--home", home.path(), "list"});
    EXPECT_EQ(r.status, cli::kFailed);
    EXPECT_TRUE(r.err.contains("Zel2Program.cfg")) << r.err.toStdString();
    EXPECT_EQ(test::readFile(home.file("Zel2Program.cfg")), garbage);
}

TEST(Cli, UnusableDataFolderIsNamed) {
    test::TempDir base;
    QString home = base.file("ro");
    if (geteuid() == 0) {
        home = "/proc/voltaris-no-such-folder";  // root writes anywhere but here
    } else {
        QDir().mkpath(home);
        QFile::setPermissions(home, QFile::ReadOwner | QFile::ExeOwner);
    }
    const CliRun r = runCli({"--home", home, "list"});
    EXPECT_EQ(r.status, cli::kFailed);
    EXPECT_TRUE(r.err.contains(home)) << r.err.toStdString();
    if (geteuid() != 0)
        QFile::setPermissions(home, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
