// YUY2 to 4:2:2: a plain de-interleave. This is the reference for any faster variant.
#include "export/frame_conversion.h"

void ConvertYUY2To422(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height) {
    if (width < 2 || height < 1) return;
    const int32_t pairs = width / 2;
    const int32_t rowBytes = 2 * width;
    const PlaneOffsets planes = PlanarOffsets422(width, height);
    for (int32_t r = 0; r < height; ++r) {
        const uint8_t* row = source + static_cast<intptr_t>(r) * rowBytes;
        uint8_t* luma = destination + static_cast<intptr_t>(r) * width;
        uint8_t* u = destination + planes.u + static_cast<intptr_t>(r) * pairs;
        uint8_t* v = destination + planes.v + static_cast<intptr_t>(r) * pairs;
        for (int32_t j = 0; j < pairs; ++j) {
            luma[2 * j] = row[4 * j];
            u[j] = row[4 * j + 1];
            luma[2 * j + 1] = row[4 * j + 2];
            v[j] = row[4 * j + 3];
        }
    }
}
