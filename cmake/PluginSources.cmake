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
  export/export_reports.cpp
  export/frame_conversion.cpp
  export/message_buffer.cpp
  export/plugin_output.cpp
  export/stream_header.cpp
  platform/bounded_format.cpp
)

# Files whose string literals the user reads: the compiler turns them from the
# UTF-8 source into Shift-JIS (code page 932) bytes.
set(PLUGIN_SHIFT_JIS_SOURCES
  host/plugin_table.cpp
  settings/config_dialog.cpp
  settings/parameter_report.cpp
  export/export_reports.cpp
)
set_source_files_properties(${PLUGIN_SHIFT_JIS_SOURCES} PROPERTIES
  COMPILE_OPTIONS "-finput-charset=UTF-8;-fexec-charset=CP932")

# Stand-ins for the Win32 calls on other systems.
set(PLATFORM_STUB_SOURCES
  platform/posix_crt.cpp
  platform/stub_dialog.cpp
  platform/stub_user32.cpp
)
