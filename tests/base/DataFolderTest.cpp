#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "TestSupport.h"
#include "base/DataFolder.h"
#include "base/Errors.h"

using namespace voltaris;

namespace {
struct EnvGuard {
    QByteArray saved = qgetenv("VOLTARIS_HOME");
    bool had = qEnvironmentVariableIsSet("VOLTARIS_HOME");
    ~EnvGuard() {
        if (had)
            qputenv("VOLTARIS_HOME", saved);
        else
            qunsetenv("VOLTARIS_HOME");
    }
};
}  // namespace

TEST(DataFolder, OrderOfPrecedence) {
    EnvGuard guard;
    test::TempDir home, env, exe;
    qputenv("VOLTARIS_HOME", env.path().toUtf8());
    EXPECT_EQ(DataFolder::resolve(home.path(), exe.path()), QDir(home.path()).absolutePath());
    EXPECT_EQ(DataFolder::resolve("", exe.path()), QDir(env.path()).absolutePath());
    qunsetenv("VOLTARIS_HOME");
    EXPECT_EQ(DataFolder::resolve("", exe.path()), QDir(exe.path()).absolutePath());
    EXPECT_EQ(DataFolder::path(), QDir(exe.path()).absolutePath());
}

TEST(DataFolder, CreatesAMissingHome) {
    EnvGuard guard;
    test::TempDir base;
    const QString home = base.file("a/b");
    EXPECT_EQ(DataFolder::resolve(home, ""), home);
    EXPECT_TRUE(QDir(home).exists());
    EXPECT_EQ(DataFolder::file("Zel2Program.cfg"), home + "/Zel2Program.cfg");
}

TEST(DataFolder, UncreatableHomeIsAnError) {
    EnvGuard guard;
    test::TempDir base;
    test::writeFile(base.file("plainfile"), "x");
    EXPECT_THROW(DataFolder::resolve(base.file("plainfile/sub"), ""), IoError);
}

TEST(DataFolder, TemplateSearchOrder) {
    DataFolder::set("/data");
    EXPECT_EQ(DataFolder::templateCandidates("/opt/v/bin", "Zel2Setup.dll"),
              QStringList({"/data/Zel2Setup.dll", "/opt/v/bin/Zel2Setup.dll",
                           "/opt/v/share/voltaris/Zel2Setup.dll"}));
}
