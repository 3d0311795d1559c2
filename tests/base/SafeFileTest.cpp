#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <functional>

#include "TestSupport.h"
#include "base/CINIManager.h"
#include "base/Errors.h"
#include "base/SafeFile.h"
#include "base/SettingsStore.h"

using namespace voltaris;

namespace {

// A writer of base under test: writes `path`, false when it reports a failure.
struct Writer {
    const char* name;
    std::function<bool(const QString& path)> write;
};

bool writeSafely(const QString& path) {
    try {
        WriteFileSafely(path, QByteArray(3000, 'v'));
        return true;
    } catch (const IoError& e) {
        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(path))) << e.what();
        return false;
    }
}

bool writeIni(const QString& path) {
    CINIManager ini;
    ini.Create(path);
    return ini.INIAddKeyString(QStringLiteral("Section"), QStringLiteral("Key"),
                               QString(3000, u'v'));
}

bool writeSettings(const QString& path) {
    test::ScopedSettingsFile scoped(path);
    SettingsStore store;
    store.setValue(QStringLiteral("Settings"), QStringLiteral("Key"), QString(3000, u'v'));
    return store.sync();
}

const Writer kWriters[] = {
    {"WriteFileSafely", writeSafely},
    {"CINIManager", writeIni},
    {"SettingsStore", writeSettings},
};

class FullDisk : public ::testing::TestWithParam<Writer> {};

TEST_P(FullDisk, NewFileFailsAndLeavesNothing) {
    test::SmallFileSystem fs;
    if (!fs.ok())
        GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    fs.fillUp();
    EXPECT_FALSE(GetParam().write(fs.file("out.ini")));
    EXPECT_EQ(QDir(fs.path()).entryList(QDir::Files), QStringList{"filler"});
}

TEST_P(FullDisk, ReplacingFailsAndKeepsTheOldFile) {
    test::SmallFileSystem fs;
    if (!fs.ok())
        GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    const QString target = fs.file("out.ini");
    const QByteArray old = "[Old]\nKey=1\n";
    test::writeFile(target, old);
    fs.fillUp();
    EXPECT_FALSE(GetParam().write(target));
    EXPECT_EQ(test::readFile(target), old);
    EXPECT_EQ(QDir(fs.path()).entryList(QDir::Files), (QStringList{"filler", "out.ini"}));
}

TEST_P(FullDisk, WritesWhenThereIsRoom) {
    test::TempDir dir;
    const QString target = dir.file("out.ini");
    test::writeFile(target, "[Old]\nKey=1\n");
    EXPECT_TRUE(GetParam().write(target));
    EXPECT_GE(QFileInfo(target).size(), 3000);
}

INSTANTIATE_TEST_SUITE_P(Writers, FullDisk, ::testing::ValuesIn(kWriters),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SafeFile, DeviceIsWrittenDirectlyAndEveryWriteChecked) {
    test::TempDir dir;
    const QString full = test::MakeFullDevice(dir);
    if (full.isEmpty())
        GTEST_SKIP() << "device nodes cannot be made here";
    EXPECT_FALSE(writeSafely(full));
    EXPECT_TRUE(QFileInfo(full).exists());
    EXPECT_FALSE(QFileInfo(full).isFile());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              QStringList{"full"});
}

TEST(SafeFile, AbandonedWriteLeavesTheOldFile) {
    test::TempDir dir;
    const QString target = dir.file("keep.bin");
    test::writeFile(target, "old");
    {
        SafeFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write("new bytes"), 9);
    }
    EXPECT_EQ(test::readFile(target), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.bin"});
}

TEST(SafeFile, MissingFolderIsReportedAtOpen) {
    test::TempDir dir;
    SafeFile file(dir.file("no/such/folder/x.bin"));
    EXPECT_FALSE(file.open(QIODevice::WriteOnly));
    EXPECT_FALSE(file.errorString().isEmpty());
    EXPECT_THROW(file.commit(), IoError);
}

}  // namespace
