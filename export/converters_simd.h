// The SIMD row kernels. Each has the signature and output of its scalar
// reference in export/frame_rows.h, byte for byte; export/converter_variants.cpp
// puts them into the frame loops.
#pragma once

#include <stdint.h>

#include "export/frame_rows.h"

void YUY2To420Rows_SSE2(const RowPair420* rows, int32_t first, int32_t pairs);
void YUY2To420InterlacedRows_SSE2(const RowGroup420Interlaced* rows, int32_t first, int32_t pairs);
void YUY2To422Row_SSE2(const Row422* row, int32_t first, int32_t pairs);

void YUY2To420Rows_AVX2(const RowPair420* rows, int32_t first, int32_t pairs);
void YUY2To420InterlacedRows_AVX2(const RowGroup420Interlaced* rows, int32_t first, int32_t pairs);
void YUY2To422Row_AVX2(const Row422* row, int32_t first, int32_t pairs);
