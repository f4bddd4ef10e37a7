// The sample coefficients and the scalar reference kernels.
#include "convert/deep_samples.h"

#include "convert/colour_matrices.h"
#include "convert/host_pictures.h"

namespace {

constexpr SampleRow QuantiserRow(const double (&toComponent)[3], double scale, double offset) {
    return SampleRow{{static_cast<float>(scale * toComponent[0]), static_cast<float>(scale * toComponent[1]),
                      static_cast<float>(scale * toComponent[2]), static_cast<float>(offset)}};
}

constexpr int32_t RoundToInt(double x) {
    return x >= 0 ? static_cast<int32_t>(x + 0.5) : -static_cast<int32_t>(-x + 0.5);
}

// The same row in fixed point, on the picture's values taken as signed 16
// bits (PA64's less 32768, YC48's as they are): the coefficients at
// 2^shift, and the bias with the offset, the half and what the 32768s took
// away. The shift is the largest at which every coefficient fits 16 bits
// (PA64: 2^23 / s, BT.709's green about 20000; YC48: 2^19 / s). Every sum,
// bias included, fits 32 bits (PA64: 2.02e9 at most, Cb and Cr). Rounding
// the coefficients moves a sample by 0.5 / 2^shift x (|x0| + |x1| + |x2|)
// codes at most: for PA64 0.012 at 8 bits and 0.047 at 10 over every value;
// for YC48 within an eighth of a code while every value lies within
// 2^shift / 12 (10922 at 10 bits, every value at 8 bits: `fixedLimit`), so
// a YC48 pixel beyond that is computed in single precision. At 12 bits PA64
// would err by 0.19, so 12 bits stay in single precision.
constexpr FixedRow FixedQuantiserRow(const double (&toComponent)[3], double scale, double offset, int32_t shift,
                                     int32_t valueOffset) {
    const double unit = static_cast<double>(1 << shift);
    FixedRow row = {};
    int32_t sum = 0;
    for (int i = 0; i < 3; ++i) {
        row.f[i] = static_cast<int16_t>(RoundToInt(scale * toComponent[i] * unit));
        sum += row.f[i];
    }
    row.bias = RoundToInt(offset * unit) + valueOffset * sum;
    return row;
}

template <typename T>
constexpr T Magnitude(T x) {
    return x < 0 ? -x : x;
}

// The largest shift at which every coefficient rounds to at most 32767.
constexpr int32_t FixedShift(const Matrix3& toYpbpr, double lumaScale, double chromaScale) {
    double largest = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const double c = Magnitude(toYpbpr.m[i][j]) * (i == 0 ? lumaScale : chromaScale);
            largest = c > largest ? c : largest;
        }
    int32_t shift = 30;
    while (shift > 0 && largest * static_cast<double>(1 << shift) >= 32767.5) --shift;
    return shift;
}

// Y'PbPr per unit of the picture's values to n-bit codes: Y' x 219 s + 16 s,
// Pb and Pr x 224 s + 128 s, plus the half that makes truncation round. In
// single precision, or in fixed point up to the depth the picture's kernels
// take it (which the bound above allows up to 10 bits).
constexpr SampleMatrix Quantiser(const Matrix3& toYpbpr, const HostPictureInfo& picture, int32_t bits) {
    const double unit = picture.unit;
    const double s = static_cast<double>(1 << (bits - 8));
    SampleMatrix matrix = {};
    matrix.top = static_cast<float>((1 << bits) - 1);
    matrix.fixedTop = static_cast<uint16_t>((1 << bits) - 1);
    // Single precision always: YC48's pixels beyond the fixed-point limit take it.
    matrix.y = QuantiserRow(toYpbpr.m[0], 219.0 * s / unit, 16.0 * s + 0.5);
    matrix.cb = QuantiserRow(toYpbpr.m[1], 224.0 * s / unit, 128.0 * s + 0.5);
    matrix.cr = QuantiserRow(toYpbpr.m[2], 224.0 * s / unit, 128.0 * s + 0.5);
    if (bits > picture.fixedPointUpToBits) return matrix;
    // R'G'B' pictures hold unsigned values, Y'CbCr ones signed.
    const int32_t valueOffset = picture.coding == CodedRgb ? 32768 : 0;
    matrix.shift = FixedShift(toYpbpr, 219.0 * s / unit, 224.0 * s / unit);
    matrix.fixedY = FixedQuantiserRow(toYpbpr.m[0], 219.0 * s / unit, 16.0 * s + 0.5, matrix.shift, valueOffset);
    matrix.fixedCb = FixedQuantiserRow(toYpbpr.m[1], 224.0 * s / unit, 128.0 * s + 0.5, matrix.shift, valueOffset);
    matrix.fixedCr = FixedQuantiserRow(toYpbpr.m[2], 224.0 * s / unit, 128.0 * s + 0.5, matrix.shift, valueOffset);
    // Within an eighth of a code, and no sum past 32 bits.
    int64_t limit = (INT64_C(1) << matrix.shift) / 12;
    const FixedRow* rows[3] = {&matrix.fixedY, &matrix.fixedCb, &matrix.fixedCr};
    for (const FixedRow* row : rows) {
        const int64_t weight = Magnitude(row->f[0]) + Magnitude(row->f[1]) + Magnitude(row->f[2]);
        const int64_t room = (INT64_C(2147483647) - static_cast<int64_t>(Magnitude(row->bias))) / weight;
        limit = room < limit ? room : limit;
    }
    matrix.fixedLimit = static_cast<int16_t>(limit < 32767 ? limit : 32767);
    return matrix;
}

constexpr bool FixedPointWithinBound(void) {
    for (const HostPictureInfo& picture : HostPictures)
        if (picture.fixedPointUpToBits > 10) return false;
    return true;
}
static_assert(FixedPointWithinBound(), "16-bit fixed point errs by more than an eighth of a code above 10 bits");

// Every precise picture to every format, in both matrices: [picture][BT.709?][format].
struct MatrixSet {
    SampleMatrix m[HostPictureCount][2][ColorFormatCount];
};

// The picture's values to Y'PbPr in the matrix of `weights`. Y'CbCr pictures
// are BT.601: in BT.601 they are quantised as they stand (the identity keeps
// YC48's samples exact integers); in BT.709 they go through R'G'B' first.
constexpr Matrix3 ToYpbpr(PictureCoding coding, bool bt709) {
    if (coding == CodedRgb) return RgbToYpbpr(bt709 ? Bt709 : Bt601);
    if (!bt709) return Matrix3{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    return Multiply(RgbToYpbpr(Bt709), YpbprToRgb(Bt601));
}

constexpr MatrixSet MakeMatrices(void) {
    MatrixSet set = {};
    for (int32_t p = 0; p < HostPictureCount; ++p) {
        if (HostPictures[p].coding == CodedYuy2) continue;
        for (int32_t f = 0; f < ColorFormatCount; ++f)
            for (int bt709 = 0; bt709 < 2; ++bt709)
                set.m[p][bt709][f] =
                    Quantiser(ToYpbpr(HostPictures[p].coding, bt709 != 0), HostPictures[p], ColorFormats[f].bits);
    }
    return set;
}

// Worked out by the compiler, in double precision, alike in every build.
constexpr MatrixSet Matrices = MakeMatrices();

inline int32_t ReadSigned16(const uint8_t* p) { return static_cast<int16_t>(p[0] | (p[1] << 8)); }
inline int32_t ReadUnsigned16(const uint8_t* p) { return p[0] | (p[1] << 8); }

}  // namespace

const SampleMatrix* SampleMatrixFor(const HostPictureInfo* picture, const ColorFormatInfo* format, int32_t height) {
    return &Matrices.m[HostPictureIndex(picture)][UsesBt709(height) ? 1 : 0][ColorFormatIndex(format)];
}

void Yc48Samples_C(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y, uint16_t* cb,
                   uint16_t* cr, int32_t chromaStep) {
    const int32_t shift = matrix->shift, top = matrix->fixedTop;
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* p = pixels + 6 * static_cast<intptr_t>(i);
        const int32_t a = ReadSigned16(p), b = ReadSigned16(p + 2), c = ReadSigned16(p + 4);
        const bool chroma = HasChroma(i, chromaStep);
        uint16_t* const cbAt = cb + ChromaIndex(i, chromaStep);
        uint16_t* const crAt = cr + ChromaIndex(i, chromaStep);
        if (WithinFixedLimit(matrix, a, b, c)) {
            y[i] = QuantiseFixed(&matrix->fixedY, shift, top, a, b, c);
            if (!chroma) continue;
            *cbAt = QuantiseFixed(&matrix->fixedCb, shift, top, a, b, c);
            *crAt = QuantiseFixed(&matrix->fixedCr, shift, top, a, b, c);
        } else {
            const float fa = static_cast<float>(a), fb = static_cast<float>(b), fc = static_cast<float>(c);
            y[i] = QuantiseSample(&matrix->y, fa, fb, fc, matrix->top);
            if (!chroma) continue;
            *cbAt = QuantiseSample(&matrix->cb, fa, fb, fc, matrix->top);
            *crAt = QuantiseSample(&matrix->cr, fa, fb, fc, matrix->top);
        }
    }
}

// Alpha is already in the colour (premultiplied) and is not written.
void Pa64Samples_C(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y, uint16_t* cb,
                   uint16_t* cr, int32_t chromaStep) {
    const int32_t shift = matrix->shift, top = matrix->fixedTop;
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* p = pixels + 8 * static_cast<intptr_t>(i);
        const int32_t r = ReadUnsigned16(p), g = ReadUnsigned16(p + 2), b = ReadUnsigned16(p + 4);
        const bool chroma = HasChroma(i, chromaStep);
        uint16_t* const cbAt = cb + ChromaIndex(i, chromaStep);
        uint16_t* const crAt = cr + ChromaIndex(i, chromaStep);
        if (shift == 0) {
            y[i] = QuantiseSample(&matrix->y, r, g, b, matrix->top);
            if (!chroma) continue;
            *cbAt = QuantiseSample(&matrix->cb, r, g, b, matrix->top);
            *crAt = QuantiseSample(&matrix->cr, r, g, b, matrix->top);
        } else {
            y[i] = QuantiseFixed(&matrix->fixedY, shift, top, r - 32768, g - 32768, b - 32768);
            if (!chroma) continue;
            *cbAt = QuantiseFixed(&matrix->fixedCb, shift, top, r - 32768, g - 32768, b - 32768);
            *crAt = QuantiseFixed(&matrix->fixedCr, shift, top, r - 32768, g - 32768, b - 32768);
        }
    }
}
