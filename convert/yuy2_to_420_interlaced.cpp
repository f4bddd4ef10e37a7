// YUY2 to 4:2:0, interlaced: each chroma row comes from one field only, so the
// fields stay apart. The scalar reference.
#include "convert/frame_conversion.h"
#include "convert/frame_rows.h"

void YUY2To420InterlacedRows_C(const RowGroup420Interlaced* rows, int32_t first, int32_t pairs) {
    for (int32_t j = first; j < pairs; ++j) {
        const int32_t x = 4 * j;
        for (int i = 0; i < 4; ++i) {
            rows->y[i][2 * j] = rows->in[i][x];
            rows->y[i][2 * j + 1] = rows->in[i][x + 2];
        }
        // Top field (rows 0 and 2): chroma sited a quarter of the way down, so
        // the nearer row 0 weighs 3. Bottom field (rows 1 and 3): three
        // quarters down, so row 3 weighs 3. The +2 rounds a half up.
        const uint8_t* row0 = rows->in[0];
        const uint8_t* row1 = rows->in[1];
        const uint8_t* row2 = rows->in[2];
        const uint8_t* row3 = rows->in[3];
        rows->u[0][j] = static_cast<uint8_t>((3 * row0[x + 1] + row2[x + 1] + 2) >> 2);
        rows->v[0][j] = static_cast<uint8_t>((3 * row0[x + 3] + row2[x + 3] + 2) >> 2);
        rows->u[1][j] = static_cast<uint8_t>((3 * row3[x + 1] + row1[x + 1] + 2) >> 2);
        rows->v[1][j] = static_cast<uint8_t>((3 * row3[x + 3] + row1[x + 3] + 2) >> 2);
    }
}

void ConvertYUY2To420Interlaced(uint8_t* destination, const uint8_t* source, int32_t width, int32_t height) {
    ConvertFrame420Interlaced(destination, source, width, height, YUY2To420InterlacedRows_C);
}
