// The planar frame as the conversion rules describe it, computed sample by
// sample with no regard for speed: the yardstick for every converter, native
// and in the real module.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

enum FrameLayout { Progressive420, Interlaced420, Planar422 };

inline int64_t ModelFrameBytes(FrameLayout layout, int width, int height) {
    int64_t pixels = static_cast<int64_t>(width) * height;
    return layout == Planar422 ? pixels * 2 : pixels + pixels / 2;
}

// Frame size + `guard` bytes, every byte the rules leave alone holding `fill`.
inline std::vector<uint8_t> ModelFrame(FrameLayout layout, const uint8_t* src, int width, int height, size_t guard = 0,
                                       uint8_t fill = 0xA5) {
    int64_t size = ModelFrameBytes(layout, width, height);
    std::vector<uint8_t> out(static_cast<size_t>(size > 0 ? size : 0) + guard, fill);
    if (width < 2 || height < 1) return out;
    const int hw = width / 2;
    auto S = [&](int r, int b) { return static_cast<int>(src[static_cast<size_t>(r) * 2 * width + b]); };
    const int64_t luma = static_cast<int64_t>(width) * height;
    const int64_t uStart = luma;
    const int64_t vStart = layout == Planar422 ? luma + luma / 2 : luma + luma / 4;
    int lumaRows = height;
    if (layout == Progressive420) lumaRows = height / 2 * 2;
    if (layout == Interlaced420) lumaRows = height / 4 * 4;
    for (int r = 0; r < lumaRows; ++r)
        for (int x = 0; x < 2 * hw; ++x) out[static_cast<size_t>(r) * width + x] = static_cast<uint8_t>(S(r, 2 * x));
    auto put = [&](int k, int j, int u, int v) {
        out[static_cast<size_t>(uStart + static_cast<int64_t>(k) * hw + j)] = static_cast<uint8_t>(u);
        out[static_cast<size_t>(vStart + static_cast<int64_t>(k) * hw + j)] = static_cast<uint8_t>(v);
    };
    for (int j = 0; j < hw; ++j) {
        if (layout == Planar422) {
            for (int r = 0; r < height; ++r) put(r, j, S(r, 4 * j + 1), S(r, 4 * j + 3));
        } else if (layout == Progressive420) {
            for (int k = 0; k < height / 2; ++k)
                put(k, j, (S(2 * k, 4 * j + 1) + S(2 * k + 1, 4 * j + 1) + 1) / 2,
                    (S(2 * k, 4 * j + 3) + S(2 * k + 1, 4 * j + 3) + 1) / 2);
        } else {
            for (int k = 0; k < height / 4 * 2; ++k) {
                // Even chroma rows: top field, rows 4g (weight 3) and 4g+2.
                // Odd chroma rows: bottom field, rows 4g+3 (weight 3) and 4g+1.
                int g = k / 2;
                int nearRow = k % 2 == 0 ? 4 * g : 4 * g + 3;
                int farRow = k % 2 == 0 ? 4 * g + 2 : 4 * g + 1;
                put(k, j, (3 * S(nearRow, 4 * j + 1) + S(farRow, 4 * j + 1) + 2) / 4,
                    (3 * S(nearRow, 4 * j + 3) + S(farRow, 4 * j + 3) + 2) / 4);
            }
        }
    }
    return out;
}
