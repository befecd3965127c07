# Writes a C++ source that holds the built-in texts as byte arrays.
#   cmake -DOUTPUT=<file.cpp> -DRESOURCE_DIR=<dir> -P embed_resources.cmake
# Each resource is a UTF-8 text with LF line breaks; the program joins its
# lines with CR LF when it reads it, so a CR in the file would end up doubled
# and is refused here.
set(resources
  builtinExpressionsBytes builtin_expressions.txt
  defaultUserExpressionsBytes default_user_expressions.txt
  syntaxTableBytes syntax_table.txt
  explanationTableBytes explanation_table.txt)

set(out "// Generated from resources/ by library/embed_resources.cmake. Do not edit.\n")
string(APPEND out "#include \"library/embedded_resources.h\"\n\nnamespace lcr::embedded {\n")
list(LENGTH resources count)
math(EXPR last "${count} - 1")
foreach(i RANGE 0 ${last} 2)
  math(EXPR j "${i} + 1")
  list(GET resources ${i} symbol)
  list(GET resources ${j} file)
  file(READ ${RESOURCE_DIR}/${file} text)
  string(FIND "${text}" "\r" carriageReturn)
  if(NOT carriageReturn EQUAL -1)
    message(FATAL_ERROR "resources/${file} must use LF line breaks only")
  endif()
  file(READ ${RESOURCE_DIR}/${file} hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  # Sixteen bytes per line.
  set(bytes "")
  foreach(offset RANGE 0 ${hexLength} 32)
    string(SUBSTRING "${hex}" ${offset} 32 chunk)
    if(NOT chunk STREQUAL "")
      string(REGEX REPLACE "(..)" "'\\\\x\\1'," chunk "${chunk}")
      string(APPEND bytes "    ${chunk}\n")
    endif()
  endforeach()
  string(APPEND out "\nstd::string_view ${symbol}() {\n"
                    "    static constexpr char bytes[] = {\n${bytes}    '\\0'};\n"
                    "    return {bytes, ${size}};\n}\n")
endforeach()
string(APPEND out "\n}  // namespace lcr::embedded\n")

file(WRITE ${OUTPUT} "${out}")
