#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <cstdlib>
#include <functional>

#include "ArchiveTestSupport.h"
#include "archive/Archive.h"
#include "archive/Recordset.h"
#include "base/ResString.h"

using namespace voltaris;
using namespace voltaris::test;

// --- provisioning ---------------------------------------------------------------------

TEST(Provision, FirstRunCopiesTheFirstExistingTemplate) {
    TempDir dir, other;
    writeFile(other.file("second.dll"), "not the first");
    Archive::provision(dir.path(),
                       {dir.file("missing.dll"), templatePath(), other.file("second.dll")});
    EXPECT_EQ(readFile(dir.file("Zel2Program.cfg")), readFile(templatePath()));
    // Only the archive: no temporary copy left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Zel2Program.cfg"});
    EXPECT_TRUE(QFileInfo(dir.file("Zel2Program.cfg")).isWritable());
}

TEST(Provision, ExistingArchiveIsNeverTouched) {
    TempDir dir;
    writeFile(dir.file("Zel2Program.cfg"), "the user's archive");
    Archive::provision(dir.path(), {templatePath()});
    EXPECT_EQ(readFile(dir.file("Zel2Program.cfg")), QByteArray("the user's archive"));
    Archive::provision(dir.path(), {dir.file("Zel2Setup.dll")});  // template missing too
    EXPECT_EQ(readFile(dir.file("Zel2Program.cfg")), QByteArray("the user's archive"));
}

TEST(Provision, EmptyArchiveIsProvisionedLikeAMissingOne) {
    TempDir dir;
    writeFile(dir.file("Zel2Program.cfg"), "");
    Archive::provision(dir.path(), {templatePath()});
    EXPECT_EQ(readFile(dir.file("Zel2Program.cfg")), readFile(templatePath()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Zel2Program.cfg"});
    Archive archive;
    archive.open(dir.file("Zel2Program.cfg"));
    EXPECT_TRUE(archive.list().isEmpty());
}

TEST(Provision, NoTemplateAnywhereIsTheSystemFileMessage) {
    TempDir dir;
    QDir().mkpath(dir.file("folder.dll"));  // a folder is no template
    try {
        Archive::provision(dir.path(), {dir.file("Zel2Setup.dll"), dir.file("folder.dll")});
        FAIL() << "no error";
    } catch (const TemplateMissing& e) {
        EXPECT_EQ(e.message(), FormatResString(231, "Zel2Setup.dll"));
        EXPECT_TRUE(e.message().startsWith("System file Zel2Setup.dll not found !!!"))
            << e.message().toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.file("Zel2Program.cfg")));
}

TEST(Provision, FolderThatCannotBeWrittenIsNamedWithTheReason) {
    TempDir dir;
    writeFile(dir.file("plain"), "x");
    const struct {
        QString folder;
        const char* reason;
    } cases[] = {
        {dir.file("plain/data"), "Not a directory"},
        {dir.file("missing"), "No such file or directory"},
        {"/proc", ""},  // takes no files, not even from root
    };
    for (const auto& c : cases) {
        const QString message = messageOf([&] { Archive::provision(c.folder, {templatePath()}); });
        EXPECT_TRUE(
            message.startsWith("Cannot create Zel2Program.cfg in the folder " + c.folder + ": "))
            << message.toStdString();
        EXPECT_TRUE(message.contains(c.reason)) << message.toStdString();
        EXPECT_FALSE(QFile::exists(QDir(c.folder).filePath("Zel2Program.cfg")));
    }
}

TEST(Provision, ReadOnlyFolderNamesTheFolderAndLeavesNothing) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    TempDir dir;
    QDir().mkpath(dir.file("ro"));
    QFile::setPermissions(dir.file("ro"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString denied = messageOf([&] { Archive::provision(dir.file("ro"), {templatePath()}); });
    QFile::setPermissions(dir.file("ro"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(denied.contains(dir.file("ro"))) << denied.toStdString();
    EXPECT_TRUE(denied.contains("Permission denied")) << denied.toStdString();
    EXPECT_TRUE(QDir(dir.file("ro")).isEmpty());
}

// --- opening and checking -------------------------------------------------------------

TEST(Open, RefusesWhatIsNotAnArchiveAndChangesNothing) {
    const struct {
        const char* what;
        std::function<void(const QString&)> damage;
        const char* expected;
    } cases[] = {
        {"garbage", [](const QString& f) { writeFile(f, QByteArray(4096, '\x5a')); },
         "is not a Voltaris archive: file is not a database"},
        {"text file", [](const QString& f) { writeFile(f, "[Settings]\nMainLeft=100\n"); },
         "is not a Voltaris archive: file is not a database"},
        {"empty file", [](const QString& f) { writeFile(f, ""); },
         "is not a Voltaris archive: table CUsoInstr is missing"},
        {"table dropped", [](const QString& f) { RawDb(f).exec("DROP TABLE CAlarm2"); },
         "is not a Voltaris archive: table CAlarm2 is missing"},
        {"column dropped",
         [](const QString& f) { RawDb(f).exec("ALTER TABLE CAlarm1 DROP COLUMN m_AlarmType05"); },
         "is not a Voltaris archive: table CAlarm1 lacks column m_AlarmType05"},
        {"two columns dropped",
         [](const QString& f) {
             RawDb db(f);
             db.exec("ALTER TABLE CSerialComm DROP COLUMN m_NetworkAdd");
             db.exec("ALTER TABLE CSerialComm DROP COLUMN m_BaudRate");
         },
         "table CSerialComm lacks column m_NetworkAdd (and 1 more)"},
        {"list dropped", [](const QString& f) { RawDb(f).exec("DROP VIEW Programmi"); },
         "is not a Voltaris archive: view Programmi is missing"},
        {"delete trigger dropped",
         [](const QString& f) { RawDb(f).exec("DROP TRIGGER Canc_Programma_Delete"); },
         "is not a Voltaris archive: trigger Canc_Programma_Delete is missing"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const QString cfg = dir.file("Zel2Program.cfg");
        QFile::copy(templatePath(), cfg);
        c.damage(cfg);
        const QByteArray before = readFile(cfg);
        Archive archive;
        const QString message = messageOf([&] { archive.open(cfg, 100); });
        EXPECT_TRUE(message.startsWith(cfg)) << c.what << ": " << message.toStdString();
        EXPECT_TRUE(message.contains(c.expected)) << c.what << ": " << message.toStdString();
        EXPECT_FALSE(archive.isOpen()) << c.what;
        EXPECT_EQ(readFile(cfg), before) << c.what;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Zel2Program.cfg"})
            << c.what;
    }
}

TEST(Open, MissingFileIsNotCreated) {
    TempDir dir;
    Archive archive;
    const QString message = messageOf([&] { archive.open(dir.file("Zel2Program.cfg")); });
    EXPECT_EQ(message, dir.file("Zel2Program.cfg") + " not found");
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(Open, ToleratesExtraTablesAndColumns) {
    TempDir dir;
    const QString cfg = dir.file("Zel2Program.cfg");
    QFile::copy(templatePath(), cfg);
    {
        RawDb db(cfg);
        db.exec("ALTER TABLE CUsoInstr ADD COLUMN m_Note TEXT");
        db.exec("CREATE TABLE Extra (x INTEGER)");
    }
    Archive archive;
    archive.open(cfg);
    Recordset rs(archive, "CUsoInstr");
    ASSERT_TRUE(rs.findFirst("IDProgramma=2"));
    EXPECT_TRUE(rs.value("m_Note").isNull());
}

TEST_F(ArchiveTest, LockedArchiveIsInUseAndWorksOnceFreed) {
    archive.close();
    const QByteArray before = readFile(cfg);
    {
        RawDb other(cfg);
        other.exec("BEGIN EXCLUSIVE");
        const QString message = messageOf([&] { archive.open(cfg, 100); });
        EXPECT_TRUE(message.startsWith(cfg)) << message.toStdString();
        EXPECT_TRUE(message.contains("is in use by another program")) << message.toStdString();
        EXPECT_FALSE(archive.isOpen());
        other.exec("ROLLBACK");
    }
    EXPECT_EQ(readFile(cfg), before);
    archive.open(cfg, 100);
    EXPECT_TRUE(archive.exists(Archive::ReservedId));
}

TEST_F(ArchiveTest, DatabaseErrorsNameFileTableAndCause) {
    archive.open(cfg, 50);  // reopened with a short wait
    RawDb other(cfg);
    other.exec("BEGIN EXCLUSIVE");
    const QString message = messageOf([&] { archive.list(); });
    other.exec("ROLLBACK");
    EXPECT_TRUE(message.contains(cfg)) << message.toStdString();
    EXPECT_TRUE(message.contains("Programmi")) << message.toStdString();
    EXPECT_TRUE(message.contains("database is locked")) << message.toStdString();
}

// --- ids --------------------------------------------------------------------------------

TEST_F(ArchiveTest, IdsDifferAreNeverTwoAndNeverComeBack) {
    RawDb db(cfg);
    qint32 kept = 0;
    qint32 released = 0;
    {
        IdAllocation a(archive);
        IdAllocation b(archive);
        EXPECT_EQ(a.id(), 3);
        EXPECT_EQ(b.id(), 4);
        EXPECT_EQ(db.count("CounterProgrammi", b.id()), 1);
        a.commit();
        kept = a.id();
        released = b.id();
    }  // b released by its destructor
    EXPECT_EQ(db.count("CounterProgrammi", kept), 1);
    EXPECT_EQ(db.count("CounterProgrammi", released), 0);

    IdAllocation c(archive);  // the released id (the highest) is not handed out again
    EXPECT_EQ(c.id(), 5);
    c.release();
    EXPECT_EQ(db.count("CounterProgrammi", 5), 0);
    c.release();  // a second release does nothing

    saveConfiguration(archive, kept, "kept");
    archive.deleteProgram(kept);
    archive.close();
    archive.open(cfg);
    IdAllocation d(archive);
    EXPECT_EQ(d.id(), 6);
    d.commit();
}

TEST_F(ArchiveTest, ReleaseAfterReopenKeepsTheIdTaken) {
    IdAllocation a(archive);
    archive.close();
    archive.open(cfg);
    EXPECT_THROW(a.release(), IoError);
    RawDb db(cfg);
    EXPECT_EQ(db.count("CounterProgrammi", a.id()), 1);
}

// --- list, exists, delete -----------------------------------------------------------------

TEST_F(ArchiveTest, ListHidesTheInstrumentAndSortsByNameThenId) {
    for (const auto& [id, name] : QList<std::pair<qint32, QString>>{
             {3, "beta"}, {4, "Alpha"}, {5, "gamma"}, {6, "alpha"}, {7, "Alpha"}})
        saveConfiguration(archive, id, name);
    const QList<ProgramEntry> expected = {
        {4, "Alpha"}, {7, "Alpha"}, {6, "alpha"}, {3, "beta"}, {5, "gamma"}};
    EXPECT_EQ(archive.list(), expected);

    // A second row with an existing id (saving twice) does not give a second entry.
    saveConfiguration(archive, 3, "beta again");
    EXPECT_EQ(archive.list(), expected);
}

TEST_F(ArchiveTest, DeleteRemovesTheIdFromEveryTableAndNothingElse) {
    saveConfiguration(archive, 3, "three");
    saveConfiguration(archive, 4, "four");
    saveConfiguration(archive, 3, "three twice");
    RawDb db(cfg);
    db.exec("INSERT INTO CounterProgrammi (IDProgramma) VALUES (3)");
    EXPECT_TRUE(archive.exists(3));

    archive.deleteProgram(3);
    for (const QString& table : Archive::recordTables()) {
        EXPECT_EQ(db.count(table, 3), 0) << table.toStdString();
        EXPECT_EQ(db.count(table, 4), 1) << table.toStdString();
        EXPECT_EQ(db.count(table, 2), 1) << table.toStdString();
    }
    EXPECT_EQ(db.count("CounterProgrammi", 3), 1);
    EXPECT_FALSE(archive.exists(3));
    EXPECT_TRUE(archive.exists(4));
    EXPECT_EQ(archive.list(), QList<ProgramEntry>({{4, "four"}}));

    archive.deleteProgram(99);  // nothing stored under it: nothing happens
    EXPECT_TRUE(archive.exists(4));
}

TEST_F(ArchiveTest, TheInstrumentConfigurationCannotBeDeleted) {
    const QString message = messageOf([&] { archive.deleteProgram(Archive::ReservedId); });
    EXPECT_TRUE(message.contains(cfg)) << message.toStdString();
    EXPECT_TRUE(message.contains("configuration 2 is reserved")) << message.toStdString();
    RawDb db(cfg);
    for (const QString& table : Archive::recordTables())
        EXPECT_EQ(db.count(table, 2), 1) << table.toStdString();
}

TEST_F(ArchiveTest, ClosedArchiveRefusesWork) {
    archive.close();
    EXPECT_THROW(archive.list(), IoError);
    EXPECT_THROW(archive.exists(3), IoError);
    EXPECT_THROW(archive.deleteProgram(3), IoError);
    EXPECT_THROW(IdAllocation{archive}, IoError);
    EXPECT_THROW(Transaction{archive}, IoError);
    EXPECT_THROW(Recordset(archive, "CUsoInstr"), IoError);
}

// --- older templates and query plans ----------------------------------------------------

namespace {

// What an archive made by the previous template holds: the id view built with UNION (SQLite
// builds it whole before filtering) and its delete trigger. One index is dropped as well, as
// if the archive predated it.
void makeOlderTemplate(const QString& path) {
    RawDb db(path);
    db.exec("DROP VIEW Canc_Programma");  // drops its trigger too
    QStringList unions;
    QStringList deletes;
    for (const QString& table : Archive::recordTables()) {
        unions << QStringLiteral("SELECT \"IDProgramma\" FROM \"%1\"").arg(table);
        deletes << QStringLiteral("DELETE FROM \"%1\" WHERE \"IDProgramma\" = OLD.\"IDProgramma\";")
                       .arg(table);
    }
    db.exec("CREATE VIEW \"Canc_Programma\" AS " + unions.join(" UNION "));
    db.exec(
        "CREATE TRIGGER \"Canc_Programma_Delete\" INSTEAD OF DELETE ON \"Canc_Programma\" "
        "BEGIN SELECT RAISE(ABORT, 'configuration 2 is reserved for the instrument and "
        "cannot be deleted') WHERE OLD.\"IDProgramma\" = 2; " +
        deletes.join(' ') + " END");
    db.exec("DROP INDEX CAlarm1_IDProgramma");
}

// Each view, trigger and index of a database file with its CREATE statement.
QStringList derivedObjects(const QString& path) {
    RawDb db(path);
    return db
        .scalar(
            "SELECT group_concat(type || ' ' || name || ': ' || sql, '\n') FROM "
            "(SELECT * FROM sqlite_master WHERE type IN ('view', 'trigger', 'index') "
            "AND sql IS NOT NULL ORDER BY name)")
        .toString()
        .split('\n');
}

// The steps of SQLite's plan for `sql` that read a whole table or view.
QStringList scansIn(const QString& path, const QString& sql) {
    QStringList scans;
    QSqlDatabase plan = QSqlDatabase::addDatabase("QSQLITE", "plan");
    {
        plan.setDatabaseName(path);
        EXPECT_TRUE(plan.open());
        QSqlQuery q(plan);
        EXPECT_TRUE(q.exec("EXPLAIN QUERY PLAN " + sql)) << sql.toStdString();
        while (q.next()) {
            const QString detail = q.value(3).toString();
            if (detail.startsWith("SCAN"))
                scans << detail;
        }
    }
    plan = QSqlDatabase();
    QSqlDatabase::removeDatabase("plan");
    return scans;
}

}  // namespace

// The statements of a create and a delete find their rows through the indexes, on a new
// archive and on one made by the older template once opened: none grows with the archive.
TEST_F(ArchiveTest, CreateAndDeleteSearchAndNeverScan) {
    for (const bool older : {false, true}) {
        archive.close();
        QFile::remove(cfg);
        QFile::copy(templatePath(), cfg);
        QFile::setPermissions(cfg, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (older)
            makeOlderTemplate(cfg);
        archive.open(cfg);
        QStringList statements = {
            "SELECT 1 FROM \"Canc_Programma\" WHERE \"IDProgramma\" = 5 LIMIT 1",
            "DELETE FROM \"Canc_Programma\" WHERE \"IDProgramma\" = 5"};
        for (const QString& table : Archive::recordTables()) {
            statements << "SELECT rowid, * FROM \"" + table +
                              "\" WHERE \"IDProgramma\" = 5 ORDER BY rowid LIMIT 1";
            statements << "DELETE FROM \"" + table + "\" WHERE \"IDProgramma\" = 5";
        }
        for (const QString& sql : statements) {
            const QStringList scans = scansIn(cfg, sql);
            // The view's own single pass over its (already filtered) rows is no table scan.
            const QStringList tables =
                scans.filter(QRegularExpression("^SCAN (?!.*Canc_Programma)"));
            EXPECT_TRUE(tables.isEmpty()) << (older ? "older: " : "new: ") << sql.toStdString()
                                          << " -> " << tables.join("; ").toStdString();
        }
    }
}

TEST_F(ArchiveTest, OlderTemplateOpensWithTheCurrentDefinitionsAndKeepsItsData) {
    saveConfiguration(archive, 3, "three");
    saveConfiguration(archive, 4, "four");
    archive.close();
    const QStringList current = derivedObjects(cfg);
    makeOlderTemplate(cfg);
    ASSERT_NE(derivedObjects(cfg), current);
    const QStringList rows = RawDb(cfg).dump();

    archive.open(cfg);
    EXPECT_EQ(derivedObjects(cfg), current);
    EXPECT_EQ(RawDb(cfg).dump(), rows);
    EXPECT_EQ(archive.list(), QList<ProgramEntry>({{4, "four"}, {3, "three"}}));
    EXPECT_TRUE(archive.exists(3));
    archive.deleteProgram(3);
    EXPECT_FALSE(archive.exists(3));
    EXPECT_TRUE(archive.exists(4));
    const QString message = messageOf([&] { archive.deleteProgram(Archive::ReservedId); });
    EXPECT_TRUE(message.contains("configuration 2 is reserved")) << message.toStdString();

    // Up to date now: opening again writes nothing.
    archive.close();
    const QByteArray file = readFile(cfg);
    archive.open(cfg);
    archive.close();
    EXPECT_EQ(readFile(cfg), file);
}

TEST(Open, ReadOnlyOlderArchiveOpensAsItIs) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    TempDir dir;
    const QString cfg = dir.file("Zel2Program.cfg");
    QFile::copy(templatePath(), cfg);
    makeOlderTemplate(cfg);
    QFile::setPermissions(cfg, QFileDevice::ReadOwner);
    const QByteArray before = readFile(cfg);
    Archive archive;
    archive.open(cfg);
    EXPECT_TRUE(archive.exists(Archive::ReservedId));
    EXPECT_TRUE(archive.list().isEmpty());
    archive.close();
    EXPECT_EQ(readFile(cfg), before);
}

// A folder that takes no new file (immutable, binding root too) but a writable archive in it:
// the archive is opened read-only, since a change could not write its journal there.
TEST(Open, ArchiveInAFolderThatTakesNoFileOpensReadOnly) {
    TempDir dir;
    QDir().mkpath(dir.file("data"));
    const QString cfg = dir.file("data/Zel2Program.cfg");
    QFile::copy(templatePath(), cfg);
    makeOlderTemplate(cfg);
    const QByteArray before = readFile(cfg);
    const QString folder = QFile::encodeName(dir.file("data"));
    if (std::system(("chattr +i '" + folder + "' 2>/dev/null").toLocal8Bit().constData()) != 0)
        GTEST_SKIP() << "chattr is not available here";
    {
        Archive archive;
        EXPECT_NO_THROW(archive.open(cfg));
        if (archive.isOpen()) {
            EXPECT_TRUE(archive.list().isEmpty());
            EXPECT_THROW(archive.deleteProgram(10), IoError);
        }
    }
    std::system(("chattr -i '" + folder + "'").toLocal8Bit().constData());
    EXPECT_EQ(readFile(cfg), before);
}

// --- transactions -----------------------------------------------------------------------

TEST_F(ArchiveTest, RolledBackTransactionLeavesTheFileAsItWas) {
    saveConfiguration(archive, 10, "before");
    const QByteArray before = readFile(cfg);
    {
        Transaction t(archive);
        IdAllocation id(archive);
        saveConfiguration(archive, id.id(), "never stored", true);
        archive.deleteProgram(10);
        EXPECT_EQ(archive.list(), QList<ProgramEntry>({{id.id(), "never stored"}}));
        id.commit();
    }
    EXPECT_EQ(readFile(cfg), before);
    EXPECT_FALSE(QFile::exists(cfg + "-journal"));
    EXPECT_EQ(archive.list(), QList<ProgramEntry>({{10, "before"}}));
}

TEST_F(ArchiveTest, CommittedTransactionSurvivesReopening) {
    qint32 id = 0;
    {
        Transaction t(archive);
        IdAllocation allocation(archive);
        id = allocation.id();
        saveConfiguration(archive, id, "stored", true);
        allocation.commit();
        t.commit();
        EXPECT_THROW(t.commit(), IoError);
    }
    archive.close();
    archive.open(cfg);
    EXPECT_EQ(archive.list(), QList<ProgramEntry>({{id, "stored"}}));
}

TEST_F(ArchiveTest, OnlyOneTransactionAtATime) {
    {
        Transaction first(archive);
        EXPECT_THROW(Transaction{archive}, IoError);
        saveConfiguration(archive, 3, "inside", true);
        first.commit();
    }
    Transaction next(archive);  // the first one is over
    next.commit();
    EXPECT_TRUE(archive.exists(3));
}
