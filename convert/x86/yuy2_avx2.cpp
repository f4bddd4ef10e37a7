// AVX2 kernels, 32 pixel pairs (128 source bytes) per step. This file alone
// is compiled with -mavx2, and its kernels run only after the CPU check; the
// scalar kernels take the pairs left over. In the 32-bit module they realign
// the stack on entry (SIMD_ENTRY), as the SSE2 ones do.
#include "convert/frame_rows.h"
#include "convert/x86/simd_vectors.h"
#include "platform/cpu_features.h"

SIMD_ENTRY void YUY2To420Rows_AVX2(const RowPair420* rows, int32_t first, int32_t pairs) {
    YUY2To420Rows_C(rows, YUY2To420RowsSteps<__m256i>(rows, first, pairs), pairs);
}

// One row of 16 pairs: its luma stored, its chroma returned packed to bytes
// (U V U V ..., quarters as packed).
static inline __m256i StoreLumaTakeChroma(const RowGroup420Interlaced* rows, int row, int32_t j) {
    const uint8_t* in = rows->in[row] + 4 * j;
    __m256i a0 = LoadVector(in, __m256i()), a1 = LoadVector(in + 32, __m256i());
    StoreVector(rows->y[row] + 2 * j, PackLuma(a0, a1));
    return PackChroma(a0, a1);
}

// 16 pairs a step, one field at a time: two rows' chroma are live at once,
// which the eight vector registers of the 32-bit build hold without spilling.
SIMD_ENTRY void YUY2To420InterlacedRows_AVX2(const RowGroup420Interlaced* rows, int32_t first, int32_t pairs) {
    int32_t j = StepAlongRow(first, pairs, 16, [rows](int32_t j) {
        for (int field = 0; field < 2; ++field) {
            // Top field: row 0 near, row 2 far. Bottom field: row 3 near, row 1 far.
            __m256i nearChroma = StoreLumaTakeChroma(rows, field == 0 ? 0 : 3, j);
            __m256i farChroma = StoreLumaTakeChroma(rows, field == 0 ? 2 : 1, j);
            __m256i uv = InOrder(WeightedMean(nearChroma, farChroma));
            // 16 U then 16 V, each half in order after the permute.
            __m256i split = InOrder(PackBytes(LowBytes(uv), HighBytes(uv)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(rows->u[field] + j), _mm256_castsi256_si128(split));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(rows->v[field] + j), _mm256_extracti128_si256(split, 1));
        }
    });
    YUY2To420InterlacedRows_C(rows, j, pairs);
}

SIMD_ENTRY void YUY2To422Row_AVX2(const Row422* row, int32_t first, int32_t pairs) {
    YUY2To422Row_C(row, YUY2To422RowSteps<__m256i>(row, first, pairs), pairs);
}
