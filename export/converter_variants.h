// Every variant of the converters this build holds, and the choice of the
// fastest one the processor runs.
#pragma once

#include "export/frame_conversion.h"

struct ConverterVariant {
    const char* name;  // "C", "SSE2", "AVX2"
    FrameConverter progressive420;
    FrameConverter interlaced420;
    FrameConverter planar422;
    bool (*available)(void);
};

// In order from the reference to the fastest.
int ConverterVariantCount(void);
const ConverterVariant* ConverterVariantAt(int index);
// The last variant the processor can run; asks the CPU each time.
const ConverterVariant* FastestConverterVariant(void);
