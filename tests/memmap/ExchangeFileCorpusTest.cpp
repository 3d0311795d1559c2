#include <gtest/gtest.h>

#include "ExchangeFileFuzz.h"
#include "TestSupport.h"

using namespace voltaris;

// Replays the fuzz corpus through the same entry as the fuzzer, so every build checks it.
TEST(ExchangeFileCorpus, EverySeedKeepsTheReaderInvariants) {
    int refused = 0, converted = 0, checkFailed = 0;
    test::ReplayCorpus(QStringLiteral(VOLTARIS_FUZZ_CORPUS), [&](const uint8_t* data, size_t size) {
        const auto outcome = test::FuzzExchangeFile(data, size);
        if (!outcome.accepted)
            ++refused;
        else
            (outcome.converted ? converted : checkFailed)++;
        return outcome.violation;
    });
    // The seeds reach every outcome of the reader.
    EXPECT_GT(refused, 0);
    EXPECT_GT(converted, 0);
    EXPECT_GT(checkFailed, 0);
}
