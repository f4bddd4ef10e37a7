// The first stage of every deep conversion: a run of the host's precise
// picture (YC48 or PA64) to n-bit Y, Cb and Cr for each pixel, full chroma.
// The second stage (convert/deep_conversion.cpp) takes the chroma down to the
// output's layout, so kernels grow as pictures plus layouts, not their product.
//
// Single precision: each output sample is clip(trunc(k0 a + k1 b + k2 c +
// k3)) computed in exactly that order, a, b, c being the pixel's values
// (YC48's y, cb, cr; PA64's R, G, B). k3 carries the output's offset plus one
// half, so truncating a non-negative value rounds to nearest, and anything
// below zero clips to 0. Every variant does the same IEEE operations in the
// same order.
//
// Fixed point, at 8 and 10 bits: integers, as a vector unit multiplies
// 16-bit pairs: clip((f0 x0 + f1 x1 + f2 x2 + bias) >> shift) on the values
// as signed 16 bits (PA64's less 32768), the f rounded to 16 bits at 2^shift
// times the real coefficients and the bias holding the offset, the half and
// the 32768s. PA64 within 0.05 of a code of the real-number value for every
// pixel; YC48 within 1/8 for pixels whose three values lie within
// +-fixedLimit (nominal pictures lie within +-4096: 0.03 of a code), the
// others in single precision. BT.601 YC48 is exact either way. At 12 bits
// both pictures are single precision.
//
// Either way the SIMD kernels equal the scalar one bit for bit.
#pragma once

#include <stdint.h>

#include "convert/host_pictures.h"
#include "settings/color_formats.h"

struct SampleRow {
    float k[4];
};
struct FixedRow {
    int16_t f[3];
    int32_t bias;
};
struct SampleMatrix {
    SampleRow y, cb, cr;                // YC48
    float top;                          // 2^n - 1
    FixedRow fixedY, fixedCb, fixedCr;  // PA64
    int32_t shift;                      // 0: the single-precision rows hold
    uint16_t fixedTop;
    int16_t fixedLimit;  // YC48: fixed point for pixels whose values all lie within +-this
};

// A YC48 pixel the fixed-point rows compute (else single precision).
static inline bool WithinFixedLimit(const SampleMatrix* m, int32_t a, int32_t b, int32_t c) {
    const int32_t l = m->fixedLimit;
    return m->shift != 0 && a <= l && a >= -l && b <= l && b >= -l && c <= l && c >= -l;
}

// Two 16-bit coefficients as one 32-bit lane, low word first: what pmaddwd
// multiplies a lane's two words with.
static inline int32_t WordPair(int16_t low, int16_t high) {
    return static_cast<int32_t>(static_cast<uint16_t>(low) | static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16);
}
// A YC48 fixed-point row as the pairs the vector kernels' regrouped lanes
// take (a pixel is three words, so two pixels are three lanes): the even
// pixel's (y, cb), the lane it shares with the odd one (cr, y), seen from
// each side, and the odd pixel's (cb, cr).
enum { EvenYCb, EvenShared, OddShared, OddCbCr, Yc48PairKinds };
static inline void Yc48WordPairs(const FixedRow* r, int32_t pairs[Yc48PairKinds]) {
    pairs[EvenYCb] = WordPair(r->f[0], r->f[1]);
    pairs[EvenShared] = WordPair(r->f[2], 0);
    pairs[OddShared] = WordPair(0, r->f[0]);
    pairs[OddCbCr] = WordPair(r->f[1], r->f[2]);
}

// Pixel i's place in the chroma rows, and whether it has one there: every
// pixel (chromaStep 1) or the even ones (2). A shift and a mask: a division
// in a kernel's loop cost a tenth of its time.
static inline int32_t ChromaIndex(int32_t i, int32_t chromaStep) { return i >> (chromaStep - 1); }
static inline bool HasChroma(int32_t i, int32_t chromaStep) { return (i & (chromaStep - 1)) == 0; }

// `count` pixels from `pixels` (rows of YC48 are 6 bytes a pixel, of PA64 8;
// any alignment) to one Y sample per pixel, and Cb and Cr for every pixel
// (chromaStep 1) or for the even pixels only (chromaStep 2, count even:
// count / 2 of each), which is all 4:2:0 and 4:2:2 read.
typedef void (*PixelSampleKernel)(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y,
                                  uint16_t* cb, uint16_t* cr, int32_t chromaStep);

void Yc48Samples_C(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y, uint16_t* cb,
                   uint16_t* cr, int32_t chromaStep);
void Pa64Samples_C(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y, uint16_t* cb,
                   uint16_t* cr, int32_t chromaStep);

// Even-pixel chroma from a kernel that computes every pixel's: through
// stack arrays, a piece at a time.
template <void (*Kernel)(const uint8_t*, int32_t, const SampleMatrix*, uint16_t*, uint16_t*, uint16_t*, int32_t)>
static inline void EvenChromaThroughFull(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix,
                                         int32_t pixelBytes, uint16_t* y, uint16_t* cb, uint16_t* cr) {
    enum { Piece = 256 };
    uint16_t fullCb[Piece], fullCr[Piece];
    for (int32_t start = 0; start < count; start += Piece) {
        const int32_t n = count - start < Piece ? count - start : Piece;
        Kernel(pixels + static_cast<intptr_t>(start) * pixelBytes, n, matrix, y + start, fullCb, fullCr, 1);
        for (int32_t j = 0; 2 * j < n; ++j) {
            cb[start / 2 + j] = fullCb[2 * j];
            cr[start / 2 + j] = fullCr[2 * j];
        }
    }
}

// One sample by the rule above: the scalar kernels' arithmetic, and the
// vector kernels' for their last few pixels. Internal linkage, so each kernel
// file keeps a copy compiled for its own instruction set.
static inline uint16_t QuantiseFixed(const FixedRow* row, int32_t shift, int32_t top, int32_t x0, int32_t x1,
                                     int32_t x2) {
    const int32_t sum = row->f[0] * x0 + row->f[1] * x1 + row->f[2] * x2 + row->bias;
    const int32_t v = sum >> shift;
    return static_cast<uint16_t>(v < 0 ? 0 : v > top ? top : v);
}

static inline uint16_t QuantiseSample(const SampleRow* row, float a, float b, float c, float top) {
    float v = row->k[0] * a;
    v = v + row->k[1] * b;
    v = v + row->k[2] * c;
    v = v + row->k[3];
    v = v > 0.0f ? v : 0.0f;
    v = v < top ? v : top;
    return static_cast<uint16_t>(static_cast<int32_t>(v));
}

// The coefficients that take a precise picture to the samples of a format
// for a frame `height` lines high, in the matrix of that height
// (convert/colour_matrices.h).
const SampleMatrix* SampleMatrixFor(const HostPictureInfo* picture, const ColorFormatInfo* format, int32_t height);
