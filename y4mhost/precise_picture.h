// Pictures made the way the hosts hold them when an output plug-in asks for
// their precise form: AviUtl 1.x's YC48 and ExEdit2's PA64, made exactly from
// Y'CbCr samples so that the plug-in's deep formats give those samples back.
//
// YC48 is BT.601 Y'CbCr in 1/4096 of the nominal range: y = round(4096 Y'),
// cb = round(4096 Pb), cr = round(4096 Pr). PA64 is R'G'B' in 1/65535, alpha
// 65535. Samples are read with BT.709 from 720 lines, BT.601 below, the rule
// the plug-in applies the other way; each chroma sample is repeated over the
// pixels it covers (within its field, for interlaced 4:2:0).
#pragma once

#include <stdint.h>

// Samples of one depth (8 to 12 bits) in three planes, the chroma planes
// subsampled by 2^chromaWidthShift x 2^chromaHeightShift. A sample takes 1 or
// 2 bytes (little-endian) and lies `step` bytes after the one before it in
// its row, so packed YUY2 is three planes too.
struct SamplePlanes {
    const uint8_t* start[3];
    intptr_t stride[3];
    int32_t step[3];
    int32_t sampleBytes;
    int32_t depth;
    int32_t chromaWidthShift, chromaHeightShift;
    bool interlaced;  // 4:2:0 chroma rows alternate between the fields
};

// YUY2 frames (the pattern and raw input) as planes: 8-bit 4:2:2.
SamplePlanes Yuy2Planes(const uint8_t* yuy2, int32_t width);

// width x height pixels into `out` as `picture` (FrameFormatYc48: 6 bytes a
// pixel, FrameFormatPa64: 8), rows top first with no padding. `fromYcbcr`:
// the samples are a Y'CbCr source's own, so what the picture clips is counted
// (samples made from an RGB source lie outside R'G'B' by their rounding only).
void PackPrecisePicture(const SamplePlanes& planes, int32_t width, int32_t height, uint32_t picture, uint8_t* out,
                        bool fromYcbcr);

// The same in parts, for threads that share a picture's rows: prepare once
// (on one thread), then rows [first, end) on each, each giving the pixels it
// clipped; then count them, with the picture's pixels when fromYcbcr.
void PreparePrecisePicture(const SamplePlanes& planes, int32_t height, uint32_t picture);
int64_t PackPreciseRows(const SamplePlanes& planes, int32_t width, int32_t first, int32_t end, uint8_t* out);
void CountPreciseClips(int64_t pixels, int64_t clipped);

// Pixels of Y'CbCr sources packed so far, and those of them whose colour the
// picture could not hold and were clipped: in PA64, every colour outside
// R'G'B''s range, as ExEdit2 clips it. Read once the packing has stopped.
struct ClipCount {
    int64_t pixels, clipped;
};
ClipCount PreciseClipCount(void);
