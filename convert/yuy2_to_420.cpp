// YUY2 to 4:2:0, progressive: the scalar reference.
#include "convert/frame_conversion.h"
#include "convert/frame_rows.h"

void YUY2To420Rows_C(const RowPair420* rows, int32_t first, int32_t pairs) {
    const uint8_t* upper = rows->in[0];
    const uint8_t* lower = rows->in[1];
    for (int32_t j = first; j < pairs; ++j) {
        const uint8_t* a = upper + 4 * j;
        const uint8_t* b = lower + 4 * j;
        rows->y[0][2 * j] = a[0];
        rows->y[0][2 * j + 1] = a[2];
        rows->y[1][2 * j] = b[0];
        rows->y[1][2 * j + 1] = b[2];
        // Mean of the two rows, a half rounded up.
        rows->u[j] = static_cast<uint8_t>((a[1] + b[1] + 1) >> 1);
        rows->v[j] = static_cast<uint8_t>((a[3] + b[3] + 1) >> 1);
    }
}

void ConvertYUY2To420(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height) {
    ConvertFrame420(destination, source, width, height, YUY2To420Rows_C);
}
