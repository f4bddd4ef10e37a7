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

// Eight YC48 pixels (three vectors: 24 signed words, 12 dwords D0..D11)
// regrouped as 32-bit lanes without moving a word within its dword: pixel
// 2q is D3q (y, cb) and the low word of D3q+1 (cr); pixel 2q+1 the high word
// of D3q+1 (y) and D3q+2 (cb, cr). So the even pixels' (y, cb) are D0 D3 D6
// D9, the middle words D1 D4 D7 D10, the odd pixels' (cb, cr) D2 D5 D8 D11:
// five shuffles in all, and each plane's sums are pmaddwd of them.
struct Regrouped {
    __m128i evenYCb, middle, oddCbCr;
};
inline __m128 AsFloats(__m128i v) { return _mm_castsi128_ps(v); }
inline __m128i AsInts(__m128 v) { return _mm_castps_si128(v); }
inline Regrouped Regroup(__m128i v0, __m128i v1, __m128i v2) {
    const __m128 front = _mm_shuffle_ps(AsFloats(v0), AsFloats(v1), _MM_SHUFFLE(1, 0, 2, 1));  // D1 D2 D4 D5
    const __m128 back = _mm_shuffle_ps(AsFloats(v1), AsFloats(v2), _MM_SHUFFLE(2, 1, 3, 2));   // D6 D7 D9 D10
    return Regrouped{AsInts(_mm_shuffle_ps(AsFloats(v0), back, _MM_SHUFFLE(2, 0, 3, 0))),
                     AsInts(_mm_shuffle_ps(front, back, _MM_SHUFFLE(3, 1, 2, 0))),
                     AsInts(_mm_shuffle_ps(front, AsFloats(v2), _MM_SHUFFLE(3, 0, 3, 1)))};
}
inline __m128i LowWord(__m128i v) { return _mm_srai_epi32(_mm_slli_epi32(v, 16), 16); }
inline __m128i HighWord(__m128i v) { return _mm_srai_epi32(v, 16); }
// The even and the odd pixels' values, in single precision.
inline Values4 EvenValues(const Regrouped& r) {
    return ToFloat(LowWord(r.evenYCb), HighWord(r.evenYCb), LowWord(r.middle));
}
inline Values4 OddValues(const Regrouped& r) {
    return ToFloat(HighWord(r.middle), LowWord(r.oddCbCr), HighWord(r.oddCbCr));
}
// Eight 16-bit samples in pixel order from the even and the odd pixels'.
inline __m128i Interleave(__m128i evenOdd) { return _mm_unpacklo_epi16(evenOdd, _mm_srli_si128(evenOdd, 8)); }
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

// YC48 in fixed point: f0 y + f1 cb + f2 cr + bias, shifted down, as
// pmaddwd pairs of the regrouped lanes: the even pixels' (y, cb) . (f0, f1)
// + (cr, y') . (f2, 0), the odd pixels' (cr', y) . (0, f0) + (cb, cr) . (f1,
// f2); for pixels whose values all lie within the matrix's limit (the
// caller checks), where no sum leaves 32 bits.
struct Yc48Fixed {
    __m128i pairs[Yc48PairKinds][3], bias[3];
    __m128i shift, top, limit, lowest;
};
Yc48Fixed BroadcastYc48Fixed(const SampleMatrix* m) {
    Yc48Fixed c;
    const FixedRow* rows[3] = {&m->fixedY, &m->fixedCb, &m->fixedCr};
    for (int i = 0; i < 3; ++i) {
        int32_t pairs[Yc48PairKinds];
        Yc48WordPairs(rows[i], pairs);
        for (int kind = 0; kind < Yc48PairKinds; ++kind) c.pairs[kind][i] = _mm_set1_epi32(pairs[kind]);
        c.bias[i] = _mm_set1_epi32(rows[i]->bias);
    }
    c.shift = _mm_cvtsi32_si128(m->shift);
    c.top = _mm_set1_epi16(static_cast<int16_t>(m->fixedTop));
    c.limit = _mm_set1_epi16(m->fixedLimit);
    c.lowest = _mm_set1_epi16(static_cast<int16_t>(-m->fixedLimit));
    return c;
}
// Whether any of eight pixels' 24 values lies beyond the limit.
inline bool BeyondLimit(const Yc48Fixed& k, __m128i v0, __m128i v1, __m128i v2) {
    const __m128i highest = _mm_max_epi16(_mm_max_epi16(v0, v1), v2);
    const __m128i lowest = _mm_min_epi16(_mm_min_epi16(v0, v1), v2);
    return _mm_movemask_epi8(_mm_or_si128(_mm_cmpgt_epi16(highest, k.limit), _mm_cmplt_epi16(lowest, k.lowest))) != 0;
}
inline __m128i Shifted(const Yc48Fixed& k, int plane, __m128i sums) {
    return _mm_sra_epi32(_mm_add_epi32(sums, k.bias[plane]), k.shift);
}
inline __m128i EvenSums(const Yc48Fixed& k, int plane, const Regrouped& r) {
    return Shifted(k, plane,
                   _mm_add_epi32(_mm_madd_epi16(r.evenYCb, k.pairs[EvenYCb][plane]),
                                 _mm_madd_epi16(r.middle, k.pairs[EvenShared][plane])));
}
inline __m128i OddSums(const Yc48Fixed& k, int plane, const Regrouped& r) {
    return Shifted(k, plane,
                   _mm_add_epi32(_mm_madd_epi16(r.middle, k.pairs[OddShared][plane]),
                                 _mm_madd_epi16(r.oddCbCr, k.pairs[OddCbCr][plane])));
}
// 16-bit samples clipped to 0 .. top (the signed pack keeps 0 to 32767).
inline __m128i Clip(const Yc48Fixed& k, __m128i packed) {
    return _mm_min_epi16(_mm_max_epi16(packed, _mm_setzero_si128()), k.top);
}
// One plane's samples of all eight pixels, in pixel order.
inline void StoreFixedEight(const Yc48Fixed& k, int plane, const Regrouped& r, uint16_t* at) {
    const __m128i packed = _mm_packs_epi32(EvenSums(k, plane, r), OddSums(k, plane, r));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), Clip(k, Interleave(packed)));
}
// One plane's samples of the even pixels.
inline void StoreFixedEvens(const Yc48Fixed& k, int plane, const Regrouped& r, uint16_t* at) {
    const __m128i sums = EvenSums(k, plane, r);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(at), Clip(k, _mm_packs_epi32(sums, sums)));
}
}  // namespace

SIMD_ENTRY void Yc48Samples_SSE2(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y,
                                 uint16_t* cb, uint16_t* cr, int32_t chromaStep) {
    int32_t i = 0;
    if (matrix->shift != 0) {
        const Yc48Fixed k = BroadcastYc48Fixed(matrix);
        for (; i + 8 <= count; i += 8) {
            const uint8_t* p = pixels + 6 * static_cast<intptr_t>(i);
            uint16_t* const cbAt = cb + ChromaIndex(i, chromaStep);
            uint16_t* const crAt = cr + ChromaIndex(i, chromaStep);
            const __m128i v0 = Load(p), v1 = Load(p + 16), v2 = Load(p + 32);
            if (BeyondLimit(k, v0, v1, v2)) {  // rare: each pixel by its own rule
                Yc48Samples_C(p, 8, matrix, y + i, cbAt, crAt, chromaStep);
                continue;
            }
            const Regrouped r = Regroup(v0, v1, v2);
            StoreFixedEight(k, 0, r, y + i);
            if (chromaStep == 1) {
                StoreFixedEight(k, 1, r, cbAt);
                StoreFixedEight(k, 2, r, crAt);
            } else {
                StoreFixedEvens(k, 1, r, cbAt);
                StoreFixedEvens(k, 2, r, crAt);
            }
        }
        Yc48Samples_C(pixels + 6 * static_cast<intptr_t>(i), count - i, matrix, y + i, cb + ChromaIndex(i, chromaStep),
                      cr + ChromaIndex(i, chromaStep), chromaStep);
        return;
    }
    const Coefficients k = Broadcast(matrix);
    for (; i + 8 <= count; i += 8) {
        const uint8_t* p = pixels + 6 * static_cast<intptr_t>(i);
        const Regrouped r = Regroup(Load(p), Load(p + 16), Load(p + 32));
        const Values4 even = EvenValues(r), odd = OddValues(r);
        uint16_t* out[3] = {y + i, cb + ChromaIndex(i, chromaStep), cr + ChromaIndex(i, chromaStep)};
        for (int plane = 0; plane < 3; ++plane) {
            const __m128i evens = Quantise(k.k[plane], k.top, even.a, even.b, even.c);
            if (plane > 0 && chromaStep != 1) {  // the even pixels' chroma: all that 4:2:0 and 4:2:2 keep
                _mm_storel_epi64(reinterpret_cast<__m128i*>(out[plane]), _mm_packs_epi32(evens, evens));
                continue;
            }
            const __m128i odds = Quantise(k.k[plane], k.top, odd.a, odd.b, odd.c);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out[plane]), Interleave(_mm_packs_epi32(evens, odds)));
        }
    }
    Yc48Samples_C(pixels + 6 * static_cast<intptr_t>(i), count - i, matrix, y + i, cb + ChromaIndex(i, chromaStep),
                  cr + ChromaIndex(i, chromaStep), chromaStep);
}

SIMD_ENTRY void Pa64Samples_SSE2(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y,
                                 uint16_t* cb, uint16_t* cr, int32_t chromaStep) {
    int32_t i = 0;
    if (matrix->shift != 0) {
        const FixedCoefficients k = BroadcastFixed(matrix);
        for (; i + 8 <= count; i += 8)
            Pa64FixedEight(k, pixels + 8 * static_cast<intptr_t>(i), y + i, cb + ChromaIndex(i, chromaStep),
                           cr + ChromaIndex(i, chromaStep), chromaStep != 1);
        Pa64Samples_C(pixels + 8 * static_cast<intptr_t>(i), count - i, matrix, y + i, cb + ChromaIndex(i, chromaStep),
                      cr + ChromaIndex(i, chromaStep), chromaStep);
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
