// YUY2 to 4:2:0, progressive. This is the reference for any faster variant.
#include "export/frame_conversion.h"

void ConvertYUY2To420(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height) {
    if (width < 2 || height < 2) return;
    const int32_t pairs = width / 2;
    const int32_t rowBytes = 2 * width;  // an odd width leaves its last pixel unread
    const PlaneOffsets planes = PlanarOffsets420(width, height);
    for (int32_t k = 0; k < height / 2; ++k) {
        const uint8_t* upper = source + static_cast<intptr_t>(2 * k) * rowBytes;
        const uint8_t* lower = upper + rowBytes;
        uint8_t* lumaUpper = destination + static_cast<intptr_t>(2 * k) * width;
        uint8_t* lumaLower = lumaUpper + width;
        uint8_t* u = destination + planes.u + static_cast<intptr_t>(k) * pairs;
        uint8_t* v = destination + planes.v + static_cast<intptr_t>(k) * pairs;
        for (int32_t j = 0; j < pairs; ++j) {
            const uint8_t* a = upper + 4 * j;
            const uint8_t* b = lower + 4 * j;
            lumaUpper[2 * j] = a[0];
            lumaUpper[2 * j + 1] = a[2];
            lumaLower[2 * j] = b[0];
            lumaLower[2 * j + 1] = b[2];
            // Mean of the two rows, a half rounded up.
            u[j] = static_cast<uint8_t>((a[1] + b[1] + 1) >> 1);
            v[j] = static_cast<uint8_t>((a[3] + b[3] + 1) >> 1);
        }
    }
}
