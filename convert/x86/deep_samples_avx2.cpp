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

// Sixteen YC48 pixels, eight a 128-bit half (bytes 0-47 in the low halves,
// 48-95 in the high ones), each eight regrouped as the SSE2 kernel regroups
// them: the even pixels' (y, cb) words, the middle words (an even pixel's cr,
// the next odd pixel's y) and the odd pixels' (cb, cr), without moving a
// word within its dword, by five in-half shuffles.
struct Regrouped {
    __m256i evenYCb, middle, oddCbCr;
};
inline __m256i LoadHalves(const uint8_t* low, const uint8_t* high) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low))),
                                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(high)), 1);
}
inline __m256 AsFloats(__m256i v) { return _mm256_castsi256_ps(v); }
inline __m256i AsInts(__m256 v) { return _mm256_castps_si256(v); }
inline Regrouped Regroup(__m256i v0, __m256i v1, __m256i v2) {
    const __m256 front = _mm256_shuffle_ps(AsFloats(v0), AsFloats(v1), _MM_SHUFFLE(1, 0, 2, 1));  // D1 D2 D4 D5
    const __m256 back = _mm256_shuffle_ps(AsFloats(v1), AsFloats(v2), _MM_SHUFFLE(2, 1, 3, 2));   // D6 D7 D9 D10
    return Regrouped{AsInts(_mm256_shuffle_ps(AsFloats(v0), back, _MM_SHUFFLE(2, 0, 3, 0))),
                     AsInts(_mm256_shuffle_ps(front, back, _MM_SHUFFLE(3, 1, 2, 0))),
                     AsInts(_mm256_shuffle_ps(front, AsFloats(v2), _MM_SHUFFLE(3, 0, 3, 1)))};
}
inline __m256i LowWord(__m256i v) { return _mm256_srai_epi32(_mm256_slli_epi32(v, 16), 16); }
inline __m256i HighWord(__m256i v) { return _mm256_srai_epi32(v, 16); }
inline Values8 EvenValues(const Regrouped& r) {
    return ToFloat(LowWord(r.evenYCb), HighWord(r.evenYCb), LowWord(r.middle));
}
inline Values8 OddValues(const Regrouped& r) {
    return ToFloat(HighWord(r.middle), LowWord(r.oddCbCr), HighWord(r.oddCbCr));
}
// Sixteen samples in pixel order from the even and the odd pixels' 32-bit
// values, clipped below at 0 by the pack.
inline __m256i Interleaved(__m256i evens, __m256i odds) {
    const __m256i packed = _mm256_packus_epi32(evens, odds);  // per half: evens, then odds
    return _mm256_unpacklo_epi16(packed, _mm256_srli_si256(packed, 8));
}
// Eight samples in pixel order from the even pixels' values of both halves.
inline __m128i EvensOnly(__m256i evens) {
    return _mm256_castsi256_si128(_mm256_permute4x64_epi64(_mm256_packus_epi32(evens, evens), 0x08));
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
};

FixedCoefficients BroadcastFixed(const SampleMatrix* m) {
    FixedCoefficients c;
    const FixedRow* rows[3] = {&m->fixedY, &m->fixedCb, &m->fixedCr};
    for (int i = 0; i < 3; ++i) {
        const FixedRow* r = rows[i];
        c.redGreen[i] = _mm256_set1_epi32(WordPair(r->f[0], r->f[1]));
        c.blue[i] = _mm256_set1_epi32(WordPair(r->f[2], 0));
        c.bias[i] = _mm256_set1_epi32(r->bias);
    }
    c.shift = _mm_cvtsi32_si128(m->shift);
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

// Sixteen pixels: the two eights packed to 16 bits, back in pixel order.
// R'G'B' within 0 to 65535 gives Y' within 16 to 235 and Cb, Cr within 16 to
// 240 (times 2^(n-8)), rounding included: the scalar kernel's clips at 0 and
// at the top code never act here, so none is made. With evenChroma, Cb and
// Cr of pixels 0, 2, ... 14 only: each pixel is 64 bits, so the low halves
// of the vectors' pairs are the even pixels.
void Pa64FixedSixteen(const FixedCoefficients& k, const uint8_t* p, uint16_t* y, uint16_t* cb, uint16_t* cr,
                      bool evenChroma) {
    const __m256i a = LoadSigned(p), b = LoadSigned(p + 32), c = LoadSigned(p + 64), d = LoadSigned(p + 96);
    const Halves low = Split(a, b), high = Split(c, d);
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    uint16_t* out[3] = {y, cb, cr};
    for (int plane = 0; plane < (evenChroma ? 1 : 3); ++plane) {
        const __m256i packed = _mm256_packus_epi32(FixedSums(k, plane, low), FixedSums(k, plane, high));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out[plane]), _mm256_permutevar8x32_epi32(packed, order));
    }
    if (!evenChroma) return;
    // Pixels 0 4 8 12 | 2 6 10 14, Cb and Cr packed together: each half's
    // four Cb (then Cr) words interleave with the other half's.
    const Halves evens = Split(_mm256_unpacklo_epi64(a, b), _mm256_unpacklo_epi64(c, d));
    const __m256i both = _mm256_packus_epi32(FixedSums(k, 1, evens), FixedSums(k, 2, evens));
    const __m128i first = _mm256_castsi256_si128(both), second = _mm256_extracti128_si256(both, 1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(cb), _mm_unpacklo_epi16(first, second));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(cr), _mm_unpackhi_epi16(first, second));
}

// YC48 in fixed point as the SSE2 kernel computes it: f0 y + f1 cb + f2 cr
// + bias, shifted down, as pmaddwd pairs of the regrouped words, for pixels
// whose values all lie within the matrix's limit (the caller checks).
struct Yc48Fixed {
    __m256i pairs[Yc48PairKinds][3], bias[3];
    __m128i shift;
    __m256i top, limit, lowest;
};
Yc48Fixed BroadcastYc48Fixed(const SampleMatrix* m) {
    Yc48Fixed c;
    const FixedRow* rows[3] = {&m->fixedY, &m->fixedCb, &m->fixedCr};
    for (int i = 0; i < 3; ++i) {
        int32_t pairs[Yc48PairKinds];
        Yc48WordPairs(rows[i], pairs);
        for (int kind = 0; kind < Yc48PairKinds; ++kind) c.pairs[kind][i] = _mm256_set1_epi32(pairs[kind]);
        c.bias[i] = _mm256_set1_epi32(rows[i]->bias);
    }
    c.shift = _mm_cvtsi32_si128(m->shift);
    c.top = _mm256_set1_epi16(static_cast<int16_t>(m->fixedTop));
    c.limit = _mm256_set1_epi16(m->fixedLimit);
    c.lowest = _mm256_set1_epi16(static_cast<int16_t>(-m->fixedLimit));
    return c;
}
// Whether any of sixteen pixels' 48 values lies beyond the limit.
inline bool BeyondLimit(const Yc48Fixed& k, __m256i v0, __m256i v1, __m256i v2) {
    const __m256i highest = _mm256_max_epi16(_mm256_max_epi16(v0, v1), v2);
    const __m256i lowest = _mm256_min_epi16(_mm256_min_epi16(v0, v1), v2);
    const __m256i beyond = _mm256_or_si256(_mm256_cmpgt_epi16(highest, k.limit), _mm256_cmpgt_epi16(k.lowest, lowest));
    return !_mm256_testz_si256(beyond, beyond);
}
inline __m256i Shifted(const Yc48Fixed& k, int plane, __m256i sums) {
    return _mm256_sra_epi32(_mm256_add_epi32(sums, k.bias[plane]), k.shift);
}
inline __m256i EvenSums(const Yc48Fixed& k, int plane, const Regrouped& r) {
    return Shifted(k, plane,
                   _mm256_add_epi32(_mm256_madd_epi16(r.evenYCb, k.pairs[EvenYCb][plane]),
                                    _mm256_madd_epi16(r.middle, k.pairs[EvenShared][plane])));
}
inline __m256i OddSums(const Yc48Fixed& k, int plane, const Regrouped& r) {
    return Shifted(k, plane,
                   _mm256_add_epi32(_mm256_madd_epi16(r.middle, k.pairs[OddShared][plane]),
                                    _mm256_madd_epi16(r.oddCbCr, k.pairs[OddCbCr][plane])));
}

}  // namespace

SIMD_ENTRY void Yc48Samples_AVX2(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y,
                                 uint16_t* cb, uint16_t* cr, int32_t chromaStep) {
    int32_t i = 0;
    if (matrix->shift != 0) {
        const Yc48Fixed k = BroadcastYc48Fixed(matrix);
        for (; i + 16 <= count; i += 16) {
            const uint8_t* p = pixels + 6 * static_cast<intptr_t>(i);
            uint16_t* out[3] = {y + i, cb + ChromaIndex(i, chromaStep), cr + ChromaIndex(i, chromaStep)};
            const __m256i v0 = LoadHalves(p, p + 48), v1 = LoadHalves(p + 16, p + 64), v2 = LoadHalves(p + 32, p + 80);
            if (BeyondLimit(k, v0, v1, v2)) {  // rare: each pixel by its own rule
                Yc48Samples_C(p, 16, matrix, out[0], out[1], out[2], chromaStep);
                continue;
            }
            const Regrouped r = Regroup(v0, v1, v2);
            for (int plane = 0; plane < 3; ++plane) {
                if (plane > 0 && chromaStep != 1) {
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(out[plane]),
                                     _mm_min_epu16(EvensOnly(EvenSums(k, plane, r)), _mm256_castsi256_si128(k.top)));
                    continue;
                }
                const __m256i samples = Interleaved(EvenSums(k, plane, r), OddSums(k, plane, r));
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(out[plane]), _mm256_min_epu16(samples, k.top));
            }
        }
    } else {
        const Coefficients k = Broadcast(matrix);
        for (; i + 16 <= count; i += 16) {
            const uint8_t* p = pixels + 6 * static_cast<intptr_t>(i);
            uint16_t* out[3] = {y + i, cb + ChromaIndex(i, chromaStep), cr + ChromaIndex(i, chromaStep)};
            const Regrouped r = Regroup(LoadHalves(p, p + 48), LoadHalves(p + 16, p + 64), LoadHalves(p + 32, p + 80));
            const Values8 even = EvenValues(r), odd = OddValues(r);
            for (int plane = 0; plane < 3; ++plane) {
                const __m256i evens = Quantise(k.k[plane], k.top, even.a, even.b, even.c);
                if (plane > 0 && chromaStep != 1) {  // the even pixels' chroma: all that 4:2:0 and 4:2:2 keep
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(out[plane]), EvensOnly(evens));
                    continue;
                }
                const __m256i odds = Quantise(k.k[plane], k.top, odd.a, odd.b, odd.c);
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(out[plane]), Interleaved(evens, odds));
            }
        }
    }
    Yc48Samples_C(pixels + 6 * static_cast<intptr_t>(i), count - i, matrix, y + i, cb + ChromaIndex(i, chromaStep),
                  cr + ChromaIndex(i, chromaStep), chromaStep);
}

SIMD_ENTRY void Pa64Samples_AVX2(const uint8_t* pixels, int32_t count, const SampleMatrix* matrix, uint16_t* y,
                                 uint16_t* cb, uint16_t* cr, int32_t chromaStep) {
    int32_t i = 0;
    if (matrix->shift != 0) {
        const FixedCoefficients k = BroadcastFixed(matrix);
        for (; i + 16 <= count; i += 16)
            Pa64FixedSixteen(k, pixels + 8 * static_cast<intptr_t>(i), y + i, cb + ChromaIndex(i, chromaStep),
                             cr + ChromaIndex(i, chromaStep), chromaStep != 1);
        Pa64Samples_C(pixels + 8 * static_cast<intptr_t>(i), count - i, matrix, y + i, cb + ChromaIndex(i, chromaStep),
                      cr + ChromaIndex(i, chromaStep), chromaStep);
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
