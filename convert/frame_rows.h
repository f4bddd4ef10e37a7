// The converters' inner work, one row unit at a time: a row pair (4:2:0), a
// group of four rows (4:2:0 interlaced) or a single row (4:2:2). Every
// variant of a converter (scalar, SSE2, AVX2) is the same frame loop over its
// own row kernel, so they differ only where the arithmetic is done.
//
// A kernel converts pixel pairs [first, pairs) of its unit: the SIMD kernels
// do the bulk and hand the last few pairs to the scalar kernel.
#pragma once

#include <stdint.h>

struct RowPair420 {
    const uint8_t* in[2];  // rows 2k, 2k+1
    uint8_t* y[2];
    uint8_t* u;
    uint8_t* v;
};

struct RowGroup420Interlaced {
    const uint8_t* in[4];  // rows 4g .. 4g+3
    uint8_t* y[4];
    uint8_t* u[2];  // chroma rows 2g (top field) and 2g+1 (bottom field)
    uint8_t* v[2];
};

struct Row422 {
    const uint8_t* in;
    uint8_t* y;
    uint8_t* u;
    uint8_t* v;
};

typedef void (*RowPair420Kernel)(const RowPair420* rows, int32_t first, int32_t pairs);
typedef void (*RowGroup420InterlacedKernel)(const RowGroup420Interlaced* rows, int32_t first, int32_t pairs);
typedef void (*Row422Kernel)(const Row422* row, int32_t first, int32_t pairs);

// The scalar kernels: the reference every faster kernel must equal.
void YUY2To420Rows_C(const RowPair420* rows, int32_t first, int32_t pairs);
void YUY2To420InterlacedRows_C(const RowGroup420Interlaced* rows, int32_t first, int32_t pairs);
void YUY2To422Row_C(const Row422* row, int32_t first, int32_t pairs);

// The frame loops: plane offsets once per frame, then every whole row unit.
// Sizes a converter cannot use (width below 2, too few rows, negative
// values) convert nothing.
void ConvertFrame420(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height,
                     RowPair420Kernel kernel);
void ConvertFrame420Interlaced(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height,
                               RowGroup420InterlacedKernel kernel);
void ConvertFrame422(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height, Row422Kernel kernel);

// A frame converter made of a frame loop and a row kernel, for the variant
// table: one function per kernel, with the converters' one signature.
template <RowPair420Kernel Kernel>
void ConvertFrame420With(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height) {
    ConvertFrame420(destination, source, width, height, Kernel);
}
template <RowGroup420InterlacedKernel Kernel>
void ConvertFrame420InterlacedWith(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height) {
    ConvertFrame420Interlaced(destination, source, width, height, Kernel);
}
template <Row422Kernel Kernel>
void ConvertFrame422With(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height) {
    ConvertFrame422(destination, source, width, height, Kernel);
}
