#include "export/converter_variants.h"

#include "export/frame_rows.h"

#include "export/converters_simd.h"
#include "settings/color_formats.h"
#include "platform/cpu_features.h"

static bool Always(void) { return true; }

static const ConverterVariant Variants[] = {
    {"C", ConvertYUY2To420, ConvertYUY2To420Interlaced, ConvertYUY2To422, Always},
#if PLATFORM_X86
    {"SSE2", ConvertFrame420With<YUY2To420Rows_SSE2>, ConvertFrame420InterlacedWith<YUY2To420InterlacedRows_SSE2>,
     ConvertFrame422With<YUY2To422Row_SSE2>, CpuHasSse2},
    {"AVX2", ConvertFrame420With<YUY2To420Rows_AVX2>, ConvertFrame420InterlacedWith<YUY2To420InterlacedRows_AVX2>,
     ConvertFrame422With<YUY2To422Row_AVX2>, CpuHasAvx2},
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

int64_t PlanarFrameSize(const OutputSettings* settings, int32_t width, int32_t height) {
    const ColorFormatInfo* format = FindColorFormat(settings->colorFormat);
    if (format == nullptr) format = FindColorFormat(Yuv420);
    const int64_t sampleBytes = format->bits > 8 ? 2 : 1;
    const int64_t chroma =
        static_cast<int64_t>(width >> ChromaWidthShift(format->layout)) * (height >> ChromaHeightShift(format->layout));
    return sampleBytes * (static_cast<int64_t>(width) * height + 2 * chroma);
}

FrameConverter ChooseFrameConverter(const OutputSettings* settings) {
    return ChooseFrameConverterOf(FastestConverterVariant(), settings);
}

FrameConverter ChooseFrameConverterOf(const ConverterVariant* variant, const OutputSettings* settings) {
    if (settings->colorFormat == Yuv422) return variant->planar422;
    return settings->interlaceMode == Progressive ? variant->progressive420 : variant->interlaced420;
}
