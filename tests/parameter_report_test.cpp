// The export-time check and its report, byte for byte.
#include <gtest/gtest.h>

#include <limits.h>

#include <string>

#include "platform/stub_user32.h"
#include "tests/test_support.h"

namespace {

const std::string Title = "出力パラメータに問題があります\n\n";

std::string WidthBlock(int width) {
    return "- 映像の幅 " + std::to_string(width) +
           " が 2 の倍数ではありません\n"
           "  このプラグインで出力する際には\n"
           "  映像の幅を 2 の倍数に設定する必要があります\n"
           "  「サイズの変更」等で問題のない映像の幅に変更してください\n";
}

std::string InterlacedHeightBlock(int height) {
    return "- 映像の高さ " + std::to_string(height) +
           " が 4 の倍数ではありません\n"
           "  YUV420 フォーマットでインタレースオプションを有効にするには\n"
           "  映像の高さを 4 の倍数に設定する必要があります\n"
           "  「サイズの変更」等で問題のない映像の高さに変更してください\n";
}

std::string ProgressiveHeightBlock(int height) {
    return "- 映像の高さ " + std::to_string(height) +
           " が 2 の倍数ではありません\n"
           "  YUV420 フォーマットで出力する際には\n"
           "  映像の高さを 2 の倍数に設定する必要があります\n"
           "  「サイズの変更」等で問題のない映像の高さに変更してください\n";
}

const std::string SettingsBlock =
    "- プラグインの設定が正しく行われていません\n"
    "  設定ダイアログを開いて「決定」ボタンを押して\n"
    "  正しく設定を完了してください\n";

// Runs the check and, as the export does on a refusal, the report; returns
// the text of the one box shown, or "accepted".
std::string Judge(const OutputSettings& settings, int32_t width, int32_t height) {
    LoadSettings(settings);
    if (CheckOutputParameters(&gOutputSettings, width, height)) return "accepted";
    StubResetMessageBoxes();
    ReportParameterProblems(&gOutputSettings, width, height);
    EXPECT_EQ(StubMessageBoxCount(), 1);
    const StubMessageBox* box = StubLastMessageBox();
    EXPECT_EQ(box->owner, nullptr);
    EXPECT_STREQ(box->caption, "ERROR");
    EXPECT_EQ(box->style, MB_ICONERROR);
    return box->text;
}

const OutputSettings Fresh = MakeSettings(0, 0, 0, 0, 0);

TEST(ParameterCheck, SizesThatSuitTheSettings) {
    EXPECT_EQ(Judge(Fresh, 640, 480), "accepted");
    EXPECT_EQ(Judge(Fresh, -4, -6), "accepted");
    EXPECT_EQ(Judge(Fresh, 0, 0), "accepted");
    for (int32_t scan : {0, 1, 2}) EXPECT_EQ(Judge(MakeSettings(1, 0, 0, 0, scan), 640, 481), "accepted");
    EXPECT_EQ(Judge(MakeSettings(0, 2, -5, -5, 0), 640, 480), "accepted");
    EXPECT_EQ(Judge(MakeSettings(0, 3, 1, 1, 2), 640, 484), "accepted");
}

TEST(ParameterCheck, ReportsNameEveryProblemInOrder) {
    EXPECT_EQ(Judge(Fresh, 640, 481), Sjis(Title + ProgressiveHeightBlock(481)));
    EXPECT_EQ(Judge(MakeSettings(0, 0, 0, 0, 2), 640, 482), Sjis(Title + InterlacedHeightBlock(482)));
    EXPECT_EQ(Judge(Fresh, 641, 481), Sjis(Title + WidthBlock(641) + ProgressiveHeightBlock(481)));
    EXPECT_EQ(Judge(Fresh, -3, 480), Sjis(Title + WidthBlock(-3)));
    EXPECT_EQ(Judge(MakeSettings(0, 3, 0, 1, 0), 640, 480), Sjis(Title + SettingsBlock));
    EXPECT_EQ(Judge(MakeSettings(0, 3, 1, -1, 0), 640, 480), Sjis(Title + SettingsBlock));
    // A colour code outside the range: the height is not judged.
    EXPECT_EQ(Judge(MakeSettings(9, 0, 0, 0, 0), 640, 481), Sjis(Title + SettingsBlock));
    EXPECT_EQ(Judge(MakeSettings(0, 4, 0, 0, 0), 640, 480), Sjis(Title + SettingsBlock));
    EXPECT_EQ(Judge(MakeSettings(0, -1, 0, 0, 0), 640, 480), Sjis(Title + SettingsBlock));
    // A destination no version writes (from an 88-byte blob).
    for (int32_t destination : {2, -1}) {
        OutputSettings settings = MakeSettings(0, 0, 0, 0, 0);
        settings.destination = destination;
        EXPECT_EQ(Judge(settings, 640, 480), Sjis(Title + SettingsBlock)) << destination;
    }
    // A scan code outside the range counts as interlaced.
    EXPECT_EQ(Judge(MakeSettings(0, 0, 0, 0, 3), 641, 481),
              Sjis(Title + WidthBlock(641) + InterlacedHeightBlock(481) + SettingsBlock));
    // Deep codes: 4:4:4 takes any width, only 4:2:0 has height rules.
    for (int32_t code : {2, 5, 8}) EXPECT_EQ(Judge(MakeSettings(code, 0, 0, 0, 1), 641, 481), "accepted") << code;
    for (int32_t code : {4, 7})
        EXPECT_EQ(Judge(MakeSettings(code, 0, 0, 0, 2), 641, 481), Sjis(Title + WidthBlock(641))) << code;
    for (int32_t code : {3, 6}) {
        EXPECT_EQ(Judge(MakeSettings(code, 0, 0, 0, 1), 640, 482), Sjis(Title + InterlacedHeightBlock(482))) << code;
        EXPECT_EQ(Judge(MakeSettings(code, 0, 0, 0, 0), 640, 481), Sjis(Title + ProgressiveHeightBlock(481))) << code;
    }
}

TEST(ParameterCheck, LongestReportIs562Bytes) {
    std::string text = Judge(MakeSettings(0, 0, 0, 0, 3), -2147483647, -2147483647);
    EXPECT_EQ(text, Sjis(Title + WidthBlock(-2147483647) + InterlacedHeightBlock(-2147483647) + SettingsBlock));
    EXPECT_EQ(text.size(), 562u);
}

}  // namespace
