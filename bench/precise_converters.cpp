// One precise picture's converters (every variant, 8-bit 4:4:4 and each
// layout at 10 and 12 bits, 1080p with BT.709 and 720x480 with BT.601) against a memcpy of the
// picture and against libswscale doing the nearest same work, all in this
// process. Built twice: pa64_converters (ExEdit2's PA64; libswscale from
// rgba64le, the same matrix and limited range) and yc48_converters (AviUtl
// 1.x's YC48; libswscale from yuv444p16le, a depth and layout change, as it
// has no YC48). Each run reads a different frame of a set at least twice the
// last-level cache, so a frame never starts in the cache and memcpy is
// timed as the memory-bound copy it is. Prints a Markdown table:
// microseconds a frame (median of the runs) and the time over memcpy's.
//   pa64_converters [RUNS]   yc48_converters [RUNS]
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

extern "C" {
#include <libswscale/swscale.h>
}

#include "convert/colour_matrices.h"
#include "convert/converter_table.h"
#include "export/export_job.h"

namespace {

#if BENCH_YC48
const uint32_t Picture = FrameFormatYc48;
const AVPixelFormat SwscaleInput = AV_PIX_FMT_YUV444P16LE;
const char* const SwscaleName = "yuv444p16le";
#else
const uint32_t Picture = FrameFormatPa64;
const AVPixelFormat SwscaleInput = AV_PIX_FMT_RGBA64LE;
const char* const SwscaleName = "rgba64le";
#endif

size_t LastLevelCacheBytes(void) {
    long bytes = sysconf(_SC_LEVEL3_CACHE_SIZE);
    if (bytes <= 0) bytes = sysconf(_SC_LEVEL2_CACHE_SIZE);
    return bytes > 0 ? static_cast<size_t>(bytes) : static_cast<size_t>(64) << 20;
}

// `count` buffers of `size` bytes, each 64-byte aligned.
struct FrameSet {
    std::vector<uint8_t> storage;
    size_t size, stride;
    int count;
    uint8_t* at(int i) {
        uint8_t* base = storage.data() + (64 - reinterpret_cast<uintptr_t>(storage.data()) % 64) % 64;
        return base + static_cast<size_t>(i % count) * stride;
    }
};
void MakeFrameSet(FrameSet* set, size_t size, int count) {
    set->size = size;
    set->stride = (size + 63) / 64 * 64;
    set->count = count;
    set->storage.assign(set->stride * static_cast<size_t>(count) + 64, 0);
}

double MedianMicroseconds(int runs, const std::function<void(int)>& work) {
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        auto start = std::chrono::steady_clock::now();
        work(r);
        times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Pictures as a host makes them: YC48 near its nominal range (Y 0 to 4096,
// Cb and Cr -2048 to 2048, a little beyond), PA64 premultiplied and opaque.
void FillPicture(uint8_t* p, size_t pixels, uint32_t seed) {
    for (size_t i = 0; i < pixels; ++i) {
        const uint32_t h = static_cast<uint32_t>(i + seed) * 2654435761u;
        uint16_t px[4];
        if (Picture == FrameFormatYc48) {
            px[0] = static_cast<uint16_t>(static_cast<int16_t>((h >> 8) % 4400) - 150);
            px[1] = static_cast<uint16_t>(static_cast<int16_t>((h >> 3) % 4400) - 2200);
            px[2] = static_cast<uint16_t>(static_cast<int16_t>((h >> 13) % 4400) - 2200);
        } else {
            px[0] = static_cast<uint16_t>(h >> 16), px[1] = static_cast<uint16_t>(h * 40503u >> 16);
            px[2] = static_cast<uint16_t>(h * 7919u >> 16), px[3] = 65535;
        }
        memcpy(p + static_cast<size_t>(FramePixelBytes(Picture)) * i, px,
               static_cast<size_t>(FramePixelBytes(Picture)));
    }
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
        AVPixelFormat swscale;
        const char* swscaleName;
    } formats[] = {{Yuv444, AV_PIX_FMT_YUV444P, "yuv444p"},
                   {Yuv420P10, AV_PIX_FMT_YUV420P10LE, "yuv420p10le"},
                   {Yuv422P10, AV_PIX_FMT_YUV422P10LE, "yuv422p10le"},
                   {Yuv444P10, AV_PIX_FMT_YUV444P10LE, "yuv444p10le"},
                   {Yuv420P12, AV_PIX_FMT_YUV420P12LE, "yuv420p12le"},
                   {Yuv422P12, AV_PIX_FMT_YUV422P12LE, "yuv422p12le"},
                   {Yuv444P12, AV_PIX_FMT_YUV444P12LE, "yuv444p12le"}};
    const char* name = FindHostPicture(Picture)->name;
    const size_t cache = LastLevelCacheBytes();
    printf("frames of %s; each run reads the next of a set at least twice the last-level cache (%zu KiB)\n\n", name,
           cache >> 10);
    printf("| size | matrix | converter | us/frame | / memcpy |\n|---|---|---|---|---|\n");
    for (const auto& size : sizes) {
        const int w = size.width, h = size.height;
        const size_t inBytes = static_cast<size_t>(FramePixelBytes(Picture)) * w * h;
        const size_t outBytes = static_cast<size_t>(6) * w * h;
        const int count = static_cast<int>(std::max<size_t>(2, (2 * cache + inBytes - 1) / inBytes));
        FrameSet in, out, planar;
        MakeFrameSet(&in, inBytes, count);
        MakeFrameSet(&out, std::max(outBytes, inBytes), count);
        for (int i = 0; i < count; ++i) FillPicture(in.at(i), inBytes / FramePixelBytes(Picture), 7919u * i);
        const double memcpyTime = MedianMicroseconds(runs, [&](int r) { memcpy(out.at(r), in.at(r), inBytes); });
        printf("| %dx%d | | memcpy of the %s frame | %.1f | 1.00 |\n", w, h, name, memcpyTime);
        // libswscale's input: the same frames, as its nearest format.
        const size_t swsBytes = Picture == FrameFormatYc48 ? static_cast<size_t>(6) * w * h : inBytes;
        MakeFrameSet(&planar, swsBytes, count);
        for (int i = 0; i < count; ++i) memcpy(planar.at(i), in.at(i), std::min(inBytes, swsBytes));
        for (const auto& format : formats) {
            const ColorFormatInfo* row = FindColorFormat(format.code);
            OutputSettings settings = {};
            settings.colorFormat = format.code;
            for (int v = 0; v < ConverterVariantCount(); ++v) {
                const ConverterVariant* variant = ConverterVariantAt(v);
                if (!variant->available()) continue;
                const FrameConverter convert = ChooseFrameConverterOf(variant, &settings, Picture);
                const double t = MedianMicroseconds(variant->name[0] == 'C' ? runs / 10 + 1 : runs,
                                                    [&](int r) { convert(out.at(r), in.at(r), w, h); });
                printf("| %dx%d | %s | %s %s | %.1f | %.2f |\n", w, h, size.matrix, variant->name, row->option, t,
                       t / memcpyTime);
            }
            SwsContext* sws = sws_getContext(w, h, SwscaleInput, w, h, format.swscale, SWS_BILINEAR | SWS_ACCURATE_RND,
                                             nullptr, nullptr, nullptr);
            const int* table = sws_getCoefficients(UsesBt709(h) ? SWS_CS_ITU709 : SWS_CS_ITU601);
            sws_setColorspaceDetails(sws, table, 0, table, 0, 0, 1 << 16, 1 << 16);
            const int chromaWidth = w >> row->chromaWidthShift, chromaHeight = h >> row->chromaHeightShift;
            const int bytes = SampleBytes(row);
            const int strides[3] = {bytes * w, bytes * chromaWidth, bytes * chromaWidth};
            const int sourceStrides[3] = {Picture == FrameFormatYc48 ? 2 * w : 8 * w, 2 * w, 2 * w};
            const double t = MedianMicroseconds(runs / 10 + 1, [&](int r) {
                uint8_t* o = out.at(r);
                uint8_t* planes[3] = {o, o + bytes * w * h, o + bytes * (w * h + chromaWidth * chromaHeight)};
                const uint8_t* s = planar.at(r);
                const uint8_t* sources[3] = {s, s + 2 * w * h, s + 4 * w * h};
                sws_scale(sws, sources, sourceStrides, 0, h, planes, strides);
            });
            printf("| %dx%d | %s | libswscale %s to %s | %.1f | %.2f |\n", w, h, size.matrix, SwscaleName,
                   format.swscaleName, t, t / memcpyTime);
            sws_freeContext(sws);
        }
    }
    return 0;
}
