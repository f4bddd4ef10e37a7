# The 32-bit Linux build (preset native32): the host's own compiler with
# -m32, and the code generation of the .auo (SSE2 as the baseline, SSE for
# floating point), so that what the 32-bit module computes is computed here
# the same way. Its programs run natively where the kernel takes 32-bit
# programs, otherwise under qemu-i386 started directly: CTest puts the
# emulator named by Y4M_I386_EMULATOR (empty: none) before every test program.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
# 32-bit libraries only: the machine's 64-bit ones would not link.
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)

set(Y4M_I386_EMULATOR "" CACHE STRING "The emulator 32-bit programs run under here (empty: run them natively)")
if(Y4M_I386_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${Y4M_I386_EMULATOR})
endif()
