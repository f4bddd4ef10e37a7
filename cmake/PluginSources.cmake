# The plug-in's sources, listed here only. Object libraries serve every
# target: plugin_converters (the frame converters, their variants and the
# table of colour formats they write: the
# modules, the Windows test host and the benchmarks), plugin_objects (the rest
# of the host-neutral core, with the Win32 stand-ins outside Windows), and one
# boundary per host: plugin_aviutl1 (AviUtl 1.x) and plugin_exedit2 (ExEdit2).
set(CONVERTER_SOURCES
  convert/yuy2_to_420.cpp
  convert/yuy2_to_420_interlaced.cpp
  convert/yuy2_to_422.cpp
  convert/converter_table.cpp
  convert/deep_conversion.cpp
  convert/deep_samples.cpp
  convert/frame_conversion.cpp
  convert/frame_loops.cpp
  platform/cpu_features.cpp
)
# SIMD kernels on every x86 build, the 32-bit module included: SSE2 at the
# build's baseline, AVX2 in a file of its own compiled for it, reached only
# after the CPU check.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86|x86)$")
  list(APPEND CONVERTER_SOURCES convert/x86/yuy2_sse2.cpp convert/x86/yuy2_avx2.cpp
       convert/x86/deep_samples_sse2.cpp convert/x86/deep_samples_avx2.cpp)
  set_source_files_properties(convert/x86/yuy2_avx2.cpp convert/x86/deep_samples_avx2.cpp PROPERTIES
                              COMPILE_OPTIONS "-mavx2")
endif()
# The deep kernels' single-precision steps must be the same in every variant:
# no fused multiply-add where the compiler could use one.
set_source_files_properties(convert/deep_samples.cpp convert/x86/deep_samples_sse2.cpp convert/x86/deep_samples_avx2.cpp
                            PROPERTIES COMPILE_FLAGS "-ffp-contract=off")

# The host-neutral core: settings, the export driver and its reports, the
# platform layer.
set(PLUGIN_SOURCES
  settings/config_dialog.cpp
  settings/destination_dialog.cpp
  settings/output_settings.cpp
  settings/settings_blob.cpp
  settings/parameter_report.cpp
  settings/encoder_commands.cpp
  export/encoder_command.cpp
  export/encoder_export.cpp
  export/encoder_log.cpp
  export/encoder_reports.cpp
  export/export_driver.cpp
  export/export_reports.cpp
  export/stream_header.cpp
  platform/bounded_format.cpp
  platform/message_buffer.cpp
  platform/utf8_wide.cpp
)
if(WIN32)
  list(APPEND PLUGIN_SOURCES platform/child_process_win32.cpp platform/system_files_win32.cpp)
else()
  list(APPEND PLUGIN_SOURCES platform/posix_crt.cpp platform/stub_dialog.cpp platform/stub_text.cpp
       platform/stub_user32.cpp platform/child_process_posix.cpp platform/system_files_posix.cpp)
endif()
# Each host's boundary over the core: AviUtl 1.x (aviutl1/) and ExEdit2 (exedit2/).
set(AVIUTL1_SOURCES
  aviutl1/aviutl1_entry_points.cpp
  aviutl1/aviutl1_config.cpp
  aviutl1/aviutl1_output.cpp
  aviutl1/aviutl1_table.cpp
)
set(EXEDIT2_SOURCES
  exedit2/exedit2_config.cpp
  exedit2/exedit2_output.cpp
  exedit2/exedit2_table.cpp
  exedit2/exedit2_report_box.cpp
  exedit2/exedit2_settings_text.cpp
)

# Files whose string literals the user reads: the compiler turns them from the
# UTF-8 source into Shift-JIS (code page 932) bytes.
set(PLUGIN_SHIFT_JIS_SOURCES
  aviutl1/aviutl1_table.cpp
  settings/config_dialog.cpp
  settings/destination_dialog.cpp
  settings/parameter_report.cpp
  export/encoder_reports.cpp
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
    list(TRANSFORM AVIUTL1_SOURCES REPLACE "^${source}$" ${escaped})
  endforeach()
else()
  set_source_files_properties(${PLUGIN_SHIFT_JIS_SOURCES} PROPERTIES
    COMPILE_OPTIONS "-finput-charset=UTF-8;-fexec-charset=CP932")
endif()

add_library(plugin_converters OBJECT ${CONVERTER_SOURCES})
add_library(plugin_objects OBJECT ${PLUGIN_SOURCES})
add_library(plugin_aviutl1 OBJECT ${AVIUTL1_SOURCES})
set(pluginLibraries plugin_converters plugin_objects plugin_aviutl1)
if(Y4M_WITH_EXEDIT2)
  add_library(plugin_exedit2 OBJECT ${EXEDIT2_SOURCES})
  # The UTF-16 literals are written in UTF-8, whatever the build's locale.
  target_compile_options(plugin_exedit2 PRIVATE -finput-charset=UTF-8)
  list(APPEND pluginLibraries plugin_exedit2)
endif()
foreach(library IN LISTS pluginLibraries)
  target_include_directories(${library} PUBLIC ${PROJECT_SOURCE_DIR})
  if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
    # AviUtl runs on any x86 with SSE2; nothing newer without a CPU check.
    target_compile_options(${library} PRIVATE -march=i686 -msse2 -mfpmath=sse)
  elseif(NOT WIN32)
    target_compile_definitions(${library} PUBLIC _FILE_OFFSET_BITS=64)
  endif()
endforeach()
