# Script mode: writes a C++ source that holds the bytes of INPUT as `const unsigned char SYMBOL[]`
# plus `const unsigned long SYMBOL_size`.
#   cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DSYMBOL=<name> -P EmbedFile.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x[0-9a-f][0-9a-f],){32}" "\\0\n" bytes "${bytes}")
file(WRITE "${OUTPUT}" "// Generated from ${INPUT}; do not edit.\n"
    "extern const unsigned char ${SYMBOL}[] = {\n${bytes}\n};\n"
    "extern const unsigned long ${SYMBOL}_size = ${size};\n")
