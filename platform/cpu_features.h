// Which SIMD instruction sets this processor and system can run.
#pragma once

#if defined(__i386__) || defined(__x86_64__) || defined(_M_IX86) || defined(_M_X64)
#define PLATFORM_X86 1
#else
#define PLATFORM_X86 0
#endif

// 32-bit Windows only promises a 4-byte aligned stack at a call; functions
// holding 16-byte vectors realign it on entry.
#if defined(__i386__) && defined(__GNUC__)
#define SIMD_ENTRY __attribute__((force_align_arg_pointer))
#else
#define SIMD_ENTRY
#endif

bool CpuHasSse2(void);
// AVX2 and the system saving the 256-bit registers (XGETBV).
bool CpuHasAvx2(void);
