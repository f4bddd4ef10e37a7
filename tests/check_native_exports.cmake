# Fails unless the module's dynamic symbol table defines GetOutputPluginTable
# and nothing else.
execute_process(COMMAND nm -D --defined-only ${MODULE}
  OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${MODULE}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
set(exported "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^[0-9a-fA-F]* *[A-Za-z] " "" name "${line}")
  list(APPEND exported "${name}")
endforeach()
if(NOT exported STREQUAL "GetOutputPluginTable")
  message(FATAL_ERROR "exported: ${exported}")
endif()
message(STATUS "only export: ${exported}")
