# Called by voltaris_embed_text: writes the bytes of INPUT as a char array.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hexlen)
math(EXPR size "${hexlen} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){32})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n"
  "extern const char ${SYMBOL}[];\nextern const std::size_t ${SYMBOL}_size;\n"
  "const char ${SYMBOL}[] = {\n${bytes}0x00};\nconst std::size_t ${SYMBOL}_size = ${size};\n")
