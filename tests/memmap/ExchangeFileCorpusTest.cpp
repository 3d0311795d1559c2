#include <gtest/gtest.h>

#include <QDir>

#include "ExchangeFileFuzz.h"
#include "TestSupport.h"

using namespace voltaris;

// Replays the fuzz corpus through the same entry as the fuzzer, so every build checks it.
TEST(ExchangeFileCorpus, EverySeedKeepsTheReaderInvariants) {
    const QDir dir(QStringLiteral(VOLTARIS_FUZZ_CORPUS));
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty()) << dir.path().toStdString();
    int accepted = 0, refused = 0, converted = 0, checkFailed = 0;
    for (const QString& name : files) {
        const QByteArray data = test::readFile(dir.filePath(name));
        const auto outcome = test::FuzzExchangeFile(
            reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
        EXPECT_TRUE(outcome.violation.isEmpty())
            << name.toStdString() << ": " << outcome.violation.toStdString();
        (outcome.accepted ? accepted : refused)++;
        if (outcome.accepted)
            (outcome.converted ? converted : checkFailed)++;
    }
    // The seeds reach every outcome of the reader.
    EXPECT_GT(refused, 0);
    EXPECT_GT(converted, 0);
    EXPECT_GT(checkFailed, 0);
}
