// The formatter's contract, on which every report's cut-off depends.
#include <gtest/gtest.h>

#include <limits.h>

#include <cstring>
#include <string>

#include "platform/bounded_format.h"

namespace {

TEST(BoundedFormat, ShorterExactAndLongerPieces) {
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(FormatBounded(buffer, 8, "ab%dc", 42), 5);
    EXPECT_STREQ(buffer, "ab42c");  // a NUL follows a shorter piece

    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(FormatBounded(buffer, 5, "ab%dc", 42), 5);
    EXPECT_EQ(std::string(buffer, 6), "ab42c#");  // exactly the room: no NUL

    std::memset(buffer, '#', sizeof buffer);
    EXPECT_LT(FormatBounded(buffer, 4, "ab%dc", 42), 0);
    EXPECT_EQ(buffer[4], '#');  // never past the room

    EXPECT_EQ(FormatBounded(buffer, 0, "%s", ""), 0);
    EXPECT_LT(FormatBounded(buffer, 0, "x"), 0);
}

TEST(BoundedFormat, Conversions) {
    char buffer[64];
    EXPECT_EQ(FormatBounded(buffer, 64, "%d %d %d", INT_MIN, INT_MAX, 0), 24);
    EXPECT_STREQ(buffer, "-2147483648 2147483647 0");
    FormatBounded(buffer, 64, "%lld|%lld", LLONG_MIN, 34359738352ll);
    EXPECT_STREQ(buffer, "-9223372036854775808|34359738352");
    FormatBounded(buffer, 64, "[%s] 100%%", "path");
    EXPECT_STREQ(buffer, "[path] 100%");
}

TEST(BoundedFormat, CompositionEndsTextThatRanOutOfRoom) {
    char buffer[8];
    TextComposition text;

    BeginComposition(&text, buffer, sizeof buffer);
    AppendPiece(&text, "abc");
    AppendPiece(&text, "de");
    EndComposition(&text);
    EXPECT_EQ(text.position, 5);
    EXPECT_STREQ(buffer, "abcde");

    // Filled exactly: the last byte gives way to the NUL.
    BeginComposition(&text, buffer, sizeof buffer);
    AppendPiece(&text, "abcd");
    AppendPiece(&text, "efgh");
    EndComposition(&text);
    EXPECT_STREQ(buffer, "abcdefg");

    // A piece that did not fit: every later piece gets no room.
    BeginComposition(&text, buffer, sizeof buffer);
    AppendPiece(&text, "abcdef");
    AppendPiece(&text, "ghijk");
    EXPECT_EQ(text.position, 8);
    AppendPiece(&text, "%s", "");
    AppendPiece(&text, "z");
    EXPECT_EQ(text.position, 8);
    EndComposition(&text);
    EXPECT_STREQ(buffer, "abcdefg");
}

}  // namespace
