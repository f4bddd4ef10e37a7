#include "y4mhost/precise_picture.h"

#include <stddef.h>
#include <string.h>
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

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
    double m[3][3] = {};  // the matrix the products are made with
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
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) t.m[i][j] = map.m[i][j];
    t.pixelBytes = pictureRow->pixelBytes;
    t.depth = depth, t.picture = picture, t.bt709 = UsesBt709(height);
}

#if defined(__GNUC__) && defined(__x86_64__)
#define PRECISE_AVX2 1
// Four samples a step lying `Bytes` apart from `at`, as doubles.
template <int Bytes>
__attribute__((target("avx2"))) inline __m256d FourSamples(const uint8_t* at, __m128i mask) {
    uint64_t bytes = 0;
    memcpy(&bytes, at, 4 * Bytes);
    const __m128i packed = _mm_cvtsi64_si128(static_cast<long long>(bytes));
    const __m128i wide = Bytes == 2 ? _mm_cvtepu16_epi32(packed) : _mm_cvtepu8_epi32(packed);
    return _mm256_cvtepi32_pd(_mm_and_si128(wide, mask));
}
// Two samples of each chroma row (U then V), as doubles: each serves two pixels.
template <int Bytes>
__attribute__((target("avx2"))) inline __m256d TwoOfEach(const uint8_t* u, const uint8_t* v, __m128i mask) {
    uint32_t bytes[2] = {};
    memcpy(&bytes[0], u, 2 * Bytes);
    memcpy(&bytes[1], v, 2 * Bytes);
    uint64_t both = 0;
    if (Bytes == 2) {
        memcpy(&both, bytes, 8);
    } else {
        both = (bytes[0] & 0xFFFFu) | static_cast<uint64_t>(bytes[1] & 0xFFFFu) << 16;
    }
    const __m128i packed = _mm_cvtsi64_si128(static_cast<long long>(both));
    const __m128i wide = Bytes == 2 ? _mm_cvtepu16_epi32(packed) : _mm_cvtepu8_epi32(packed);
    return _mm256_cvtepi32_pd(_mm_and_si128(wide, mask));
}

// Pixels [0, width - width % 4) of a row whose samples are packed (a plane
// each, chroma halved across or not), four at a time: the same IEEE
// operations in the same order as the tables and the sum below, so the
// same values, without a lookup. The caller does the rest of the row.
template <int Bytes, int ChromaShift>
__attribute__((target("avx2"))) int32_t PackRowAvx2(const PreciseTables& t, const uint8_t* const rows[3], int32_t width,
                                                    uint8_t* out, int64_t* clipped) {
    const double s = static_cast<double>(1 << (t.depth - 8));
    const __m128i mask = _mm_set1_epi32(static_cast<int32_t>(t.values) - 1);
    const __m256d lumaOffset = _mm256_set1_pd(16 * s), lumaScale = _mm256_set1_pd(219 * s);
    const __m256d chromaOffset = _mm256_set1_pd(128 * s), chromaScale = _mm256_set1_pd(224 * s);
    const __m256d half = _mm256_set1_pd(0.5);
    const __m128i low = _mm_set1_epi32(t.low), high = _mm_set1_epi32(t.high);
    int32_t x = 0;
    for (; x + 4 <= width; x += 4) {
        __m256d value[3];
        value[0] = _mm256_div_pd(_mm256_sub_pd(FourSamples<Bytes>(rows[0] + x * Bytes, mask), lumaOffset), lumaScale);
        if (ChromaShift) {
            // U0 U1 V0 V1 in one division, then each repeated for its two pixels.
            const __m256d both = _mm256_div_pd(
                _mm256_sub_pd(TwoOfEach<Bytes>(rows[1] + (x >> 1) * Bytes, rows[2] + (x >> 1) * Bytes, mask),
                              chromaOffset),
                chromaScale);
            value[1] = _mm256_permute4x64_pd(both, _MM_SHUFFLE(1, 1, 0, 0));
            value[2] = _mm256_permute4x64_pd(both, _MM_SHUFFLE(3, 3, 2, 2));
        } else {
            value[1] =
                _mm256_div_pd(_mm256_sub_pd(FourSamples<Bytes>(rows[1] + x * Bytes, mask), chromaOffset), chromaScale);
            value[2] =
                _mm256_div_pd(_mm256_sub_pd(FourSamples<Bytes>(rows[2] + x * Bytes, mask), chromaOffset), chromaScale);
        }
        __m128i outside = _mm_setzero_si128();
        alignas(16) int32_t component[3][4];
        for (int i = 0; i < 3; ++i) {
            __m256d sum = _mm256_mul_pd(_mm256_set1_pd(t.m[i][0]), value[0]);
            sum = _mm256_add_pd(sum, _mm256_mul_pd(_mm256_set1_pd(t.m[i][1]), value[1]));
            sum = _mm256_add_pd(sum, _mm256_mul_pd(_mm256_set1_pd(t.m[i][2]), value[2]));
            const __m128i v = _mm256_cvttpd_epi32(_mm256_floor_pd(_mm256_add_pd(sum, half)));
            outside = _mm_or_si128(outside, _mm_or_si128(_mm_cmplt_epi32(v, low), _mm_cmpgt_epi32(v, high)));
            _mm_store_si128(reinterpret_cast<__m128i*>(component[i]), _mm_min_epi32(_mm_max_epi32(v, low), high));
        }
        *clipped += __builtin_popcount(static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(outside))));
        uint8_t* o = out + static_cast<intptr_t>(x) * t.pixelBytes;
        for (int p = 0; p < 4; ++p, o += t.pixelBytes) {
            for (int i = 0; i < 3; ++i) Write16(o + 2 * i, component[i][p]);
            if (t.pixelBytes == 8) Write16(o + 6, 65535);
        }
    }
    return x;
}

// The vector row for these planes, or null where they are not packed.
typedef int32_t (*VectorRow)(const PreciseTables&, const uint8_t* const[3], int32_t, uint8_t*, int64_t*);
VectorRow VectorRowFor(const SamplePlanes& planes) {
    if (!__builtin_cpu_supports("avx2")) return nullptr;
    const int32_t bytes = planes.sampleBytes;
    if (planes.step[0] != bytes || planes.step[1] != bytes || planes.step[2] != bytes) return nullptr;
    if (planes.chromaWidthShift > 1) return nullptr;
    if (bytes == 2) return planes.chromaWidthShift ? PackRowAvx2<2, 1> : PackRowAvx2<2, 0>;
    if (bytes == 1) return planes.chromaWidthShift ? PackRowAvx2<1, 1> : PackRowAvx2<1, 0>;
    return nullptr;
}
#else
#define PRECISE_AVX2 0
#endif

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
#if PRECISE_AVX2
    const VectorRow vectorRow = VectorRowFor(planes);
#endif
    int64_t clipped = 0;
    for (int32_t r = first; r < end; ++r) {
        // Within a field, chroma row k serves rows 4g + field and 4g + 2 + field.
        const int32_t chromaRow = fields ? (r >> 2) * 2 + (r & 1) : r >> planes.chromaHeightShift;
        const uint8_t* yRow = planes.start[0] + r * planes.stride[0];
        const uint8_t* uRow = planes.start[1] + chromaRow * planes.stride[1];
        const uint8_t* vRow = planes.start[2] + chromaRow * planes.stride[2];
        uint8_t* o = out + static_cast<intptr_t>(r) * width * pixelBytes;
        int32_t x = 0;
#if PRECISE_AVX2
        if (vectorRow != nullptr) {
            const uint8_t* const rows[3] = {yRow, uRow, vRow};
            x = vectorRow(t, rows, width, o, &clipped);
            o += static_cast<intptr_t>(x) * pixelBytes;
        }
#endif
        for (; x < width; ++x, o += pixelBytes) {
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
