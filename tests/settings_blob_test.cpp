// The blob entry points.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "aviutl1/aviutl1_table.h"
#include "tests/test_support.h"

namespace {

std::vector<unsigned char> FetchBlob() {
    std::vector<unsigned char> blob(SettingsBlobSize, 0xEE);
    EXPECT_EQ(PluginConfigGet(blob.data(), SettingsBlobSize), SettingsBlobSize);
    return blob;
}

TEST(SettingsBlob, InitResetsToZero) {
    LoadSettings(MakeSettings(1, 3, 10, 11, 2));
    EXPECT_EQ(PluginInit(), 1);
    EXPECT_EQ(FetchBlob(), std::vector<unsigned char>(SettingsBlobSize, 0));
}

TEST(SettingsBlob, RoundTripIsLittleEndianInFieldOrder) {
    std::vector<unsigned char> blob = {1, 0, 0, 0, 3, 0, 0, 0, 10, 0, 0, 0, 11, 0, 0, 0, 2, 0, 0, 0};
    EXPECT_EQ(PluginConfigSet(blob.data(), SettingsBlobSize), SettingsBlobSize);
    EXPECT_EQ(gOutputSettings.colorFormat, 1);
    EXPECT_EQ(gOutputSettings.aspectMode, 3);
    EXPECT_EQ(gOutputSettings.pixelAspectNum, 10);
    EXPECT_EQ(gOutputSettings.pixelAspectDen, 11);
    EXPECT_EQ(gOutputSettings.interlaceMode, 2);
    EXPECT_EQ(FetchBlob(), blob);

    // Any value is kept as given, to be judged when an export starts.
    std::vector<unsigned char> odd = {7, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 1, 2, 3, 4, 9, 0, 0, 0};
    EXPECT_EQ(PluginConfigSet(odd.data(), SettingsBlobSize), SettingsBlobSize);
    EXPECT_EQ(gOutputSettings.aspectMode, -1);
    EXPECT_EQ(gOutputSettings.pixelAspectNum, INT32_MIN);
    EXPECT_EQ(FetchBlob(), odd);
}

TEST(SettingsBlob, WrongSizesChangeNothing) {
    LoadSettings(MakeSettings(1, 2, 3, 4, 1));
    std::vector<unsigned char> before = FetchBlob();
    std::vector<unsigned char> other(32, 0x55);
    EXPECT_EQ(PluginConfigSet(other.data(), 19), 0);
    EXPECT_EQ(PluginConfigSet(other.data(), 21), 0);
    EXPECT_EQ(PluginConfigSet(other.data(), -20), 0);
    EXPECT_EQ(PluginConfigSet(nullptr, SettingsBlobSize), 0);  // no bytes to read
    EXPECT_EQ(FetchBlob(), before);

    std::vector<unsigned char> destination(32, 0xEE);
    EXPECT_EQ(PluginConfigGet(nullptr, 0), SettingsBlobSize);
    EXPECT_EQ(PluginConfigGet(nullptr, SettingsBlobSize), SettingsBlobSize);
    EXPECT_EQ(PluginConfigGet(destination.data(), 16), SettingsBlobSize);
    EXPECT_EQ(PluginConfigGet(destination.data(), 21), SettingsBlobSize);
    EXPECT_EQ(destination, std::vector<unsigned char>(32, 0xEE));
}

// An encoder's settings: the five fields, the destination and the command's
// name, NUL-padded; back to the file, the blob is the 20 bytes again.
TEST(SettingsBlob, EncoderDestinationUsesTheLongerForm) {
    std::vector<unsigned char> blob(EncoderSettingsBlobSize, 0);
    const unsigned char fields[24] = {3, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    memcpy(blob.data(), fields, sizeof fields);
    memcpy(blob.data() + 24, "x265 10", 7);
    EXPECT_EQ(PluginConfigSet(blob.data(), EncoderSettingsBlobSize), EncoderSettingsBlobSize);
    EXPECT_EQ(gOutputSettings.destination, DestinationEncoder);
    EXPECT_STREQ(gOutputSettings.encoderName, "x265 10");
    EXPECT_EQ(PluginConfigGet(nullptr, 0), EncoderSettingsBlobSize);
    std::vector<unsigned char> fetched(EncoderSettingsBlobSize, 0xEE);
    EXPECT_EQ(PluginConfigGet(fetched.data(), SettingsBlobSize), EncoderSettingsBlobSize);  // too small: nothing
    EXPECT_EQ(fetched, std::vector<unsigned char>(EncoderSettingsBlobSize, 0xEE));
    EXPECT_EQ(PluginConfigGet(fetched.data(), EncoderSettingsBlobSize), EncoderSettingsBlobSize);
    EXPECT_EQ(fetched, blob);

    // A name is cut at its 63rd byte, so it always ends within the blob.
    memset(blob.data() + 24, 'n', EncoderNameSize);
    EXPECT_EQ(PluginConfigSet(blob.data(), EncoderSettingsBlobSize), EncoderSettingsBlobSize);
    EXPECT_EQ(strlen(gOutputSettings.encoderName), size_t{EncoderNameSize - 1});

    // A 20-byte blob means the file, whatever was set before.
    EXPECT_EQ(PluginConfigSet(blob.data(), SettingsBlobSize), SettingsBlobSize);
    EXPECT_EQ(gOutputSettings.destination, DestinationFile);
    EXPECT_EQ(PluginConfigGet(nullptr, 0), SettingsBlobSize);
    EXPECT_EQ(FetchBlob(), std::vector<unsigned char>(blob.begin(), blob.begin() + SettingsBlobSize));
}

}  // namespace
