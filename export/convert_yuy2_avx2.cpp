// AVX2 kernels, 32 pixel pairs (128 source bytes) per step. This file alone
// is compiled with -mavx2, and its kernels run only after the CPU check; the
// scalar kernels take the pairs left over. In the 32-bit module they realign
// the stack on entry (SIMD_ENTRY), as the SSE2 ones do.
#include "export/converters_simd.h"
#include "export/frame_rows.h"
#include "export/simd_vectors.h"
#include "platform/cpu_features.h"

SIMD_ENTRY void YUY2To420Rows_AVX2(const RowPair420* rows, int32_t first, int32_t pairs) {
    YUY2To420Rows_C(rows, YUY2To420RowsSteps<__m256i>(rows, first, pairs), pairs);
}

// Four rows at a time would hold more vectors than there are registers, so
// this kernel steps by 16 pairs. Each row's chroma is packed to bytes first
// (U V U V ..., quarters as packed), so the field filter runs once per row.
SIMD_ENTRY void YUY2To420InterlacedRows_AVX2(const RowGroup420Interlaced* rows, int32_t first, int32_t pairs) {
    int32_t j = first;
    for (; j + 16 <= pairs; j += 16) {
        __m256i chroma[4];
        for (int i = 0; i < 4; ++i) {
            const uint8_t* in = rows->in[i] + 4 * j;
            __m256i a0 = LoadVector(in, __m256i()), a1 = LoadVector(in + 32, __m256i());
            StoreVector(rows->y[i] + 2 * j, PackLuma(a0, a1));
            chroma[i] = PackChroma(a0, a1);
        }
        for (int field = 0; field < 2; ++field) {
            // Top field: row 0 near, row 2 far. Bottom field: row 3 near, row 1 far.
            __m256i uv = InOrder(field == 0 ? WeightedMean(chroma[0], chroma[2]) : WeightedMean(chroma[3], chroma[1]));
            // 16 U then 16 V, each half in order after the permute.
            __m256i split = InOrder(PackBytes(LowBytes(uv), HighBytes(uv)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(rows->u[field] + j), _mm256_castsi256_si128(split));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(rows->v[field] + j), _mm256_extracti128_si256(split, 1));
        }
    }
    YUY2To420InterlacedRows_C(rows, j, pairs);
}

SIMD_ENTRY void YUY2To422Row_AVX2(const Row422* row, int32_t first, int32_t pairs) {
    YUY2To422Row_C(row, YUY2To422RowSteps<__m256i>(row, first, pairs), pairs);
}
