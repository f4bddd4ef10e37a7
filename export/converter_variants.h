// Every variant of the converters this build holds, and the choice of an
// export's converter and frame size from its settings.
#pragma once

#include "export/frame_conversion.h"
#include "settings/output_settings.h"

// A deep format's converter slot: its code, doubled, plus one for 4:2:0
// interlaced. The YUY2 codes' slots stay empty: their converters are the
// three below.
enum { DeepSlotCount = 2 * 9 };
inline int DeepSlot(int32_t code, bool interlaced) { return 2 * code + (interlaced ? 1 : 0); }

struct ConverterVariant {
    const char* name;  // "C", "SSE2", "AVX2"
    FrameConverter progressive420;
    FrameConverter interlaced420;
    FrameConverter planar422;
    // From each precise picture, by DeepSlot (layouts other than 4:2:0 hold
    // the same converter in both of their slots).
    FrameConverter fromYc48[DeepSlotCount];
    FrameConverter fromPa64[DeepSlotCount];
    bool (*available)(void);
};

// In order from the reference to the fastest.
int ConverterVariantCount(void);
const ConverterVariant* ConverterVariantAt(int index);
// The last variant the processor can run; asks the CPU each time.
const ConverterVariant* FastestConverterVariant(void);

// The converter for settings that passed CheckOutputParameters, in the
// fastest variant this processor runs (asked of the CPU at each call).
// precisePicture is the host's (FrameFormatYc48 or FrameFormatPa64), used by
// the deep formats.
FrameConverter ChooseFrameConverter(const OutputSettings* settings, uint32_t precisePicture);
FrameConverter ChooseFrameConverterOf(const ConverterVariant* variant, const OutputSettings* settings,
                                      uint32_t precisePicture);
// The picture a format's frames are asked for in: YUY2, or the host's precise one.
uint32_t SourcePictureOf(const OutputSettings* settings, uint32_t precisePicture);

// Bytes of one planar frame in 64 bits: bytes a sample x (width x height +
// 2 x chroma width x chroma height); INT64_MAX past 2^60 pixels, where the
// product could overflow. A code outside the table counts as 8-bit 4:2:0.
int64_t PlanarFrameSize(const OutputSettings* settings, int32_t width, int32_t height);
