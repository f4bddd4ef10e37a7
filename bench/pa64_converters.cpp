// The PA64 converters to 10 bits (every variant, each layout, 1080p with
// BT.709 and 720x480 with BT.601) against memcpy of the PA64 frame and
// against libswscale doing the same conversion (rgba64le to yuv4xxp10le,
// accurate rounding, the same matrix and limited range), all in this
// process. Prints a Markdown table: microseconds a frame (median of the
// runs) and the time over memcpy's.   pa64_converters [RUNS]
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

extern "C" {
#include <libswscale/swscale.h>
}

#include "convert/converter_table.h"
#include "export/export_job.h"

namespace {

uint8_t* Aligned(std::vector<uint8_t>* storage, size_t size) {
    storage->resize(size + 64);
    return storage->data() + (64 - reinterpret_cast<uintptr_t>(storage->data()) % 64) % 64;
}

double MedianMicroseconds(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? atoi(argv[1]) : 100;
    const struct {
        int width, height;
        const char* matrix;
    } sizes[] = {{1920, 1080, "BT.709"}, {720, 480, "BT.601"}};
    const struct {
        int32_t code;
        const char* name;
        AVPixelFormat swscale;
    } layouts[] = {{Yuv420P10, "420p10", AV_PIX_FMT_YUV420P10LE},
                   {Yuv422P10, "422p10", AV_PIX_FMT_YUV422P10LE},
                   {Yuv444P10, "444p10", AV_PIX_FMT_YUV444P10LE}};
    printf("| size | matrix | converter | us/frame | / memcpy |\n|---|---|---|---|---|\n");
    for (const auto& size : sizes) {
        const int w = size.width, h = size.height;
        const size_t inBytes = static_cast<size_t>(8) * w * h;
        std::vector<uint8_t> inStorage, outStorage, copyStorage;
        uint8_t* in = Aligned(&inStorage, inBytes);
        uint8_t* out = Aligned(&outStorage, static_cast<size_t>(6) * w * h);
        uint8_t* copy = Aligned(&copyStorage, inBytes);
        // A premultiplied picture: colour at most alpha.
        for (size_t p = 0; p < inBytes / 8; ++p) {
            uint16_t px[4] = {static_cast<uint16_t>(p * 2654435761u >> 16), static_cast<uint16_t>(p * 40503u),
                              static_cast<uint16_t>(p * 7919u), 65535};
            memcpy(in + 8 * p, px, 8);
        }
        const double memcpyTime = MedianMicroseconds(runs, [&] { memcpy(copy, in, inBytes); });
        printf("| %dx%d | | memcpy of the PA64 frame | %.1f | 1.00 |\n", w, h, memcpyTime);
        for (const auto& layout : layouts) {
            OutputSettings settings = {};
            settings.colorFormat = layout.code;
            for (int v = 0; v < ConverterVariantCount(); ++v) {
                const ConverterVariant* variant = ConverterVariantAt(v);
                if (!variant->available()) continue;
                const FrameConverter convert = ChooseFrameConverterOf(variant, &settings, FrameFormatPa64);
                const double t =
                    MedianMicroseconds(variant->name[0] == 'C' ? runs / 10 + 1 : runs, [&] { convert(out, in, w, h); });
                printf("| %dx%d | %s | %s %s | %.1f | %.2f |\n", w, h, size.matrix, variant->name, layout.name, t,
                       t / memcpyTime);
            }
            SwsContext* sws = sws_getContext(w, h, AV_PIX_FMT_RGBA64LE, w, h, layout.swscale,
                                             SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
            const int* table = sws_getCoefficients(h >= 720 ? SWS_CS_ITU709 : SWS_CS_ITU601);
            sws_setColorspaceDetails(sws, table, 1, table, 0, 0, 1 << 16, 1 << 16);
            const int shift = layout.code == Yuv444P10 ? 0 : 1;
            uint8_t* planes[3] = {out, out + 2 * w * h, out + 2 * w * h + 2 * (w >> shift) * h};
            const int strides[3] = {2 * w, 2 * (w >> shift), 2 * (w >> shift)};
            const uint8_t* sources[1] = {in};
            const int sourceStrides[1] = {8 * w};
            const double t = MedianMicroseconds(runs / 10 + 1,
                                                [&] { sws_scale(sws, sources, sourceStrides, 0, h, planes, strides); });
            printf("| %dx%d | %s | libswscale rgba64le to yuv%sle | %.1f | %.2f |\n", w, h, size.matrix, layout.name, t,
                   t / memcpyTime);
            sws_freeContext(sws);
        }
    }
    return 0;
}
