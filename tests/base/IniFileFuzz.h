#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

namespace voltaris::test {

// Gives `data` to CINIManager as an INI file and checks what must hold whatever it holds:
// the readers do not throw and a long is never negative, a key added in a section of its
// own reads back and leaves every value of the file as it was, a refused write changes no
// byte, and removing the added section gives the other values back unchanged. Returns the
// broken invariant, empty when none.
QString FuzzIniFile(const uint8_t* data, size_t size);

}  // namespace voltaris::test
