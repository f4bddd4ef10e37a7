// Converter throughput against memcpy of the same input and against libyuv,
// for SD, HD and UHD frames. Prints time per frame and input GB/s; the ratios
// are computed from the JSON output by bench/report.py.
#include <benchmark/benchmark.h>
#include <libyuv/convert.h>
#include <libyuv/planar_functions.h>

#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "convert/converter_table.h"

namespace {

struct Size {
    int width, height;
};
const Size Sizes[] = {{720, 480}, {1920, 1080}, {3840, 2160}};

// Cache-line aligned buffers for every contender, as the plug-in's own
// FrameBuffer is; the source size is 2 x width x height.
struct AlignedBytes {
    std::vector<uint8_t> storage;
    uint8_t* bytes;
    size_t size;
    uint8_t* data() { return bytes; }
};

AlignedBytes Aligned(size_t size) {
    AlignedBytes b;
    b.storage.resize(size + 64);
    uintptr_t address = reinterpret_cast<uintptr_t>(b.storage.data());
    b.bytes = b.storage.data() + ((64 - address % 64) % 64);
    b.size = size;
    return b;
}

struct Buffers {
    AlignedBytes source, destination;
};

Buffers Make(const Size& size) {
    Buffers b;
    b.source = Aligned(static_cast<size_t>(2 * size.width * size.height));
    for (size_t i = 0; i < b.source.size; ++i) b.source.bytes[i] = static_cast<uint8_t>(i * 2654435761u >> 24);
    b.destination = Aligned(b.source.size);
    return b;
}

void Finish(benchmark::State& state, const Size& size) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2 * size.width * size.height);
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void Memcpy(benchmark::State& state, Size size) {
    Buffers b = Make(size);
    for (auto _ : state) {
        memcpy(b.destination.data(), b.source.data(), b.source.size);
        benchmark::ClobberMemory();
    }
    Finish(state, size);
}

void Ours(benchmark::State& state, FrameConverter convert, Size size) {
    Buffers b = Make(size);
    for (auto _ : state) {
        convert(b.destination.data(), b.source.data(), size.width, size.height);
        benchmark::ClobberMemory();
    }
    Finish(state, size);
}

void Libyuv(benchmark::State& state, bool planar422, Size size) {
    Buffers b = Make(size);
    const int w = size.width, h = size.height;
    uint8_t* y = b.destination.data();
    uint8_t* u = y + w * h;
    uint8_t* v = u + (planar422 ? w * h / 2 : w * h / 4);
    for (auto _ : state) {
        if (planar422)
            libyuv::YUY2ToI422(b.source.data(), 2 * w, y, w, u, w / 2, v, w / 2, w, h);
        else
            libyuv::YUY2ToI420(b.source.data(), 2 * w, y, w, u, w / 2, v, w / 2, w, h);
        benchmark::ClobberMemory();
    }
    Finish(state, size);
}

int Register() {
    for (const Size& size : Sizes) {
        std::string dims = std::to_string(size.width) + "x" + std::to_string(size.height);
        benchmark::RegisterBenchmark(("memcpy/" + dims).c_str(), Memcpy, size);
        benchmark::RegisterBenchmark(("libyuv/YUY2ToI420/" + dims).c_str(), Libyuv, false, size);
        benchmark::RegisterBenchmark(("libyuv/YUY2ToI422/" + dims).c_str(), Libyuv, true, size);
        for (int i = 0; i < ConverterVariantCount(); ++i) {
            const ConverterVariant* variant = ConverterVariantAt(i);
            if (!variant->available()) continue;
            std::string prefix = std::string(variant->name) + "/";
            benchmark::RegisterBenchmark((prefix + "ConvertYUY2To420/" + dims).c_str(), Ours,
                                         ConverterIn(variant, FrameFormatYuy2, Yuv420, false), size);
            benchmark::RegisterBenchmark((prefix + "ConvertYUY2To420Interlaced/" + dims).c_str(), Ours,
                                         ConverterIn(variant, FrameFormatYuy2, Yuv420, true), size);
            benchmark::RegisterBenchmark((prefix + "ConvertYUY2To422/" + dims).c_str(), Ours,
                                         ConverterIn(variant, FrameFormatYuy2, Yuv422, false), size);
        }
    }
    return 0;
}

const int Registered = Register();

}  // namespace

BENCHMARK_MAIN();
