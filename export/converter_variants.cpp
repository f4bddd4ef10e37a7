#include "export/converter_variants.h"

#include "export/converters_simd.h"
#include "platform/cpu_features.h"

static bool Always(void) { return true; }

static const ConverterVariant Variants[] = {
    {"C", ConvertYUY2To420, ConvertYUY2To420Interlaced, ConvertYUY2To422, Always},
#if PLATFORM_X86
    {"SSE2", ConvertYUY2To420_SSE2, ConvertYUY2To420Interlaced_SSE2, ConvertYUY2To422_SSE2, CpuHasSse2},
#endif
#if defined(Y4M_AVX2_KERNELS)
    {"AVX2", ConvertYUY2To420_AVX2, ConvertYUY2To420Interlaced_AVX2, ConvertYUY2To422_AVX2, CpuHasAvx2},
#endif
};

int ConverterVariantCount(void) { return static_cast<int>(sizeof Variants / sizeof Variants[0]); }

const ConverterVariant* ConverterVariantAt(int index) { return &Variants[index]; }

const ConverterVariant* FastestConverterVariant(void) {
    const ConverterVariant* fastest = &Variants[0];
    for (const ConverterVariant& variant : Variants)
        if (variant.available()) fastest = &variant;
    return fastest;
}
