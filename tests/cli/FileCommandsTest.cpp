// voltaris export / import.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "CliTestSupport.h"
#include "TestSupport.h"
#include "base/ResString.h"
#include "cli/Cli.h"

using namespace voltaris;

namespace {

using Result = test::CliRun;

QString fixture(const char* name) {
    return test::dataPath(QStringLiteral("memmap/") + QLatin1String(name));
}

class FileCommands : public testing::Test {
protected:
    Result run(const QStringList& args) { return test::RunCliIn(home.path(), args); }
    QString listing() { return run({"list"}).out; }
    test::TempDir home, files;
};

TEST_F(FileCommands, ImportPrintsTheNewIdAndExportWritesTheSameFile) {
    const Result first = run({"import", fixture("km61_r2.ZLA")});
    ASSERT_EQ(first.status, cli::kDone) << first.err.toStdString();
    const QString id = first.out.trimmed();
    EXPECT_GT(id.toInt(), 2);

    const QString path = files.file("Quadro.ZLA");
    const Result exported = run({"export", id, path});
    ASSERT_EQ(exported.status, cli::kDone) << exported.err.toStdString();
    EXPECT_EQ(exported.out, QString());
    EXPECT_EQ(test::readFile(path), test::readFile(fixture("km61_r2.ZLA")));

    // The file goes in again as a second configuration of the same name.
    const Result second = run({"import", path});
    ASSERT_EQ(second.status, cli::kDone) << second.err.toStdString();
    EXPECT_NE(second.out.trimmed(), id);
    EXPECT_EQ(listing().count(QString::fromUtf8("Quadro Nord \u00e8")), 2);

    const QStringList logs = QDir(home.path()).entryList({"*.DBG"});
    ASSERT_EQ(logs.size(), 1);
    const QByteArray log = test::readFile(home.file(logs.first()));
    EXPECT_TRUE(log.contains("Nome file import: " + QFile::encodeName(path) + "\r\n"));
    EXPECT_TRUE(log.contains("Export programma Quadro Nord \xe8\r\nNome file export: "));
}

TEST_F(FileCommands, ExportDoesNotReplaceAFileUnlessForced) {
    const QString id = run({"import", fixture("km61_r2.ZLA")}).out.trimmed();
    const QString path = files.file("existing.ZLA");
    test::writeFile(path, "keep me");

    const Result refused = run({"export", id, path});
    EXPECT_EQ(refused.status, cli::kFailed);
    EXPECT_TRUE(refused.err.contains(path)) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("--force"));
    EXPECT_EQ(test::readFile(path), QByteArray("keep me"));

    const Result forced = run({"export", id, path, "--force"});
    EXPECT_EQ(forced.status, cli::kDone) << forced.err.toStdString();
    EXPECT_EQ(test::readFile(path), test::readFile(fixture("km61_r2.ZLA")));
}

TEST_F(FileCommands, RelativePathsAreNamedInFull) {
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(files.path()));
    test::writeFile(files.file("other.ZLA"), test::readFile(fixture("foreign.ZLA")));
    const Result r = run({"import", "other.ZLA"});
    QDir::setCurrent(previous);
    EXPECT_EQ(r.status, cli::kFailed);
    EXPECT_TRUE(r.err.contains(QFileInfo(files.file("other.ZLA")).absoluteFilePath()))
        << r.err.toStdString();
}

TEST_F(FileCommands, RefusedAndUnreadableFilesAddNothing) {
    ASSERT_EQ(run({"list"}).status, cli::kDone);
    const struct {
        QString path;
        QString message;
    } cases[] = {
        {fixture("foreign.ZLA"), cli::plainText(FormatResString(811, fixture("foreign.ZLA")))},
        {fixture("short.ZLA"), cli::plainText(FormatResString(811, fixture("short.ZLA")))},
        {fixture("bad_counter.ZLA"),
         cli::plainText(FormatResString(811, fixture("bad_counter.ZLA")))},
        {files.file("absent.ZLA"), files.file("absent.ZLA")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const Result r = run({"import", c.path});
        EXPECT_EQ(r.status, cli::kFailed);
        EXPECT_EQ(r.out, QString());
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_EQ(listing(), QString());
    }
}

// The file holds 50 single-byte characters: an export says what it did to the name.
TEST_F(FileCommands, ExportWarnsWhenTheFileCannotHoldTheName) {
    const struct {
        QString name;
        QString warning;  // empty: none
    } cases[] = {
        {QStringLiteral("Quadro Nord"), QString()},
        {QString::fromUtf8("Cabina \u00e8"), QString()},
        {QString(50, u'x'), QString()},
        {QString(60, u'x'), "cut to 50 characters; the file holds \"" + QString(50, u'x') + '"'},
        {QString::fromUtf8("F\u00ebeder \u2603"),
         QString::fromUtf8("replaced by '?'; the file holds \"F\u00ebeder ?\"")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const QString json =
            QStringLiteral(
                R"({"CUsoInstr": {"InstrModel": "KM6.1.x.R2.KX", "NomeProgramma": "%1"}})")
                .arg(c.name);
        const Result created = test::RunCli({"--home", home.path(), "create", "--json", "-"}, json);
        ASSERT_EQ(created.status, cli::kDone) << created.err.toStdString();
        const Result r = run({"export", created.out.trimmed(), files.file("n.ZLA"), "--force"});
        EXPECT_EQ(r.status, cli::kDone);
        if (c.warning.isEmpty())
            EXPECT_EQ(r.err, QString());
        else
            EXPECT_TRUE(r.err.contains(c.warning)) << r.err.toStdString();
    }
}

// A file of ours with values the pages refuse is bad input: every field named, exit 2.
TEST_F(FileCommands, ImportOfValuesOutOfRangeNamesThemAndAddsNothing) {
    QByteArray bytes = test::readFile(fixture("km61_r2.ZLA"));
    bytes.replace(124, 2, QByteArray("\x09\x00", 2));  // wiring system (ParamMemMap word 7)
    bytes.replace(114, 2, QByteArray("\x00\x00", 2));  // VT ratio (word 2)
    const QString path = files.file("bad.ZLA");
    test::writeFile(path, bytes);
    const Result r = run({"import", path});
    EXPECT_EQ(r.status, cli::kBadUsage);
    EXPECT_EQ(r.out, QString());
    EXPECT_TRUE(r.err.contains(path)) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("CUsoInstr.System: 9 is outside 0..4")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("CUsoInstr.RapportoTV: 0 is outside 10..60000"));
    EXPECT_EQ(listing(), QString());
}

TEST_F(FileCommands, ExportFailuresAndBadUsage) {
    const QString id = run({"import", fixture("km61_r2.ZLA")}).out.trimmed();
    const QString path = files.file("x.ZLA");

    Result r = run({"export", "999", path});
    EXPECT_EQ(r.status, cli::kFailed);
    EXPECT_TRUE(r.err.contains("999"));
    r = run({"export", id, files.file("no/such/folder/x.ZLA")});
    EXPECT_EQ(r.status, cli::kFailed);
    EXPECT_TRUE(r.err.contains(files.file("no/such/folder/x.ZLA"))) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path));

    const QList<QStringList> usage = {
        {"export"},
        {"export", id},
        {"export", "abc", path},
        {"export", id, path, "extra"},
        {"export", id, path, "--overwrite"},
        {"import"},
        {"import", path, path},
    };
    for (const QStringList& args : usage) {
        r = run(args);
        EXPECT_EQ(r.status, cli::kBadUsage) << args.join(' ').toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(path));
}

}  // namespace
