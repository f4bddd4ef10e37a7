#include "convert/deep_conversion.h"

#include <string.h>

#include "convert/host_pictures.h"

namespace {

// Pixels converted at a time: a whole row up to 2048 pixels, whose samples
// for up to four rows (48 KiB) stay on the stack and in the second-level
// cache. Shorter pieces cost HD 4:2:0 half its speed (two source rows read
// in alternation, piece by piece). Even, so no chroma pair is split.
enum { ChunkPixels = 2048, MaxUnitRows = 4 };
constexpr bool UnitsFit(void) {
    for (const ColorFormatInfo& format : ColorFormats)
        if (format.heightMultiple[0] > MaxUnitRows || format.heightMultiple[1] > MaxUnitRows) return false;
    return true;
}
static_assert(UnitsFit(), "a format's row unit is more rows than a chunk holds");

struct ChunkSamples {
    uint16_t y[MaxUnitRows][ChunkPixels];
    uint16_t cb[MaxUnitRows][ChunkPixels];
    uint16_t cr[MaxUnitRows][ChunkPixels];
    uint16_t reduced[ChunkPixels / 2];  // one chroma row of 4:2:0
};

// A plane of the written frame: samples of 1 or 2 bytes (little-endian).
struct Plane {
    uint8_t* start;
    intptr_t rowSamples;
    int32_t sampleBytes;
};

inline uint8_t* At(const Plane* plane, intptr_t row, intptr_t column) {
    return plane->start + (row * plane->rowSamples + column) * plane->sampleBytes;
}

// Samples into a plane's row. Two-byte samples are copied as they are on a
// little-endian machine, byte by byte elsewhere.
void Put(const Plane* plane, intptr_t row, intptr_t column, const uint16_t* samples, int32_t count) {
    uint8_t* at = At(plane, row, column);
    if (plane->sampleBytes == 1) {
        for (int32_t i = 0; i < count; ++i) at[i] = static_cast<uint8_t>(samples[i]);
        return;
    }
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    memcpy(at, samples, 2 * static_cast<size_t>(count));
#else
    for (int32_t i = 0; i < count; ++i) {
        at[2 * i] = static_cast<uint8_t>(samples[i]);
        at[2 * i + 1] = static_cast<uint8_t>(samples[i] >> 8);
    }
#endif
}

// The vertical chroma step on the even pixels' samples of one chunk: the
// rounded mean of a row pair's, or the field filter's.
void MeanOfRows(uint16_t* out, const uint16_t* a, const uint16_t* b, int32_t pairs) {
    for (int32_t j = 0; j < pairs; ++j) out[j] = static_cast<uint16_t>((a[j] + b[j] + 1u) >> 1);
}
void NearAndFar(uint16_t* out, const uint16_t* nearRow, const uint16_t* farRow, int32_t pairs) {
    for (int32_t j = 0; j < pairs; ++j) out[j] = static_cast<uint16_t>((3u * nearRow[j] + farRow[j] + 2u) >> 2);
}

// One chroma plane's part of a chunk: `pixels` pixels of the unit's rows,
// starting at pixel `column` of the picture. Outside 4:4:4 the rows hold the
// even pixels' samples only, as the kernels leave them.
// With `direct`, 4:2:0's means go straight into the plane (two-byte samples
// on a little-endian machine); the other layouts are already there.
void PutChroma(const DeepConversion* c, const Plane* plane, intptr_t unit, intptr_t column,
               const uint16_t (*rows)[ChunkPixels], int32_t pixels, uint16_t* reduced, bool direct) {
    if (c->format->layout == Chroma444) {
        if (!direct) Put(plane, unit, column, rows[0], pixels);
        return;
    }
    const int32_t pairs = pixels / 2;
    if (c->format->layout == Chroma422) {
        if (!direct) Put(plane, unit, column / 2, rows[0], pairs);
        return;
    }
    // 4:2:0 interlaced: the top field from rows 0 and 2 (row 0 the nearer),
    // the bottom field from rows 3 and 1.
    for (int field = 0; field < (c->fieldChroma ? 2 : 1); ++field) {
        const intptr_t row = c->fieldChroma ? 2 * unit + field : unit;
        uint16_t* out = direct ? reinterpret_cast<uint16_t*>(At(plane, row, column / 2)) : reduced;
        if (!c->fieldChroma)
            MeanOfRows(out, rows[0], rows[1], pairs);
        else if (field == 0)
            NearAndFar(out, rows[0], rows[2], pairs);
        else
            NearAndFar(out, rows[3], rows[1], pairs);
        if (!direct) Put(plane, row, column / 2, reduced, pairs);
    }
}

}  // namespace

void ConvertDeepFrame(const DeepConversion* c, uint8_t* destination, const uint8_t* source, int32_t width,
                      int32_t height) {
    const ColorFormatInfo* format = c->format;
    const int32_t unitRows = format->heightMultiple[c->fieldChroma ? 1 : 0];
    const int32_t pixelMultiple = format->widthMultiple;
    if (width < pixelMultiple || height < unitRows) return;
    const int32_t columns = width / pixelMultiple * pixelMultiple;
    const int32_t sampleBytes = SampleBytes(format);
    const int32_t pixelBytes = c->picture->pixelBytes;
    const intptr_t sourceRowBytes = static_cast<intptr_t>(width) * pixelBytes;
    const intptr_t chromaWidth = width >> format->chromaWidthShift;
    const intptr_t chromaHeight = height >> format->chromaHeightShift;
    const Plane luma = {destination, width, sampleBytes};
    const Plane u = {destination + static_cast<intptr_t>(width) * height * sampleBytes, chromaWidth, sampleBytes};
    const Plane v = {u.start + chromaWidth * chromaHeight * sampleBytes, chromaWidth, sampleBytes};
    const SampleMatrix* matrix = SampleMatrixFor(c->picture, format, height);

    // Two-byte samples on a little-endian machine are the planes' own bytes:
    // the kernels write luma (and chroma outside 4:2:0) straight into them.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    const bool direct = sampleBytes == 2;
#else
    const bool direct = false;
#endif
    const bool directChroma = direct && format->layout != Chroma420;
    ChunkSamples chunk;
    for (intptr_t unit = 0; unit < height / unitRows; ++unit) {
        for (int32_t column = 0; column < columns; column += ChunkPixels) {
            const int32_t pixels = columns - column < ChunkPixels ? columns - column : ChunkPixels;
            for (int32_t i = 0; i < unitRows; ++i) {
                const intptr_t row = unit * unitRows + i;
                const intptr_t chromaColumn = column >> format->chromaWidthShift;
                uint16_t* y = direct ? reinterpret_cast<uint16_t*>(At(&luma, row, column)) : chunk.y[i];
                uint16_t* cb = directChroma ? reinterpret_cast<uint16_t*>(At(&u, row, chromaColumn)) : chunk.cb[i];
                uint16_t* cr = directChroma ? reinterpret_cast<uint16_t*>(At(&v, row, chromaColumn)) : chunk.cr[i];
                c->samples(source + row * sourceRowBytes + static_cast<intptr_t>(column) * pixelBytes, pixels, matrix,
                           y, cb, cr, pixelMultiple);
                if (!direct) Put(&luma, row, column, y, pixels);
            }
            PutChroma(c, &u, unit, column, chunk.cb, pixels, chunk.reduced, direct);
            PutChroma(c, &v, unit, column, chunk.cr, pixels, chunk.reduced, direct);
        }
    }
}
