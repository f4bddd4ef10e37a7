// SSE2 kernels, 16 pixel pairs (64 source bytes) per step; the scalar kernels
// take the pairs left over at the end of each row.
//
// A YUY2 vector holds Y in the even bytes and U/V in the odd ones: masking
// with 0x00FF keeps Y, a 16-bit shift right by 8 keeps the chroma, and an
// unsigned pack brings either back to bytes in order.
#include <emmintrin.h>

#include "export/converters_simd.h"
#include "export/frame_rows.h"
#include "platform/cpu_features.h"

namespace {

struct Split {
    __m128i y0, y1;  // 32 luma bytes
    __m128i c[4];    // chroma of each 16-byte load, one sample per 16-bit lane: U V U V ...
};

inline Split Load16Pairs(const uint8_t* in) {
    const __m128i lumaMask = _mm_set1_epi16(0x00FF);
    Split s;
    __m128i a[4];
    for (int i = 0; i < 4; ++i) a[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in) + i);
    s.y0 = _mm_packus_epi16(_mm_and_si128(a[0], lumaMask), _mm_and_si128(a[1], lumaMask));
    s.y1 = _mm_packus_epi16(_mm_and_si128(a[2], lumaMask), _mm_and_si128(a[3], lumaMask));
    for (int i = 0; i < 4; ++i) s.c[i] = _mm_srli_epi16(a[i], 8);
    return s;
}

inline void StoreLuma(uint8_t* y, const Split& s) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(y), s.y0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(y) + 1, s.y1);
}

// uv0, uv1: 16 interleaved U V bytes each (pairs 0-7 and 8-15) into 16 U and 16 V.
inline void StoreChroma(uint8_t* u, uint8_t* v, __m128i uv0, __m128i uv1) {
    const __m128i lumaMask = _mm_set1_epi16(0x00FF);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(u),
                     _mm_packus_epi16(_mm_and_si128(uv0, lumaMask), _mm_and_si128(uv1, lumaMask)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(v), _mm_packus_epi16(_mm_srli_epi16(uv0, 8), _mm_srli_epi16(uv1, 8)));
}

// (3 x near + far + 2) >> 2 in 16-bit lanes: at most 1022, never past 16 bits.
inline __m128i WeightedMean(__m128i nearRow, __m128i farRow) {
    const __m128i two = _mm_set1_epi16(2);
    __m128i sum = _mm_add_epi16(_mm_add_epi16(nearRow, nearRow), _mm_add_epi16(nearRow, farRow));
    return _mm_srli_epi16(_mm_add_epi16(sum, two), 2);
}

}  // namespace

SIMD_ENTRY void Yuy2To420Rows_SSE2(const RowPair420* rows, int32_t first, int32_t pairs) {
    int32_t j = first;
    for (; j + 16 <= pairs; j += 16) {
        Split upper = Load16Pairs(rows->in[0] + 4 * j);
        Split lower = Load16Pairs(rows->in[1] + 4 * j);
        StoreLuma(rows->y[0] + 2 * j, upper);
        StoreLuma(rows->y[1] + 2 * j, lower);
        // The byte average is exactly (a + b + 1) >> 1.
        __m128i uv0 = _mm_avg_epu8(_mm_packus_epi16(upper.c[0], upper.c[1]), _mm_packus_epi16(lower.c[0], lower.c[1]));
        __m128i uv1 = _mm_avg_epu8(_mm_packus_epi16(upper.c[2], upper.c[3]), _mm_packus_epi16(lower.c[2], lower.c[3]));
        StoreChroma(rows->u + j, rows->v + j, uv0, uv1);
    }
    Yuy2To420Rows_C(rows, j, pairs);
}

SIMD_ENTRY void Yuy2To420InterlacedRows_SSE2(const RowGroup420Interlaced* rows, int32_t first, int32_t pairs) {
    int32_t j = first;
    for (; j + 16 <= pairs; j += 16) {
        Split r[4];
        for (int i = 0; i < 4; ++i) {
            r[i] = Load16Pairs(rows->in[i] + 4 * j);
            StoreLuma(rows->y[i] + 2 * j, r[i]);
        }
        // Top field: row 0 near, row 2 far. Bottom field: row 3 near, row 1 far.
        __m128i top[4], bottom[4];
        for (int i = 0; i < 4; ++i) {
            top[i] = WeightedMean(r[0].c[i], r[2].c[i]);
            bottom[i] = WeightedMean(r[3].c[i], r[1].c[i]);
        }
        StoreChroma(rows->u[0] + j, rows->v[0] + j, _mm_packus_epi16(top[0], top[1]), _mm_packus_epi16(top[2], top[3]));
        StoreChroma(rows->u[1] + j, rows->v[1] + j, _mm_packus_epi16(bottom[0], bottom[1]),
                    _mm_packus_epi16(bottom[2], bottom[3]));
    }
    Yuy2To420InterlacedRows_C(rows, j, pairs);
}

SIMD_ENTRY void Yuy2To422Row_SSE2(const Row422* row, int32_t first, int32_t pairs) {
    int32_t j = first;
    for (; j + 16 <= pairs; j += 16) {
        Split s = Load16Pairs(row->in + 4 * j);
        StoreLuma(row->y + 2 * j, s);
        StoreChroma(row->u + j, row->v + j, _mm_packus_epi16(s.c[0], s.c[1]), _mm_packus_epi16(s.c[2], s.c[3]));
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
