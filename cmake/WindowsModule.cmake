# The real module: a 32-bit DLL named yuv4mpeg2.auo that users copy alone,
# so the compiler's runtime libraries are linked in statically.
enable_language(RC)

add_library(yuv4mpeg2 MODULE resources/yuv4mpeg2.rc host/yuv4mpeg2.def)
target_link_libraries(yuv4mpeg2 PRIVATE plugin_objects plugin_converters user32)
set_target_properties(yuv4mpeg2 PROPERTIES PREFIX "" SUFFIX ".auo")
# No link time in the PE header, so the same commit gives the same bytes.
target_link_options(yuv4mpeg2 PRIVATE
  -static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp)
# Read the .rc as UTF-8 so the captions become the right UTF-16 text.
set_source_files_properties(resources/yuv4mpeg2.rc PROPERTIES COMPILE_OPTIONS "--codepage=65001")

# What the tests run is what ships: the module is stripped after linking, and
# its debug information stays beside it in the build tree, found through a
# debug link.
target_compile_options(plugin_objects PRIVATE -g)
target_compile_options(plugin_converters PRIVATE -g)
# objcopy stamps each PE it writes with the time unless given one: 0, as the
# linker leaves it. (The debug link holds the debug file's checksum, so that
# file must be reproducible too.)
add_custom_command(TARGET yuv4mpeg2 POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
          ${CMAKE_OBJCOPY} --only-keep-debug yuv4mpeg2.auo yuv4mpeg2.auo.debug
  COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
          ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=yuv4mpeg2.auo.debug yuv4mpeg2.auo
  WORKING_DIRECTORY $<TARGET_FILE_DIR:yuv4mpeg2>
  VERBATIM)

# The release zip: the module, the readme for Notepad and the licence, with
# bytes that depend only on the commit.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
configure_file(${PROJECT_SOURCE_DIR}/docs/readme.txt ${PROJECT_BINARY_DIR}/readme.txt @ONLY)
set(PLUGIN_RELEASE_ZIP ${PROJECT_SOURCE_DIR}/dist/yuv4mpeg2-${PLUGIN_PRODUCT_VERSION}-win32.zip CACHE INTERNAL "")
add_custom_target(release_zip
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/reproducible_zip.py
          --source-dir ${PROJECT_SOURCE_DIR} ${PLUGIN_RELEASE_ZIP}
          yuv4mpeg2.auo=$<TARGET_FILE:yuv4mpeg2>
          --text readme.txt=${PROJECT_BINARY_DIR}/readme.txt
          --text LICENSE=${PROJECT_SOURCE_DIR}/LICENSE
  DEPENDS yuv4mpeg2
  VERBATIM)
