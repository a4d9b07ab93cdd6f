# Writes a text file into a C++ source as a character array, so that the page's engine
# carries the bundled profiles without a file system. Run as
# cmake -DINPUT=FILE -DOUTPUT=FILE.cpp -DNAME=SYMBOL -P embed_text.cmake.
file(READ ${INPUT} bytes HEX)
string(LENGTH "${bytes}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," list "${bytes}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    "
       list "${list}")
get_filename_component(source ${INPUT} NAME)
file(WRITE ${OUTPUT}.new
"// The text of ${source}, written by web/embed_text.cmake at build time.\n"
"#include <cstddef>\n\n"
"extern const char ${NAME}[];\n"
"extern const std::size_t ${NAME}_SIZE;\n\n"
"const char ${NAME}[] = {\n    ${list}0};\n"
"const std::size_t ${NAME}_SIZE = ${size};\n")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
