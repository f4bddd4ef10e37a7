// YUY2 to planar YUV: the three scalar converters and where each plane of a
// frame starts. Which converter an export uses: convert/converter_table.h.
//
// A converter writes the planar frame (Y, then U, then V, no padding) into
// destination from packed YUY2 rows of exactly 2 x width bytes. It reads only
// its arguments, never writes the source, and for sizes it cannot use (width
// below 2, too few rows, negative values) it writes nothing.
#pragma once

#include <stdint.h>

typedef void (*FrameConverter)(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height);

// Chroma of each row pair averaged, a half rounded up.
void ConvertYUY2To420(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height);
// Chroma filtered within each field: (3 x near + far + 2) >> 2.
void ConvertYUY2To420Interlaced(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height);
// Chroma copied row by row.
void ConvertYUY2To422(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height);

// Where each plane of a frame starts. The V offset is taken from the whole
// product width x height, as readers locate it.
struct PlaneOffsets {
    intptr_t u;
    intptr_t v;
};
PlaneOffsets PlanarOffsets420(int32_t width, int32_t height);
PlaneOffsets PlanarOffsets422(int32_t width, int32_t height);
