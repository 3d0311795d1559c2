#include <cstdio>
#include <cstdlib>

#include "ExchangeFileFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto outcome = voltaris::test::FuzzExchangeFile(data, size);
    if (!outcome.violation.isEmpty()) {
        std::fprintf(stderr, "exchange file reader: %s\n", qPrintable(outcome.violation));
        std::abort();
    }
    return 0;
}
