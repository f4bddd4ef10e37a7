# The real module: a 32-bit DLL named yuv4mpeg2.auo that users copy alone,
# so the compiler's runtime libraries are linked in statically.
enable_language(RC)

add_library(yuv4mpeg2 MODULE ${PLUGIN_SOURCES}
  resources/yuv4mpeg2.rc
  host/yuv4mpeg2.def)
target_include_directories(yuv4mpeg2 PRIVATE ${PROJECT_SOURCE_DIR})
set_target_properties(yuv4mpeg2 PROPERTIES PREFIX "" SUFFIX ".auo")
# AviUtl runs on any x86 with SSE2; nothing newer without a CPU check.
target_compile_options(yuv4mpeg2 PRIVATE -march=i686 -msse2 -mfpmath=sse)
target_link_options(yuv4mpeg2 PRIVATE
  -static -static-libgcc -static-libstdc++
  -Wl,--enable-stdcall-fixup -Wl,--kill-at)
target_link_libraries(yuv4mpeg2 PRIVATE user32)
# Read the .rc as UTF-8 so the captions become the right UTF-16 text.
set_source_files_properties(resources/yuv4mpeg2.rc PROPERTIES COMPILE_OPTIONS "--codepage=65001")

# The release zip: the module and the README, nothing else to install.
install(TARGETS yuv4mpeg2 LIBRARY DESTINATION . RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME yuv4mpeg2)
set(CPACK_PACKAGE_VENDOR Quillbeck)
set(CPACK_PACKAGE_FILE_NAME yuv4mpeg2-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
