#pragma once

#include <QtGlobal>
#include <bit>

// Byte and word helpers for register values: instrument words are signed 16-bit, a 32-bit
// value spans two words, and a single travels as its four bytes.
namespace voltaris::MBytes {

// v AND 0xFF.
constexpr quint8 LoByte(qint32 v) {
    return static_cast<quint8>(v & 0xFF);
}
// (v shifted right 8) AND 0xFF.
constexpr quint8 HiByte(qint32 v) {
    return static_cast<quint8>((v >> 8) & 0xFF);
}
// hi x 256 + lo, taken as a signed 16-bit value (0xFF, 0xFE gives -2).
constexpr qint16 MakeWord(quint8 lo, quint8 hi) {
    return static_cast<qint16>(static_cast<quint16>((hi << 8) | lo));
}
// The low 16 bits of v, taken as signed 16-bit.
constexpr qint16 LoWord(qint32 v) {
    return static_cast<qint16>(static_cast<quint16>(static_cast<quint32>(v) & 0xFFFFu));
}
// v shifted right 16 (arithmetic: a negative v gives a negative word).
constexpr qint16 HiWord(qint32 v) {
    return static_cast<qint16>(v >> 16);
}
// hi x 65536 + (lo AND 0xFFFF).
constexpr qint32 MakeLong(qint16 lo, qint16 hi) {
    return static_cast<qint32>((static_cast<quint32>(static_cast<quint16>(hi)) << 16) |
                               static_cast<quint16>(lo));
}
// The same four bytes read as an IEEE-754 single.
constexpr float SingleFromLong(qint32 v) {
    return std::bit_cast<float>(v);
}
// The four bytes of the single x read as a 32-bit integer.
constexpr qint32 LongFromSingle(float x) {
    return std::bit_cast<qint32>(x);
}

}  // namespace voltaris::MBytes
