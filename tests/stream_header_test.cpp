// Header lines: the examples, each tag's arithmetic, and requests whose
// arithmetic would overflow 32 bits or divide by zero.
#include <gtest/gtest.h>

#include <limits.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "export/stream_header.h"
#include "tests/test_support.h"

namespace {

std::string Header(int32_t width, int32_t height, int32_t rate, int32_t scale, const OutputSettings& settings) {
    LoadSettings(settings);
    ExportJob request = {};
    request.width = width;
    request.height = height;
    request.rate = rate;
    request.scale = scale;
    char buffer[512];
    int length = BuildStreamHeader(buffer, sizeof buffer, &request, &gOutputSettings);
    EXPECT_GE(length, 0);
    EXPECT_LE(length, StreamHeaderMaxLength);
    EXPECT_EQ(buffer[length], '\0');
    return std::string(buffer, static_cast<size_t>(length));
}

// The tag that starts with `letter` (" F..", " A..").
std::string Tag(const std::string& header, char letter) {
    size_t at = header.find(std::string(" ") + letter);
    size_t end = header.find_first_of(" \n", at + 1);
    return header.substr(at, end - at);
}

const OutputSettings Plain = MakeSettings(Yuv420, AspectUnspecified, 0, 0, Progressive);

TEST(StreamHeader, ExampleLines) {
    EXPECT_EQ(Header(720, 480, 30000, 1001, MakeSettings(0, 1, 0, 0, 0)),
              "YUV4MPEG2 W720 H480 F30000:1001 Ip A8:9 C420mpeg2 XYSCSS=420MPEG2\n");
    EXPECT_EQ(Header(720, 480, 60000, 2002, MakeSettings(0, 2, 0, 0, 1)),
              "YUV4MPEG2 W720 H480 F30000:1001 It A32:27 C420mpeg2 XYSCSS=420MPEG2\n");
    EXPECT_EQ(Header(1920, 1080, 60, 1, MakeSettings(1, 2, 0, 0, 1)),
              "YUV4MPEG2 W1920 H1080 F60:1 It A1:1 C422 XYSCSS=422\n");
    EXPECT_EQ(Header(720, 576, 25, 1, MakeSettings(0, 3, 16, 15, 2)),
              "YUV4MPEG2 W720 H576 F25:1 Ib A16:15 C420mpeg2 XYSCSS=420MPEG2\n");
    EXPECT_EQ(Header(640, 480, 25, 0, Plain), "YUV4MPEG2 W640 H480 F1:0 Ip A0:0 C420mpeg2 XYSCSS=420MPEG2\n");
}

TEST(StreamHeader, RateIsReducedWithTheSignsEuclidLeaves) {
    EXPECT_EQ(Tag(Header(640, 480, 60000, 2002, Plain), 'F'), " F30000:1001");
    EXPECT_EQ(Tag(Header(640, 480, 25, 0, Plain), 'F'), " F1:0");
    EXPECT_EQ(Tag(Header(640, 480, 0, 1, Plain), 'F'), " F0:1");
    EXPECT_EQ(Tag(Header(640, 480, -30, 4, Plain), 'F'), " F15:-2");
    EXPECT_EQ(Tag(Header(640, 480, 24, 24, Plain), 'F'), " F1:1");
}

TEST(StreamHeader, DisplayAspectBecomesPixelAspect) {
    OutputSettings fourThree = MakeSettings(0, AspectDisplay4x3, 0, 0, 0);
    OutputSettings wide = MakeSettings(0, AspectDisplay16x9, 0, 0, 0);
    EXPECT_EQ(Tag(Header(640, 480, 1, 1, fourThree), 'A'), " A1:1");
    EXPECT_EQ(Tag(Header(720, 480, 1, 1, fourThree), 'A'), " A8:9");
    EXPECT_EQ(Tag(Header(720, 480, 1, 1, wide), 'A'), " A32:27");
    EXPECT_EQ(Tag(Header(1280, 720, 1, 1, wide), 'A'), " A1:1");
    EXPECT_EQ(Tag(Header(0, 480, 1, 1, fourThree), 'A'), " A1:0");
    // A custom pair is written as stored, not reduced.
    EXPECT_EQ(Tag(Header(640, 480, 1, 1, MakeSettings(0, 3, 20, 22, 0)), 'A'), " A20:22");
}

TEST(StreamHeader, ScanAndColourTags) {
    EXPECT_EQ(Header(8, 8, 1, 1, MakeSettings(1, 0, 0, 0, 1)), "YUV4MPEG2 W8 H8 F1:1 It A0:0 C422 XYSCSS=422\n");
    EXPECT_EQ(Header(8, 8, 1, 1, MakeSettings(1, 0, 0, 0, 2)), "YUV4MPEG2 W8 H8 F1:1 Ib A0:0 C422 XYSCSS=422\n");
    const char* const deepTags[] = {" C444 XYSCSS=444",       " C420p10 XYSCSS=420P10", " C422p10 XYSCSS=422P10",
                                    " C444p10 XYSCSS=444P10", " C420p12 XYSCSS=420P12", " C422p12 XYSCSS=422P12",
                                    " C444p12 XYSCSS=444P12"};
    for (int32_t code = 2; code <= 8; ++code)
        EXPECT_EQ(Header(8, 8, 1, 1, MakeSettings(code, 0, 0, 0, 0)),
                  std::string("YUV4MPEG2 W8 H8 F1:1 Ip A0:0") + deepTags[code - 2] + " XCOLORRANGE=LIMITED\n");
}

// Ratios with no common divisor at all are written 0:0, the "unknown" of the format.
TEST(StreamHeader, ZeroRatiosNeverDivideByZero) {
    EXPECT_EQ(Tag(Header(640, 480, 0, 0, Plain), 'F'), " F0:0");
    EXPECT_EQ(Tag(Header(0, 0, 1, 1, MakeSettings(0, 1, 0, 0, 0)), 'A'), " A0:0");
    EXPECT_EQ(Tag(Header(0, 0, 1, 1, MakeSettings(0, 2, 0, 0, 0)), 'A'), " A0:0");
}

// Values 32-bit arithmetic cannot hold are computed in 64 bits and printed exactly.
TEST(StreamHeader, ExtremeValuesArePrintedExactly) {
    EXPECT_EQ(Tag(Header(640, 480, INT_MIN, -1, Plain), 'F'), " F2147483648:1");
    EXPECT_EQ(Tag(Header(640, 480, INT_MIN, 1, Plain), 'F'), " F-2147483648:1");
    EXPECT_EQ(Tag(Header(640, 480, INT_MIN, INT_MIN, Plain), 'F'), " F1:1");
    EXPECT_EQ(Tag(Header(640, 480, INT_MAX, INT_MIN, Plain), 'F'), " F-2147483647:2147483648");
    // 16 x height and 9 x width far past 32 bits: 16 x 2^31-1 : 9 x 1.
    EXPECT_EQ(Tag(Header(1, INT_MAX, 1, 1, MakeSettings(0, 2, 0, 0, 0)), 'A'), " A34359738352:9");
    EXPECT_EQ(Tag(Header(1, INT_MIN, 1, 1, MakeSettings(0, 1, 0, 0, 0)), 'A'), " A-8589934592:3");
    EXPECT_EQ(Tag(Header(INT_MIN, INT_MAX, 1, 1, MakeSettings(0, 1, 0, 0, 0)), 'A'), " A2147483647:-1610612736");
}

TEST(StreamHeader, EveryExtremeRequestFitsTheBound) {
    const int32_t values[] = {INT_MIN, INT_MIN + 1, -2147483647 + 2, -1000000007, -1,     0,
                              1,       2,           1000000007,      INT_MAX - 1, INT_MAX};
    size_t longest = 0;
    for (int32_t code : {Yuv420, Yuv420P10})  // the longest 8-bit and deep colour tags
        for (int32_t aspect = 0; aspect <= 3; ++aspect)
            for (int32_t w : values)
                for (int32_t h : values)
                    for (int32_t r : values)
                        for (int32_t s : {INT_MIN, -1, 0, 1, INT_MAX - 1}) {
                            OutputSettings settings = MakeSettings(code, aspect, r, s, 0);
                            longest = std::max(longest, Header(w, h, r, s, settings).size());
                        }
    EXPECT_LE(longest, static_cast<size_t>(StreamHeaderMaxLength));
    EXPECT_GT(longest, 120u);
}

TEST(StreamHeader, BoundedBySize) {
    LoadSettings(Plain);
    ExportJob request = {};
    request.width = 640;
    request.height = 480;
    request.rate = 25;
    request.scale = 0;
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    // The full line is 59 bytes: a 20-byte bound stops composition at 20.
    EXPECT_EQ(BuildStreamHeader(buffer, 20, &request, &gOutputSettings), 20);
    EXPECT_EQ(buffer[20], '#');
    EXPECT_EQ(BuildStreamHeader(buffer, 59, &request, &gOutputSettings), 59);
    EXPECT_EQ(std::string(buffer, 59), "YUV4MPEG2 W640 H480 F1:0 Ip A0:0 C420mpeg2 XYSCSS=420MPEG2\n");
    EXPECT_EQ(buffer[59], '#');
}

}  // namespace
