#include "y4mhost/precise_picture.h"

#include <stddef.h>
#include <string.h>
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

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

// What every row of a picture is made with: the matrix over the samples'
// own steps, so a component is k0 (Y - 16 s) + (k1 (Cb - 128 s) + k2 (Cr -
// 128 s) + 1/2), floored; the differences are exact, every product and sum
// is one IEEE double step, and the vector rows below take the same steps in
// the same order (the same values, byte for byte). Kept between pictures:
// they change only with the depth, the picture or the matrix.
struct PreciseSteps {
    int32_t depth = 0;
    uint32_t picture = 0;
    bool bt709 = false;
    int32_t mask = 0;  // a sample's bits: anything above them is not read
    double lumaOffset = 0, chromaOffset = 0;
    double k[3][3] = {};
    int32_t low = 0, high = 0, pixelBytes = 0;
};
PreciseSteps gSteps;

void MakeSteps(int32_t depth, uint32_t picture, int32_t height) {
    PreciseSteps& t = gSteps;
    if (t.depth == depth && t.picture == picture && t.bt709 == UsesBt709(height)) return;
    const double s = static_cast<double>(1 << (depth - 8));
    const HostPictureInfo* pictureRow = FindHostPicture(picture);
    const PixelMap map = MapFor(pictureRow, height);
    for (int i = 0; i < 3; ++i) {
        t.k[i][0] = map.m[i][0] / (219 * s);
        t.k[i][1] = map.m[i][1] / (224 * s);
        t.k[i][2] = map.m[i][2] / (224 * s);
    }
    t.mask = (1 << depth) - 1;
    t.lumaOffset = 16 * s, t.chromaOffset = 128 * s;
    t.low = static_cast<int32_t>(map.low), t.high = static_cast<int32_t>(map.high);
    t.pixelBytes = pictureRow->pixelBytes;
    t.depth = depth, t.picture = picture, t.bt709 = UsesBt709(height);
}

#if defined(__GNUC__) && defined(__x86_64__)
#define PRECISE_AVX2 1
#define AVX2 __attribute__((target("avx2")))

// Four samples a step lying `Bytes` apart from `at`, masked to the
// picture's depth, as four doubles less `offset`.
template <int Bytes>
AVX2 inline __m256d FourSamples(const uint8_t* at, __m128i mask, __m256d offset) {
    __m128i wide;
    if (Bytes == 2) {
        wide = _mm_cvtepu16_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at)));
    } else {
        int32_t bytes;
        memcpy(&bytes, at, 4);
        wide = _mm_cvtepu8_epi32(_mm_cvtsi32_si128(bytes));
    }
    return _mm256_sub_pd(_mm256_cvtepi32_pd(_mm_and_si128(wide, mask)), offset);
}
// Eight, as two fours.
template <int Bytes>
AVX2 inline void EightSamples(const uint8_t* at, __m128i mask, __m256d offset, __m256d out[2]) {
    out[0] = FourSamples<Bytes>(at, mask, offset);
    out[1] = FourSamples<Bytes>(at + 4 * Bytes, mask, offset);
}

// Eight pixels' components as 16-bit values in [low, low + 65535], the
// three interleaved with an opaque alpha (8 bytes a pixel) or without (6).
template <int PixelBytes>
AVX2 inline void StorePixels(__m128i y, __m128i u, __m128i v, uint8_t* out) {
    __m128i* o = reinterpret_cast<__m128i*>(out);
    const __m128i yuLow = _mm_unpacklo_epi16(y, u), yuHigh = _mm_unpackhi_epi16(y, u);
    if (PixelBytes == 8) {
        const __m128i alpha = _mm_set1_epi16(-1);
        const __m128i vaLow = _mm_unpacklo_epi16(v, alpha), vaHigh = _mm_unpackhi_epi16(v, alpha);
        _mm_storeu_si128(o, _mm_unpacklo_epi32(yuLow, vaLow));
        _mm_storeu_si128(o + 1, _mm_unpackhi_epi32(yuLow, vaLow));
        _mm_storeu_si128(o + 2, _mm_unpacklo_epi32(yuHigh, vaHigh));
        _mm_storeu_si128(o + 3, _mm_unpackhi_epi32(yuHigh, vaHigh));
        return;
    }
    // Words y0 u0 v0 y1 u1 v1 ... from Y/U pairs and V: each 16-byte store
    // gathers its words from two or three vectors. -1 leaves a byte zero.
    const __m128i a0 = _mm_setr_epi8(0, 1, 2, 3, -1, -1, 4, 5, 6, 7, -1, -1, 8, 9, 10, 11);
    const __m128i b0 = _mm_setr_epi8(-1, -1, -1, -1, 0, 1, -1, -1, -1, -1, 2, 3, -1, -1, -1, -1);
    const __m128i a1 = _mm_setr_epi8(-1, -1, 12, 13, 14, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i c1 = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, 0, 1, 2, 3, -1, -1, 4, 5);
    const __m128i b1 = _mm_setr_epi8(4, 5, -1, -1, -1, -1, 6, 7, -1, -1, -1, -1, 8, 9, -1, -1);
    const __m128i c2 = _mm_setr_epi8(6, 7, -1, -1, 8, 9, 10, 11, -1, -1, 12, 13, 14, 15, -1, -1);
    const __m128i b2 = _mm_setr_epi8(-1, -1, 10, 11, -1, -1, -1, -1, 12, 13, -1, -1, -1, -1, 14, 15);
    _mm_storeu_si128(o, _mm_or_si128(_mm_shuffle_epi8(yuLow, a0), _mm_shuffle_epi8(v, b0)));
    _mm_storeu_si128(o + 1, _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(yuLow, a1), _mm_shuffle_epi8(yuHigh, c1)),
                                         _mm_shuffle_epi8(v, b1)));
    _mm_storeu_si128(o + 2, _mm_or_si128(_mm_shuffle_epi8(yuHigh, c2), _mm_shuffle_epi8(v, b2)));
}

// Pixels [0, width - width % 8) of a row whose samples are packed (a plane
// each, chroma halved across or not), eight at a time, with the steps the
// scalar loop takes. The components are held less `low` so one unsigned
// saturating pack clips them to the picture's 65536 values and any bit above
// the low 16 marks a pixel outside them. The caller does the rest of the row.
template <int Bytes, int ChromaShift, int PixelBytes>
AVX2 int32_t PackRowAvx2(const PreciseSteps& t, const uint8_t* const rows[3], int32_t width, uint8_t* out,
                         int64_t* clipped) {
    const __m128i mask = _mm_set1_epi32(t.mask), low = _mm_set1_epi32(t.low);
    const __m128i low16 = _mm_set1_epi16(static_cast<int16_t>(t.low));
    const __m256d lumaOffset = _mm256_set1_pd(t.lumaOffset), chromaOffset = _mm256_set1_pd(t.chromaOffset);
    const __m256d half = _mm256_set1_pd(0.5);
    __m256d k[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) k[i][j] = _mm256_set1_pd(t.k[i][j]);
    int32_t x = 0;
    for (; x + 8 <= width; x += 8) {
        __m256d y[2], cb[2], cr[2];
        EightSamples<Bytes>(rows[0] + x * Bytes, mask, lumaOffset, y);
        if (ChromaShift) {
            cb[0] = FourSamples<Bytes>(rows[1] + (x >> 1) * Bytes, mask, chromaOffset);
            cr[0] = FourSamples<Bytes>(rows[2] + (x >> 1) * Bytes, mask, chromaOffset);
        } else {
            EightSamples<Bytes>(rows[1] + x * Bytes, mask, chromaOffset, cb);
            EightSamples<Bytes>(rows[2] + x * Bytes, mask, chromaOffset, cr);
        }
        __m128i component[3], any[2] = {_mm_setzero_si128(), _mm_setzero_si128()};
        for (int i = 0; i < 3; ++i) {
            __m256d chroma[2];
            for (int g = 0; g < (ChromaShift ? 1 : 2); ++g)
                chroma[g] =
                    _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(k[i][1], cb[g]), _mm256_mul_pd(k[i][2], cr[g])), half);
            if (ChromaShift) {  // each chroma value serves two pixels
                chroma[1] = _mm256_permute4x64_pd(chroma[0], _MM_SHUFFLE(3, 3, 2, 2));
                chroma[0] = _mm256_permute4x64_pd(chroma[0], _MM_SHUFFLE(1, 1, 0, 0));
            }
            __m128i v[2];
            for (int g = 0; g < 2; ++g) {
                const __m256d sum = _mm256_add_pd(_mm256_mul_pd(k[i][0], y[g]), chroma[g]);
                v[g] = _mm_sub_epi32(_mm256_cvttpd_epi32(_mm256_floor_pd(sum)), low);
                any[g] = _mm_or_si128(any[g], v[g]);
            }
            component[i] = _mm_add_epi16(_mm_packus_epi32(v[0], v[1]), low16);
        }
        for (int g = 0; g < 2; ++g) {
            const __m128i inside = _mm_cmpeq_epi32(_mm_srli_epi32(any[g], 16), _mm_setzero_si128());
            *clipped += 4 - __builtin_popcount(static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(inside))));
        }
        StorePixels<PixelBytes>(component[0], component[1], component[2], out + static_cast<intptr_t>(x) * PixelBytes);
    }
    return x;
}

// The vector row for these planes, or null where they are not packed.
typedef int32_t (*VectorRow)(const PreciseSteps&, const uint8_t* const[3], int32_t, uint8_t*, int64_t*);
template <int PixelBytes>
VectorRow VectorRowOf(int32_t bytes, int32_t chromaShift) {
    if (bytes == 2) return chromaShift ? PackRowAvx2<2, 1, PixelBytes> : PackRowAvx2<2, 0, PixelBytes>;
    return chromaShift ? PackRowAvx2<1, 1, PixelBytes> : PackRowAvx2<1, 0, PixelBytes>;
}
VectorRow VectorRowFor(const SamplePlanes& planes, const PreciseSteps& t) {
    if (!__builtin_cpu_supports("avx2")) return nullptr;
    const int32_t bytes = planes.sampleBytes;
    if (planes.step[0] != bytes || planes.step[1] != bytes || planes.step[2] != bytes) return nullptr;
    if (planes.chromaWidthShift > 1 || bytes < 1 || bytes > 2 || t.high - t.low != 65535) return nullptr;
    if (t.pixelBytes == 8) return VectorRowOf<8>(bytes, planes.chromaWidthShift);
    if (t.pixelBytes == 6) return VectorRowOf<6>(bytes, planes.chromaWidthShift);
    return nullptr;
}
#undef AVX2
#else
#define PRECISE_AVX2 0
#endif

}  // namespace

void PreparePrecisePicture(const SamplePlanes& planes, int32_t height, uint32_t picture) {
    MakeSteps(planes.depth, picture, height);
}

int64_t PackPreciseRows(const SamplePlanes& planes, int32_t width, int32_t first, int32_t end, uint8_t* out) {
    const PreciseSteps& t = gSteps;
    const int32_t low = t.low, high = t.high, pixelBytes = t.pixelBytes;
    const bool fields = planes.interlaced && planes.chromaHeightShift == 1;
#if PRECISE_AVX2
    const VectorRow vectorRow = VectorRowFor(planes, t);
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
            const double y = (ReadSample(yRow + x * planes.step[0], planes.sampleBytes) & t.mask) - t.lumaOffset;
            const double cb = (ReadSample(uRow + cx * planes.step[1], planes.sampleBytes) & t.mask) - t.chromaOffset;
            const double cr = (ReadSample(vRow + cx * planes.step[2], planes.sampleBytes) & t.mask) - t.chromaOffset;
            bool outside = false;
            for (int i = 0; i < 3; ++i) {
                const double chroma = t.k[i][1] * cb + t.k[i][2] * cr + 0.5;
                const double sum = t.k[i][0] * y + chroma;
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
