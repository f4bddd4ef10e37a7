# The real modules, which users copy alone, so the compiler's runtime
# libraries are linked in statically: a 32-bit build gives yuv4mpeg2.auo for
# AviUtl 1.x, a 64-bit build yuv4mpeg2.auo2 for ExEdit2, from the same core.
enable_language(RC)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(moduleSuffix .auo2)
  set(moduleBoundary plugin_host2)
  set(moduleExports host2/yuv4mpeg2.auo2.def)
else()
  set(moduleSuffix .auo)
  set(moduleBoundary plugin_host1)
  set(moduleExports host/yuv4mpeg2.def)
endif()
set(PLUGIN_MODULE_NAME yuv4mpeg2${moduleSuffix})

add_library(yuv4mpeg2 MODULE resources/yuv4mpeg2.rc ${moduleExports})
target_link_libraries(yuv4mpeg2 PRIVATE ${moduleBoundary} plugin_objects plugin_converters user32)
set_target_properties(yuv4mpeg2 PROPERTIES PREFIX "" SUFFIX ${moduleSuffix})
# No link time in the PE header, so the same commit gives the same bytes.
target_link_options(yuv4mpeg2 PRIVATE
  -static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp)
# Read the .rc as UTF-8 so the captions become the right UTF-16 text.
set_source_files_properties(resources/yuv4mpeg2.rc PROPERTIES COMPILE_OPTIONS "--codepage=65001")

# What the tests run is what ships: the module is stripped after linking, and
# its debug information stays beside it in the build tree, found through a
# debug link.
foreach(library plugin_objects plugin_converters ${moduleBoundary})
  target_compile_options(${library} PRIVATE -g)
endforeach()
# objcopy stamps each PE it writes with the time unless given one: 0, as the
# linker leaves it. (The debug link holds the debug file's checksum, so that
# file must be reproducible too.)
add_custom_command(TARGET yuv4mpeg2 POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
          ${CMAKE_OBJCOPY} --only-keep-debug ${PLUGIN_MODULE_NAME} ${PLUGIN_MODULE_NAME}.debug
  COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
          ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${PLUGIN_MODULE_NAME}.debug ${PLUGIN_MODULE_NAME}
  WORKING_DIRECTORY $<TARGET_FILE_DIR:yuv4mpeg2>
  VERBATIM)

# The readme for Notepad, with the version filled in; tools/release.sh zips
# it with both modules.
configure_file(${PROJECT_SOURCE_DIR}/docs/readme.txt ${PROJECT_BINARY_DIR}/readme.txt @ONLY)
