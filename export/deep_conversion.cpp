#include "export/deep_conversion.h"

#include "export/export_job.h"

namespace {

// Pixels converted at a time: the samples of up to four rows stay on the
// stack (12 KiB) and in the first-level cache. Even, so no chroma pair is split.
enum { ChunkPixels = 512, MaxUnitRows = 4 };

struct ChunkSamples {
    uint16_t y[MaxUnitRows][ChunkPixels];
    uint16_t cb[MaxUnitRows][ChunkPixels];
    uint16_t cr[MaxUnitRows][ChunkPixels];
};

// Where a plane's row starts, and how a sample is stored in it.
struct PlaneWriter {
    uint8_t* start;
    intptr_t rowSamples;
    int32_t sampleBytes;
};

inline void Store(const PlaneWriter* plane, intptr_t row, intptr_t column, uint32_t value) {
    uint8_t* at = plane->start + (row * plane->rowSamples + column) * plane->sampleBytes;
    at[0] = static_cast<uint8_t>(value);
    if (plane->sampleBytes == 2) at[1] = static_cast<uint8_t>(value >> 8);
}

void StoreRow(const PlaneWriter* plane, intptr_t row, intptr_t column, const uint16_t* samples, int32_t count) {
    uint8_t* at = plane->start + (row * plane->rowSamples + column) * plane->sampleBytes;
    if (plane->sampleBytes == 2) {
        for (int32_t i = 0; i < count; ++i) {
            at[2 * i] = static_cast<uint8_t>(samples[i]);
            at[2 * i + 1] = static_cast<uint8_t>(samples[i] >> 8);
        }
    } else {
        for (int32_t i = 0; i < count; ++i) at[i] = static_cast<uint8_t>(samples[i]);
    }
}

// One chroma plane's part of a chunk: `pixels` pixels of the unit's rows,
// starting at pixel `column` of the picture.
void StoreChroma(const DeepConversion* c, const PlaneWriter* plane, intptr_t unit, intptr_t column,
                 const uint16_t (*rows)[ChunkPixels], int32_t pixels) {
    if (c->layout == Chroma444) {
        StoreRow(plane, unit, column, rows[0], pixels);
        return;
    }
    const int32_t pairs = pixels / 2;
    const intptr_t first = column / 2;
    if (c->layout == Chroma422) {
        for (int32_t j = 0; j < pairs; ++j) Store(plane, unit, first + j, rows[0][2 * j]);
    } else if (!c->interlaced) {
        for (int32_t j = 0; j < pairs; ++j)
            Store(plane, unit, first + j, (rows[0][2 * j] + rows[1][2 * j] + 1u) >> 1);
    } else {
        // Top field: rows 0 and 2, row 0 the nearer; bottom field: rows 3 and 1.
        for (int32_t j = 0; j < pairs; ++j) {
            Store(plane, 2 * unit, first + j, (3u * rows[0][2 * j] + rows[2][2 * j] + 2u) >> 2);
            Store(plane, 2 * unit + 1, first + j, (3u * rows[3][2 * j] + rows[1][2 * j] + 2u) >> 2);
        }
    }
}

}  // namespace

int32_t PictureBytesPerPixel(uint32_t picture) { return picture == FrameFormatPa64 ? 8 : 6; }

void ConvertDeepFrame(const DeepConversion* c, uint8_t* destination, const uint8_t* source, int32_t width,
                      int32_t height) {
    const int32_t unitRows = c->layout != Chroma420 ? 1 : c->interlaced ? 4 : 2;
    const int32_t pixelMultiple = c->layout == Chroma444 ? 1 : 2;
    if (width < pixelMultiple || height < unitRows) return;
    const int32_t columns = width / pixelMultiple * pixelMultiple;
    const int32_t sampleBytes = c->bits > 8 ? 2 : 1;
    const intptr_t sourceRowBytes = static_cast<intptr_t>(width) * PictureBytesPerPixel(c->picture);
    const intptr_t chromaWidth = width >> ChromaWidthShift(c->layout);
    const intptr_t chromaHeight = height >> ChromaHeightShift(c->layout);
    const intptr_t lumaBytes = static_cast<intptr_t>(width) * height * sampleBytes;
    const PlaneWriter luma = {destination, width, sampleBytes};
    const PlaneWriter u = {destination + lumaBytes, chromaWidth, sampleBytes};
    const PlaneWriter v = {u.start + chromaWidth * chromaHeight * sampleBytes, chromaWidth, sampleBytes};
    const SampleMatrix* matrix = SampleMatrixFor(c->picture, height, c->bits);

    ChunkSamples chunk;
    for (intptr_t unit = 0; unit < height / unitRows; ++unit) {
        for (int32_t column = 0; column < columns; column += ChunkPixels) {
            const int32_t pixels = columns - column < ChunkPixels ? columns - column : ChunkPixels;
            for (int32_t i = 0; i < unitRows; ++i) {
                const intptr_t row = unit * unitRows + i;
                c->samples(source + row * sourceRowBytes + column * PictureBytesPerPixel(c->picture), pixels, matrix,
                           chunk.y[i], chunk.cb[i], chunk.cr[i]);
                StoreRow(&luma, row, column, chunk.y[i], pixels);
            }
            StoreChroma(c, &u, unit, column, chunk.cb, pixels);
            StoreChroma(c, &v, unit, column, chunk.cr, pixels);
        }
    }
}
