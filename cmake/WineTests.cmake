# Tests of the real module: a Windows test host built by the same toolchain,
# run by CTest under Wine (the 32-bit host speaks AviUtl 1.x's interface to
# the .auo, the 64-bit one ExEdit2's to the .auo2, over the same export
# cases), and a check of the module's PE headers.
add_executable(module_test_host
  ${PROJECT_SOURCE_DIR}/tests/wine/module_test_host.cpp
  ${PROJECT_SOURCE_DIR}/tests/wine/host_harness.cpp
  ${PROJECT_SOURCE_DIR}/tests/wine/descriptor_checks.cpp
  ${PROJECT_SOURCE_DIR}/tests/wine/resource_checks.cpp
  ${PROJECT_SOURCE_DIR}/tests/wine/export_checks.cpp
  ${PROJECT_SOURCE_DIR}/tests/wine/dialog_checks.cpp
  ${PROJECT_SOURCE_DIR}/tests/wine/dialog_driver.cpp
  ${PROJECT_SOURCE_DIR}/tests/wine/exedit2_checks.cpp
  ${PROJECT_SOURCE_DIR}/y4mhost/import_patch.cpp)
target_include_directories(module_test_host PRIVATE ${PROJECT_SOURCE_DIR})
# The converters themselves, compiled as in the module, for the variant checks.
target_sources(module_test_host PRIVATE ${PROJECT_SOURCE_DIR}/tests/wine/variant_checks.cpp)
target_link_libraries(module_test_host PRIVATE plugin_converters)
target_compile_options(module_test_host PRIVATE -msse2)
target_link_options(module_test_host PRIVATE -static -static-libgcc -static-libstdc++)
target_link_libraries(module_test_host PRIVATE user32 gdi32 version)
add_dependencies(module_test_host yuv4mpeg2)

# tools/wine-run.sh answers 77 instead of starting a 32-bit program on a
# machine that cannot run one: ctest counts those tests as skipped. Under
# emulation (Y4M_EMULATE_32BIT=1) they take about 8 times as long.
set(Y4M_WINE_TIMEOUT 300 CACHE STRING "Seconds each test under Wine may take")
set(wineTestProperties LABELS wine TIMEOUT ${Y4M_WINE_TIMEOUT} RUN_SERIAL ON SKIP_RETURN_CODE 77)

set(moduleGroups descriptor resources export dialog)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  list(APPEND moduleGroups exedit2)
  set(moduleFormat pei-x86-64)
  set(moduleExports "GetOutputPluginTable;InitializeLogger")
else()
  set(moduleFormat pei-i386)
  set(moduleExports GetOutputPluginTable)
endif()
foreach(group IN LISTS moduleGroups)
  add_test(NAME wine_${group} COMMAND module_test_host $<TARGET_FILE:yuv4mpeg2> ${group})
  set_tests_properties(wine_${group} PROPERTIES ${wineTestProperties})
endforeach()

add_test(NAME wine_converter_variants COMMAND module_test_host variants)
set_tests_properties(wine_converter_variants PROPERTIES ${wineTestProperties})

# Past 4 GiB through the real module: only when asked for with -L slow.
add_test(NAME wine_large_export COMMAND module_test_host $<TARGET_FILE:yuv4mpeg2> large "Z:${CMAKE_CURRENT_BINARY_DIR}")
set_tests_properties(wine_large_export PROPERTIES LABELS "wine;slow" TIMEOUT 1800 RUN_SERIAL ON SKIP_RETURN_CODE 77)

add_test(NAME module_pe_headers
  COMMAND ${CMAKE_COMMAND} -DMODULE=$<TARGET_FILE:yuv4mpeg2> -DOBJDUMP=${CMAKE_OBJDUMP} -DFORMAT=${moduleFormat}
          "-DEXPORTS=${moduleExports}" -P ${PROJECT_SOURCE_DIR}/tests/check_module_binary.cmake)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME module_avx2_confined
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tests/check_avx2_confined.py
          $<TARGET_FILE:yuv4mpeg2> $<TARGET_FILE:yuv4mpeg2>.debug ${CMAKE_OBJDUMP} ${CMAKE_NM})

add_test(NAME module_debug_paths
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tests/check_debug_paths.py
          $<TARGET_FILE:yuv4mpeg2>.debug ${CMAKE_OBJDUMP} ${PROJECT_SOURCE_DIR})

# Stands in for an encoder behind the export into a program's standard input.
add_executable(test_encoder ${PROJECT_SOURCE_DIR}/tests/wine/test_encoder.cpp)
target_link_options(test_encoder PRIVATE -static -static-libgcc -static-libstdc++)
target_link_libraries(test_encoder PRIVATE shell32)

add_test(NAME wine_y4mhost_export
  COMMAND bash ${PROJECT_SOURCE_DIR}/tests/e2e/windows_host_under_wine.sh)
# The native build of the same module is the reference for the deep formats.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(nativeModule ${PROJECT_SOURCE_DIR}/build/native/yuv4mpeg2.auo2)
else()
  set(nativeModule ${PROJECT_SOURCE_DIR}/build/native/yuv4mpeg2.so)
endif()
set(hostEnvironment "WINE_RUN=${PROJECT_SOURCE_DIR}/tools/wine-run.sh;Y4MHOST_EXE=$<TARGET_FILE:y4mhost>;MODULE=$<TARGET_FILE:yuv4mpeg2>")
set(hostEnvironment "${hostEnvironment};TEST_ENCODER=$<TARGET_FILE:test_encoder>")
set(hostEnvironment "${hostEnvironment};NATIVE_HOST=${PROJECT_SOURCE_DIR}/build/native/y4mhost/y4mhost;NATIVE_MODULE=${nativeModule}")
set_tests_properties(wine_y4mhost_export PROPERTIES ${wineTestProperties} ENVIRONMENT "${hostEnvironment}")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  # The .auo's resources read as data by this 64-bit host, so they are
  # checked on machines that run no 32-bit program as well.
  add_test(NAME wine_auo_resources COMMAND module_test_host ${PROJECT_SOURCE_DIR}/build/mingw/yuv4mpeg2.auo resources)
  set_tests_properties(wine_auo_resources PROPERTIES ${wineTestProperties})
  # The .auo2 is measured against the 32-bit build's .auo (the mingw preset),
  # which runs only where 32-bit programs do.
  set(reference ${PROJECT_SOURCE_DIR}/build/mingw)
  add_test(NAME wine_auo2_matches_auo COMMAND bash ${PROJECT_SOURCE_DIR}/tests/e2e/auo2_matches_auo.sh)
  set_tests_properties(wine_auo2_matches_auo PROPERTIES ${wineTestProperties} ENVIRONMENT
    "${hostEnvironment};REFERENCE_HOST_EXE=${reference}/y4mhost/y4mhost.exe;REFERENCE_MODULE=${reference}/yuv4mpeg2.auo")
endif()

# Not a test: draws docs/settings-dialog.png (tools/make-dialog-picture.sh),
# driving the dialog as the dialog checks do.
add_executable(dialog_picture ${PROJECT_SOURCE_DIR}/tools/dialog_picture.cpp
  ${PROJECT_SOURCE_DIR}/tests/wine/host_harness.cpp ${PROJECT_SOURCE_DIR}/tests/wine/dialog_driver.cpp
  ${PROJECT_SOURCE_DIR}/y4mhost/import_patch.cpp)
target_include_directories(dialog_picture PRIVATE ${PROJECT_SOURCE_DIR})
target_link_options(dialog_picture PRIVATE -static -static-libgcc -static-libstdc++)
target_link_libraries(dialog_picture PRIVATE user32 gdi32)
