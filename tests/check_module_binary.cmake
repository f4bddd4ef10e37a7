# The module a user copies alone: PE32 for i386 (the .auo) or PE32+ for
# x86-64 (the .auo2), its exports and nothing else, and imports from system
# DLLs only.
#   cmake -DMODULE=... -DOBJDUMP=... -DFORMAT=pei-i386|pei-x86-64 -DEXPORTS="a;b" -P check_module_binary.cmake
execute_process(COMMAND ${OBJDUMP} -p ${MODULE}
  OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${MODULE}")
endif()
if(NOT dump MATCHES "file format ${FORMAT}\n")
  message(FATAL_ERROR "not a ${FORMAT} image")
endif()
if(FORMAT STREQUAL "pei-i386")
  set(magic 010b)
else()
  set(magic 020b)
endif()
if(NOT dump MATCHES "Magic[\t ]+${magic}")
  message(FATAL_ERROR "optional header magic is not ${magic}")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(import IN LISTS imports)
  string(REPLACE "DLL Name: " "" dll "${import}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll MATCHES "^(kernel32|user32|shell32|msvcrt)\\.dll$")
    message(FATAL_ERROR "imports ${dll}, which users do not have")
  endif()
endforeach()
message(STATUS "imports: ${imports}")

string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(([\t ]+\\[[ 0-9]+\\] [^\n]+\n)+)" table "${dump}")
# Each line "[   n] Name" becomes "Name;" (no brackets reach a CMake list).
string(REGEX REPLACE "[\t ]+\\[[ 0-9]+\\] ([^\n]+)\n" "\\1;" names "${CMAKE_MATCH_1}")
string(REGEX REPLACE ";$" "" names "${names}")
if(NOT names STREQUAL EXPORTS)
  message(FATAL_ERROR "exports: ${names}, expected ${EXPORTS}")
endif()
message(STATUS "exports: ${names}")
