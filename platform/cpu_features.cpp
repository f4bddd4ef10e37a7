#include "platform/cpu_features.h"

#if PLATFORM_X86 && defined(__GNUC__)

// cpuid through the compiler's runtime, which also checks with XGETBV that
// the system saves the AVX registers.
bool CpuHasSse2(void) {
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2");
}

bool CpuHasAvx2(void) {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

#else

bool CpuHasSse2(void) { return false; }
bool CpuHasAvx2(void) { return false; }

#endif
