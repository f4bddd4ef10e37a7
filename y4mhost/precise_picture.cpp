#include "y4mhost/precise_picture.h"

#include <math.h>

#include <vector>

#include "convert/colour_matrices.h"
#include "export/export_job.h"

namespace {

// A matrix as rows of doubles.
void Copy(const Matrix3& from, double m[3][3]) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m[i][j] = from.m[i][j];
}

// The picture's values from the samples' Y', Pb, Pr, and their limits.
struct PixelMap {
    double m[3][3];
    double low, high;
};

// RGB pictures hold 0 to their unit; Y'CbCr ones are BT.601 in signed 16 bits.
PixelMap MapFor(const HostPictureInfo* picture, int32_t height) {
    PixelMap map = {};
    if (picture->coding == CodedRgb) {
        Copy(YpbprToRgb(WeightsForHeight(height)), map.m);
        map.low = 0, map.high = picture->unit;
    } else if (UsesBt709(height)) {  // BT.709 samples through R'G'B' to the host's BT.601
        Copy(Multiply(RgbToYpbpr(Bt601), YpbprToRgb(Bt709)), map.m);
        map.low = -32768, map.high = 32767;
    } else {
        for (int i = 0; i < 3; ++i) map.m[i][i] = 1;
        map.low = -32768, map.high = 32767;
    }
    for (auto& row : map.m)
        for (double& v : row) v *= picture->unit;
    return map;
}

inline int32_t ReadSample(const uint8_t* p, int32_t bytes) { return bytes == 2 ? p[0] | p[1] << 8 : p[0]; }

inline void Write16(uint8_t* out, int32_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
}

ClipCount gClips;

}  // namespace

ClipCount PreciseClipCount(void) { return gClips; }

SamplePlanes Yuy2Planes(const uint8_t* yuy2, int32_t width) {
    const intptr_t stride = 2 * static_cast<intptr_t>(width);
    return SamplePlanes{{yuy2, yuy2 + 1, yuy2 + 3}, {stride, stride, stride}, {2, 4, 4}, 1, 8, 1, 0, false};
}

void PackPrecisePicture(const SamplePlanes& planes, int32_t width, int32_t height, uint32_t picture, uint8_t* out,
                        bool fromYcbcr) {
    const int32_t depth = planes.depth;
    const double s = static_cast<double>(1 << (depth - 8));
    const int32_t mask = (1 << depth) - 1;
    // Y', Pb and Pr of every sample value, once.
    std::vector<double> luma(static_cast<size_t>(mask) + 1), chroma(static_cast<size_t>(mask) + 1);
    for (int32_t v = 0; v <= mask; ++v) {
        luma[v] = (v - 16 * s) / (219 * s);
        chroma[v] = (v - 128 * s) / (224 * s);
    }
    const HostPictureInfo* pictureRow = FindHostPicture(picture);
    const PixelMap map = MapFor(pictureRow, height);
    const int32_t pixelBytes = pictureRow->pixelBytes;
    const bool fields = planes.interlaced && planes.chromaHeightShift == 1;
    if (fromYcbcr) gClips.pixels += static_cast<int64_t>(width) * height;
    for (int32_t r = 0; r < height; ++r) {
        // Within a field, chroma row k serves rows 4g + field and 4g + 2 + field.
        const int32_t chromaRow = fields ? (r >> 2) * 2 + (r & 1) : r >> planes.chromaHeightShift;
        const uint8_t* yRow = planes.start[0] + r * planes.stride[0];
        const uint8_t* uRow = planes.start[1] + chromaRow * planes.stride[1];
        const uint8_t* vRow = planes.start[2] + chromaRow * planes.stride[2];
        uint8_t* o = out + static_cast<intptr_t>(r) * width * pixelBytes;
        int64_t clipped = 0;
        for (int32_t x = 0; x < width; ++x, o += pixelBytes) {
            const int32_t cx = x >> planes.chromaWidthShift;
            const double in[3] = {luma[ReadSample(yRow + x * planes.step[0], planes.sampleBytes) & mask],
                                  chroma[ReadSample(uRow + cx * planes.step[1], planes.sampleBytes) & mask],
                                  chroma[ReadSample(vRow + cx * planes.step[2], planes.sampleBytes) & mask]};
            bool outside = false;
            for (int i = 0; i < 3; ++i) {
                double v = floor(map.m[i][0] * in[0] + map.m[i][1] * in[1] + map.m[i][2] * in[2] + 0.5);
                outside = outside || v < map.low || v > map.high;
                v = v < map.low ? map.low : v > map.high ? map.high : v;
                Write16(o + 2 * i, static_cast<int32_t>(v));
            }
            clipped += outside;
            if (pixelBytes == 8) Write16(o + 6, 65535);  // RGB's opaque alpha
        }
        if (fromYcbcr) gClips.clipped += clipped;
    }
}
