#pragma once

#include <cstddef>
#include <cstdint>

namespace voltaris::test {

// Feeds `data` as a byte stream to a fresh line of simulated instruments and checks what
// comes back; aborts with a message when a reply breaks the protocol. Byte 0 chooses the
// line speed and the auxiliary port, the rest is the stream. The libFuzzer target and the
// corpus replay test both run inputs through this function.
int FuzzSimRequest(const uint8_t* data, size_t size);

}  // namespace voltaris::test
