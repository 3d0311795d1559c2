#include <gtest/gtest.h>

#include "IniFileFuzz.h"
#include "TestSupport.h"

using namespace voltaris;

// Replays the fuzz corpus through the fuzzer's own entry, so every build checks it.
TEST(IniFileCorpus, EverySeedKeepsTheManagerInvariants) {
    test::ReplayCorpus(QStringLiteral(VOLTARIS_INI_CORPUS), test::FuzzIniFile);
}
