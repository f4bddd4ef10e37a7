# Native build: the plug-in's objects serve both a static library for the
# tests and the shared module a host loads with dlopen.
add_library(plugin_objects OBJECT ${PLUGIN_SOURCES} ${PLATFORM_STUB_SOURCES})
target_include_directories(plugin_objects PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_definitions(plugin_objects PUBLIC _FILE_OFFSET_BITS=64)

add_library(plugin_core STATIC $<TARGET_OBJECTS:plugin_objects>)
target_include_directories(plugin_core PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_definitions(plugin_core PUBLIC _FILE_OFFSET_BITS=64)

add_library(yuv4mpeg2 MODULE $<TARGET_OBJECTS:plugin_objects>)
set_target_properties(yuv4mpeg2 PROPERTIES PREFIX "")
# Every symbol resolved at link time, except in sanitizer builds, whose
# runtime the executable that loads the module provides.
if(NOT CMAKE_CXX_FLAGS MATCHES "sanitize")
  target_link_options(yuv4mpeg2 PRIVATE -Wl,--no-undefined -Wl,-z,defs)
endif()
