#include <gtest/gtest.h>

#include <QDir>

#include "ConfigJsonFuzz.h"
#include "TestSupport.h"

using namespace voltaris;

// Replays the fuzz corpus through the fuzzer's own entry, so every build checks it.
TEST(ConfigJsonCorpus, EverySeedKeepsTheReaderInvariants) {
    const QDir dir(QStringLiteral(VOLTARIS_CONFIG_JSON_CORPUS));
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty()) << dir.path().toStdString();
    int accepted = 0;
    for (const QString& name : files) {
        const QByteArray data = test::readFile(dir.filePath(name));
        const auto outcome = test::FuzzConfigurationJson(
            reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
        EXPECT_TRUE(outcome.violation.isEmpty())
            << name.toStdString() << ": " << outcome.violation.toStdString();
        accepted += outcome.accepted ? 1 : 0;
    }
    // The seeds reach both ends: documents taken and documents refused.
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, files.size());
}
