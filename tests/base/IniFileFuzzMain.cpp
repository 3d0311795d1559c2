#include <cstdio>
#include <cstdlib>

#include "IniFileFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString violation = voltaris::test::FuzzIniFile(data, size);
    if (!violation.isEmpty()) {
        std::fprintf(stderr, "INI reader invariant broken: %s\n", qPrintable(violation));
        std::abort();
    }
    return 0;
}
