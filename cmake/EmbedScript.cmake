# Called by voltaris_embed_text: writes the bytes of INPUT as a string literal of hex escapes
# (any byte value, no narrowing), null-terminated, with its size.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hexlen)
math(EXPR size "${hexlen} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escaped "${hex}")
# One quoted chunk per 32 bytes keeps the generated lines short.
string(REGEX REPLACE "((\\\\x[0-9a-f][0-9a-f]){32})" "\\1\"\n\"" escaped "${escaped}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n"
  "extern const char ${SYMBOL}[];\nextern const std::size_t ${SYMBOL}_size;\n"
  "const char ${SYMBOL}[] =\n\"${escaped}\";\nconst std::size_t ${SYMBOL}_size = ${size};\n")
