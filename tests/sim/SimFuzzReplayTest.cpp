#include "SimRequestFuzz.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>

using namespace voltaris::test;

namespace {

// Runs the checked-in seed corpus (and any crash input added to it) through the fuzz entry.
TEST(SimFuzzReplay, SeedCorpus) {
    const QDir dir(QStringLiteral(VOLTARIS_SIM_CORPUS));
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty()) << dir.path().toStdString();
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray data = readFile(dir.filePath(name));
        EXPECT_EQ(FuzzSimRequest(reinterpret_cast<const uint8_t*>(data.constData()),
                                 static_cast<size_t>(data.size())),
                  0);
    }
}

}  // namespace
