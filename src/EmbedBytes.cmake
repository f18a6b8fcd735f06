# Writes a C++ header holding a file's bytes, so a program carries the file
# within it: "inline constexpr char NAME[]", every byte written as '\xHH'
# (any content is safe) and a 0 after the last, so that sizeof NAME - 1 is the
# file's size, an empty file included.
#   cmake -DINPUT=<file> -DOUTPUT=<header> -DNAME=<C++ name> -DNAMESPACE=<C++ namespace> -P EmbedBytes.cmake
foreach(variable INPUT OUTPUT NAME NAMESPACE)
  if(NOT ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
# Sixteen bytes a line.
string(REPEAT "'\\\\x[0-9a-f][0-9a-f]'," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT} by EmbedBytes.cmake; do not edit.\n"
  "#pragma once\n\n"
  "namespace ${NAMESPACE} {\n\n"
  "inline constexpr char ${NAME}[] = {\n${bytes}'\\0'};\n\n"
  "}  // namespace ${NAMESPACE}\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
