#include "y4mhost/precise_picture.h"

#include <stddef.h>

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

namespace {

// What every row of a picture is made with: each product of the matrix and a
// sample value, once, so that a component is three lookups added in the
// order m0 Y' + m1 Pb + m2 Pr adds them (every value is the one that sum
// gives). Kept between pictures: they change only with the depth, the
// picture or the matrix.
struct PreciseTables {
    int32_t depth = 0;
    uint32_t picture = 0;
    bool bt709 = false;
    size_t values = 0;             // sample values: 2^depth
    std::vector<double> products;  // [component][Y', Pb, Pr][value]
    int32_t low = 0, high = 0, pixelBytes = 0;
};
PreciseTables gTables;

void MakeTables(int32_t depth, uint32_t picture, int32_t height) {
    PreciseTables& t = gTables;
    if (t.depth == depth && t.picture == picture && t.bt709 == UsesBt709(height)) return;
    const double s = static_cast<double>(1 << (depth - 8));
    t.values = static_cast<size_t>(1) << depth;
    // Y', Pb and Pr of every sample value.
    std::vector<double> luma(t.values), chroma(t.values);
    for (size_t v = 0; v < t.values; ++v) {
        luma[v] = (static_cast<int32_t>(v) - 16 * s) / (219 * s);
        chroma[v] = (static_cast<int32_t>(v) - 128 * s) / (224 * s);
    }
    const HostPictureInfo* pictureRow = FindHostPicture(picture);
    const PixelMap map = MapFor(pictureRow, height);
    t.products.resize(9 * t.values);
    for (int i = 0; i < 3; ++i)
        for (size_t v = 0; v < t.values; ++v) {
            t.products[(3 * i) * t.values + v] = map.m[i][0] * luma[v];
            t.products[(3 * i + 1) * t.values + v] = map.m[i][1] * chroma[v];
            t.products[(3 * i + 2) * t.values + v] = map.m[i][2] * chroma[v];
        }
    t.low = static_cast<int32_t>(map.low), t.high = static_cast<int32_t>(map.high);
    t.pixelBytes = pictureRow->pixelBytes;
    t.depth = depth, t.picture = picture, t.bt709 = UsesBt709(height);
}

}  // namespace

void PreparePrecisePicture(const SamplePlanes& planes, int32_t height, uint32_t picture) {
    MakeTables(planes.depth, picture, height);
}

int64_t PackPreciseRows(const SamplePlanes& planes, int32_t width, int32_t first, int32_t end, uint8_t* out) {
    const PreciseTables& t = gTables;
    const int32_t mask = static_cast<int32_t>(t.values) - 1;
    const size_t values = t.values;
    const int32_t low = t.low, high = t.high, pixelBytes = t.pixelBytes;
    const bool fields = planes.interlaced && planes.chromaHeightShift == 1;
    int64_t clipped = 0;
    for (int32_t r = first; r < end; ++r) {
        // Within a field, chroma row k serves rows 4g + field and 4g + 2 + field.
        const int32_t chromaRow = fields ? (r >> 2) * 2 + (r & 1) : r >> planes.chromaHeightShift;
        const uint8_t* yRow = planes.start[0] + r * planes.stride[0];
        const uint8_t* uRow = planes.start[1] + chromaRow * planes.stride[1];
        const uint8_t* vRow = planes.start[2] + chromaRow * planes.stride[2];
        uint8_t* o = out + static_cast<intptr_t>(r) * width * pixelBytes;
        for (int32_t x = 0; x < width; ++x, o += pixelBytes) {
            const int32_t cx = x >> planes.chromaWidthShift;
            const size_t at[3] = {static_cast<size_t>(ReadSample(yRow + x * planes.step[0], planes.sampleBytes) & mask),
                                  values + (ReadSample(uRow + cx * planes.step[1], planes.sampleBytes) & mask),
                                  2 * values + (ReadSample(vRow + cx * planes.step[2], planes.sampleBytes) & mask)};
            bool outside = false;
            for (int i = 0; i < 3; ++i) {
                const double* row = &t.products[3 * i * values];
                const double sum = row[at[0]] + row[at[1]] + row[at[2]] + 0.5;
                // floor(sum): the values stay far inside 32 bits.
                int32_t v = static_cast<int32_t>(sum);
                v -= sum < v ? 1 : 0;
                outside = outside || v < low || v > high;
                v = v < low ? low : v > high ? high : v;
                Write16(o + 2 * i, v);
            }
            clipped += outside;
            if (pixelBytes == 8) Write16(o + 6, 65535);  // RGB's opaque alpha
        }
    }
    return clipped;
}

void CountPreciseClips(int64_t pixels, int64_t clipped) {
    gClips.pixels += pixels;
    gClips.clipped += clipped;
}

void PackPrecisePicture(const SamplePlanes& planes, int32_t width, int32_t height, uint32_t picture, uint8_t* out,
                        bool fromYcbcr) {
    PreparePrecisePicture(planes, height, picture);
    const int64_t clipped = PackPreciseRows(planes, width, 0, height, out);
    if (fromYcbcr) CountPreciseClips(static_cast<int64_t>(width) * height, clipped);
}
