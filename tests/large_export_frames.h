// Frames of the exports past 4 GiB (native and under Wine): every frame a
// cheap pattern of its index, the last one random-like so that checking it
// covers every byte position.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

#include "tests/test_random.h"

// 1040 frames of 4:2:2 from YUY2, or 350 of 10-bit 4:4:4 from YC48: 4.3 GB either way.
enum { LargeExportWidth = 1920, LargeExportHeight = 1080, LargeExportFrames = 1040, LargeDeepExportFrames = 350 };

inline void FillLargeExportFrame(std::vector<uint8_t>* frame, int index, int frames = LargeExportFrames) {
    if (index == frames - 1) {
        FillRandom(frame->data(), frame->size(), 12345u + static_cast<uint32_t>(index));
        return;
    }
    for (size_t i = 0; i < frame->size(); ++i) (*frame)[i] = static_cast<uint8_t>(i + index);
}
