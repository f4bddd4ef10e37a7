// Every variant of the converters this build holds, and the choice of an
// export's converter and frame size from its settings.
#pragma once

#include "export/frame_conversion.h"
#include "settings/output_settings.h"

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

// The converter for settings that passed CheckOutputParameters, in the
// fastest variant this processor runs (asked of the CPU at each call).
FrameConverter ChooseFrameConverter(const OutputSettings* settings);
FrameConverter ChooseFrameConverterOf(const ConverterVariant* variant, const OutputSettings* settings);

// Bytes of one planar frame, in 64 bits so no size can overflow:
// width x height + (width x height) / 2 for 4:2:0, width x height x 2 for 4:2:2.
int64_t PlanarFrameSize(const OutputSettings* settings, int32_t width, int32_t height);
