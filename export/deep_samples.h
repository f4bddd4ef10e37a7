// The first stage of every deep conversion: a run of the host's precise
// picture (YC48 or PA64) to n-bit Y, Cb and Cr for each pixel, full chroma.
// The second stage (export/deep_conversion.cpp) takes the chroma down to the
// output's layout, so kernels grow as pictures plus layouts, not their product.
//
// Each output sample is clip(trunc(k0 a + k1 b + k2 c + k3)) computed in
// single precision in exactly that order, a, b, c being the pixel's first
// three values. k3 carries the output's offset plus one half, so truncating a
// non-negative value rounds to nearest, and anything below zero clips to 0.
// Every variant does the same IEEE operations in the same order, so the SIMD
// kernels equal the scalar one bit for bit.
#pragma once

#include <stdint.h>

struct SampleRow {
    float k[4];
};
struct SampleMatrix {
    SampleRow y, cb, cr;
    float top;  // 2^n - 1
};

// `count` pixels from `pixels` (rows of YC48 are 6 bytes a pixel, of PA64 8;
// any alignment) to one sample of each plane per pixel.
typedef void (*PixelSampleKernel)(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y,
                                  uint16_t* cb, uint16_t* cr);

void Yc48Samples_C(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y, uint16_t* cb,
                   uint16_t* cr);
void Pa64Samples_C(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y, uint16_t* cb,
                   uint16_t* cr);
void Yc48Samples_SSE2(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y, uint16_t* cb,
                      uint16_t* cr);
void Pa64Samples_SSE2(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y, uint16_t* cb,
                      uint16_t* cr);
void Yc48Samples_AVX2(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y, uint16_t* cb,
                      uint16_t* cr);
void Pa64Samples_AVX2(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y, uint16_t* cb,
                      uint16_t* cr);

// One sample by the rule above: the scalar kernels' arithmetic, and the
// vector kernels' for their last few pixels. Internal linkage, so each kernel
// file keeps a copy compiled for its own instruction set.
static inline uint16_t QuantiseSample(const SampleRow* row, float a, float b, float c, float top) {
    float v = row->k[0] * a;
    v = v + row->k[1] * b;
    v = v + row->k[2] * c;
    v = v + row->k[3];
    v = v > 0.0f ? v : 0.0f;
    v = v < top ? v : top;
    return static_cast<uint16_t>(static_cast<int32_t>(v));
}

// The colour matrix follows the frame height: BT.709 from 720 lines, BT.601
// below, as the hosts themselves choose.
enum { Bt709FromHeight = 720 };
// The coefficients that take `picture` (FrameFormatYc48 or FrameFormatPa64)
// to `bits`-bit samples (8, 10 or 12) for a frame `height` lines high.
const SampleMatrix* SampleMatrixFor(uint32_t picture, int32_t height, int32_t bits);
