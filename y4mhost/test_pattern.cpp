#include "y4mhost/test_pattern.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

struct Colour {
    uint8_t y, u, v;
};

// 75% bars in BT.601 studio range: white, yellow, cyan, green, magenta, red, blue, black.
static const Colour Bars[8] = {{180, 128, 128}, {162, 44, 142}, {131, 156, 44}, {112, 72, 58},
                               {84, 184, 198},  {65, 100, 212}, {35, 212, 114}, {16, 128, 128}};
static const Colour Box = {235, 128, 128};
static const Colour DigitInk = {235, 128, 128};
static const Colour DigitPaper = {16, 128, 128};

// 3 x 5 block digits, one row per 3-bit group, top row first.
static const uint16_t Digits[10] = {075557, 022222, 071747, 071717, 055711, 074717, 074757, 071111, 075757, 075717};

static void PutPair(uint8_t* row, int32_t pair, Colour colour) {
    uint8_t* p = row + 4 * pair;
    p[0] = colour.y;
    p[1] = colour.u;
    p[2] = colour.y;
    p[3] = colour.v;
}

// Position along a path of `span` that bounces between its ends.
static int32_t Bounce(int64_t step, int32_t span) {
    if (span <= 0) return 0;
    int64_t period = 2 * static_cast<int64_t>(span);
    int64_t at = step % period;
    return static_cast<int32_t>(at < span ? at : period - at);
}

void DrawTestPattern(uint8_t* yuy2, int32_t width, int32_t height, int32_t frame, int32_t fieldOrder) {
    const int32_t pairs = width / 2;
    const int32_t rowBytes = 2 * width;
    if (pairs <= 0 || height <= 0) return;
    const int32_t barShift = static_cast<int32_t>((static_cast<int64_t>(frame) * 4) % (pairs > 0 ? pairs : 1));
    const int32_t boxSize = (height / 5) & ~1;
    const int32_t boxPairs = boxSize / 2 > 0 ? boxSize / 2 : 1;

    // Digits: six of them, centred, blocks of `unit` pixels pairs.
    const int32_t unit = height / 40 > 1 ? height / 40 : 1;  // in pixel pairs horizontally and rows
    char number[16];
    int count = snprintf(number, sizeof number, "%06d", frame % 1000000);
    const int32_t digitPairs = 4 * unit;
    const int32_t textPairs = count * digitPairs + unit;
    const int32_t textLeft = (pairs - textPairs) / 2;
    const int32_t textTop = height - 7 * unit * 2 - height / 20;

    for (int32_t r = 0; r < height; ++r) {
        uint8_t* row = yuy2 + static_cast<int64_t>(r) * rowBytes;
        // The moment this row shows: in interlaced modes the field drawn
        // first is at 2 x frame, the other half a frame later.
        int64_t moment = 2 * static_cast<int64_t>(frame);
        if (fieldOrder == 1 && (r & 1)) moment += 1;
        if (fieldOrder == 2 && !(r & 1)) moment += 1;
        const int32_t boxLeft = Bounce(moment * 3, pairs - boxPairs);
        const int32_t boxTop = Bounce(moment * 2, height - boxSize);

        for (int32_t j = 0; j < pairs; ++j) {
            int32_t bar = static_cast<int32_t>((static_cast<int64_t>(j + barShift) % pairs) * 8 / pairs);
            PutPair(row, j, Bars[bar]);
        }
        if (r >= boxTop && r < boxTop + boxSize)
            for (int32_t j = boxLeft; j < boxLeft + boxPairs && j < pairs; ++j) PutPair(row, j, Box);

        int32_t textRow = r - textTop;
        if (textRow >= 0 && textRow < 7 * unit * 2 && textLeft >= 0) {
            for (int32_t j = textLeft; j < textLeft + textPairs && j < pairs; ++j) PutPair(row, j, DigitPaper);
            int32_t glyphRow = textRow / (unit * 2) - 1;  // one block of margin above
            if (glyphRow >= 0 && glyphRow < 5) {
                for (int d = 0; d < count; ++d) {
                    uint16_t glyph = Digits[number[d] - '0'];
                    int bits = (glyph >> (3 * (4 - glyphRow))) & 7;
                    for (int column = 0; column < 3; ++column) {
                        if (!(bits & (4 >> column))) continue;
                        int32_t start = textLeft + unit + d * digitPairs + column * unit;
                        for (int32_t j = start; j < start + unit && j < pairs; ++j) PutPair(row, j, DigitInk);
                    }
                }
            }
        }
    }
}
