// YUY2 to 4:2:0, interlaced: each chroma row comes from one field only, so the
// fields stay apart. This is the reference for any faster variant.
#include "export/frame_conversion.h"

void ConvertYUY2To420Interlaced(uint8_t* destination, const uint8_t* source, int32_t width,
                                int32_t height) {
    if (width < 2 || height < 4) return;
    const int32_t pairs = width / 2;
    const int32_t rowBytes = 2 * width;
    const PlaneOffsets planes = PlanarOffsets420(width, height);
    for (int32_t g = 0; g < height / 4; ++g) {
        const uint8_t* row0 = source + static_cast<intptr_t>(4 * g) * rowBytes;
        const uint8_t* row1 = row0 + rowBytes;
        const uint8_t* row2 = row1 + rowBytes;
        const uint8_t* row3 = row2 + rowBytes;
        uint8_t* luma0 = destination + static_cast<intptr_t>(4 * g) * width;
        uint8_t* luma1 = luma0 + width;
        uint8_t* luma2 = luma1 + width;
        uint8_t* luma3 = luma2 + width;
        uint8_t* uTop = destination + planes.u + static_cast<intptr_t>(2 * g) * pairs;
        uint8_t* vTop = destination + planes.v + static_cast<intptr_t>(2 * g) * pairs;
        uint8_t* uBottom = uTop + pairs;
        uint8_t* vBottom = vTop + pairs;
        for (int32_t j = 0; j < pairs; ++j) {
            const int32_t x = 4 * j;
            luma0[2 * j] = row0[x];
            luma0[2 * j + 1] = row0[x + 2];
            luma1[2 * j] = row1[x];
            luma1[2 * j + 1] = row1[x + 2];
            luma2[2 * j] = row2[x];
            luma2[2 * j + 1] = row2[x + 2];
            luma3[2 * j] = row3[x];
            luma3[2 * j + 1] = row3[x + 2];
            // Top field (rows 0 and 2): chroma sited a quarter of the way down,
            // so the nearer row 0 weighs 3. Bottom field (rows 1 and 3): three
            // quarters down, so row 3 weighs 3. The +2 rounds a half up.
            uTop[j] = static_cast<uint8_t>((3 * row0[x + 1] + row2[x + 1] + 2) >> 2);
            vTop[j] = static_cast<uint8_t>((3 * row0[x + 3] + row2[x + 3] + 2) >> 2);
            uBottom[j] = static_cast<uint8_t>((3 * row3[x + 1] + row1[x + 1] + 2) >> 2);
            vBottom[j] = static_cast<uint8_t>((3 * row3[x + 3] + row1[x + 3] + 2) >> 2);
        }
    }
}
