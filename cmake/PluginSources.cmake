# The plug-in's sources, shared by the native and the Windows build.
set(PLUGIN_SOURCES
  host/entry_points.cpp
  host/plugin_config.cpp
  host/plugin_table.cpp
  settings/config_dialog.cpp
  settings/output_settings.cpp
  settings/parameter_report.cpp
  export/convert_yuy2_to_420.cpp
  export/convert_yuy2_to_420_interlaced.cpp
  export/convert_yuy2_to_422.cpp
  export/converter_variants.cpp
  export/export_reports.cpp
  export/frame_conversion.cpp
  export/frame_loops.cpp
  export/message_buffer.cpp
  export/plugin_output.cpp
  export/stream_header.cpp
  platform/bounded_format.cpp
  platform/cpu_features.cpp
)

# SIMD kernels: SSE2 on every x86 build (the 32-bit module included); AVX2
# only in the 64-bit native build, in a file of its own compiled for it.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86|x86)$")
  list(APPEND PLUGIN_SOURCES export/convert_yuy2_sse2.cpp)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8 AND NOT WIN32)
    list(APPEND PLUGIN_SOURCES export/convert_yuy2_avx2.cpp)
    set_source_files_properties(export/convert_yuy2_avx2.cpp PROPERTIES COMPILE_OPTIONS "-mavx2")
    set_source_files_properties(export/converter_variants.cpp PROPERTIES COMPILE_DEFINITIONS Y4M_AVX2_KERNELS)
  endif()
endif()

# Files whose string literals the user reads: the compiler turns them from the
# UTF-8 source into Shift-JIS (code page 932) bytes.
set(PLUGIN_SHIFT_JIS_SOURCES
  host/plugin_table.cpp
  settings/config_dialog.cpp
  settings/parameter_report.cpp
  export/export_reports.cpp
)
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  # clang only compiles to UTF-8: compile copies whose literals are already
  # escaped Shift-JIS bytes instead.
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  foreach(source IN LISTS PLUGIN_SHIFT_JIS_SOURCES)
    set(escaped ${CMAKE_BINARY_DIR}/cp932/${source})
    get_filename_component(escapedDir ${escaped} DIRECTORY)
    add_custom_command(OUTPUT ${escaped}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${escapedDir}
      COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/cp932_escape.py
              ${PROJECT_SOURCE_DIR}/${source} ${escaped}
      DEPENDS ${PROJECT_SOURCE_DIR}/${source} ${PROJECT_SOURCE_DIR}/tools/cp932_escape.py)
    list(TRANSFORM PLUGIN_SOURCES REPLACE "^${source}$" ${escaped})
  endforeach()
else()
  set_source_files_properties(${PLUGIN_SHIFT_JIS_SOURCES} PROPERTIES
    COMPILE_OPTIONS "-finput-charset=UTF-8;-fexec-charset=CP932")
endif()

# Stand-ins for the Win32 calls on other systems.
set(PLATFORM_STUB_SOURCES
  platform/posix_crt.cpp
  platform/stub_dialog.cpp
  platform/stub_user32.cpp
)
