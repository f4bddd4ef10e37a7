// The vector steps the SSE2 and AVX2 kernels share, written once over either
// width (__m128i, and __m256i where the file is compiled for AVX2).
//
// A YUY2 vector holds Y in the even bytes and U/V in the odd ones: LowBytes
// keeps Y, HighBytes keeps the chroma, and PackBytes brings either back to
// bytes in order. Packs work within each 128-bit half, so a 256-bit pack
// leaves its four 64-bit quarters as 0, 2, 1, 3; InOrder puts them back (and
// is nothing at 128 bits).
//
// Everything here has internal linkage, so each kernel file gets its own copy
// compiled for its own instruction set: a shared out-of-line copy could hand
// AVX code to the SSE2 path.
#pragma once

#include <immintrin.h>
#include <stdint.h>

namespace {

inline __m128i LoadVector(const uint8_t* p, __m128i) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void StoreVector(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
inline __m128i LowBytes(__m128i v) { return _mm_and_si128(v, _mm_set1_epi16(0x00FF)); }
inline __m128i HighBytes(__m128i v) { return _mm_srli_epi16(v, 8); }
inline __m128i PackBytes(__m128i a, __m128i b) { return _mm_packus_epi16(a, b); }
inline __m128i InOrder(__m128i v) { return v; }
inline __m128i AverageBytes(__m128i a, __m128i b) { return _mm_avg_epu8(a, b); }
// The byte average less the odd bit of a ^ b: (a + b) >> 1, rounded down.
inline __m128i AverageBytesDown(__m128i a, __m128i b) {
    return _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), _mm_set1_epi8(1)));
}

#if defined(__AVX2__)
inline __m256i LoadVector(const uint8_t* p, __m256i) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
inline void StoreVector(uint8_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
inline __m256i LowBytes(__m256i v) { return _mm256_and_si256(v, _mm256_set1_epi16(0x00FF)); }
inline __m256i HighBytes(__m256i v) { return _mm256_srli_epi16(v, 8); }
inline __m256i PackBytes(__m256i a, __m256i b) { return _mm256_packus_epi16(a, b); }
inline __m256i InOrder(__m256i v) { return _mm256_permute4x64_epi64(v, 0xD8); }
inline __m256i AverageBytes(__m256i a, __m256i b) { return _mm256_avg_epu8(a, b); }
inline __m256i AverageBytesDown(__m256i a, __m256i b) {
    return _mm256_sub_epi8(_mm256_avg_epu8(a, b), _mm256_and_si256(_mm256_xor_si256(a, b), _mm256_set1_epi8(1)));
}
#endif

// One step of a row: 4 vectors of YUY2, as many pixel pairs as a vector has bytes.
template <typename V>
struct Block {
    V a[4];
};

template <typename V>
inline Block<V> LoadBlock(const uint8_t* in) {
    Block<V> b;
    for (int i = 0; i < 4; ++i) b.a[i] = LoadVector(in + i * sizeof(V), V());
    return b;
}

// Two YUY2 vectors' luma as one vector of bytes, in order.
template <typename V>
inline V PackLuma(V a0, V a1) {
    return InOrder(PackBytes(LowBytes(a0), LowBytes(a1)));
}

// Two YUY2 vectors' chroma as one vector of U V U V ... bytes, quarters as packed.
template <typename V>
inline V PackChroma(V a0, V a1) {
    return PackBytes(HighBytes(a0), HighBytes(a1));
}

template <typename V>
inline void StoreLuma(uint8_t* y, const Block<V>& b) {
    StoreVector(y, PackLuma(b.a[0], b.a[1]));
    StoreVector(y + sizeof(V), PackLuma(b.a[2], b.a[3]));
}

// Interleaved U V bytes (two vectors, in order) into a vector of U and one of V.
template <typename V>
inline void StoreSplitChroma(uint8_t* u, uint8_t* v, V uv0, V uv1) {
    StoreVector(u, InOrder(PackBytes(LowBytes(uv0), LowBytes(uv1))));
    StoreVector(v, InOrder(PackBytes(HighBytes(uv0), HighBytes(uv1))));
}

// The chroma bytes of a block (its odd bytes) into U and V.
template <typename V>
inline void StoreChroma(uint8_t* u, uint8_t* v, const Block<V>& b) {
    StoreSplitChroma(u, v, InOrder(PackChroma(b.a[0], b.a[1])), InOrder(PackChroma(b.a[2], b.a[3])));
}

// (3 x near + far + 2) >> 2, exactly, in bytes: the mean of near and the
// mean of near and far rounded down. (A plain double average rounds up twice
// and is one too high for some inputs.)
template <typename V>
inline V WeightedMean(V nearRow, V farRow) {
    return AverageBytes(nearRow, AverageBytesDown(nearRow, farRow));
}

// Runs `body` over pixel pairs [first, pairs) in whole steps. The pairs left
// at the end are taken by one more whole step that ends at the row's end and
// overlaps the step before it (writing the same bytes again), so a row is
// vectorised to its end whenever it holds one step; returns where the scalar
// kernel takes over.
template <typename Body>
inline int32_t StepAlongRow(int32_t first, int32_t pairs, int32_t step, Body body) {
    int32_t j = first;
    for (; j + step <= pairs; j += step) body(j);
    if (j < pairs && j > first) {
        body(pairs - step);
        j = pairs;
    }
    return j;
}

// 4:2:2 is the same at every width: luma and chroma of each block, no filter.
template <typename V>
inline int32_t YUY2To422RowSteps(const Row422* row, int32_t first, int32_t pairs) {
    return StepAlongRow(first, pairs, sizeof(V), [row](int32_t j) {
        Block<V> b = LoadBlock<V>(row->in + 4 * j);
        StoreLuma(row->y + 2 * j, b);
        StoreChroma(row->u + j, row->v + j, b);
    });
}

// 4:2:0 progressive in two half steps, each of two vectors a row, so the
// live vectors fit the eight registers of the 32-bit build.
template <typename V>
inline int32_t YUY2To420RowsSteps(const RowPair420* rows, int32_t first, int32_t pairs) {
    return StepAlongRow(first, pairs, sizeof(V), [rows](int32_t j) {
        Block<V> mean;
        for (int half = 0; half < 2; ++half) {
            const uint8_t* upper = rows->in[0] + 4 * j + 2 * half * sizeof(V);
            const uint8_t* lower = rows->in[1] + 4 * j + 2 * half * sizeof(V);
            V a0 = LoadVector(upper, V()), a1 = LoadVector(upper + sizeof(V), V());
            V b0 = LoadVector(lower, V()), b1 = LoadVector(lower + sizeof(V), V());
            StoreVector(rows->y[0] + 2 * j + half * sizeof(V), PackLuma(a0, a1));
            StoreVector(rows->y[1] + 2 * j + half * sizeof(V), PackLuma(b0, b1));
            // The byte average is exactly (a + b + 1) >> 1.
            mean.a[2 * half] = AverageBytes(a0, b0);
            mean.a[2 * half + 1] = AverageBytes(a1, b1);
        }
        StoreChroma(rows->u + j, rows->v + j, mean);
    });
}

}  // namespace
