// SSE2 kernels, 16 pixel pairs (64 source bytes) per step; the scalar kernels
// take the pairs left over at the end of each row. The vertical chroma
// filters run on whole vectors of packed chroma, one operation per 16 samples.
#include "convert/x86/converters_x86.h"
#include "convert/frame_rows.h"
#include "convert/x86/simd_vectors.h"
#include "platform/cpu_features.h"

SIMD_ENTRY void YUY2To420Rows_SSE2(const RowPair420* rows, int32_t first, int32_t pairs) {
    YUY2To420Rows_C(rows, YUY2To420RowsSteps<__m128i>(rows, first, pairs), pairs);
}

// Each row's chroma is packed to bytes first (U V U V ...), so the field
// filter runs on half as many vectors; two half steps of 8 pairs keep the live
// vectors near the eight registers of the 32-bit build.
SIMD_ENTRY void YUY2To420InterlacedRows_SSE2(const RowGroup420Interlaced* rows, int32_t first, int32_t pairs) {
    int32_t j = StepAlongRow(first, pairs, 16, [rows](int32_t j) {
        __m128i top[2], bottom[2];
        for (int half = 0; half < 2; ++half) {
            __m128i chroma[4];
            for (int i = 0; i < 4; ++i) {
                const uint8_t* in = rows->in[i] + 4 * j + 32 * half;
                __m128i a0 = LoadVector(in, __m128i()), a1 = LoadVector(in + 16, __m128i());
                StoreVector(rows->y[i] + 2 * j + 16 * half, PackLuma(a0, a1));
                chroma[i] = PackChroma(a0, a1);
            }
            // Top field: row 0 near, row 2 far. Bottom field: row 3 near, row 1 far.
            top[half] = WeightedMean(chroma[0], chroma[2]);
            bottom[half] = WeightedMean(chroma[3], chroma[1]);
        }
        StoreSplitChroma(rows->u[0] + j, rows->v[0] + j, top[0], top[1]);
        StoreSplitChroma(rows->u[1] + j, rows->v[1] + j, bottom[0], bottom[1]);
    });
    YUY2To420InterlacedRows_C(rows, j, pairs);
}

SIMD_ENTRY void YUY2To422Row_SSE2(const Row422* row, int32_t first, int32_t pairs) {
    YUY2To422Row_C(row, YUY2To422RowSteps<__m128i>(row, first, pairs), pairs);
}
