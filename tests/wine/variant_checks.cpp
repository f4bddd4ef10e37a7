// Every converter variant of the Windows build against the scalar reference,
// run under Wine: the kernels as the module runs them, and in the 32-bit
// build on a stack the host may have aligned to 4 bytes only (the 64-bit
// calling convention keeps it at 16).
#include <stdio.h>
#include <string.h>

#include <vector>

#include "tests/variant_compare.h"
#include "tests/wine/host_harness.h"

#if !defined(_WIN64)
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
#else
static void ConvertMisaligned(FrameConverter convert, uint8_t* out, const uint8_t* in, int width, int height) {
    convert(out, in, width, height);
}
#endif

void TestVariants() {
    const ConverterVariant* reference = ConverterVariantAt(0);
    int checked = 0;
    for (const ConverterVariant* variant : RunnableVariants()) {
        printf("variant %s\n", variant->name);
        CHECK_EQ(CompareVariantOnShapes(variant, reference), std::string());
        ++checked;
        // The same through a misaligned stack.
        const int w = 1920, h = 8;
        std::vector<uint8_t> src = RandomBytes(static_cast<size_t>(2 * w * h), 99);
        const struct {
            int32_t code;
            bool interlaced;
        } yuy2Slots[] = {{Yuv420, false}, {Yuv420, true}, {Yuv422, false}};
        for (const auto& slot : yuy2Slots) {
            std::vector<uint8_t> out(static_cast<size_t>(2 * w * h), 0);
            ConvertMisaligned(ConverterIn(variant, FrameFormatYuy2, slot.code, slot.interlaced), out.data(), src.data(),
                              w, h);
            std::vector<uint8_t> expected(out.size(), 0);
            ConverterIn(reference, FrameFormatYuy2, slot.code, slot.interlaced)(expected.data(), src.data(), w, h);
            CHECK_EQ(out, expected);
        }
    }
    CHECK(checked > 0);  // this build and CPU run at least SSE2
}
