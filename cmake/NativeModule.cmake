# Native build: the plug-in's objects serve both a static library for the
# tests and the shared module a host loads with dlopen.
add_library(plugin_core STATIC)
target_link_libraries(plugin_core PUBLIC plugin_objects plugin_converters)

add_library(yuv4mpeg2 MODULE)
target_link_libraries(yuv4mpeg2 PRIVATE plugin_objects plugin_converters)
set_target_properties(yuv4mpeg2 PROPERTIES PREFIX "")
# Every symbol resolved at link time, except in sanitizer builds, whose
# runtime the executable that loads the module provides.
if(NOT Y4M_SANITIZER_FLAGS)
  target_link_options(yuv4mpeg2 PRIVATE -Wl,--no-undefined -Wl,-z,defs)
endif()
