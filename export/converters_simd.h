// The SIMD variants of the three converters and their row kernels. Each has
// the signature and output of its scalar reference, byte for byte.
#pragma once

#include <stdint.h>

#include "export/frame_rows.h"

void Yuy2To420Rows_SSE2(const RowPair420* rows, int32_t first, int32_t pairs);
void Yuy2To420InterlacedRows_SSE2(const RowGroup420Interlaced* rows, int32_t first, int32_t pairs);
void Yuy2To422Row_SSE2(const Row422* row, int32_t first, int32_t pairs);
void ConvertYUY2To420_SSE2(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height);
void ConvertYUY2To420Interlaced_SSE2(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height);
void ConvertYUY2To422_SSE2(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height);

void Yuy2To420Rows_AVX2(const RowPair420* rows, int32_t first, int32_t pairs);
void Yuy2To420InterlacedRows_AVX2(const RowGroup420Interlaced* rows, int32_t first, int32_t pairs);
void Yuy2To422Row_AVX2(const Row422* row, int32_t first, int32_t pairs);
void ConvertYUY2To420_AVX2(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height);
void ConvertYUY2To420Interlaced_AVX2(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height);
void ConvertYUY2To422_AVX2(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height);
