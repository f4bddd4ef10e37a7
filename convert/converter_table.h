// The converter tables this build holds, one a level (C, then each SIMD
// level the processor may run), and the choice of an export's converter and
// frame size from its settings.
#pragma once

#include "convert/converter_slots.h"
#include "settings/output_settings.h"

struct ConverterVariant {
    const char* name;  // "C", "SSE2", "AVX2"
    // The C slots with this level's overrides and every lower level's.
    ConverterTable table;
    bool (*available)(void);
};

// In order from the reference to the fastest.
int ConverterVariantCount(void);
const ConverterVariant* ConverterVariantAt(int index);
// The last variant the processor can run; asks the CPU each time.
const ConverterVariant* FastestConverterVariant(void);

// The converter a variant holds for frames of `picture` (a FrameFormat word)
// written in the format of `code`; null when that format is not made from
// that picture, or either is unknown.
FrameConverter ConverterIn(const ConverterVariant* variant, uint32_t picture, int32_t code, bool interlaced);

// The converter for settings that passed CheckOutputParameters, in the
// fastest variant this processor runs (asked of the CPU at each call).
// precisePicture is the host's most precise picture, used by the deep
// formats; null when the host's picture is one no converter reads.
FrameConverter ChooseFrameConverter(const OutputSettings* settings, uint32_t precisePicture);
FrameConverter ChooseFrameConverterOf(const ConverterVariant* variant, const OutputSettings* settings,
                                      uint32_t precisePicture);
// The picture a format's frames are asked for in: YUY2, or the host's precise one.
uint32_t SourcePictureOf(const OutputSettings* settings, uint32_t precisePicture);

// Bytes of one planar frame in 64 bits: bytes a sample x (width x height +
// 2 x chroma width x chroma height); INT64_MAX past 2^60 pixels, where the
// product could overflow. A code outside the table counts as 8-bit 4:2:0.
int64_t PlanarFrameSize(const OutputSettings* settings, int32_t width, int32_t height);
