#include "SimRequestFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return voltaris::test::FuzzSimRequest(data, size);
}
