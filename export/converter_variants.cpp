#include "export/converter_variants.h"

#include "export/converters_simd.h"
#include "export/deep_conversion.h"
#include "export/export_job.h"
#include "export/frame_rows.h"
#include "platform/cpu_features.h"
#include "settings/color_formats.h"

static bool Always(void) { return true; }

// Every deep slot of one sample kernel, in DeepSlot order: codes 0 and 1 empty.
#define DEEP_SLOTS(Kernel, Picture)                                                                     \
    {                                                                                                   \
        nullptr, nullptr, nullptr, nullptr, ConvertDeepFrameWith<Kernel, Picture, Chroma444, false, 8>, \
            ConvertDeepFrameWith<Kernel, Picture, Chroma444, false, 8>,                                 \
            ConvertDeepFrameWith<Kernel, Picture, Chroma420, false, 10>,                                \
            ConvertDeepFrameWith<Kernel, Picture, Chroma420, true, 10>,                                 \
            ConvertDeepFrameWith<Kernel, Picture, Chroma422, false, 10>,                                \
            ConvertDeepFrameWith<Kernel, Picture, Chroma422, false, 10>,                                \
            ConvertDeepFrameWith<Kernel, Picture, Chroma444, false, 10>,                                \
            ConvertDeepFrameWith<Kernel, Picture, Chroma444, false, 10>,                                \
            ConvertDeepFrameWith<Kernel, Picture, Chroma420, false, 12>,                                \
            ConvertDeepFrameWith<Kernel, Picture, Chroma420, true, 12>,                                 \
            ConvertDeepFrameWith<Kernel, Picture, Chroma422, false, 12>,                                \
            ConvertDeepFrameWith<Kernel, Picture, Chroma422, false, 12>,                                \
            ConvertDeepFrameWith<Kernel, Picture, Chroma444, false, 12>,                                \
            ConvertDeepFrameWith<Kernel, Picture, Chroma444, false, 12>                                 \
    }

static const ConverterVariant Variants[] = {
    {"C", ConvertYUY2To420, ConvertYUY2To420Interlaced, ConvertYUY2To422, DEEP_SLOTS(Yc48Samples_C, FrameFormatYc48),
     DEEP_SLOTS(Pa64Samples_C, FrameFormatPa64), Always},
#if PLATFORM_X86
    {"SSE2", ConvertFrame420With<YUY2To420Rows_SSE2>, ConvertFrame420InterlacedWith<YUY2To420InterlacedRows_SSE2>,
     ConvertFrame422With<YUY2To422Row_SSE2>, DEEP_SLOTS(Yc48Samples_SSE2, FrameFormatYc48),
     DEEP_SLOTS(Pa64Samples_SSE2, FrameFormatPa64), CpuHasSse2},
    {"AVX2", ConvertFrame420With<YUY2To420Rows_AVX2>, ConvertFrame420InterlacedWith<YUY2To420InterlacedRows_AVX2>,
     ConvertFrame422With<YUY2To422Row_AVX2>, DEEP_SLOTS(Yc48Samples_AVX2, FrameFormatYc48),
     DEEP_SLOTS(Pa64Samples_AVX2, FrameFormatPa64), CpuHasAvx2},
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

uint32_t SourcePictureOf(const OutputSettings* settings, uint32_t precisePicture) {
    return ColorFormatOrDefault(settings->colorFormat)->picture == PicturePrecise ? precisePicture : FrameFormatYuy2;
}

int64_t PlanarFrameSize(const OutputSettings* settings, int32_t width, int32_t height) {
    const ColorFormatInfo* format = ColorFormatOrDefault(settings->colorFormat);
    // At most 6 bytes a pixel: past 2^60 pixels the product could overflow,
    // and no export holds such a frame anyway.
    const int64_t pixels = static_cast<int64_t>(width) * height;
    if (pixels > (INT64_C(1) << 60) || pixels < -(INT64_C(1) << 60)) return INT64_MAX;
    const int64_t chroma =
        static_cast<int64_t>(width >> ChromaWidthShift(format->layout)) * (height >> ChromaHeightShift(format->layout));
    return SampleBytes(format) * (pixels + 2 * chroma);
}

FrameConverter ChooseFrameConverter(const OutputSettings* settings, uint32_t precisePicture) {
    return ChooseFrameConverterOf(FastestConverterVariant(), settings, precisePicture);
}

FrameConverter ChooseFrameConverterOf(const ConverterVariant* variant, const OutputSettings* settings,
                                      uint32_t precisePicture) {
    const ColorFormatInfo* format = ColorFormatOrDefault(settings->colorFormat);
    const bool interlaced = settings->interlaceMode != Progressive;
    if (format->picture == PicturePrecise) {
        const FrameConverter* slots = precisePicture == FrameFormatPa64 ? variant->fromPa64 : variant->fromYc48;
        return slots[DeepSlot(format->code, interlaced && format->layout == Chroma420)];
    }
    if (format->layout == Chroma422) return variant->planar422;
    return interlaced ? variant->interlaced420 : variant->progressive420;
}
