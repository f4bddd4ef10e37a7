// AVX2 kernels, 32 pixel pairs (128 source bytes) per step, for the 64-bit
// build only; this file alone is compiled with -mavx2 and runs only after the
// CPU check. The scalar kernels take the pairs left over.
//
// Packs work within each 128-bit half, so after every pack the four 64-bit
// quarters come out as 0, 2, 1, 3; one cross-lane permute puts them back.
#include <immintrin.h>

#include "export/converters_simd.h"
#include "export/frame_rows.h"

namespace {

inline __m256i InOrder(__m256i packed) { return _mm256_permute4x64_epi64(packed, 0xD8); }

struct Split {
    __m256i y0, y1;  // 64 luma bytes, in order
    __m256i c[4];    // chroma of each 32-byte load, one sample per 16-bit lane
};

inline Split Load32Pairs(const uint8_t* in) {
    const __m256i lumaMask = _mm256_set1_epi16(0x00FF);
    Split s;
    __m256i a[4];
    for (int i = 0; i < 4; ++i) a[i] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in) + i);
    s.y0 = InOrder(_mm256_packus_epi16(_mm256_and_si256(a[0], lumaMask), _mm256_and_si256(a[1], lumaMask)));
    s.y1 = InOrder(_mm256_packus_epi16(_mm256_and_si256(a[2], lumaMask), _mm256_and_si256(a[3], lumaMask)));
    for (int i = 0; i < 4; ++i) s.c[i] = _mm256_srli_epi16(a[i], 8);
    return s;
}

inline void StoreLuma(uint8_t* y, const Split& s) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(y), s.y0);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(y) + 1, s.y1);
}

// Chroma of loads 0-1 and 2-3 packed to bytes (quarters still 0, 2, 1, 3).
inline __m256i PackChroma(__m256i first, __m256i second) { return _mm256_packus_epi16(first, second); }

// uv0, uv1: packed U V bytes of pairs 0-15 and 16-31, quarters as packed.
inline void StoreChroma(uint8_t* u, uint8_t* v, __m256i uv0, __m256i uv1) {
    const __m256i lumaMask = _mm256_set1_epi16(0x00FF);
    uv0 = InOrder(uv0);
    uv1 = InOrder(uv1);
    __m256i us = _mm256_packus_epi16(_mm256_and_si256(uv0, lumaMask), _mm256_and_si256(uv1, lumaMask));
    __m256i vs = _mm256_packus_epi16(_mm256_srli_epi16(uv0, 8), _mm256_srli_epi16(uv1, 8));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(u), InOrder(us));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(v), InOrder(vs));
}

inline __m256i WeightedMean(__m256i nearRow, __m256i farRow) {
    const __m256i two = _mm256_set1_epi16(2);
    __m256i sum = _mm256_add_epi16(_mm256_add_epi16(nearRow, nearRow), _mm256_add_epi16(nearRow, farRow));
    return _mm256_srli_epi16(_mm256_add_epi16(sum, two), 2);
}

}  // namespace

void Yuy2To420Rows_AVX2(const RowPair420* rows, int32_t first, int32_t pairs) {
    int32_t j = first;
    for (; j + 32 <= pairs; j += 32) {
        Split upper = Load32Pairs(rows->in[0] + 4 * j);
        Split lower = Load32Pairs(rows->in[1] + 4 * j);
        StoreLuma(rows->y[0] + 2 * j, upper);
        StoreLuma(rows->y[1] + 2 * j, lower);
        __m256i uv0 = _mm256_avg_epu8(PackChroma(upper.c[0], upper.c[1]), PackChroma(lower.c[0], lower.c[1]));
        __m256i uv1 = _mm256_avg_epu8(PackChroma(upper.c[2], upper.c[3]), PackChroma(lower.c[2], lower.c[3]));
        StoreChroma(rows->u + j, rows->v + j, uv0, uv1);
    }
    Yuy2To420Rows_C(rows, j, pairs);
}

void Yuy2To420InterlacedRows_AVX2(const RowGroup420Interlaced* rows, int32_t first, int32_t pairs) {
    int32_t j = first;
    for (; j + 32 <= pairs; j += 32) {
        Split r[4];
        for (int i = 0; i < 4; ++i) {
            r[i] = Load32Pairs(rows->in[i] + 4 * j);
            StoreLuma(rows->y[i] + 2 * j, r[i]);
        }
        __m256i top[4], bottom[4];
        for (int i = 0; i < 4; ++i) {
            top[i] = WeightedMean(r[0].c[i], r[2].c[i]);
            bottom[i] = WeightedMean(r[3].c[i], r[1].c[i]);
        }
        StoreChroma(rows->u[0] + j, rows->v[0] + j, PackChroma(top[0], top[1]), PackChroma(top[2], top[3]));
        StoreChroma(rows->u[1] + j, rows->v[1] + j, PackChroma(bottom[0], bottom[1]), PackChroma(bottom[2], bottom[3]));
    }
    Yuy2To420InterlacedRows_C(rows, j, pairs);
}

void Yuy2To422Row_AVX2(const Row422* row, int32_t first, int32_t pairs) {
    int32_t j = first;
    for (; j + 32 <= pairs; j += 32) {
        Split s = Load32Pairs(row->in + 4 * j);
        StoreLuma(row->y + 2 * j, s);
        StoreChroma(row->u + j, row->v + j, PackChroma(s.c[0], s.c[1]), PackChroma(s.c[2], s.c[3]));
    }
    Yuy2To422Row_C(row, j, pairs);
}

void ConvertYUY2To420_AVX2(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height) {
    ConvertFrame420(destination, source, width, height, Yuy2To420Rows_AVX2);
}

void ConvertYUY2To420Interlaced_AVX2(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height) {
    ConvertFrame420Interlaced(destination, source, width, height, Yuy2To420InterlacedRows_AVX2);
}

void ConvertYUY2To422_AVX2(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height) {
    ConvertFrame422(destination, source, width, height, Yuy2To422Row_AVX2);
}
