// The deep converters of every variant: 4:4:4 shows each pixel's own
// samples, checked against the numbers worked out in double precision
// (tests/deep_model.h); the other layouts' chroma against the 4:4:4 frame of
// the same picture.
#include <gtest/gtest.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "convert/converter_table.h"
#include "tests/deep_model.h"
#include "tests/variant_compare.h"

namespace {

enum { Guard = 32 };

std::vector<const ConverterVariant*> EveryVariant() {
    std::vector<const ConverterVariant*> variants = {ConverterVariantAt(0)};
    for (const ConverterVariant* variant : RunnableVariants()) variants.push_back(variant);
    return variants;
}

FrameConverter DeepConverter(const ConverterVariant* variant, bool pa64, int32_t code, bool interlaced = false) {
    return ConverterIn(variant, pa64 ? FrameFormatPa64 : FrameFormatYc48, code, interlaced);
}

int BitsOf(int32_t code) { return 8 + 2 * (code / 3); }

// A picture from its values, three (YC48) or four (PA64) a pixel.
std::vector<uint8_t> Picture(const std::vector<int>& values) {
    std::vector<uint8_t> bytes;
    for (int v : values) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    return bytes;
}

std::vector<uint8_t> Convert(FrameConverter convert, const std::vector<uint8_t>& picture, int32_t code, int w, int h) {
    OutputSettings settings = {};
    settings.colorFormat = code;
    std::vector<uint8_t> out(static_cast<size_t>(PlanarFrameSize(&settings, w, h)) + Guard, 0xA5);
    convert(out.data(), picture.data(), w, h);
    return out;
}

int SampleAt(const std::vector<uint8_t>& frame, size_t index, int bits) {
    return bits > 8 ? frame[2 * index] | frame[2 * index + 1] << 8 : frame[index];
}

// Each pixel's three samples in a 4:4:4 frame against the worked-out codes;
// "" when every one is admitted.
std::string CheckAgainstModel(const std::vector<uint8_t>& frame, const std::vector<int>& values, bool pa64, int w,
                              int h, int bits) {
    const size_t pixels = static_cast<size_t>(w) * h;
    const int stride = pa64 ? 4 : 3;
    for (size_t i = 0; i < pixels; ++i) {
        double codes[3];
        ModelCodes(pa64, h, bits, values[stride * i], values[stride * i + 1], values[stride * i + 2], codes);
        for (int plane = 0; plane < 3; ++plane) {
            const int sample = SampleAt(frame, plane * pixels + i, bits);
            if (!ModelAdmits(codes[plane], bits, sample))
                return "pixel " + std::to_string(i) + " plane " + std::to_string(plane) + ": " +
                       std::to_string(sample) + " for " + std::to_string(codes[plane]);
        }
    }
    for (size_t i = 0; i < Guard; ++i)
        if (frame[frame.size() - Guard + i] != 0xA5) return "wrote past the frame";
    return "";
}

// Below 720 lines YC48 is quantised by exact integers: 256 x 256 pixels take
// each of y, cb and cr through all 65536 values.
TEST(DeepConversion, Yc48BelowHdIsExact) {
    const int w = 256, h = 256;
    std::vector<int> values;
    for (int i = 0; i < w * h; ++i) {
        values.push_back(i - 32768);
        values.push_back(static_cast<int>((static_cast<uint32_t>(i) * 40503u) % 65536u) - 32768);
        values.push_back(32767 - i);
    }
    const std::vector<uint8_t> picture = Picture(values);
    for (const ConverterVariant* variant : EveryVariant())
        for (int32_t code : {Yuv444, Yuv444P10, Yuv444P12}) {
            const std::vector<uint8_t> frame = Convert(DeepConverter(variant, false, code), picture, code, w, h);
            const int bits = BitsOf(code), s = 1 << (bits - 8), top = (1 << bits) - 1;
            auto quantise = [&](int value, int scale, int offset) {
                const int code = ((scale * s * value + 2048) >> 12) + offset * s;
                return code < 0 ? 0 : code > top ? top : code;
            };
            for (int i = 0; i < w * h; ++i) {
                const int expected[3] = {quantise(values[3 * i], 219, 16), quantise(values[3 * i + 1], 224, 128),
                                         quantise(values[3 * i + 2], 224, 128)};
                for (int plane = 0; plane < 3; ++plane)
                    ASSERT_EQ(SampleAt(frame, static_cast<size_t>(plane) * w * h + i, bits), expected[plane])
                        << variant->name << " code " << code << " pixel " << i << " plane " << plane;
            }
        }
}

// BT.709 from YC48 and PA64 in either matrix are real-number rules: each
// sample the nearest code, or its neighbour within 1/8 of a code of the tie.
// Every variant also equals the reference byte for byte.
TEST(DeepConversion, MatrixRulesHoldToAnEighthOfACode) {
    const int w = 70;
    for (bool pa64 : {false, true})
        for (int h : {480, 720}) {
            if (!pa64 && h < 720) continue;  // exact, above
            uint32_t state = 12345u + h;
            std::vector<int> values;
            for (int i = 0; i < w * h; ++i) {
                const int kind = i % 4;
                for (int c = 0; c < (pa64 ? 4 : 3); ++c) {
                    const uint32_t r = NextRandom(&state);
                    int v;
                    if (pa64)  // full range, grey, and near black
                        v = kind == 0   ? static_cast<int>(r & 0xFFFF)
                            : kind == 1 ? i % 65536
                                        : static_cast<int>(r & 0x3FF);
                    else  // nominal ranges, beyond them, and anything at all
                        v = kind == 3 ? static_cast<int16_t>(r) : static_cast<int>(r % 8192) - (c == 0 ? 1024 : 4096);
                    values.push_back(v);
                }
            }
            const std::vector<uint8_t> picture = Picture(values);
            for (int32_t code : {Yuv444, Yuv444P10, Yuv444P12}) {
                const std::vector<uint8_t> reference =
                    Convert(DeepConverter(ConverterVariantAt(0), pa64, code), picture, code, w, h);
                EXPECT_EQ(CheckAgainstModel(reference, values, pa64, w, h, BitsOf(code)), "")
                    << (pa64 ? "PA64" : "YC48") << " " << h << " lines, code " << code;
                for (const ConverterVariant* variant : RunnableVariants())
                    EXPECT_EQ(Convert(DeepConverter(variant, pa64, code), picture, code, w, h), reference)
                        << variant->name << " code " << code << " " << h << " lines";
            }
        }
}

// 4:2:2 takes the even pixel's chroma, 4:2:0 averages each row pair or
// filters within each field, all from the samples 4:4:4 shows. The width
// crosses the converters' 2048-pixel chunks.
TEST(DeepConversion, ChromaFollowsTheLayoutRules) {
    const int w = 2100, h = 12, cw = w / 2;
    for (bool pa64 : {false, true}) {
        const std::vector<uint8_t> picture = RandomBytes(static_cast<size_t>((pa64 ? 8 : 6) * w * h), pa64 ? 7 : 8);
        for (const ConverterVariant* variant : EveryVariant())
            for (int32_t full : {Yuv444P10, Yuv444P12}) {
                const int bits = BitsOf(full), bytes = 2;
                const std::vector<uint8_t> all = Convert(DeepConverter(variant, pa64, full), picture, full, w, h);
                auto chroma = [&](int plane, int row, int x) { return SampleAt(all, (plane * h + row) * w + x, bits); };
                for (int32_t code : {full - 2, full - 1})
                    for (bool interlaced : {false, true}) {
                        if (code % 3 != 0 && interlaced) continue;
                        const int ch = code % 3 == 0 ? h / 2 : h;
                        std::vector<uint8_t> expected(all.begin(), all.begin() + bytes * w * h);
                        for (int plane = 1; plane <= 2; ++plane)
                            for (int k = 0; k < ch; ++k)
                                for (int j = 0; j < cw; ++j) {
                                    int v = chroma(plane, k, 2 * j);
                                    if (code % 3 == 0 && !interlaced)
                                        v = (chroma(plane, 2 * k, 2 * j) + chroma(plane, 2 * k + 1, 2 * j) + 1) >> 1;
                                    if (code % 3 == 0 && interlaced) {
                                        const int g = k / 2, near = k % 2 ? 4 * g + 3 : 4 * g,
                                                  far = k % 2 ? 4 * g + 1 : 4 * g + 2;
                                        v = (3 * chroma(plane, near, 2 * j) + chroma(plane, far, 2 * j) + 2) >> 2;
                                    }
                                    expected.push_back(static_cast<uint8_t>(v));
                                    expected.push_back(static_cast<uint8_t>(v >> 8));
                                }
                        expected.insert(expected.end(), Guard, 0xA5);
                        EXPECT_EQ(Convert(DeepConverter(variant, pa64, code, interlaced), picture, code, w, h),
                                  expected)
                            << variant->name << (pa64 ? " PA64" : " YC48") << " code " << code << " interlaced "
                            << interlaced;
                    }
            }
    }
}

}  // namespace
