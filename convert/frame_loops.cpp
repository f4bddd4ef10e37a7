#include "convert/frame_conversion.h"
#include "convert/frame_rows.h"

// Rows are 2 x width bytes in the source and width bytes in the Y plane; an
// odd width leaves the last pixel of each source row unread and the last
// byte of each Y row unwritten.

void ConvertFrame420(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height,
                     RowPair420Kernel kernel) {
    if (width < 2 || height < 2) return;
    const int32_t pairs = width / 2;
    const intptr_t rowBytes = 2 * static_cast<intptr_t>(width);
    const PlaneOffsets planes = PlanarOffsets420(width, height);
    for (int32_t k = 0; k < height / 2; ++k) {
        RowPair420 rows;
        rows.in[0] = source + 2 * k * rowBytes;
        rows.in[1] = rows.in[0] + rowBytes;
        rows.y[0] = destination + 2 * static_cast<intptr_t>(k) * width;
        rows.y[1] = rows.y[0] + width;
        rows.u = destination + planes.u + static_cast<intptr_t>(k) * pairs;
        rows.v = destination + planes.v + static_cast<intptr_t>(k) * pairs;
        kernel(&rows, 0, pairs);
    }
}

void ConvertFrame420Interlaced(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height,
                               RowGroup420InterlacedKernel kernel) {
    if (width < 2 || height < 4) return;
    const int32_t pairs = width / 2;
    const intptr_t rowBytes = 2 * static_cast<intptr_t>(width);
    const PlaneOffsets planes = PlanarOffsets420(width, height);
    for (int32_t g = 0; g < height / 4; ++g) {
        RowGroup420Interlaced rows;
        for (int i = 0; i < 4; ++i) {
            rows.in[i] = source + (4 * static_cast<intptr_t>(g) + i) * rowBytes;
            rows.y[i] = destination + (4 * static_cast<intptr_t>(g) + i) * width;
        }
        for (int field = 0; field < 2; ++field) {
            rows.u[field] = destination + planes.u + (2 * static_cast<intptr_t>(g) + field) * pairs;
            rows.v[field] = destination + planes.v + (2 * static_cast<intptr_t>(g) + field) * pairs;
        }
        kernel(&rows, 0, pairs);
    }
}

void ConvertFrame422(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height, Row422Kernel kernel) {
    if (width < 2 || height < 1) return;
    const int32_t pairs = width / 2;
    const intptr_t rowBytes = 2 * static_cast<intptr_t>(width);
    const PlaneOffsets planes = PlanarOffsets422(width, height);
    for (int32_t r = 0; r < height; ++r) {
        Row422 row;
        row.in = source + r * rowBytes;
        row.y = destination + static_cast<intptr_t>(r) * width;
        row.u = destination + planes.u + static_cast<intptr_t>(r) * pairs;
        row.v = destination + planes.v + static_cast<intptr_t>(r) * pairs;
        kernel(&row, 0, pairs);
    }
}
