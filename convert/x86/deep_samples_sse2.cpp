// The deep sample kernels with SSE2: four pixels a vector, eight a step.
// Each must equal Yc48Samples_C / Pa64Samples_C bit for bit: the same
// single-precision steps in the same order (convert/deep_samples.h).
#include <emmintrin.h>

#include "convert/deep_samples.h"
#include "convert/x86/converters_x86.h"
#include "platform/cpu_features.h"

namespace {

struct Coefficients {
    __m128 k[3][4];
    __m128 top;
};

Coefficients Broadcast(const SampleMatrix* m) {
    Coefficients c;
    const SampleRow* rows[3] = {&m->y, &m->cb, &m->cr};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j) c.k[i][j] = _mm_set1_ps(rows[i]->k[j]);
    c.top = _mm_set1_ps(m->top);
    return c;
}

inline __m128i Quantise(const __m128 (&k)[4], __m128 top, __m128 a, __m128 b, __m128 c) {
    __m128 v = _mm_mul_ps(k[0], a);
    v = _mm_add_ps(v, _mm_mul_ps(k[1], b));
    v = _mm_add_ps(v, _mm_mul_ps(k[2], c));
    v = _mm_add_ps(v, k[3]);
    v = _mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), top);
    return _mm_cvttps_epi32(v);
}

struct Planes4 {
    __m128i y, cb, cr;
};

// A pixel's three values, in single precision, for four pixels.
struct Values4 {
    __m128 a, b, c;
};

inline Values4 ToFloat(__m128i a, __m128i b, __m128i c) {
    return Values4{_mm_cvtepi32_ps(a), _mm_cvtepi32_ps(b), _mm_cvtepi32_ps(c)};
}

inline Planes4 Quantise4(const Coefficients& k, const Values4& v) {
    return Planes4{Quantise(k.k[0], k.top, v.a, v.b, v.c), Quantise(k.k[1], k.top, v.a, v.b, v.c),
                   Quantise(k.k[2], k.top, v.a, v.b, v.c)};
}

inline Planes4 Quantise4(const Coefficients& k, __m128i a, __m128i b, __m128i c) {
    return Quantise4(k, ToFloat(a, b, c));
}

// Samples are at most 4095: the signed pack keeps them.
inline void Store8(uint16_t* at, __m128i low, __m128i high) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), _mm_packs_epi32(low, high));
}

inline void Store(const Planes4& low, const Planes4& high, uint16_t* y, uint16_t* cb, uint16_t* cr) {
    Store8(y, low.y, high.y);
    Store8(cb, low.cb, high.cb);
    Store8(cr, low.cr, high.cr);
}

inline __m128i SignExtendLow(__m128i v) { return _mm_srai_epi32(_mm_unpacklo_epi16(v, v), 16); }
inline __m128i SignExtendHigh(__m128i v) { return _mm_srai_epi32(_mm_unpackhi_epi16(v, v), 16); }

// Lane i from a, b or c as the masks say: each lane set in exactly one.
inline __m128i Pick(__m128i a, __m128i ma, __m128i b, __m128i mb, __m128i c, __m128i mc) {
    return _mm_or_si128(_mm_or_si128(_mm_and_si128(a, ma), _mm_and_si128(b, mb)), _mm_and_si128(c, mc));
}

// Four YC48 pixels as three vectors of 32-bit values: a = y0 cb0 cr0 y1,
// b = cb1 cr1 y2 cb2, c = cr2 y3 cb3 cr3. Each component's four values sit in
// four different lanes of a, b and c, so one pick and one shuffle gather them.
struct Ints4 {
    __m128i a, b, c;
};

inline Ints4 Yc48QuadInts(__m128i a, __m128i b, __m128i c) {
    const __m128i l0 = _mm_set_epi32(0, 0, 0, -1), l1 = _mm_set_epi32(0, 0, -1, 0);
    const __m128i l2 = _mm_set_epi32(0, -1, 0, 0), l3 = _mm_set_epi32(-1, 0, 0, 0);
    const __m128i l03 = _mm_or_si128(l0, l3);
    // y: a0 c1 b2 a3 -> a0 a3 b2 c1; cb: b0 a1 c2 b3 -> a1 b0 b3 c2; cr: c0 b1 a2 c3 -> a2 b1 c0 c3.
    const __m128i y = _mm_shuffle_epi32(Pick(a, l03, b, l2, c, l1), _MM_SHUFFLE(1, 2, 3, 0));
    const __m128i cb = _mm_shuffle_epi32(Pick(a, l1, b, l03, c, l2), _MM_SHUFFLE(2, 3, 0, 1));
    const __m128i cr = _mm_shuffle_epi32(Pick(a, l2, b, l1, c, l03), _MM_SHUFFLE(3, 0, 1, 2));
    return Ints4{y, cb, cr};
}

inline Values4 Yc48Quad(__m128i a, __m128i b, __m128i c) {
    const Ints4 v = Yc48QuadInts(a, b, c);
    return ToFloat(v.a, v.b, v.c);
}

inline __m128i Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// Two PA64 pixels a vector: R G B A R G B A, 16 bits each.
inline Planes4 Pa64Quad(const Coefficients& k, __m128i first, __m128i second) {
    const __m128i u = _mm_unpacklo_epi16(first, second);  // R0 R2 G0 G2 B0 B2 A0 A2
    const __m128i v = _mm_unpackhi_epi16(first, second);  // R1 R3 G1 G3 B1 B3 A1 A3
    const __m128i rg = _mm_unpacklo_epi16(u, v);          // R0 R1 R2 R3 G0 G1 G2 G3
    const __m128i ba = _mm_unpackhi_epi16(u, v);          // B0 B1 B2 B3 A0 ...
    const __m128i zero = _mm_setzero_si128();
    return Quantise4(k, _mm_unpacklo_epi16(rg, zero), _mm_unpackhi_epi16(rg, zero), _mm_unpacklo_epi16(ba, zero));
}

// PA64 in fixed point: each 16-bit R, G, B less 32768 (a flip of the top
// bit), multiplied in pairs with the row's coefficients: (R, G) . (f0, f1)
// and (B, A) . (f2, 0) give two 32-bit sums a pixel, added across, plus the
// bias, shifted down.
struct FixedCoefficients {
    __m128i pairs[3];  // f0 f1 f2 0, twice
    __m128i bias[3];
    __m128i shift;
    __m128i top;  // 2^n - 1, signed: at most 1023 here
};

FixedCoefficients BroadcastFixed(const SampleMatrix* m) {
    FixedCoefficients c;
    const FixedRow* rows[3] = {&m->fixedY, &m->fixedCb, &m->fixedCr};
    for (int i = 0; i < 3; ++i) {
        const FixedRow* r = rows[i];
        c.pairs[i] = _mm_setr_epi16(r->f[0], r->f[1], r->f[2], 0, r->f[0], r->f[1], r->f[2], 0);
        c.bias[i] = _mm_set1_epi32(r->bias);
    }
    c.shift = _mm_cvtsi32_si128(m->shift);
    c.top = _mm_set1_epi16(static_cast<int16_t>(m->fixedTop));
    return c;
}

// The sums of two pixels a vector (two 32-bit parts each) added across:
// four pixels' sums in order, shifted down.
inline __m128i FixedSums(const FixedCoefficients& k, int plane, __m128i first, __m128i second) {
    const __m128 a = _mm_castsi128_ps(_mm_madd_epi16(first, k.pairs[plane]));
    const __m128 b = _mm_castsi128_ps(_mm_madd_epi16(second, k.pairs[plane]));
    const __m128i even = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
    const __m128i odd = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
    return _mm_sra_epi32(_mm_add_epi32(_mm_add_epi32(even, odd), k.bias[plane]), k.shift);
}

inline __m128i LoadSigned(const uint8_t* p) {
    return _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), _mm_set1_epi16(-32768));
}

// Eight pixels. The signed pack keeps 0 to 32767; below 0 and above the top
// code (at most 1023 here) are clipped in 16 bits. With evenChroma, Cb and Cr
// of pixels 0, 2, 4, 6 only: the low half of each vector.
void Pa64FixedEight(const FixedCoefficients& k, const uint8_t* p, uint16_t* y, uint16_t* cb, uint16_t* cr,
                    bool evenChroma) {
    const __m128i v0 = LoadSigned(p), v1 = LoadSigned(p + 16), v2 = LoadSigned(p + 32), v3 = LoadSigned(p + 48);
    uint16_t* out[3] = {y, cb, cr};
    for (int plane = 0; plane < (evenChroma ? 1 : 3); ++plane) {
        const __m128i packed = _mm_packs_epi32(FixedSums(k, plane, v0, v1), FixedSums(k, plane, v2, v3));
        const __m128i samples = _mm_min_epi16(_mm_max_epi16(packed, _mm_setzero_si128()), k.top);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out[plane]), samples);
    }
    if (!evenChroma) return;
    const __m128i evens1 = _mm_unpacklo_epi64(v0, v1), evens2 = _mm_unpacklo_epi64(v2, v3);
    for (int plane = 1; plane < 3; ++plane) {
        const __m128i sums = FixedSums(k, plane, evens1, evens2);
        const __m128i packed = _mm_packs_epi32(sums, sums);
        const __m128i samples = _mm_min_epi16(_mm_max_epi16(packed, _mm_setzero_si128()), k.top);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out[plane]), samples);
    }
}

// YC48 in fixed point: each pixel's (y, cb) as one 32-bit pair and (cr, 0)
// as another, multiplied with the row's (f0, f1) and (f2, 0), added, plus
// the bias, shifted down; for pixels whose values all lie within the
// matrix's limit (the caller checks).
struct Yc48Fixed {
    __m128i pairs[3], last[3], bias[3];
    __m128i shift, top, limit, lowest;
};

Yc48Fixed BroadcastYc48Fixed(const SampleMatrix* m) {
    Yc48Fixed c;
    const FixedRow* rows[3] = {&m->fixedY, &m->fixedCb, &m->fixedCr};
    for (int i = 0; i < 3; ++i) {
        const FixedRow* r = rows[i];
        c.pairs[i] = _mm_set1_epi32(static_cast<int32_t>(static_cast<uint16_t>(r->f[0]) |
                                                         static_cast<uint32_t>(static_cast<uint16_t>(r->f[1])) << 16));
        c.last[i] = _mm_set1_epi32(static_cast<uint16_t>(r->f[2]));
        c.bias[i] = _mm_set1_epi32(r->bias);
    }
    c.shift = _mm_cvtsi32_si128(m->shift);
    c.top = _mm_set1_epi16(static_cast<int16_t>(m->fixedTop));
    c.limit = _mm_set1_epi16(m->fixedLimit);
    c.lowest = _mm_set1_epi16(static_cast<int16_t>(-m->fixedLimit));
    return c;
}

// Whether any of eight pixels' 24 values lies beyond the limit.
inline bool BeyondLimit(const Yc48Fixed& k, __m128i v0, __m128i v1, __m128i v2) {
    __m128i beyond = _mm_or_si128(_mm_cmpgt_epi16(v0, k.limit), _mm_cmplt_epi16(v0, k.lowest));
    beyond = _mm_or_si128(beyond, _mm_or_si128(_mm_cmpgt_epi16(v1, k.limit), _mm_cmplt_epi16(v1, k.lowest)));
    beyond = _mm_or_si128(beyond, _mm_or_si128(_mm_cmpgt_epi16(v2, k.limit), _mm_cmplt_epi16(v2, k.lowest)));
    return _mm_movemask_epi8(beyond) != 0;
}

// Four pixels' (y, cb) and (cr, 0) pairs from their 32-bit values.
struct Pairs4 {
    __m128i yCb, cr;
};
inline Pairs4 MakePairs(const Ints4& v) {
    const __m128i low = _mm_set1_epi32(0xFFFF);
    return Pairs4{_mm_or_si128(_mm_and_si128(v.a, low), _mm_slli_epi32(v.b, 16)), _mm_and_si128(v.c, low)};
}

inline __m128i Yc48FixedSums(const Yc48Fixed& k, int plane, const Pairs4& p) {
    const __m128i sums = _mm_add_epi32(_mm_madd_epi16(p.yCb, k.pairs[plane]), _mm_madd_epi16(p.cr, k.last[plane]));
    return _mm_sra_epi32(_mm_add_epi32(sums, k.bias[plane]), k.shift);
}

// Eight samples of one plane from two fours' sums, clipped to 0 .. top.
inline __m128i Clip8(const Yc48Fixed& k, __m128i low, __m128i high) {
    return _mm_min_epi16(_mm_max_epi16(_mm_packs_epi32(low, high), _mm_setzero_si128()), k.top);
}

// Pixels 0, 2 of each of two fours, in order.
inline Pairs4 EvenPairs(const Pairs4& low, const Pairs4& high) {
    const auto evens = [](__m128i a, __m128i b) {
        return _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b), _MM_SHUFFLE(2, 0, 2, 0)));
    };
    return Pairs4{evens(low.yCb, high.yCb), evens(low.cr, high.cr)};
}

}  // namespace

SIMD_ENTRY void Yc48Samples_SSE2(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y,
                                 uint16_t* cb, uint16_t* cr, int32_t chromaStep) {
    int32_t i = 0;
    if (matrix->shift != 0) {
        const Yc48Fixed k = BroadcastYc48Fixed(matrix);
        for (; i + 8 <= count; i += 8) {
            const uint8_t* p = pixels + 6 * static_cast<intptr_t>(i);
            uint16_t* const cbAt = cb + i / chromaStep;
            uint16_t* const crAt = cr + i / chromaStep;
            const __m128i v0 = Load(p), v1 = Load(p + 16), v2 = Load(p + 32);
            if (BeyondLimit(k, v0, v1, v2)) {  // rare: each pixel by its own rule
                Yc48Samples_C(p, 8, matrix, y + i, cbAt, crAt, chromaStep);
                continue;
            }
            const Pairs4 low = MakePairs(Yc48QuadInts(SignExtendLow(v0), SignExtendHigh(v0), SignExtendLow(v1)));
            const Pairs4 high = MakePairs(Yc48QuadInts(SignExtendHigh(v1), SignExtendLow(v2), SignExtendHigh(v2)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(y + i),
                             Clip8(k, Yc48FixedSums(k, 0, low), Yc48FixedSums(k, 0, high)));
            if (chromaStep == 1) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(cbAt),
                                 Clip8(k, Yc48FixedSums(k, 1, low), Yc48FixedSums(k, 1, high)));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(crAt),
                                 Clip8(k, Yc48FixedSums(k, 2, low), Yc48FixedSums(k, 2, high)));
                continue;
            }
            const Pairs4 evens = EvenPairs(low, high);
            const __m128i cbs = Yc48FixedSums(k, 1, evens), crs = Yc48FixedSums(k, 2, evens);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(cbAt), Clip8(k, cbs, cbs));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(crAt), Clip8(k, crs, crs));
        }
        Yc48Samples_C(pixels + 6 * static_cast<intptr_t>(i), count - i, matrix, y + i, cb + i / chromaStep,
                      cr + i / chromaStep, chromaStep);
        return;
    }
    const Coefficients k = Broadcast(matrix);
    for (; i + 8 <= count; i += 8) {
        const uint8_t* p = pixels + 6 * static_cast<intptr_t>(i);
        const __m128i v0 = Load(p), v1 = Load(p + 16), v2 = Load(p + 32);
        const Values4 low = Yc48Quad(SignExtendLow(v0), SignExtendHigh(v0), SignExtendLow(v1));
        const Values4 high = Yc48Quad(SignExtendHigh(v1), SignExtendLow(v2), SignExtendHigh(v2));
        if (chromaStep == 1) {
            Store(Quantise4(k, low), Quantise4(k, high), y + i, cb + i, cr + i);
            continue;
        }
        // Luma of all eight; chroma of pixels 0 2 4 6 only, which is all that
        // 4:2:0 and 4:2:2 keep.
        Store8(y + i, Quantise(k.k[0], k.top, low.a, low.b, low.c), Quantise(k.k[0], k.top, high.a, high.b, high.c));
        const __m128 a = _mm_shuffle_ps(low.a, high.a, _MM_SHUFFLE(2, 0, 2, 0));
        const __m128 b = _mm_shuffle_ps(low.b, high.b, _MM_SHUFFLE(2, 0, 2, 0));
        const __m128 c = _mm_shuffle_ps(low.c, high.c, _MM_SHUFFLE(2, 0, 2, 0));
        const __m128i cbs = Quantise(k.k[1], k.top, a, b, c), crs = Quantise(k.k[2], k.top, a, b, c);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(cb + i / 2), _mm_packs_epi32(cbs, cbs));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(cr + i / 2), _mm_packs_epi32(crs, crs));
    }
    Yc48Samples_C(pixels + 6 * static_cast<intptr_t>(i), count - i, matrix, y + i, cb + i / chromaStep,
                  cr + i / chromaStep, chromaStep);
}

SIMD_ENTRY void Pa64Samples_SSE2(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y,
                                 uint16_t* cb, uint16_t* cr, int32_t chromaStep) {
    int32_t i = 0;
    if (matrix->shift != 0) {
        const FixedCoefficients k = BroadcastFixed(matrix);
        for (; i + 8 <= count; i += 8)
            Pa64FixedEight(k, pixels + 8 * static_cast<intptr_t>(i), y + i, cb + i / chromaStep, cr + i / chromaStep,
                           chromaStep != 1);
        Pa64Samples_C(pixels + 8 * static_cast<intptr_t>(i), count - i, matrix, y + i, cb + i / chromaStep,
                      cr + i / chromaStep, chromaStep);
        return;
    }
    if (chromaStep != 1) {
        EvenChromaThroughFull<Pa64Samples_SSE2>(pixels, count, matrix, 8, y, cb, cr);
        return;
    }
    const Coefficients k = Broadcast(matrix);
    for (; i + 8 <= count; i += 8) {
        const uint8_t* p = pixels + 8 * static_cast<intptr_t>(i);
        const Planes4 low = Pa64Quad(k, Load(p), Load(p + 16));
        const Planes4 high = Pa64Quad(k, Load(p + 32), Load(p + 48));
        Store(low, high, y + i, cb + i, cr + i);
    }
    Pa64Samples_C(pixels + 8 * static_cast<intptr_t>(i), count - i, matrix, y + i, cb + i, cr + i, 1);
}
