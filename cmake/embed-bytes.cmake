# Writes the bytes of INPUT into OUTPUT as a C++ array:
#   extern "C" const unsigned char sorahiki_res_data[];
#   extern "C" const unsigned long sorahiki_res_size;
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_len)
math(EXPR size "${hex_len} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT}
  "// Generated from the compiled resource script; do not edit.\n"
  "extern \"C\" const unsigned char sorahiki_res_data[] = {\n${bytes}\n};\n"
  "extern \"C\" const unsigned long sorahiki_res_size = ${size};\n")
