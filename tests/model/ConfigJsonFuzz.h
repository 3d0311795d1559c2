#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

namespace voltaris::test {

struct ConfigJsonOutcome {
    QString violation;      // empty when the reader behaved
    bool accepted = false;  // the document was taken onto a new configuration
};

// Reads `data` as a configuration document onto a new configuration and onto a stored
// one, and checks what must hold whatever the bytes: no exception escapes, a refused
// document names its problems and changes nothing, an accepted one passes the rules and
// reads back from its own JSON text unchanged.
ConfigJsonOutcome FuzzConfigurationJson(const uint8_t* data, size_t size);

}  // namespace voltaris::test
