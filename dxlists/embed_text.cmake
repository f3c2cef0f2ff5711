# Writes a C++ source that holds the bytes of the built-in DX list files, so
# that the program needs no file at run time.
#   cmake -DOUT=<file.cpp> -DHAM=<ham.tsv> -DCB=<cb.tsv> -P embed_text.cmake
# Each list becomes `extern const unsigned char <name>[]` (its bytes and a
# closing zero) and `extern const std::size_t <name>Size` (without the zero)
# in namespace dx::embedded.
set(NAMES HamList CbList)
set(FILES "${HAM}" "${CB}")
foreach(path ${FILES})
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "embed_text.cmake: ${path} not found")
  endif()
endforeach()
list(LENGTH NAMES count)

set(text "// Generated at build time from the built-in DX list files; do not edit.\n")
string(APPEND text "#include <cstddef>\n\nnamespace dx::embedded {\n")
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  list(GET NAMES ${i} name)
  list(GET FILES ${i} path)
  file(READ "${path}" bytes HEX)
  string(LENGTH "${bytes}" hex_length)
  math(EXPR size "${hex_length} / 2")
  # Sixteen bytes a line.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
  string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n" bytes "${bytes}")
  string(APPEND text "\nextern const unsigned char ${name}[] = {\n${bytes}0x00};\n")
  string(APPEND text "extern const std::size_t ${name}Size = ${size};\n")
endforeach()
string(APPEND text "\n} // namespace dx::embedded\n")

file(WRITE "${OUT}.tmp" "${text}")
file(RENAME "${OUT}.tmp" "${OUT}")
