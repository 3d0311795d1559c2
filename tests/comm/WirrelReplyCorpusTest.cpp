#include <gtest/gtest.h>

#include <set>

#include "TestSupport.h"
#include "WirrelReplyFuzz.h"
#include "comm/CWirrel.h"

using namespace voltaris;

// Replays the fuzz corpus through the same entry as the fuzzer, so every build checks it.
TEST(WirrelReplyCorpus, EverySeedKeepsTheLinkInvariants) {
    std::set<qint32> outcomes;
    test::ReplayCorpus(QStringLiteral(VOLTARIS_FUZZ_CORPUS), [&](const uint8_t* data, size_t size) {
        const auto outcome = test::FuzzWirrelReply(data, size);
        outcomes.insert(outcome.error);
        return outcome.violation;
    });
    // The seeds reach every outcome of an exchange.
    for (qint32 e :
         {CWirrel::leOk, CWirrel::leUART, CWirrel::leTimeOut, CWirrel::leCancelled, CWirrel::leCRC})
        EXPECT_TRUE(outcomes.count(e)) << "no seed ends with error " << e;
}
