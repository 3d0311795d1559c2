#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>

#include "CliTestSupport.h"
#include "TestSupport.h"
#include "cli/Cli.h"
#include "model/Configuration.h"
#include "model/ConfigurationJson.h"

using namespace voltaris;

namespace {

using test::CliRun;
using test::RunCli;

// Every row of every table of the archive, to show that a refused command stored nothing
// (the id counter included).
QStringList DumpArchive(const QString& path) {
    QStringList out;
    const QString name = QStringLiteral("config-commands-dump");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
        QStringList tables;
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
        while (q.next())
            tables << q.value(0).toString();
        for (const QString& t : tables) {
            QSqlQuery rows(db);
            EXPECT_TRUE(rows.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(t)));
            while (rows.next()) {
                QStringList row{t};
                for (int i = 0; i < rows.record().count(); ++i)
                    row << rows.value(i).toString();
                out << row.join(u'|');
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return out;
}

// `given` laid over `base`: plain values replace, arrays replace their leading entries.
QJsonObject Overlay(QJsonObject base, const QJsonObject& given) {
    for (auto table = given.begin(); table != given.end(); ++table) {
        QJsonObject record = base[table.key()].toObject();
        const QJsonObject values = table.value().toObject();
        for (auto v = values.begin(); v != values.end(); ++v) {
            if (v.value().isArray()) {
                QJsonArray entries = record[v.key()].toArray();
                const QJsonArray head = v.value().toArray();
                for (int i = 0; i < head.size(); ++i)
                    entries[i] = head[i];
                record[v.key()] = entries;
            } else {
                record[v.key()] = v.value();
            }
        }
        base[table.key()] = record;
    }
    return base;
}

QJsonObject Parsed(const QString& text) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text.toStdString();
    return doc.object();
}

class ConfigCommands : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RunCli({"--home", home.path(), "list"}).status, cli::kDone);
        archive = home.file("Zel2Program.cfg");
    }
    CliRun Run(QStringList args, const QString& input = {}) {
        args.prepend(home.path());
        args.prepend("--home");
        return RunCli(args, input);
    }
    // Creates the fixture configuration and returns its id.
    int CreateFeeder() {
        const CliRun r = Run({"create", "--json", test::dataPath("json/feeder.json")});
        EXPECT_EQ(r.status, cli::kDone) << r.err.toStdString();
        bool ok = false;
        const int id = r.out.trimmed().toInt(&ok);
        EXPECT_TRUE(ok) << r.out.toStdString();
        return id;
    }

    test::TempDir home;
    QString archive;
};

TEST_F(ConfigCommands, ShowGivesBackWhatCreateWasGivenPlusTheDefaults) {
    const QJsonObject given = Parsed(test::readFile(test::dataPath("json/feeder.json")));
    Configuration defaults;
    defaults.UsoInstr().setSystem(4);  // what the usage page settles on for a KM6.1
    const QJsonObject expected = Overlay(ConfigurationToJson(defaults), given);

    const int fromFile = CreateFeeder();
    const CliRun fromStdin =
        Run({"create", "--json", "-"}, test::readFile(test::dataPath("json/feeder.json")));
    ASSERT_EQ(fromStdin.status, cli::kDone) << fromStdin.err.toStdString();
    const int second = fromStdin.out.trimmed().toInt();
    EXPECT_GT(fromFile, 2);
    EXPECT_NE(second, fromFile);

    for (int id : {fromFile, second}) {
        const CliRun shown = Run({"show", QString::number(id), "--json"});
        ASSERT_EQ(shown.status, cli::kDone) << shown.err.toStdString();
        EXPECT_EQ(Parsed(shown.out), expected) << shown.out.toStdString();
    }
    const CliRun list = Run({"list"});
    EXPECT_EQ(list.out.count(QString::fromUtf8("Feeder 7 \u2013 Cabina Nord")), 2)
        << list.out.toStdString();
}

TEST_F(ConfigCommands, ShowListsNamesAndUnits) {
    const int id = CreateFeeder();
    const CliRun r = Run({"show", QString::number(id)});
    ASSERT_EQ(r.status, cli::kDone) << r.err.toStdString();
    const QString rows[] = {
        "^\\[CUsoInstr\\]$",
        "^  Instrument type +KM6\\.1\\.x\\.R2\\.KX$",
        "^  System +Balanced, 3-phase with neutral$",
        "^  VT ratio +100\\.5$",
        "^  Dmd power calculation +10 minutes\\.$",
        "^  Output 1 setup +Alarm$",
        "^\\[CPulseOutSetup1\\] \\(not used\\)$",
        // A reactive counter is weighed in pulses per kvarh, as the report says.
        "^  Pulse output +12\\.50 Pulses/Kvarh$",
        "^  Alarm setup 2$",
        "^    Variable to be controlled +PF L1$",
        "^    Up limit of the window alarm +550\\.0A$",
        "^    Down limit of the window alarm +C\\.900$",
        "^    Delay on the activation +10s\\.$",
        "^    Alarm type +In-window alarm$",
        "^\\[CAlarm2\\] \\(not used\\)$",
        "^\\[CSerialComm\\] \\(not used\\)$",
        "^  Network address +12$",
        "^\\[CAnalogOutSetup3\\] \\(not used\\)$",
        "^  Max\\. output value +1000%$",
    };
    for (const QString& row : rows)
        EXPECT_TRUE(r.out.contains(QRegularExpression(row, QRegularExpression::MultilineOption)))
            << row.toStdString() << "\n"
            << r.out.toStdString();
    // Only the alarms in use are listed.
    EXPECT_FALSE(r.out.contains("Alarm setup 3"));
}

struct BadDocument {
    const char* name;
    const char* json;
    QStringList fields;
};

void PrintTo(const BadDocument& b, std::ostream* os) {
    *os << b.name;
}

class RefusedCreate : public ConfigCommands, public testing::WithParamInterface<BadDocument> {};

TEST_P(RefusedCreate, StoresNothingAndNamesEveryField) {
    CreateFeeder();
    const QStringList before = DumpArchive(archive);
    const QString listBefore = Run({"list"}).out;

    const CliRun r = Run({"create", "--json", "-"}, QString::fromUtf8(GetParam().json));
    EXPECT_EQ(r.status, cli::kBadUsage);
    EXPECT_EQ(r.out, QString());
    EXPECT_TRUE(r.err.startsWith("The configuration was refused; nothing was stored:\n"))
        << r.err.toStdString();
    for (const QString& field : GetParam().fields) {
        const QString line = field.isEmpty() ? "\n  not valid JSON: " : "\n  " + field + ": ";
        EXPECT_TRUE(r.err.contains(line)) << line.toStdString() << "\n" << r.err.toStdString();
    }
    EXPECT_EQ(r.err.count("\n  "), GetParam().fields.size()) << r.err.toStdString();
    EXPECT_EQ(DumpArchive(archive), before);
    EXPECT_EQ(Run({"list"}).out, listBefore);
}

const BadDocument kBadDocuments[] = {
    {"NotJson", "{\"CUsoInstr\": ", {""}},
    {"NoModel", R"({"CUsoInstr": {"NomeProgramma": "x"}})", {"CUsoInstr.InstrModel"}},
    {"EmptyObject", "{}", {"CUsoInstr.InstrModel"}},
    {"RecordTwice",
     R"({"CUsoInstr": {"InstrModel": "KM6.1.x.R2.KX"},
         "CUsoInstr": {"InstrModel": "KM6.1.x.R2.KX", "NomeProgramma": "B"}})",
     {"CUsoInstr"}},
    {"NameBreakingTheList",
     R"({"CUsoInstr": {"InstrModel": "KM6.1.x.R2.KX", "NomeProgramma": "A\tB"}})",
     {"CUsoInstr.NomeProgramma"}},
    {"SeveralFields",
     R"({"CUsoInstr": {"InstrModel": "KM6.1.x.R2.KX", "System": 0, "RapportoTA": 70000,
                       "Extra": 1},
         "CDigOutConfig": {"DigOut1": 1, "NumAlarm1": 1},
         "CAlarm1": {"VarControllata": [2], "ScaleSelect": [4]},
         "CSerialComm": {"BaudRate": 5},
         "CAnalogOutSetup4": {}})",
     {"CAnalogOutSetup4", "CUsoInstr.Extra", "CUsoInstr.RapportoTA", "CUsoInstr.System",
      "CSerialComm.BaudRate"}},
    {"AlarmLimits",
     R"({"CUsoInstr": {"InstrModel": "KM6.1.x.R2.KX", "RapportoTA": 100},
         "CDigOutConfig": {"DigOut1": 1, "NumAlarm1": 1},
         "CAlarm1": {"VarControllata": [6], "ScaleSelect": [4], "MinAlarm": [7000],
                     "MaxAlarm": [-1]}})",
     {"CAlarm1.MinAlarm[0]", "CAlarm1.MaxAlarm[0]"}},
};

INSTANTIATE_TEST_SUITE_P(ConfigCommands, RefusedCreate, testing::ValuesIn(kBadDocuments),
                         [](const testing::TestParamInfo<BadDocument>& info) {
                             return std::string(info.param.name);
                         });

// Endless or huge input ends at the size limit, with a message and nothing stored.
TEST_F(ConfigCommands, InputLongerThanTheLimitIsRefused) {
    const QString tooLong = R"({"CUsoInstr": {"InstrModel": "KM6.1.x.R2.KX", "NomeProgramma": ")" +
                            QString(2 << 20, u'x') + "\"}}";
    for (const CliRun& r :
         {Run({"create", "--json", "/dev/zero"}), Run({"create", "--json", "-"}, tooLong)}) {
        EXPECT_EQ(r.status, cli::kBadUsage) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("longer than 1048576 bytes")) << r.err.toStdString();
    }
    EXPECT_EQ(Run({"list"}).out, QString());
}

TEST_F(ConfigCommands, UpdateChangesWhatIsGivenOrNothing) {
    const int id = CreateFeeder();
    const QString ids = QString::number(id);
    const QJsonObject stored = Parsed(Run({"show", ids, "--json"}).out);

    CliRun r = Run({"update", ids, "--json", "-"},
                   R"({"CUsoInstr": {"RapportoTA": 200}, "CAlarm1": {"MaxAlarm": [3000]}})");
    ASSERT_EQ(r.status, cli::kDone) << r.err.toStdString();
    EXPECT_EQ(r.out, QString());
    const QJsonObject changed = Overlay(
        stored, Parsed(R"({"CUsoInstr": {"RapportoTA": 200}, "CAlarm1": {"MaxAlarm": [3000]}})"));
    EXPECT_EQ(Parsed(Run({"show", ids, "--json"}).out), changed);

    // A ratio of 1 shrinks the current range to 6.000 A: the stored limits no longer fit,
    // and nothing of the update is kept.
    const QStringList before = DumpArchive(archive);
    r = Run({"update", ids, "--json", "-"},
            R"({"CUsoInstr": {"RapportoTA": 1, "NomeProgramma": "Renamed"}})");
    EXPECT_EQ(r.status, cli::kBadUsage);
    EXPECT_TRUE(
        r.err.contains("CAlarm1.ScaleSelect[0]: 4 is not a scale offered for variable 6 "
                       "(A L1) (2..2)"))
        << r.err.toStdString();
    EXPECT_EQ(DumpArchive(archive), before);

    // The whole configuration as shown is accepted back unchanged.
    const QString shown = Run({"show", ids, "--json"}).out;
    r = Run({"update", ids, "--json", "-"}, shown);
    EXPECT_EQ(r.status, cli::kDone) << r.err.toStdString();
    EXPECT_EQ(Run({"show", ids, "--json"}).out, shown);
}

TEST_F(ConfigCommands, UsageAndMissingConfigurations) {
    test::writeFile(home.file("good.json"), R"({"CUsoInstr": {"InstrModel": "KM6.3.x.R2.KX"}})");
    const struct {
        QStringList args;
        int status;
        const char* message;
    } cases[] = {
        {{"create"}, cli::kBadUsage, "--json FILE or --json - is needed"},
        {{"create", "--json"}, cli::kBadUsage, "--json needs a value"},
        {{"create", "--json", "good.json", "extra"}, cli::kBadUsage, "unexpected argument"},
        {{"create", "--json", home.file("missing.json")}, cli::kFailed, "Cannot read"},
        {{"show"}, cli::kBadUsage, "missing configuration ID"},
        {{"show", "x1"}, cli::kBadUsage, "x1 is not a configuration ID"},
        {{"show", "999"}, cli::kFailed, "There is no configuration with ID 999."},
        {{"update", "999", "--json", home.file("good.json")},
         cli::kFailed,
         "There is no configuration with ID 999."},
        {{"update", "3"}, cli::kBadUsage, "--json FILE or --json - is needed"},
    };
    const QStringList before = DumpArchive(archive);
    for (const auto& c : cases) {
        const CliRun r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
    }
    EXPECT_EQ(DumpArchive(archive), before);
    // The instrument's slot can be shown (after a read it holds the instrument's setup).
    EXPECT_EQ(Run({"show", "2", "--json"}).status, cli::kDone);
}

// Id 2 holds the instrument's configuration after a read: every command takes it but delete.
TEST_F(ConfigCommands, WhichCommandsTakeWhichConfiguration) {
    const QString normal = QString::number(CreateFeeder());
    // The instrument's slot of a new archive holds no model yet: the update gives one.
    test::writeFile(home.file("model.json"), R"({"CUsoInstr": {"InstrModel": "KM6.3.x.R2.KX"}})");
    const QString missing = QStringLiteral("999");
    const QString instrument = QStringLiteral("2");
    const auto commandFor = [&](const QString& command, const QString& id) -> QStringList {
        if (command == "update")
            return {"update", id, "--json", home.file("model.json")};
        if (command == "export")
            return {"export", id, home.file("out" + id + ".ZLA"), "--force"};
        if (command == "report")
            return {"report", id, "--pdf", home.file("r" + id + ".pdf"), "--force"};
        if (command == "transmit")
            return {"transmit", id, "--dry-run"};
        if (command == "delete")
            return {"delete", id, "--yes"};
        return {command, id};
    };
    const struct {
        const char* command;
        bool takesInstrument;
    } commands[] = {{"show", true},   {"update", true},   {"export", true},
                    {"report", true}, {"transmit", true}, {"delete", false}};
    for (const auto& c : commands) {
        for (const QString& id : {missing, instrument, normal}) {
            const QStringList args = commandFor(QLatin1String(c.command), id);
            SCOPED_TRACE(args.join(' ').toStdString());
            const bool found = id == normal || (id == instrument && c.takesInstrument);
            const CliRun r = Run(args);
            // This process has no graphical platform: a report that gets past the check stops
            // when it would draw, so only its refusal is checked by status.
            if (found && QLatin1String(c.command) == "report")
                EXPECT_FALSE(r.err.isEmpty());
            else
                EXPECT_EQ(r.status, found ? cli::kDone : cli::kFailed) << r.err.toStdString();
            EXPECT_EQ(
                r.err.contains(QStringLiteral("There is no configuration with ID %1.").arg(id)),
                !found)
                << r.err.toStdString();
        }
    }
    // Delete went last: the normal one is gone, the instrument's slot stays.
    EXPECT_EQ(Run({"show", normal}).status, cli::kFailed);
    EXPECT_EQ(Run({"show", instrument}).status, cli::kDone);
    EXPECT_TRUE(QFile::exists(home.file("out2.ZLA")));
}

}  // namespace
