// The three converters against worked examples and a per-sample model.
#include <gtest/gtest.h>

#include <stdint.h>

#include <set>
#include <vector>

#include "convert/converter_table.h"
#include "export/export_job.h"
#include "convert/frame_conversion.h"
#include "tests/frame_model.h"
#include "tests/test_support.h"

namespace {

const uint8_t Sentinel = 0xA5;
const size_t Guard = 64;

using Layout = FrameLayout;

int64_t FrameBytes(Layout layout, int width, int height) { return ModelFrameBytes(layout, width, height); }

FrameConverter ConverterOf(Layout layout) {
    return layout == Progressive420  ? ConvertYUY2To420
           : layout == Interlaced420 ? ConvertYUY2To420Interlaced
                                     : ConvertYUY2To422;
}

std::vector<uint8_t> Model(Layout layout, const std::vector<uint8_t>& src, int width, int height) {
    return ModelFrame(layout, src.data(), width, height, Guard, Sentinel);
}

std::vector<uint8_t> Convert(Layout layout, const std::vector<uint8_t>& src, int width, int height) {
    int64_t size = FrameBytes(layout, width, height);
    std::vector<uint8_t> out(static_cast<size_t>(size > 0 ? size : 0) + Guard, Sentinel);
    ConverterOf(layout)(out.data(), src.data(), width, height);
    return out;
}

std::vector<uint8_t> Rows(std::initializer_list<std::vector<uint8_t>> rows) {
    std::vector<uint8_t> bytes;
    for (const auto& row : rows) bytes.insert(bytes.end(), row.begin(), row.end());
    return bytes;
}

std::vector<uint8_t> Head(const std::vector<uint8_t>& bytes, size_t count) {
    return std::vector<uint8_t>(bytes.begin(), bytes.begin() + count);
}

TEST(Converters, WorkedExampleTwoByFour) {
    auto src = Rows({{16, 100, 17, 201}, {32, 140, 33, 210}, {48, 120, 49, 203}, {64, 160, 65, 212}});
    std::vector<uint8_t> luma = {16, 17, 32, 33, 48, 49, 64, 65};
    auto with = [&](std::vector<uint8_t> chroma) {
        std::vector<uint8_t> frame = luma;
        frame.insert(frame.end(), chroma.begin(), chroma.end());
        return frame;
    };
    EXPECT_EQ(Head(Convert(Progressive420, src, 2, 4), 13), with({120, 140, 206, 208, Sentinel}));
    EXPECT_EQ(Head(Convert(Interlaced420, src, 2, 4), 13), with({105, 155, 202, 212, Sentinel}));
    EXPECT_EQ(Head(Convert(Planar422, src, 2, 4), 17), with({100, 140, 120, 160, 201, 210, 203, 212, Sentinel}));
}

TEST(Converters, WorkedExampleFourByTwo) {
    auto src = Rows({{10, 100, 11, 200, 12, 104, 13, 204}, {20, 110, 21, 210, 22, 115, 23, 215}});
    EXPECT_EQ(Head(Convert(Progressive420, src, 4, 2), 13),
              (std::vector<uint8_t>{10, 11, 12, 13, 20, 21, 22, 23, 105, 110, 205, 210, Sentinel}));
}

TEST(Converters, RoundingOfMeans) {
    // Progressive: (100 + 111 + 1) >> 1 = 106. Interlaced near row 100 with the
    // far row 122, 121, 123: 105.5 -> 106, 105.25 -> 105, 105.75 -> 106.
    auto progressive = Convert(Progressive420, Rows({{0, 100, 0, 100}, {0, 111, 0, 111}}), 2, 2);
    EXPECT_EQ(progressive[4], 106);
    for (auto [far, expected] : {std::pair<uint8_t, uint8_t>{122, 106}, {121, 105}, {123, 106}}) {
        auto src = Rows({{0, 100, 0, 100}, {0, 0, 0, 0}, {0, far, 0, far}, {0, 0, 0, 0}});
        auto out = Convert(Interlaced420, src, 2, 4);
        EXPECT_EQ(out[8], expected) << "far " << int(far);
        EXPECT_EQ(out[10], expected) << "far " << int(far);
    }
}

TEST(Converters, InterlacedKeepsFieldsApart) {
    // Top field U 100, bottom field U 200.
    auto src = Rows({{0, 100, 0, 0}, {0, 200, 0, 0}, {0, 100, 0, 0}, {0, 200, 0, 0}});
    auto interlaced = Convert(Interlaced420, src, 2, 4);
    EXPECT_EQ(interlaced[8], 100);
    EXPECT_EQ(interlaced[9], 200);
    auto progressive = Convert(Progressive420, src, 2, 4);
    EXPECT_EQ(progressive[8], 150);
    EXPECT_EQ(progressive[9], 150);
}

TEST(Converters, ExtremesStayExtremes) {
    for (Layout layout : {Progressive420, Interlaced420, Planar422}) {
        for (uint8_t value : {uint8_t(0), uint8_t(255)}) {
            std::vector<uint8_t> src(2 * 6 * 8, value);
            auto out = Convert(layout, src, 6, 8);
            size_t size = static_cast<size_t>(FrameBytes(layout, 6, 8));
            for (size_t i = 0; i < size; ++i) ASSERT_EQ(out[i], value) << "layout " << layout << " byte " << i;
            EXPECT_EQ(out[size], Sentinel);
        }
    }
}

TEST(Converters, SmallestFramesWriteExactlyTheirSize) {
    struct Case {
        Layout layout;
        int width, height;
        size_t bytes;
    };
    for (Case c : {Case{Progressive420, 2, 2, 6}, Case{Interlaced420, 2, 4, 12}, Case{Planar422, 2, 1, 4}}) {
        auto src = RandomBytes(static_cast<size_t>(2 * c.width * c.height), 7);
        auto out = Convert(c.layout, src, c.width, c.height);
        EXPECT_EQ(out, Model(c.layout, src, c.width, c.height));
        for (size_t i = 0; i < Guard; ++i) ASSERT_EQ(out[c.bytes + i], Sentinel);
    }
}

// Every size, admitted or not, against the model: equal bytes where the model
// writes, sentinel where it does not, nothing past the frame size. The source
// is exactly 2 x width x height bytes, so the address sanitizer would also see
// a read past its end.
TEST(Converters, MatchModelOnRandomFramesOfManySizes) {
    for (Layout layout : {Progressive420, Interlaced420, Planar422}) {
        for (int width = 0; width <= 35; ++width) {
            for (int height = 0; height <= 13; ++height) {
                auto src = RandomBytes(static_cast<size_t>(2 * width * height), width * 131 + height);
                ASSERT_EQ(Convert(layout, src, width, height), Model(layout, src, width, height))
                    << "layout " << layout << " size " << width << "x" << height;
            }
        }
        for (int width : {640, 718, 722, 1920}) {
            const int height = 12;
            auto src = RandomBytes(static_cast<size_t>(2 * width * height), width);
            ASSERT_EQ(Convert(layout, src, width, height), Model(layout, src, width, height)) << width;
        }
    }
}

TEST(Converters, UnusableSizesWriteNothing) {
    struct Case {
        Layout layout;
        int width, height;
    };
    for (Case c :
         {Case{Progressive420, 1, 8}, Case{Progressive420, 8, 1}, Case{Interlaced420, 8, 3}, Case{Interlaced420, 0, 8},
          Case{Planar422, 8, 0}, Case{Planar422, -2, 4}, Case{Progressive420, 4, -2}, Case{Interlaced420, -4, -4}}) {
        std::vector<uint8_t> src(64, 1);
        std::vector<uint8_t> out(256, Sentinel);
        ConverterOf(c.layout)(out.data(), src.data(), c.width, c.height);
        EXPECT_EQ(out, std::vector<uint8_t>(256, Sentinel)) << c.layout << " " << c.width << "x" << c.height;
    }
}

TEST(Converters, ChoiceFollowsColourAndScan) {
    const ConverterVariant* reference = ConverterVariantAt(0);
    const ConverterVariant* fastest = FastestConverterVariant();
    OutputSettings s = MakeSettings(Yuv420, 0, 0, 0, Progressive);
    EXPECT_EQ(ChooseFrameConverterOf(reference, &s, FrameFormatYc48), &ConvertYUY2To420);
    EXPECT_EQ(ChooseFrameConverter(&s, FrameFormatPa64), ConverterIn(fastest, FrameFormatYuy2, Yuv420, false));
    for (int32_t scan : {1, 2}) {
        s.interlaceMode = scan;
        EXPECT_EQ(ChooseFrameConverterOf(reference, &s, FrameFormatYc48), &ConvertYUY2To420Interlaced);
        EXPECT_EQ(ChooseFrameConverter(&s, FrameFormatPa64), ConverterIn(fastest, FrameFormatYuy2, Yuv420, true));
    }
    s.colorFormat = Yuv422;
    for (int32_t scan : {0, 1, 2}) {
        s.interlaceMode = scan;
        EXPECT_EQ(ChooseFrameConverterOf(reference, &s, FrameFormatYc48), &ConvertYUY2To422);
        EXPECT_EQ(ChooseFrameConverter(&s, FrameFormatPa64), ConverterIn(fastest, FrameFormatYuy2, Yuv422, false));
    }
    // Deep codes: the host's own picture, each code to its own converter.
    std::set<FrameConverter> deep;
    for (int32_t code = Yuv444; code <= Yuv444P12; ++code)
        for (uint32_t picture : {FrameFormatYc48, FrameFormatPa64}) {
            s.colorFormat = code;
            s.interlaceMode = Progressive;
            deep.insert(ChooseFrameConverterOf(reference, &s, picture));
            s.interlaceMode = InterlacedBottomFirst;
            deep.insert(ChooseFrameConverterOf(reference, &s, picture));
            EXPECT_EQ(SourcePictureOf(&s, picture), picture);
        }
    EXPECT_EQ(deep.size(), 2u * (7 + 2));  // 4:2:0 has an interlaced converter
    EXPECT_EQ(deep.count(nullptr), 0u);
    // A picture no row names is refused, never read as another; so is YUY2
    // given as the precise picture for a deep format.
    for (uint32_t picture : {0u, 0x34364648u /* 'HF64' */, static_cast<uint32_t>(FrameFormatYuy2)}) {
        s.colorFormat = Yuv420P10;
        EXPECT_EQ(ChooseFrameConverter(&s, picture), nullptr) << picture;
        EXPECT_EQ(ChooseFrameConverterOf(reference, &s, picture), nullptr) << picture;
    }
    // 720x480 in every code, and codes outside the table as 8-bit 4:2:0.
    const int64_t sizes[] = {518400, 691200, 1036800, 1036800, 1382400, 2073600, 1036800, 1382400, 2073600, 518400};
    for (int32_t code = 0; code <= 9; ++code) {
        s.colorFormat = code;
        EXPECT_EQ(PlanarFrameSize(&s, 720, 480), sizes[code]) << code;
        EXPECT_EQ(SourcePictureOf(&s, FrameFormatYc48), code >= 2 && code <= 8 ? FrameFormatYc48 : FrameFormatYuy2);
    }
    s.colorFormat = Yuv420;
    EXPECT_EQ(PlanarFrameSize(&s, 8, 8), 96);
    EXPECT_EQ(PlanarFrameSize(&s, 0, 0), 0);
    s.colorFormat = Yuv444P10;
    EXPECT_EQ(PlanarFrameSize(&s, 5, 3), 90);
}

}  // namespace
