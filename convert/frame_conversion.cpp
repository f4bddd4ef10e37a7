#include "convert/frame_conversion.h"

// The product is taken in 64 bits so that no size is undefined behaviour; the
// driver only converts frames whose size fits 32 bits.
PlaneOffsets PlanarOffsets420(int32_t width, int32_t height) {
    int64_t luma = static_cast<int64_t>(width) * height;
    return PlaneOffsets{static_cast<intptr_t>(luma), static_cast<intptr_t>(luma + luma / 4)};
}

PlaneOffsets PlanarOffsets422(int32_t width, int32_t height) {
    int64_t luma = static_cast<int64_t>(width) * height;
    return PlaneOffsets{static_cast<intptr_t>(luma), static_cast<intptr_t>(luma + luma / 2)};
}
