// Every converter variant of the 32-bit build against the scalar reference,
// run under Wine: the SSE2 kernels as the module runs them, on a stack the
// host may have aligned to 4 bytes only.
#include <stdio.h>
#include <string.h>

#include <vector>

#include "export/converter_variants.h"
#include "tests/wine/host_harness.h"

static std::vector<uint8_t> Random(size_t count, uint32_t seed) {
    std::vector<uint8_t> bytes(count);
    uint32_t state = seed * 2654435761u + 1;
    for (uint8_t& b : bytes) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(state >> 24);
    }
    return bytes;
}

static std::vector<uint8_t> Convert(FrameConverter convert, const std::vector<uint8_t>& src, int width, int height,
                                    size_t size) {
    std::vector<uint8_t> shifted(src.size() + 1);
    if (!src.empty()) memcpy(shifted.data() + 1, src.data(), src.size());
    std::vector<uint8_t> out(size + 96, 0x5A);
    convert(out.data(), shifted.data() + 1, width, height);
    return out;
}

// Calls the converter with the stack pointer 4 bytes off 16-byte alignment,
// as a host built without stack realignment may.
static void __attribute__((noinline))
ConvertMisaligned(FrameConverter convert, uint8_t* out, const uint8_t* in, int width, int height) {
    struct {
        FrameConverter convert;
        uint8_t* out;
        const uint8_t* in;
        int width, height;
    } call = {convert, out, in, width, height};
    __asm__ volatile(
        "mov %%esp, %%esi\n\t"
        "and $-16, %%esp\n\t"
        "sub $4, %%esp\n\t"
        "push 16(%0)\n\t"
        "push 12(%0)\n\t"
        "push 8(%0)\n\t"
        "push 4(%0)\n\t"
        "call *(%0)\n\t"
        "mov %%esi, %%esp"
        :
        : "r"(&call)
        : "eax", "ecx", "edx", "esi", "memory", "cc");
}

void TestVariants() {
    const ConverterVariant* reference = ConverterVariantAt(0);
    int checked = 0;
    for (int i = 1; i < ConverterVariantCount(); ++i) {
        const ConverterVariant* variant = ConverterVariantAt(i);
        if (!variant->available()) continue;
        printf("variant %s\n", variant->name);
        std::vector<std::pair<int, int>> shapes;
        for (int w = 2; w <= 130; w += 2)
            for (int h : {1, 2, 3, 4, 5, 6, 7, 8, 9, 12}) shapes.push_back({w, h});
        for (int w = 1900; w <= 1940; w += 2) shapes.push_back({w, 6});
        for (int w : {1, 3, 33, 65, 1921}) shapes.push_back({w, 9});
        for (auto [w, h] : shapes) {
            std::vector<uint8_t> src = Random(static_cast<size_t>(2 * w * h), w * 7919 + h);
            size_t size420 = static_cast<size_t>(w * h + w * h / 2), size422 = static_cast<size_t>(2 * w * h);
            CHECK_EQ(Convert(variant->progressive420, src, w, h, size420),
                     Convert(reference->progressive420, src, w, h, size420));
            CHECK_EQ(Convert(variant->interlaced420, src, w, h, size420),
                     Convert(reference->interlaced420, src, w, h, size420));
            CHECK_EQ(Convert(variant->planar422, src, w, h, size422),
                     Convert(reference->planar422, src, w, h, size422));
            ++checked;
        }
        // The same through a misaligned stack.
        const int w = 1920, h = 8;
        std::vector<uint8_t> src = Random(static_cast<size_t>(2 * w * h), 99);
        for (FrameConverter convert : {variant->progressive420, variant->interlaced420, variant->planar422}) {
            std::vector<uint8_t> out(static_cast<size_t>(2 * w * h), 0);
            ConvertMisaligned(convert, out.data(), src.data(), w, h);
            std::vector<uint8_t> expected(out.size(), 0);
            FrameConverter same = convert == variant->progressive420  ? reference->progressive420
                                  : convert == variant->interlaced420 ? reference->interlaced420
                                                                      : reference->planar422;
            same(expected.data(), src.data(), w, h);
            CHECK_EQ(out, expected);
        }
    }
    CHECK(checked > 0);  // this build and CPU run at least SSE2
}
