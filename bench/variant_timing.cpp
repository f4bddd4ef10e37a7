// Time per frame of every converter variant this build holds, with nothing
// but the standard library, so the same source measures the 64-bit native
// build and the 32-bit module's code under Wine.  variant_timing [REPEATS]
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "convert/converter_table.h"

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? atoi(argv[1]) : 200;
    const int sizes[][2] = {{720, 480}, {1920, 1080}, {3840, 2160}};
    printf("%-6s %-28s %-10s %12s\n", "build", "converter", "size", "us/frame");
    for (auto& size : sizes) {
        const int w = size[0], h = size[1];
        // 64-byte aligned, as the plug-in's FrameBuffer.
        std::vector<uint8_t> sourceStorage(static_cast<size_t>(2 * w * h) + 64), outStorage(sourceStorage.size());
        uint8_t* source = sourceStorage.data() + (64 - reinterpret_cast<uintptr_t>(sourceStorage.data()) % 64) % 64;
        uint8_t* out = outStorage.data() + (64 - reinterpret_cast<uintptr_t>(outStorage.data()) % 64) % 64;
        for (int i = 0; i < 2 * w * h; ++i) source[i] = static_cast<uint8_t>(i * 2654435761u >> 24);
        for (int v = 0; v < ConverterVariantCount(); ++v) {
            const ConverterVariant* variant = ConverterVariantAt(v);
            if (!variant->available()) continue;
            struct {
                const char* name;
                FrameConverter convert;
            } converters[] = {
                {"ConvertYUY2To420", ConverterIn(variant, FrameFormatYuy2, Yuv420, false)},
                {"ConvertYUY2To420Interlaced", ConverterIn(variant, FrameFormatYuy2, Yuv420, true)},
                {"ConvertYUY2To422", ConverterIn(variant, FrameFormatYuy2, Yuv422, false)},
            };
            for (auto& c : converters) {
                std::vector<double> times;
                int runs = variant->name[0] == 'C' ? repeats / 10 + 1 : repeats;
                for (int r = 0; r < runs; ++r) {
                    auto start = std::chrono::steady_clock::now();
                    c.convert(out, source, w, h);
                    auto end = std::chrono::steady_clock::now();
                    times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
                }
                std::sort(times.begin(), times.end());
                printf("%-6s %-28s %4dx%-5d %12.1f\n", sizeof(void*) == 8 ? "64-bit" : "32-bit",
                       (std::string(variant->name) + "/" + c.name).c_str(), w, h, times[times.size() / 2]);
            }
        }
    }
    return 0;
}
