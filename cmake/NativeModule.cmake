# Native build: the plug-in's objects, both hosts' boundaries included (the
# 32-bit build: AviUtl 1.x's only), serve a static library for the tests; the
# shared module a host loads with dlopen speaks AviUtl 1.x's interface, as
# y4mhost does.
add_library(plugin_core STATIC)
target_link_libraries(plugin_core PUBLIC plugin_objects plugin_converters plugin_aviutl1)
if(Y4M_WITH_EXEDIT2)
  target_link_libraries(plugin_core PUBLIC plugin_exedit2)
endif()

add_library(yuv4mpeg2 MODULE)
target_link_libraries(yuv4mpeg2 PRIVATE plugin_objects plugin_converters plugin_aviutl1)
set_target_properties(yuv4mpeg2 PROPERTIES PREFIX "")
# Every symbol resolved at link time, except in sanitizer builds, whose
# runtime the executable that loads the module provides.
if(NOT Y4M_SANITIZER_FLAGS)
  target_link_options(yuv4mpeg2 PRIVATE -Wl,--no-undefined -Wl,-z,defs)
endif()

if(NOT Y4M_WITH_EXEDIT2)
  return()
endif()
# The same plug-in through ExEdit2's interface, so that y4mhost drives the
# .auo2's boundary natively too (under the sanitizers included). Its one
# export is ExEdit2's table as GetOutputPluginTable, as the .auo2's .def
# names it; the file is named as ExEdit2 names its modules, which is how
# y4mhost tells the interfaces apart.
add_library(yuv4mpeg2_exedit2 MODULE exedit2/exedit2_native_exports.cpp)
target_link_libraries(yuv4mpeg2_exedit2 PRIVATE plugin_objects plugin_converters plugin_exedit2)
set_target_properties(yuv4mpeg2_exedit2 PROPERTIES PREFIX "" OUTPUT_NAME yuv4mpeg2 SUFFIX .auo2)
if(NOT Y4M_SANITIZER_FLAGS)
  target_link_options(yuv4mpeg2_exedit2 PRIVATE -Wl,--no-undefined -Wl,-z,defs)
endif()
