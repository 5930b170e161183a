# cmake -DINPUT=FILE -DOUTPUT=FILE.cpp -DNAME=SYMBOL -P embed_text.cmake
#
# Writes a C++ file that defines `const char SYMBOL[]`, declared in
# preview_assets.h, as the bytes of FILE and a closing NUL. A byte array
# holds any text exactly: no delimiter to collide with, and no limit on the
# length of a string literal.
file(READ "${INPUT}" hex HEX)
# Sixteen bytes (32 hex digits) a line.
string(REGEX REPLACE "(................................)" "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}" "// Generated from ${name} by embed_text.cmake; edit ${name}.
#include \"kit/preview/preview_assets.h\"

const char ${NAME}[] = {
${bytes}0x00};
")
