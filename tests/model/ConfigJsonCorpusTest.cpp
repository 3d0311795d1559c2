#include <gtest/gtest.h>

#include "ConfigJsonFuzz.h"
#include "TestSupport.h"

using namespace voltaris;

// Replays the fuzz corpus through the fuzzer's own entry, so every build checks it.
TEST(ConfigJsonCorpus, EverySeedKeepsTheReaderInvariants) {
    int accepted = 0;
    const int seeds = test::ReplayCorpus(
        QStringLiteral(VOLTARIS_CONFIG_JSON_CORPUS), [&](const uint8_t* data, size_t size) {
            const auto outcome = test::FuzzConfigurationJson(data, size);
            accepted += outcome.accepted ? 1 : 0;
            return outcome.violation;
        });
    // The seeds reach both ends: documents taken and documents refused.
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, seeds);
}
