#include <cstdio>
#include <cstdlib>

#include "WirrelReplyFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto outcome = voltaris::test::FuzzWirrelReply(data, size);
    if (!outcome.violation.isEmpty()) {
        std::fprintf(stderr, "link invariant broken: %s\n", qPrintable(outcome.violation));
        std::abort();
    }
    return 0;
}
