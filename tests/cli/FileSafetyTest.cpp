// What the program writes is written in full or not at all; a read-only data folder still
// serves the commands that only read.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include "CliTestSupport.h"
#include "TestSupport.h"
#include "cli/Cli.h"

using namespace voltaris;

namespace {

using Outcome = test::CliRun;

// The program itself, as the report needs its graphical platform set up as installers run it.
Outcome program(const QString& home, const QStringList& args) {
    return test::RunProgram(home, QDir(home).filePath("settings.ini"), args);
}

QString createDemo(const QString& home) {
    const Outcome created =
        program(home, {"create", "--json",
                       QStringLiteral(VOLTARIS_SOURCE_DIR "/resources/demo-configuration.json")});
    EXPECT_EQ(created.status, cli::kDone) << created.err.toStdString();
    return created.out.trimmed();
}

struct WriteCase {
    const char* name;
    QStringList args;  // after the configuration id; %1 is the target file
    bool existing;     // a good file is there before
};

const WriteCase kWrites[] = {
    {"export", {"export", "%id", "%1"}, false},
    {"exportReplacing", {"export", "%id", "%1", "--force"}, true},
    {"report", {"report", "%id", "--pdf", "%1"}, false},
    {"reportReplacing", {"report", "%id", "--pdf", "%1", "--force"}, true},
};

QStringList argsFor(const WriteCase& c, const QString& id, const QString& target) {
    QStringList out;
    for (const QString& a : c.args)
        out << (a == "%id" ? id : a == "%1" ? target : a);
    return out;
}

class FullDisk : public testing::TestWithParam<WriteCase> {};

TEST_P(FullDisk, FailsNamingTheFileAndKeepsTheOldOne) {
    test::SmallFileSystem fs;
    if (!fs.ok())
        GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    test::TempDir home;
    const QString id = createDemo(home.path());
    const QString target = fs.file("out.file");
    const QByteArray old = "a good file of the user";
    if (GetParam().existing)
        test::writeFile(target, old);
    fs.fillUp();

    const Outcome r = program(home.path(), argsFor(GetParam(), id, target));
    EXPECT_EQ(r.status, cli::kFailed) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("Cannot write " + target + ": No space left on device"))
        << r.err.toStdString();
    EXPECT_FALSE(r.out.contains("page(s)")) << r.out.toStdString();
    EXPECT_EQ(test::readFile(target), GetParam().existing ? old : QByteArray());
    EXPECT_EQ(QFileInfo::exists(target), GetParam().existing);
    EXPECT_EQ(QDir(fs.path()).entryList(QDir::Files).size(), GetParam().existing ? 2 : 1);
}

TEST_P(FullDisk, DeviceThatRefusesEveryWriteIsAFailure) {
    test::TempDir home, devices;
    const QString full = test::MakeFullDevice(devices);
    if (full.isEmpty())
        GTEST_SKIP() << "device nodes cannot be made here";
    const QString id = createDemo(home.path());
    WriteCase forced = GetParam();
    if (!forced.existing)
        forced.args << "--force";
    const Outcome r = program(home.path(), argsFor(forced, id, full));
    EXPECT_EQ(r.status, cli::kFailed) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("Cannot write " + full + ": No space left on device"))
        << r.err.toStdString();
    EXPECT_FALSE(r.out.contains("page(s)")) << r.out.toStdString();
    EXPECT_FALSE(QFileInfo(full).isFile());
}

INSTANTIATE_TEST_SUITE_P(Writers, FullDisk, testing::ValuesIn(kWrites),
                         [](const auto& info) { return std::string(info.param.name); });

// A real read-only folder (a read-only bind mount binds root too).
TEST(DataFolder, ReadOnlyFolderServesTheCommandsThatOnlyRead) {
    test::TempDir home, out;
    const QString id = createDemo(home.path());
    test::ReadOnlyView view(home.path());
    if (!view.ok())
        GTEST_SKIP() << "mounting is not permitted here";
    const QString archive = QDir(home.path()).filePath("Zel2Program.cfg");
    const QByteArray before = test::readFile(archive);

    const QList<QStringList> reading = {{"list"},
                                        {"show", id},
                                        {"export", id, out.file("e.zla")},
                                        {"report", id, "--pdf", out.file("r.pdf")}};
    for (const QStringList& args : reading) {
        const Outcome r = program(view.path(), args);
        EXPECT_EQ(r.status, cli::kDone)
            << args.join(' ').toStdString() << ": " << r.err.toStdString();
    }
    EXPECT_TRUE(QFileInfo(out.file("e.zla")).size() > 0);
    EXPECT_TRUE(test::readFile(out.file("r.pdf")).startsWith("%PDF"));

    const Outcome deleted = program(view.path(), {"delete", id, "--yes"});
    EXPECT_EQ(deleted.status, cli::kFailed);
    EXPECT_TRUE(deleted.err.contains("readonly")) << deleted.err.toStdString();
    EXPECT_EQ(test::readFile(archive), before);
}

TEST(DataFolder, EmptyArchiveIsProvisionedLikeAMissingOne) {
    test::TempDir home;
    test::writeFile(home.file("Zel2Program.cfg"), "");
    const Outcome listed = program(home.path(), {"list"});
    EXPECT_EQ(listed.status, cli::kDone) << listed.err.toStdString();
    EXPECT_EQ(test::readFile(home.file("Zel2Program.cfg")),
              test::readFile(QStringLiteral(VOLTARIS_BIN_DIR "/Zel2Setup.dll")));
}

}  // namespace
