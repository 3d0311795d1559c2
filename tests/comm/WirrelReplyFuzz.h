#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

namespace voltaris::test {

struct FuzzOutcome {
    QString violation;  // empty when the link behaved
    qint32 error = -1;  // Error of the first exchange
    int transmissions = 0;
};

// Runs two exchanges of the link (CWirrel on WirrelObj) against a line whose answers are
// read from `data`: byte 0 the expected reply length, byte 1 the link's options, then a
// script of replies (any bytes, in pieces, late), line faults and silences. Checks what
// must hold whatever comes from the line.
FuzzOutcome FuzzWirrelReply(const uint8_t* data, size_t size);

}  // namespace voltaris::test
