// The deep sample kernels with AVX2: eight pixels a vector, sixteen a step.
// Each must equal Yc48Samples_C / Pa64Samples_C bit for bit: the same
// single-precision steps in the same order (convert/deep_samples.h). This file
// alone is compiled for AVX2 and is reached only after the CPU check.
#include <immintrin.h>

#include "convert/deep_samples.h"
#include "platform/cpu_features.h"

namespace {

struct Coefficients {
    __m256 k[3][4];
    __m256 top;
};

Coefficients Broadcast(const SampleMatrix* m) {
    Coefficients c;
    const SampleRow* rows[3] = {&m->y, &m->cb, &m->cr};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j) c.k[i][j] = _mm256_set1_ps(rows[i]->k[j]);
    c.top = _mm256_set1_ps(m->top);
    return c;
}

inline __m256i Quantise(const __m256 (&k)[4], __m256 top, __m256 a, __m256 b, __m256 c) {
    __m256 v = _mm256_mul_ps(k[0], a);
    v = _mm256_add_ps(v, _mm256_mul_ps(k[1], b));
    v = _mm256_add_ps(v, _mm256_mul_ps(k[2], c));
    v = _mm256_add_ps(v, k[3]);
    v = _mm256_min_ps(_mm256_max_ps(v, _mm256_setzero_ps()), top);
    return _mm256_cvttps_epi32(v);
}

struct Planes8 {
    __m256i y, cb, cr;
};

// A pixel's three values, in single precision, for eight pixels.
struct Values8 {
    __m256 a, b, c;
};

inline Values8 ToFloat(__m256i a, __m256i b, __m256i c) {
    return Values8{_mm256_cvtepi32_ps(a), _mm256_cvtepi32_ps(b), _mm256_cvtepi32_ps(c)};
}

inline Planes8 Quantise8(const Coefficients& k, const Values8& v) {
    return Planes8{Quantise(k.k[0], k.top, v.a, v.b, v.c), Quantise(k.k[1], k.top, v.a, v.b, v.c),
                   Quantise(k.k[2], k.top, v.a, v.b, v.c)};
}

inline Planes8 Quantise8(const Coefficients& k, __m256i a, __m256i b, __m256i c) {
    return Quantise8(k, ToFloat(a, b, c));
}

// The even pixels of sixteen, in order: 0 2 4 6 of each eight, then joined.
inline __m256 Evens(__m256 first, __m256 second) {
    const __m256i gather = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
    return _mm256_permute2f128_ps(_mm256_permutevar8x32_ps(first, gather), _mm256_permutevar8x32_ps(second, gather),
                                  0x20);
}

// Eight samples in pixel order from eight 32-bit lanes.
inline void Store8(uint16_t* at, __m256i samples) {
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi32(samples, samples), 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), _mm256_castsi256_si128(packed));
}

// Sixteen samples from two vectors whose 32-bit lanes hold pixels in the
// order `order` gives, once packed to 16 bits (two samples a 32-bit lane).
inline void Store16(uint16_t* at, __m256i first, __m256i second, __m256i order) {
    const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_packus_epi32(first, second), order);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), packed);
}

inline void Store(const Planes8& first, const Planes8& second, __m256i order, uint16_t* y, uint16_t* cb, uint16_t* cr) {
    Store16(y, first.y, second.y, order);
    Store16(cb, first.cb, second.cb, order);
    Store16(cr, first.cr, second.cr, order);
}

inline __m256i Widen(const uint8_t* p) {
    return _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

// Eight YC48 pixels as three vectors of 32-bit values: a = y0 cb0 cr0 y1 cb1
// cr1 y2 cb2, b = cr2 y3 cb3 cr3 y4 cb4 cr4 y5, c = cb5 cr5 y6 cb6 cr6 y7 cb7
// cr7. Each component's eight values sit in eight different lanes of a, b
// and c: two blends and one permutation gather them, in pixel order.
struct Ints8 {
    __m256i a, b, c;
};

inline Ints8 Yc48OctetInts(const uint8_t* p) {
    const __m256i a = Widen(p), b = Widen(p + 16), c = Widen(p + 32);
    // y: a0 b1 c2 a3 b4 c5 a6 b7; cb: c0 a1 b2 c3 a4 b5 c6 a7; cr: b0 c1 a2 b3 c4 a5 b6 c7.
    const __m256i y = _mm256_blend_epi32(_mm256_blend_epi32(a, b, 0x92), c, 0x24);
    const __m256i cb = _mm256_blend_epi32(_mm256_blend_epi32(a, b, 0x24), c, 0x49);
    const __m256i cr = _mm256_blend_epi32(_mm256_blend_epi32(a, b, 0x49), c, 0x92);
    return Ints8{_mm256_permutevar8x32_epi32(y, _mm256_setr_epi32(0, 3, 6, 1, 4, 7, 2, 5)),
                 _mm256_permutevar8x32_epi32(cb, _mm256_setr_epi32(1, 4, 7, 2, 5, 0, 3, 6)),
                 _mm256_permutevar8x32_epi32(cr, _mm256_setr_epi32(2, 5, 0, 3, 6, 1, 4, 7))};
}

inline Values8 Yc48Octet(const uint8_t* p) {
    const Ints8 v = Yc48OctetInts(p);
    return ToFloat(v.a, v.b, v.c);
}

// Eight PA64 pixels, four a vector. The unpacks work within each 128-bit
// half, so the result holds pixels 0 1 4 5 in its low half and 2 3 6 7 in
// its high half; the store puts them back in order.
inline Planes8 Pa64Octet(const Coefficients& k, const uint8_t* p) {
    const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
    const __m256i u = _mm256_unpacklo_epi16(first, second);
    const __m256i v = _mm256_unpackhi_epi16(first, second);
    const __m256i rg = _mm256_unpacklo_epi16(u, v);
    const __m256i ba = _mm256_unpackhi_epi16(u, v);
    const __m256i zero = _mm256_setzero_si256();
    return Quantise8(k, _mm256_unpacklo_epi16(rg, zero), _mm256_unpackhi_epi16(rg, zero),
                     _mm256_unpacklo_epi16(ba, zero));
}

// PA64 in fixed point: each 16-bit R, G, B less 32768 (a flip of the top
// bit). A pixel is two 32-bit halves, (R, G) and (B, A): the halves of eight
// pixels are gathered into a vector each, multiplied in pairs with the row's
// (f0, f1) and (f2, 0), added, plus the bias, shifted down.
struct FixedCoefficients {
    __m256i redGreen[3];  // f0 f1, repeated
    __m256i blue[3];      // f2 0, repeated
    __m256i bias[3];
    __m128i shift;
    __m256i top;
    __m256i limit, lowest;  // YC48's values within +-fixedLimit
};

FixedCoefficients BroadcastFixed(const SampleMatrix* m) {
    FixedCoefficients c;
    const FixedRow* rows[3] = {&m->fixedY, &m->fixedCb, &m->fixedCr};
    for (int i = 0; i < 3; ++i) {
        const FixedRow* r = rows[i];
        c.redGreen[i] = _mm256_set1_epi32(static_cast<int32_t>(
            static_cast<uint16_t>(r->f[0]) | static_cast<uint32_t>(static_cast<uint16_t>(r->f[1])) << 16));
        c.blue[i] = _mm256_set1_epi32(static_cast<uint16_t>(r->f[2]));
        c.bias[i] = _mm256_set1_epi32(r->bias);
    }
    c.shift = _mm_cvtsi32_si128(m->shift);
    c.top = _mm256_set1_epi16(static_cast<int16_t>(m->fixedTop));
    c.limit = _mm256_set1_epi16(m->fixedLimit);
    c.lowest = _mm256_set1_epi16(static_cast<int16_t>(-m->fixedLimit));
    return c;
}

// Eight pixels' (R, G) and (B, A) halves from two vectors of four pixels
// each; the shuffles work within each 128-bit half, so the pixels come out
// as 0 1 4 5 | 2 3 6 7.
struct Halves {
    __m256i redGreen, blueAlpha;
};
inline Halves Split(__m256i first, __m256i second) {
    const __m256 a = _mm256_castsi256_ps(first), b = _mm256_castsi256_ps(second);
    return Halves{_mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0))),
                  _mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)))};
}

inline __m256i FixedSums(const FixedCoefficients& k, int plane, const Halves& h) {
    const __m256i sums = _mm256_add_epi32(_mm256_madd_epi16(h.redGreen, k.redGreen[plane]),
                                          _mm256_madd_epi16(h.blueAlpha, k.blue[plane]));
    return _mm256_sra_epi32(_mm256_add_epi32(sums, k.bias[plane]), k.shift);
}

inline __m256i LoadSigned(const uint8_t* p) {
    return _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)), _mm256_set1_epi16(-32768));
}

// Sixteen pixels: the two eights packed to 16 bits (negative sums to 0, as
// the scalar clip), capped at the top code, back in pixel order. With
// evenChroma, Cb and Cr of pixels 0, 2, ... 14 only: each pixel is 64 bits,
// so the low halves of the vectors' pairs are the even pixels.
void Pa64FixedSixteen(const FixedCoefficients& k, const uint8_t* p, uint16_t* y, uint16_t* cb, uint16_t* cr,
                      bool evenChroma) {
    const __m256i a = LoadSigned(p), b = LoadSigned(p + 32), c = LoadSigned(p + 64), d = LoadSigned(p + 96);
    const Halves low = Split(a, b), high = Split(c, d);
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    uint16_t* out[3] = {y, cb, cr};
    for (int plane = 0; plane < (evenChroma ? 1 : 3); ++plane) {
        const __m256i packed = _mm256_packus_epi32(FixedSums(k, plane, low), FixedSums(k, plane, high));
        const __m256i samples = _mm256_min_epu16(_mm256_permutevar8x32_epi32(packed, order), k.top);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out[plane]), samples);
    }
    if (!evenChroma) return;
    // Pixels 0 4 8 12 | 2 6 10 14: in order, then packed.
    const Halves evens = Split(_mm256_unpacklo_epi64(a, b), _mm256_unpacklo_epi64(c, d));
    for (int plane = 1; plane < 3; ++plane) {
        const __m256i sums = _mm256_permutevar8x32_epi32(FixedSums(k, plane, evens), order);
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi32(sums, sums), 0x08);
        const __m128i samples = _mm_min_epu16(_mm256_castsi256_si128(packed), _mm256_castsi256_si128(k.top));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out[plane]), samples);
    }
}

// YC48 in fixed point, as the SSE2 kernel does it: (y, cb) and (cr, 0)
// pairs multiplied with the row's (f0, f1) and (f2, 0), as PA64's (R, G) and
// (B, A), for pixels whose values all lie within the matrix's limit.
// Whether any of sixteen pixels' 48 values lies beyond the limit.
inline bool BeyondLimit(const FixedCoefficients& k, const uint8_t* p) {
    __m256i beyond = _mm256_setzero_si256();
    for (int part = 0; part < 3; ++part) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * part));
        beyond =
            _mm256_or_si256(beyond, _mm256_or_si256(_mm256_cmpgt_epi16(v, k.limit), _mm256_cmpgt_epi16(k.lowest, v)));
    }
    return !_mm256_testz_si256(beyond, beyond);
}

struct Pairs8 {
    __m256i yCb, cr;
};
inline Pairs8 MakePairs(const Ints8& v) {
    const __m256i low = _mm256_set1_epi32(0xFFFF);
    return Pairs8{_mm256_or_si256(_mm256_and_si256(v.a, low), _mm256_slli_epi32(v.b, 16)), _mm256_and_si256(v.c, low)};
}

inline __m256i FixedCoefficientsSums(const FixedCoefficients& k, int plane, const Pairs8& p) {
    const __m256i sums =
        _mm256_add_epi32(_mm256_madd_epi16(p.yCb, k.redGreen[plane]), _mm256_madd_epi16(p.cr, k.blue[plane]));
    return _mm256_sra_epi32(_mm256_add_epi32(sums, k.bias[plane]), k.shift);
}

// Sixteen samples in pixel order from two eights' sums (each in pixel
// order), clipped to 0 .. top: the pack works within 128-bit halves.
inline void StoreFixed16(const FixedCoefficients& k, uint16_t* at, __m256i first, __m256i second) {
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi32(first, second), _MM_SHUFFLE(3, 1, 2, 0));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), _mm256_min_epu16(packed, k.top));
}
// Eight samples in pixel order from one eight's sums.
inline void StoreFixed8(const FixedCoefficients& k, uint16_t* at, __m256i sums) {
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi32(sums, sums), 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at),
                     _mm_min_epu16(_mm256_castsi256_si128(packed), _mm256_castsi256_si128(k.top)));
}

// The even pixels of sixteen, in order, from two eights' pairs.
inline Pairs8 EvenPairs(const Pairs8& first, const Pairs8& second) {
    const __m256i gather = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
    const auto evens = [&](__m256i a, __m256i b) {
        return _mm256_permute2x128_si256(_mm256_permutevar8x32_epi32(a, gather), _mm256_permutevar8x32_epi32(b, gather),
                                         0x20);
    };
    return Pairs8{evens(first.yCb, second.yCb), evens(first.cr, second.cr)};
}

}  // namespace

SIMD_ENTRY void Yc48Samples_AVX2(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y,
                                 uint16_t* cb, uint16_t* cr, int32_t chromaStep) {
    if (matrix->shift != 0) {
        const FixedCoefficients k = BroadcastFixed(matrix);
        int32_t i = 0;
        for (; i + 16 <= count; i += 16) {
            const uint8_t* p = pixels + 6 * static_cast<intptr_t>(i);
            uint16_t* const cbAt = cb + i / chromaStep;
            uint16_t* const crAt = cr + i / chromaStep;
            if (BeyondLimit(k, p)) {  // rare: each pixel by its own rule
                Yc48Samples_C(p, 16, matrix, y + i, cbAt, crAt, chromaStep);
                continue;
            }
            const Pairs8 first = MakePairs(Yc48OctetInts(p)), second = MakePairs(Yc48OctetInts(p + 48));
            StoreFixed16(k, y + i, FixedCoefficientsSums(k, 0, first), FixedCoefficientsSums(k, 0, second));
            if (chromaStep == 1) {
                StoreFixed16(k, cbAt, FixedCoefficientsSums(k, 1, first), FixedCoefficientsSums(k, 1, second));
                StoreFixed16(k, crAt, FixedCoefficientsSums(k, 2, first), FixedCoefficientsSums(k, 2, second));
                continue;
            }
            const Pairs8 evens = EvenPairs(first, second);
            StoreFixed8(k, cbAt, FixedCoefficientsSums(k, 1, evens));
            StoreFixed8(k, crAt, FixedCoefficientsSums(k, 2, evens));
        }
        Yc48Samples_C(pixels + 6 * static_cast<intptr_t>(i), count - i, matrix, y + i, cb + i / chromaStep,
                      cr + i / chromaStep, chromaStep);
        return;
    }
    const Coefficients k = Broadcast(matrix);
    // Packing works within each 128-bit half: pixels 0-3 8-11 4-7 12-15.
    const __m256i order = _mm256_setr_epi32(0, 1, 4, 5, 2, 3, 6, 7);
    int32_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const uint8_t* p = pixels + 6 * static_cast<intptr_t>(i);
        const Values8 first = Yc48Octet(p), second = Yc48Octet(p + 48);
        if (chromaStep == 1) {
            Store(Quantise8(k, first), Quantise8(k, second), order, y + i, cb + i, cr + i);
            continue;
        }
        // Luma of all sixteen; chroma of the even eight only, which is all
        // that 4:2:0 and 4:2:2 keep.
        Store16(y + i, Quantise(k.k[0], k.top, first.a, first.b, first.c),
                Quantise(k.k[0], k.top, second.a, second.b, second.c), order);
        const __m256 a = Evens(first.a, second.a), b = Evens(first.b, second.b), c = Evens(first.c, second.c);
        Store8(cb + i / 2, Quantise(k.k[1], k.top, a, b, c));
        Store8(cr + i / 2, Quantise(k.k[2], k.top, a, b, c));
    }
    Yc48Samples_C(pixels + 6 * static_cast<intptr_t>(i), count - i, matrix, y + i, cb + i / chromaStep,
                  cr + i / chromaStep, chromaStep);
}

SIMD_ENTRY void Pa64Samples_AVX2(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y,
                                 uint16_t* cb, uint16_t* cr, int32_t chromaStep) {
    int32_t i = 0;
    if (matrix->shift != 0) {
        const FixedCoefficients k = BroadcastFixed(matrix);
        for (; i + 16 <= count; i += 16)
            Pa64FixedSixteen(k, pixels + 8 * static_cast<intptr_t>(i), y + i, cb + i / chromaStep, cr + i / chromaStep,
                             chromaStep != 1);
        Pa64Samples_C(pixels + 8 * static_cast<intptr_t>(i), count - i, matrix, y + i, cb + i / chromaStep,
                      cr + i / chromaStep, chromaStep);
        return;
    }
    if (chromaStep != 1) {
        EvenChromaThroughFull<Pa64Samples_AVX2>(pixels, count, matrix, 8, y, cb, cr);
        return;
    }
    const Coefficients k = Broadcast(matrix);
    // Each octet is 0 1 4 5 | 2 3 6 7; packed: 0 1 4 5 8 9 12 13 | 2 3 6 7 10 11 14 15.
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    for (; i + 16 <= count; i += 16) {
        const uint8_t* p = pixels + 8 * static_cast<intptr_t>(i);
        Store(Pa64Octet(k, p), Pa64Octet(k, p + 64), order, y + i, cb + i, cr + i);
    }
    Pa64Samples_C(pixels + 8 * static_cast<intptr_t>(i), count - i, matrix, y + i, cb + i, cr + i, 1);
}
