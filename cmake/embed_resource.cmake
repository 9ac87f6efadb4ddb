# Turns a binary file into a C++ source defining a byte array and its size.
# Run as: cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=name -P embed_resource.cmake
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    " bytes "${bytes}")
file(WRITE ${OUTPUT}
"// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n#include <cstdint>\n\n"
"extern const uint8_t ${SYMBOL}[];\nextern const size_t ${SYMBOL}Size;\n"
"const uint8_t ${SYMBOL}[] = {\n    ${bytes}\n};\nconst size_t ${SYMBOL}Size = ${size};\n")
