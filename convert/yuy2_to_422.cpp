// YUY2 to 4:2:2: a plain de-interleave. The scalar reference.
#include "convert/frame_conversion.h"
#include "convert/frame_rows.h"

void YUY2To422Row_C(const Row422* row, int32_t first, int32_t pairs) {
    for (int32_t j = first; j < pairs; ++j) {
        const uint8_t* p = row->in + 4 * j;
        row->y[2 * j] = p[0];
        row->u[j] = p[1];
        row->y[2 * j + 1] = p[2];
        row->v[j] = p[3];
    }
}

void ConvertYUY2To422(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height) {
    ConvertFrame422(destination, source, width, height, YUY2To422Row_C);
}
