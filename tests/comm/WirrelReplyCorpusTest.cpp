#include <gtest/gtest.h>

#include <QDir>
#include <set>

#include "TestSupport.h"
#include "WirrelReplyFuzz.h"
#include "comm/CWirrel.h"

using namespace voltaris;

// Replays the fuzz corpus through the same entry as the fuzzer, so every build checks it.
TEST(WirrelReplyCorpus, EverySeedKeepsTheLinkInvariants) {
    const QDir dir(QStringLiteral(VOLTARIS_FUZZ_CORPUS));
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty()) << dir.path().toStdString();
    std::set<qint32> outcomes;
    for (const QString& name : files) {
        const QByteArray data = test::readFile(dir.filePath(name));
        const auto outcome = test::FuzzWirrelReply(
            reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
        EXPECT_TRUE(outcome.violation.isEmpty())
            << name.toStdString() << ": " << outcome.violation.toStdString();
        outcomes.insert(outcome.error);
    }
    // The seeds reach every outcome of an exchange.
    for (qint32 e :
         {CWirrel::leOk, CWirrel::leUART, CWirrel::leTimeOut, CWirrel::leCancelled, CWirrel::leCRC})
        EXPECT_TRUE(outcomes.count(e)) << "no seed ends with error " << e;
}
