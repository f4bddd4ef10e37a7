// The x86 levels of the converter table: SSE2 (every x86 build's baseline)
// and AVX2 (compiled apart, reached only after the CPU check). Each kernel
// has the signature and output of its scalar reference (convert/frame_rows.h,
// convert/deep_samples.h), byte for byte; each initialiser overrides the
// slots it has a kernel for and leaves the others as the level below set them.
#pragma once

#include <stdint.h>

#include "convert/converter_slots.h"
#include "convert/deep_samples.h"
#include "convert/frame_rows.h"

void YUY2To420Rows_SSE2(const RowPair420* rows, int32_t first, int32_t pairs);
void YUY2To420InterlacedRows_SSE2(const RowGroup420Interlaced* rows, int32_t first, int32_t pairs);
void YUY2To422Row_SSE2(const Row422* row, int32_t first, int32_t pairs);

void YUY2To420Rows_AVX2(const RowPair420* rows, int32_t first, int32_t pairs);
void YUY2To420InterlacedRows_AVX2(const RowGroup420Interlaced* rows, int32_t first, int32_t pairs);
void YUY2To422Row_AVX2(const Row422* row, int32_t first, int32_t pairs);

void Yc48Samples_SSE2(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y, uint16_t* cb,
                      uint16_t* cr, int32_t chromaStep);
void Pa64Samples_SSE2(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y, uint16_t* cb,
                      uint16_t* cr, int32_t chromaStep);
void Yc48Samples_AVX2(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y, uint16_t* cb,
                      uint16_t* cr, int32_t chromaStep);
void Pa64Samples_AVX2(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y, uint16_t* cb,
                      uint16_t* cr, int32_t chromaStep);

// The SSE2 sample kernels store through a signed 16-bit pack: a deeper
// format needs them changed first, never their samples wrapped.
constexpr bool DeepSamplesFitSignedPack(void) {
    for (const ColorFormatInfo& format : ColorFormats)
        if (format.picture == PicturePrecise && format.bits > 15) return false;
    return true;
}
static_assert(DeepSamplesFitSignedPack(), "a deep format the SSE2 kernels cannot store");

constexpr void InitConverters_SSE2(ConverterTable* table) {
    SetYuy2RowSlots<YUY2To420Rows_SSE2, YUY2To420InterlacedRows_SSE2, YUY2To422Row_SSE2>(table);
    SetDeepSlots<Yc48Samples_SSE2, FrameFormatYc48>(table);
    SetDeepSlots<Pa64Samples_SSE2, FrameFormatPa64>(table);
}

constexpr void InitConverters_AVX2(ConverterTable* table) {
    SetYuy2RowSlots<YUY2To420Rows_AVX2, YUY2To420InterlacedRows_AVX2, YUY2To422Row_AVX2>(table);
    SetDeepSlots<Yc48Samples_AVX2, FrameFormatYc48>(table);
    SetDeepSlots<Pa64Samples_AVX2, FrameFormatPa64>(table);
}
