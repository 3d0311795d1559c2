#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

namespace voltaris::test {

struct ExchangeFuzzOutcome {
    QString violation;  // empty when the reader behaved
    bool accepted = false;
    bool converted = false;  // the records could be made from the blocks
};

// Gives `data` to the exchange-file reader as a file and checks what must hold whatever the
// file holds: a refused file changes nothing, an accepted one is written back byte for
// byte (the version fields apart), and its blocks convert to records and back without any
// error but a failed check.
ExchangeFuzzOutcome FuzzExchangeFile(const uint8_t* data, size_t size);

}  // namespace voltaris::test
