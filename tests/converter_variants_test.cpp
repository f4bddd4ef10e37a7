// Every SIMD variant the processor runs against the scalar reference, byte for
// byte, on random frames of awkward sizes, with the source at an odd address
// and sentinels around the output.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "export/converter_variants.h"
#include "tests/test_support.h"

namespace {

const uint8_t Sentinel = 0x5A;
const size_t Guard = 96;

struct Shape {
    int width, height;
};

std::vector<Shape> Shapes() {
    std::vector<Shape> shapes;
    const int heights[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 12};
    for (int width = 2; width <= 130; width += 2)
        for (int height : heights) shapes.push_back({width, height});
    for (int width = 1900; width <= 1940; width += 2) shapes.push_back({width, 6});
    shapes.push_back({1920, 12});
    // Sizes the check refuses, given directly: odd widths, stray rows.
    for (int width : {1, 3, 33, 65, 97, 1921}) shapes.push_back({width, 9});
    return shapes;
}

// Runs one converter with the source copied to an odd address and the output
// pre-filled with sentinels past the frame size.
std::vector<uint8_t> Convert(FrameConverter convert, const std::vector<uint8_t>& src, int width, int height,
                             size_t frameSize) {
    std::vector<uint8_t> shifted(src.size() + 1);
    memcpy(shifted.data() + 1, src.data(), src.size());
    std::vector<uint8_t> out(frameSize + Guard, Sentinel);
    convert(out.data(), shifted.data() + 1, width, height);
    return out;
}

std::vector<const ConverterVariant*> Available() {
    std::vector<const ConverterVariant*> variants;
    for (int i = 1; i < ConverterVariantCount(); ++i)
        if (ConverterVariantAt(i)->available()) variants.push_back(ConverterVariantAt(i));
    return variants;
}

TEST(ConverterVariants, EqualTheReferenceOnEveryShape) {
    const ConverterVariant* reference = ConverterVariantAt(0);
    std::vector<const ConverterVariant*> variants = Available();
    if (variants.empty()) GTEST_SKIP() << "this processor runs only the scalar converters";
    for (const ConverterVariant* variant : variants) {
        for (const Shape& shape : Shapes()) {
            const int w = shape.width, h = shape.height;
            std::vector<uint8_t> src = RandomBytes(static_cast<size_t>(2 * w * h), w * 7919 + h);
            const size_t size420 = static_cast<size_t>(w * h + w * h / 2), size422 = static_cast<size_t>(2 * w * h);
            struct {
                FrameConverter ours, theirs;
                size_t size;
                const char* name;
            } pairs[] = {
                {variant->progressive420, reference->progressive420, size420, "420"},
                {variant->interlaced420, reference->interlaced420, size420, "420 interlaced"},
                {variant->planar422, reference->planar422, size422, "422"},
            };
            for (const auto& pair : pairs) {
                std::vector<uint8_t> expected = Convert(pair.theirs, src, w, h, pair.size);
                std::vector<uint8_t> actual = Convert(pair.ours, src, w, h, pair.size);
                ASSERT_EQ(actual, expected) << variant->name << " " << pair.name << " " << w << "x" << h;
            }
        }
    }
}

// Sums at the rounding edges: every pair of sample values the chroma means see.
TEST(ConverterVariants, EqualTheReferenceOnAllSamplePairs) {
    const ConverterVariant* reference = ConverterVariantAt(0);
    for (const ConverterVariant* variant : Available()) {
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
            ASSERT_EQ(Convert(variant->progressive420, src, width, height, size),
                      Convert(reference->progressive420, src, width, height, size))
                << variant->name << " near " << near;
            ASSERT_EQ(Convert(variant->interlaced420, src, width, height, size),
                      Convert(reference->interlaced420, src, width, height, size))
                << variant->name << " near " << near;
        }
    }
}

TEST(ConverterVariants, UnusableSizesWriteNothing) {
    for (const ConverterVariant* variant : Available()) {
        struct {
            FrameConverter convert;
            int width, height;
        } cases[] = {
            {variant->progressive420, 64, 1}, {variant->progressive420, 1, 64}, {variant->interlaced420, 64, 3},
            {variant->planar422, 64, 0},      {variant->planar422, -64, 4},     {variant->interlaced420, -64, -8},
        };
        for (const auto& c : cases) {
            std::vector<uint8_t> src(4096, 7);
            std::vector<uint8_t> out(4096, Sentinel);
            c.convert(out.data(), src.data(), c.width, c.height);
            EXPECT_EQ(out, std::vector<uint8_t>(4096, Sentinel)) << variant->name << " " << c.width << "x" << c.height;
        }
    }
}

}  // namespace
