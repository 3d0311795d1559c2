#include <cstdio>
#include <cstdlib>

#include "ConfigJsonFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto outcome = voltaris::test::FuzzConfigurationJson(data, size);
    if (!outcome.violation.isEmpty()) {
        std::fprintf(stderr, "configuration reader invariant broken: %s\n",
                     qPrintable(outcome.violation));
        std::abort();
    }
    return 0;
}
