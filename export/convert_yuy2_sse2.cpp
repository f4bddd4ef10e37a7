// SSE2 kernels, 16 pixel pairs (64 source bytes) per step; the scalar kernels
// take the pairs left over at the end of each row.
//
// A YUY2 vector holds Y in the even bytes and U/V in the odd ones: masking
// with 0x00FF keeps Y, a 16-bit shift right by 8 keeps the chroma, and an
// unsigned pack brings either back to bytes in order. The vertical chroma
// filters run on whole YUY2 vectors (their luma bytes are then dropped), so
// each takes one operation per 16 samples.
#include <emmintrin.h>

#include "export/converters_simd.h"
#include "export/frame_rows.h"
#include "platform/cpu_features.h"

namespace {

struct Block {
    __m128i a[4];  // 64 source bytes: pairs 0-3, 4-7, 8-11, 12-15
};

inline Block Load(const uint8_t* in) {
    Block b;
    for (int i = 0; i < 4; ++i) b.a[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in) + i);
    return b;
}

inline void StoreLuma(uint8_t* y, const Block& b) {
    const __m128i lumaMask = _mm_set1_epi16(0x00FF);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(y),
                     _mm_packus_epi16(_mm_and_si128(b.a[0], lumaMask), _mm_and_si128(b.a[1], lumaMask)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(y) + 1,
                     _mm_packus_epi16(_mm_and_si128(b.a[2], lumaMask), _mm_and_si128(b.a[3], lumaMask)));
}

// uv0, uv1: 16 interleaved U V bytes each (pairs 0-7 and 8-15) into 16 U and 16 V.
inline void StoreSplitChroma(uint8_t* u, uint8_t* v, __m128i uv0, __m128i uv1) {
    const __m128i lumaMask = _mm_set1_epi16(0x00FF);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(u),
                     _mm_packus_epi16(_mm_and_si128(uv0, lumaMask), _mm_and_si128(uv1, lumaMask)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(v), _mm_packus_epi16(_mm_srli_epi16(uv0, 8), _mm_srli_epi16(uv1, 8)));
}

// The chroma bytes of a block (its odd bytes) into 16 U and 16 V.
inline void StoreChroma(uint8_t* u, uint8_t* v, const Block& b) {
    StoreSplitChroma(u, v, _mm_packus_epi16(_mm_srli_epi16(b.a[0], 8), _mm_srli_epi16(b.a[1], 8)),
                     _mm_packus_epi16(_mm_srli_epi16(b.a[2], 8), _mm_srli_epi16(b.a[3], 8)));
}

// (3 x near + far + 2) >> 2, exactly, in bytes: the mean of near and the
// mean of near and far rounded down. (A plain double average rounds up twice
// and is one too high for some inputs; the rounded-down inner mean is the
// byte average less the odd bit of near ^ far.)
inline __m128i WeightedMean(__m128i nearRow, __m128i farRow) {
    const __m128i one = _mm_set1_epi8(1);
    __m128i inner = _mm_sub_epi8(_mm_avg_epu8(nearRow, farRow), _mm_and_si128(_mm_xor_si128(nearRow, farRow), one));
    return _mm_avg_epu8(nearRow, inner);
}

}  // namespace

// Two half steps of 8 pairs keep the live vectors within the eight
// registers of the 32-bit build.
SIMD_ENTRY void Yuy2To420Rows_SSE2(const RowPair420* rows, int32_t first, int32_t pairs) {
    const __m128i lumaMask = _mm_set1_epi16(0x00FF);
    int32_t j = first;
    for (; j + 16 <= pairs; j += 16) {
        Block mean;
        for (int half = 0; half < 2; ++half) {
            const __m128i* upper = reinterpret_cast<const __m128i*>(rows->in[0] + 4 * j) + 2 * half;
            const __m128i* lower = reinterpret_cast<const __m128i*>(rows->in[1] + 4 * j) + 2 * half;
            __m128i a0 = _mm_loadu_si128(upper), a1 = _mm_loadu_si128(upper + 1);
            __m128i b0 = _mm_loadu_si128(lower), b1 = _mm_loadu_si128(lower + 1);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(rows->y[0] + 2 * j) + half,
                             _mm_packus_epi16(_mm_and_si128(a0, lumaMask), _mm_and_si128(a1, lumaMask)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(rows->y[1] + 2 * j) + half,
                             _mm_packus_epi16(_mm_and_si128(b0, lumaMask), _mm_and_si128(b1, lumaMask)));
            // The byte average is exactly (a + b + 1) >> 1.
            mean.a[2 * half] = _mm_avg_epu8(a0, b0);
            mean.a[2 * half + 1] = _mm_avg_epu8(a1, b1);
        }
        StoreChroma(rows->u + j, rows->v + j, mean);
    }
    Yuy2To420Rows_C(rows, j, pairs);
}

// Each row's chroma is packed to bytes first (U V U V ...), so the field
// filter runs on half as many vectors; two half steps of 8 pairs keep the live
// vectors near the eight registers of the 32-bit build.
SIMD_ENTRY void Yuy2To420InterlacedRows_SSE2(const RowGroup420Interlaced* rows, int32_t first, int32_t pairs) {
    const __m128i lumaMask = _mm_set1_epi16(0x00FF);
    int32_t j = first;
    for (; j + 16 <= pairs; j += 16) {
        __m128i top[2], bottom[2];
        for (int half = 0; half < 2; ++half) {
            __m128i chroma[4];
            for (int i = 0; i < 4; ++i) {
                const __m128i* in = reinterpret_cast<const __m128i*>(rows->in[i] + 4 * j) + 2 * half;
                __m128i a0 = _mm_loadu_si128(in), a1 = _mm_loadu_si128(in + 1);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(rows->y[i] + 2 * j) + half,
                                 _mm_packus_epi16(_mm_and_si128(a0, lumaMask), _mm_and_si128(a1, lumaMask)));
                chroma[i] = _mm_packus_epi16(_mm_srli_epi16(a0, 8), _mm_srli_epi16(a1, 8));
            }
            // Top field: row 0 near, row 2 far. Bottom field: row 3 near, row 1 far.
            top[half] = WeightedMean(chroma[0], chroma[2]);
            bottom[half] = WeightedMean(chroma[3], chroma[1]);
        }
        StoreSplitChroma(rows->u[0] + j, rows->v[0] + j, top[0], top[1]);
        StoreSplitChroma(rows->u[1] + j, rows->v[1] + j, bottom[0], bottom[1]);
    }
    Yuy2To420InterlacedRows_C(rows, j, pairs);
}

SIMD_ENTRY void Yuy2To422Row_SSE2(const Row422* row, int32_t first, int32_t pairs) {
    int32_t j = first;
    for (; j + 16 <= pairs; j += 16) {
        Block b = Load(row->in + 4 * j);
        StoreLuma(row->y + 2 * j, b);
        StoreChroma(row->u + j, row->v + j, b);
    }
    Yuy2To422Row_C(row, j, pairs);
}

void ConvertYUY2To420_SSE2(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height) {
    ConvertFrame420(destination, source, width, height, Yuy2To420Rows_SSE2);
}

void ConvertYUY2To420Interlaced_SSE2(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height) {
    ConvertFrame420Interlaced(destination, source, width, height, Yuy2To420InterlacedRows_SSE2);
}

void ConvertYUY2To422_SSE2(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height) {
    ConvertFrame422(destination, source, width, height, Yuy2To422Row_SSE2);
}
