#include "export/frame_conversion.h"

#include "export/converter_variants.h"

int64_t PlanarFrameSize(const OutputSettings* settings, int32_t width, int32_t height) {
    int64_t pixels = static_cast<int64_t>(width) * height;
    return settings->colorFormat == Yuv422 ? pixels * 2 : pixels + pixels / 2;
}

FrameConverter ChooseFrameConverter(const OutputSettings* settings) {
    return ChooseFrameConverterOf(FastestConverterVariant(), settings);
}

FrameConverter ChooseFrameConverterOf(const ConverterVariant* variant, const OutputSettings* settings) {
    if (settings->colorFormat == Yuv422) return variant->planar422;
    return settings->interlaceMode == Progressive ? variant->progressive420 : variant->interlaced420;
}

// The product is taken in 64 bits so that no size is undefined behaviour; the
// driver only converts frames whose size fits 32 bits.
PlaneOffsets PlanarOffsets420(int32_t width, int32_t height) {
    int64_t luma = static_cast<int64_t>(width) * height;
    return PlaneOffsets{static_cast<intptr_t>(luma), static_cast<intptr_t>(luma + luma / 4)};
}

PlaneOffsets PlanarOffsets422(int32_t width, int32_t height) {
    int64_t luma = static_cast<int64_t>(width) * height;
    return PlaneOffsets{static_cast<intptr_t>(luma), static_cast<intptr_t>(luma + luma / 2)};
}
