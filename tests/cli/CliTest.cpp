#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "TestSupport.h"
#include "TraceCapture.h"
#include "base/CTraceCode.h"
#include "base/Errors.h"
#include "base/ResString.h"
#include "base/UserMessages.h"
#include "cli/Cli.h"
#include "cli/InstrumentCommands.h"
#include "cli/Command.h"

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

TEST(Cli, ResetAsksOnATerminalAndNeedsYesOtherwise) {
    test::EnsureCoreApp();  // the confirmed reset runs its engine
    test::TempDir home;
    const QStringList reset{"--home",      home.path(), "reset",
                            "counters",    "--port",    "/nonexistent/voltaris-tty",
                            "--interface", "aux"};
    CliRun r = runCli(reset);
    EXPECT_EQ(r.status, cli::kBadUsage);
    EXPECT_TRUE(r.err.contains("--yes")) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("/nonexistent/voltaris-tty")) << r.err.toStdString();

    r = runCli(reset, VOLTARIS_BIN_DIR, "n\n", true);
    EXPECT_EQ(r.status, cli::kCancelled);
    EXPECT_TRUE(r.err.contains("Reset counters on the instrument(s)?")) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("/nonexistent/voltaris-tty")) << r.err.toStdString();

    // Confirmed, it goes to the line (here one that does not open).
    r = runCli(reset + QStringList{"--yes"});
    EXPECT_EQ(r.status, cli::kFailed) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("/nonexistent/voltaris-tty")) << r.err.toStdString();
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

// Each command explains itself without starting the program: its usage line, and one help
// line for every option its usage names (LINK standing for the link options).
TEST(Cli, EveryCommandHasItsOwnHelp) {
    const struct {
        QStringList line;  // after --home
        const char* usage;
    } cases[] = {
        {{"list", "--help"}, "list [--json]"},
        {{"show", "--help"}, "show ID [--json]"},
        {{"create", "--help"}, "create --json FILE|-"},
        {{"update", "-h"}, "update ID --json FILE|-"},
        {{"delete", "--help"}, "delete ID [--yes]"},
        {{"export", "--help"}, "export ID FILE [--force]"},
        {{"import", "--help"}, "import FILE"},
        {{"report", "3", "--pdf", "x.pdf", "--help"}, "report ID --pdf FILE [--force]"},
        {{"transmit", "--help"}, "transmit ID [--verify] [--dry-run] LINK"},
        {{"transmit", "7", "--port", "COM9", "--help"}, "transmit ID"},
        {{"read", "--help"}, "read [--archive] LINK"},
        {{"reset", "--help"}, "reset KIND [--yes] LINK"},
        {{"scan", "--help"}, "scan LINK"},
        {{"live", "--help"}, "live [LINK] [--count N] [--interval SECONDS] [--json]"},
        {{"--help", "live"}, "live [LINK]"},
        {{"ports", "--help"}, "ports [--json]"},
    };
    static const QRegularExpression option("--[a-z0-9-]+");
    QStringList covered;
    for (const auto& c : cases) {
        test::TempDir home;
        const CliRun r = runCli(QStringList{"--home", home.path()} + c.line);
        const std::string what = c.line.join(' ').toStdString();
        EXPECT_EQ(r.status, cli::kDone) << what << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith(QString("Usage: voltaris [--home DIR] ") + c.usage))
            << what << ":\n"
            << r.out.toStdString();
        EXPECT_EQ(r.err, QString()) << what;
        // Nothing was started: no archive, no trace log.
        EXPECT_TRUE(QDir(home.path()).isEmpty()) << what;

        const QString name = c.line.first() == "--help" ? c.line.at(1) : c.line.first();
        covered << name;
        const cli::Command* command = nullptr;
        for (const cli::Command& k : cli::commands())
            if (k.name == name)
                command = &k;
        ASSERT_NE(command, nullptr) << what;
        EXPECT_TRUE(r.out.contains(command->summary)) << what;
        QStringList named;
        for (const auto& m : option.globalMatch(command->usage))
            named << m.captured();
        if (command->usage.contains("LINK"))
            named << "--port"
                  << "--interface"
                  << "--address"
                  << "--auto"
                  << "--all"
                  << "--fast"
                  << "--save";
        for (const QString& o : named)
            EXPECT_TRUE(r.out.contains(QRegularExpression("\\n  " + o + "\\b")))
                << what << ": no help line for " << o.toStdString();
    }
    for (const cli::Command& k : cli::commands())
        EXPECT_TRUE(covered.contains(k.name)) << k.name.toStdString() << " has no help case";

    const CliRun unknown = runCli({"frobnicate", "--help"});
    EXPECT_EQ(unknown.status, cli::kBadUsage);
    EXPECT_TRUE(unknown.err.contains("unknown command frobnicate"));
}

// The present ports with the COM names that lead to them, then what each COM name stands for;
// run for real it lists this machine's ports (often none) and the four names.
TEST(Cli, PortsListsThePresentPortsAndTheComNames) {
    const QList<SerialPortEntry> present = {
        {"/dev/ttyS0", "", "", ""},
        {"/dev/ttyUSB0", "usb-FTDI_FT232R_USB_UART_A1-if00-port0", "FTDI", "FT232R USB UART"},
    };
    QList<ComPortMapping> map = {{"COM1", "/dev/ttyUSB0", false, 1},
                                 {"COM2", "tcp://gw:4001", true, -1},
                                 {"COM3", "/dev/ttyUSB2", false, -1},
                                 {"COM4", "/dev/ttyS0", false, 0}};
    map[2].present = 1;  // two names for one device are listed together
    EXPECT_EQ(cli::FormatPorts(present, map).toStdString(),
              "DEVICE        COM        BY-ID                                   MAKER  PRODUCT\n"
              "/dev/ttyS0    COM4       -                                       -      -\n"
              "/dev/ttyUSB0  COM1,COM3  usb-FTDI_FT232R_USB_UART_A1-if00-port0  FTDI   FT232R USB "
              "UART\n"
              "\n"
              "COM1: /dev/ttyUSB0 (FTDI, FT232R USB UART)\n"
              "COM2: tcp://gw:4001 (gateway)\n"
              "COM3: /dev/ttyUSB2 (FTDI, FT232R USB UART)\n"
              "COM4: /dev/ttyS0 (present)\n");
    EXPECT_TRUE(cli::FormatPorts({}, map).startsWith("No serial port found on this machine.\n\n"));
    const QJsonObject json = QJsonDocument::fromJson(cli::PortsJson(present, map)).object();
    EXPECT_EQ(json["ports"].toArray().at(1).toObject()["byId"].toString(),
              "usb-FTDI_FT232R_USB_UART_A1-if00-port0");
    EXPECT_EQ(json["com"].toArray().at(0).toObject()["device"].toString(), "/dev/ttyUSB0");
    EXPECT_TRUE(json["com"].toArray().at(1).toObject()["device"].isNull());
    EXPECT_TRUE(json["com"].toArray().at(1).toObject()["gateway"].toBool());

    test::TempDir home;
    const CliRun r = runCli({"--home", home.path(), "ports"});
    EXPECT_EQ(r.status, cli::kDone) << r.err.toStdString();
    for (const char* com : {"\nCOM1: ", "\nCOM2: ", "\nCOM3: ", "\nCOM4: "})
        EXPECT_TRUE(r.out.contains(com)) << r.out.toStdString();
    EXPECT_EQ(runCli({"--home", home.path(), "ports", "extra"}).status, cli::kBadUsage);
}

TEST(Cli, HelpExplainsTheLinkOptions) {
    const CliRun r = runCli({"--help"});
    EXPECT_EQ(r.status, cli::kDone);
    for (const char* o :
         {"--port PATH|COM1..COM4|tcp://HOST:PORT", "--interface aux|single|network",
          "--address N ", "--auto ", "--all N ", "--keep-going ", "--fast ", "--save "})
        EXPECT_TRUE(r.out.contains(QStringLiteral("\n  ") + o)) << o << "\n" << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("LINK options")) << r.out.toStdString();
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

// A damaged value is named, not echoed: no control character of it reaches the terminal.
TEST(Cli, GarbageFromADamagedArchiveIsEscapedAndCut) {
    test::TempDir home;
    const CliRun created =
        runCli({"--home", home.path(), "create", "--json",
                QStringLiteral(VOLTARIS_SOURCE_DIR "/resources/demo-configuration.json")});
    ASSERT_EQ(created.status, cli::kDone) << created.err.toStdString();
    const QString id = created.out.trimmed();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "cli-test-garbage");
        db.setDatabaseName(home.file("Zel2Program.cfg"));
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        q.prepare("UPDATE CUsoInstr SET m_RapportoTV = ? WHERE IDProgramma = ?");
        q.addBindValue(QString::fromLatin1("\x1b[2J\x07") + QString(200, u'z'));
        q.addBindValue(id);
        ASSERT_TRUE(q.exec());
    }
    QSqlDatabase::removeDatabase("cli-test-garbage");
    const CliRun r = runCli({"--home", home.path(), "show", id});
    EXPECT_EQ(r.status, cli::kFailed);
    EXPECT_TRUE(r.err.contains("m_RapportoTV")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("\\x1b[2J\\x07zzz")) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QChar(0x1b)));
    EXPECT_FALSE(r.err.contains(QString(100, u'z')));
}

// The Italian text of a failed internal check stays in the trace log.
TEST(Cli, AFailedCheckShowsNoInternalText) {
    QString err;
    QString in;
    QTextStream out(&err), errStream(&err), inStream(&in);
    cli::Context ctx{out, errStream, inStream, false, VOLTARIS_BIN_DIR};
    cli::CliMessages messages(ctx);
    ScopedMessages scope(&messages);
    EXPECT_THROW(g_Trace().BugAssert(false, "m_IDProgramma non inizializzato"), AssertFailed);
    errStream.flush();
    EXPECT_FALSE(err.contains("BugAssert")) << err.toStdString();
    EXPECT_FALSE(err.contains("inizializzato")) << err.toStdString();
    EXPECT_TRUE(err.startsWith("Internal error: the command was abandoned")) << err.toStdString();
}

// Qt's own warnings (the painter's, the platform's) go to the trace log, not to the user.
TEST(Cli, QtDiagnosticsGoToTheTraceLog) {
    test::TraceCapture trace;
    const QtMessageHandler previous = cli::RouteQtMessagesToTrace();
    qWarning("QPainter::begin: Paint device returned engine == 0, type: 2");
    qInstallMessageHandler(previous);
    EXPECT_EQ(trace.lines, QStringList{"Messaggio Qt: QPainter::begin: Paint device returned "
                                       "engine == 0, type: 2"});
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
