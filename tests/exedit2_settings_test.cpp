// ExEdit2's settings: the record through a project, and the line of text the
// host shows for it, with codes a project may hold that no choice has.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "exedit2/exedit2_table.h"
#include "tests/test_support.h"

namespace {

unsigned char gStored[20];
int gStoredSize;

bool GetStored(const char* key, void* data, int size) {
    if (strcmp(key, "settings") != 0 || size != gStoredSize) return false;
    memcpy(data, gStored, static_cast<size_t>(size));
    return true;
}
void SetStored(const char* key, void* data, int size) {
    ASSERT_STREQ(key, "settings");
    ASSERT_EQ(size, 20);
    memcpy(gStored, data, 20);
    gStoredSize = size;
}
std::string gEncoderText;
int gTextWrites;
const char* GetText(const char* key) { return strcmp(key, "encoder") == 0 ? gEncoderText.c_str() : nullptr; }
void SetText(const char* key, const char* value) {
    ASSERT_STREQ(key, "encoder");
    gEncoderText = value;
    ++gTextWrites;
}

TEST(ExEdit2Settings, ProjectRoundTripAndMissingKeys) {
    ProjectFile project = {};
    project.getBinary = GetStored;
    project.setBinary = SetStored;
    project.getText = GetText;
    project.setText = SetText;
    LoadSettings(MakeSettings(1, 3, 10, 11, 2));
    EXPECT_TRUE(PluginProjectSave(&project));
    const unsigned char example[20] = {1, 0, 0, 0, 3, 0, 0, 0, 10, 0, 0, 0, 11, 0, 0, 0, 2, 0, 0, 0};
    EXPECT_EQ(memcmp(gStored, example, 20), 0);
    EXPECT_EQ(gTextWrites, 0);  // the file: the blob alone, as before
    LoadSettings(MakeSettings(0, 0, 0, 0, 0));
    EXPECT_TRUE(PluginProjectLoad(&project));
    EXPECT_EQ(gOutputSettings.pixelAspectDen, 11);
    EXPECT_EQ(gOutputSettings.destination, DestinationFile);

    // An encoder's name is a key of its own; the blob stays the 20 bytes
    // every version reads.
    gOutputSettings.destination = DestinationEncoder;
    strcpy(gOutputSettings.encoderName, "x265 10ビット");
    EXPECT_TRUE(PluginProjectSave(&project));
    EXPECT_EQ(memcmp(gStored, example, 20), 0);
    EXPECT_EQ(gEncoderText, "x265 10ビット");
    LoadSettings(MakeSettings(0, 0, 0, 0, 0));
    EXPECT_TRUE(PluginProjectLoad(&project));
    EXPECT_EQ(gOutputSettings.destination, DestinationEncoder);
    EXPECT_STREQ(gOutputSettings.encoderName, "x265 10ビット");
    // Back to the file: the name an earlier save left is cleared.
    gOutputSettings.destination = DestinationFile;
    EXPECT_TRUE(PluginProjectSave(&project));
    EXPECT_EQ(gEncoderText, "");

    gStoredSize = 19;  // another size is no settings of ours: the defaults
    gEncoderText = "";
    EXPECT_TRUE(PluginProjectLoad(&project));
    const OutputSettings zero = {};
    EXPECT_EQ(memcmp(&gOutputSettings, &zero, sizeof zero), 0);
}

std::string TextOf(const OutputSettings& settings) {
    LoadSettings(settings);
    std::u16string text = PluginSettingsText();
    std::string ascii;
    for (char16_t unit : text) ascii += unit < 0x80 ? static_cast<char>(unit) : '#';
    return ascii;
}

TEST(ExEdit2Settings, TextShowsUnknownCodesAsNumbers) {
    EXPECT_EQ(std::u16string((LoadSettings(MakeSettings(1, 3, 10, 11, 2)), PluginSettingsText())),
              u"YUV 422, カスタム 10:11, インタレース (ボトム先頭), ファイル");
    OutputSettings encoder = MakeSettings(8, 2, 0, 0, 0);
    encoder.destination = DestinationEncoder;
    strcpy(encoder.encoderName, "x265 10ビット");
    EXPECT_EQ(std::u16string((LoadSettings(encoder), PluginSettingsText())),
              u"YUV 444 12 bit, 16:9 (ディスプレイ), プログレッシブ, エンコーダー x265 10ビット");
    const char* const colours[] = {"YUV 420",        "YUV 422",        "YUV 444",
                                   "YUV 420 10 bit", "YUV 422 10 bit", "YUV 444 10 bit",
                                   "YUV 420 12 bit", "YUV 422 12 bit", "YUV 444 12 bit"};
    for (int32_t code = 0; code <= 8; ++code)
        EXPECT_EQ(TextOf(MakeSettings(code, -1, 0, 0, 3)), std::string(colours[code]) + ", -1, 3, ####");
    EXPECT_EQ(TextOf(MakeSettings(9, -1, 0, 0, 3)), "9, -1, 3, ####");
    OutputSettings extreme = MakeSettings(INT32_MIN, 3, INT32_MIN, INT32_MIN, INT32_MIN);
    extreme.destination = INT32_MIN;
    EXPECT_EQ(TextOf(extreme), "-2147483648, #### -2147483648:-2147483648, -2147483648, -2147483648");
}

}  // namespace
