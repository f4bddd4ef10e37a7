// Every SIMD variant the processor runs against the scalar reference, byte for
// byte (the shapes and sentinels: tests/variant_compare.h).
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "tests/variant_compare.h"

namespace {

TEST(ConverterVariants, EqualTheReferenceOnEveryShape) {
    const ConverterVariant* reference = ConverterVariantAt(0);
    std::vector<const ConverterVariant*> variants = RunnableVariants();
    if (variants.empty()) GTEST_SKIP() << "this processor runs only the scalar converters";
    for (const ConverterVariant* variant : variants) EXPECT_EQ(CompareVariantOnShapes(variant, reference), "");
}

// Sums at the rounding edges: every pair of sample values the chroma means see.
TEST(ConverterVariants, EqualTheReferenceOnAllSamplePairs) {
    const ConverterVariant* reference = ConverterVariantAt(0);
    for (const ConverterVariant* variant : RunnableVariants()) {
        const int width = 512, height = 4;  // 256 pairs per row
        for (int near = 0; near < 256; ++near) {
            std::vector<uint8_t> src(2 * width * height);
            for (int row = 0; row < height; ++row)
                for (int j = 0; j < width / 2; ++j) {
                    uint8_t* p = &src[static_cast<size_t>(row) * 2 * width + 4 * j];
                    uint8_t value = row == 0 || row == 3 ? static_cast<uint8_t>(near) : static_cast<uint8_t>(j);
                    p[0] = static_cast<uint8_t>(j);
                    p[1] = value;
                    p[2] = static_cast<uint8_t>(255 - j);
                    p[3] = static_cast<uint8_t>(255 - value);
                }
            const size_t size = static_cast<size_t>(width * height * 3 / 2);
            ASSERT_EQ(
                CompareConverters(ConverterIn(variant, FrameFormatYuy2, Yuv420, false),
                                  ConverterIn(reference, FrameFormatYuy2, Yuv420, false), src, width, height, size),
                "")
                << variant->name << " near " << near;
            ASSERT_EQ(
                CompareConverters(ConverterIn(variant, FrameFormatYuy2, Yuv420, true),
                                  ConverterIn(reference, FrameFormatYuy2, Yuv420, true), src, width, height, size),
                "")
                << variant->name << " near " << near;
        }
    }
}

TEST(ConverterVariants, UnusableSizesWriteNothing) {
    for (const ConverterVariant* variant : RunnableVariants()) {
        struct {
            FrameConverter convert;
            int width, height;
        } cases[] = {
            {ConverterIn(variant, FrameFormatYuy2, Yuv420, false), 64, 1},
            {ConverterIn(variant, FrameFormatYuy2, Yuv420, false), 1, 64},
            {ConverterIn(variant, FrameFormatYuy2, Yuv420, true), 64, 3},
            {ConverterIn(variant, FrameFormatYuy2, Yuv422, false), 64, 0},
            {ConverterIn(variant, FrameFormatYuy2, Yuv422, false), -64, 4},
            {ConverterIn(variant, FrameFormatYuy2, Yuv420, true), -64, -8},
        };
        for (const auto& c : cases) {
            std::vector<uint8_t> src(4096, 7);
            std::vector<uint8_t> out(4096, VariantSentinel);
            c.convert(out.data(), src.data(), c.width, c.height);
            EXPECT_EQ(out, std::vector<uint8_t>(4096, VariantSentinel))
                << variant->name << " " << c.width << "x" << c.height;
        }
    }
}

}  // namespace
