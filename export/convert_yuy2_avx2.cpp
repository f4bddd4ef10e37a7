// AVX2 kernels, 32 pixel pairs (128 source bytes) per step, for the 64-bit
// build only; this file alone is compiled with -mavx2 and runs only after the
// CPU check. The scalar kernels take the pairs left over. The arithmetic is
// that of the SSE2 kernels (see there), twice as wide.
//
// Packs work within each 128-bit half, so after every pack the four 64-bit
// quarters come out as 0, 2, 1, 3; one cross-lane permute puts them back.
#include <immintrin.h>

#include "export/converters_simd.h"
#include "export/frame_rows.h"

namespace {

inline __m256i InOrder(__m256i packed) { return _mm256_permute4x64_epi64(packed, 0xD8); }

struct Block {
    __m256i a[4];  // 128 source bytes: pairs 0-7, 8-15, 16-23, 24-31
};

inline Block Load(const uint8_t* in) {
    Block b;
    for (int i = 0; i < 4; ++i) b.a[i] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in) + i);
    return b;
}

inline void StoreLuma(uint8_t* y, const Block& b) {
    const __m256i lumaMask = _mm256_set1_epi16(0x00FF);
    __m256i y0 = _mm256_packus_epi16(_mm256_and_si256(b.a[0], lumaMask), _mm256_and_si256(b.a[1], lumaMask));
    __m256i y1 = _mm256_packus_epi16(_mm256_and_si256(b.a[2], lumaMask), _mm256_and_si256(b.a[3], lumaMask));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(y), InOrder(y0));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(y) + 1, InOrder(y1));
}

inline void StoreChroma(uint8_t* u, uint8_t* v, const Block& b) {
    const __m256i lumaMask = _mm256_set1_epi16(0x00FF);
    __m256i uv0 = InOrder(_mm256_packus_epi16(_mm256_srli_epi16(b.a[0], 8), _mm256_srli_epi16(b.a[1], 8)));
    __m256i uv1 = InOrder(_mm256_packus_epi16(_mm256_srli_epi16(b.a[2], 8), _mm256_srli_epi16(b.a[3], 8)));
    __m256i us = _mm256_packus_epi16(_mm256_and_si256(uv0, lumaMask), _mm256_and_si256(uv1, lumaMask));
    __m256i vs = _mm256_packus_epi16(_mm256_srli_epi16(uv0, 8), _mm256_srli_epi16(uv1, 8));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(u), InOrder(us));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(v), InOrder(vs));
}

inline __m256i WeightedMean(__m256i nearRow, __m256i farRow) {
    const __m256i one = _mm256_set1_epi8(1);
    __m256i inner =
        _mm256_sub_epi8(_mm256_avg_epu8(nearRow, farRow), _mm256_and_si256(_mm256_xor_si256(nearRow, farRow), one));
    return _mm256_avg_epu8(nearRow, inner);
}

}  // namespace

void Yuy2To420Rows_AVX2(const RowPair420* rows, int32_t first, int32_t pairs) {
    int32_t j = first;
    for (; j + 32 <= pairs; j += 32) {
        Block upper = Load(rows->in[0] + 4 * j);
        Block lower = Load(rows->in[1] + 4 * j);
        StoreLuma(rows->y[0] + 2 * j, upper);
        StoreLuma(rows->y[1] + 2 * j, lower);
        Block mean;
        for (int i = 0; i < 4; ++i) mean.a[i] = _mm256_avg_epu8(upper.a[i], lower.a[i]);
        StoreChroma(rows->u + j, rows->v + j, mean);
    }
    Yuy2To420Rows_C(rows, j, pairs);
}

// Four rows at a time would hold more vectors than there are registers, so
// this kernel steps by 16 pairs. Each row's chroma is packed to bytes first
// (U V U V ..., quarters as packed), so the field filter runs once per row.
void Yuy2To420InterlacedRows_AVX2(const RowGroup420Interlaced* rows, int32_t first, int32_t pairs) {
    const __m256i lumaMask = _mm256_set1_epi16(0x00FF);
    int32_t j = first;
    for (; j + 16 <= pairs; j += 16) {
        __m256i chroma[4];
        for (int i = 0; i < 4; ++i) {
            const __m256i* in = reinterpret_cast<const __m256i*>(rows->in[i] + 4 * j);
            __m256i a0 = _mm256_loadu_si256(in), a1 = _mm256_loadu_si256(in + 1);
            __m256i y = _mm256_packus_epi16(_mm256_and_si256(a0, lumaMask), _mm256_and_si256(a1, lumaMask));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(rows->y[i] + 2 * j), InOrder(y));
            chroma[i] = _mm256_packus_epi16(_mm256_srli_epi16(a0, 8), _mm256_srli_epi16(a1, 8));
        }
        for (int field = 0; field < 2; ++field) {
            // Top field: row 0 near, row 2 far. Bottom field: row 3 near, row 1 far.
            __m256i uv = InOrder(field == 0 ? WeightedMean(chroma[0], chroma[2]) : WeightedMean(chroma[3], chroma[1]));
            // 16 U then 16 V, each half in order after the permute.
            __m256i split = InOrder(_mm256_packus_epi16(_mm256_and_si256(uv, lumaMask), _mm256_srli_epi16(uv, 8)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(rows->u[field] + j), _mm256_castsi256_si128(split));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(rows->v[field] + j), _mm256_extracti128_si256(split, 1));
        }
    }
    Yuy2To420InterlacedRows_C(rows, j, pairs);
}

void Yuy2To422Row_AVX2(const Row422* row, int32_t first, int32_t pairs) {
    int32_t j = first;
    for (; j + 32 <= pairs; j += 32) {
        Block b = Load(row->in + 4 * j);
        StoreLuma(row->y + 2 * j, b);
        StoreChroma(row->u + j, row->v + j, b);
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
