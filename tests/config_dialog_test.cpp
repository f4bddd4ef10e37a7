// The settings dialog driven through the stand-in user32.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "aviutl1/aviutl1_table.h"
#include "platform/stub_dialog.h"
#include "platform/stub_user32.h"
#include "settings/config_dialog.h"
#include "tests/test_support.h"

namespace {

// A radio button and its group, as the template orders them: the layout's
// third choice (1012) was added after the rest.
StubAction Click(int id) {
    if (id == IdDestinationFile || id == IdDestinationEncoder)
        return StubAction{StubClickRadio, id, IdDestinationFile, IdDestinationEncoder, nullptr, 0};
    if (id == IdColor420 || id == IdColor422 || id == IdColor444)
        return StubAction{StubClickRadio, id, IdColor420, IdColor422, nullptr, IdColor444};
    int first = id >= IdDepth8 ? IdDepth8 : id <= IdAspectCustom ? IdAspectUnspecified : IdScanProgressive;
    int last = id >= IdDepth8 ? IdDepth12 : id <= IdAspectCustom ? IdAspectCustom : IdScanBottomFirst;
    return StubAction{StubClickRadio, id, first, last, nullptr, 0};
}
StubAction Type(int id, const char* text) { return StubAction{StubTypeText, id, 0, 0, text, 0}; }
StubAction Press(int id) { return StubAction{StubPressButton, id, 0, 0, nullptr, 0}; }
StubAction Select(int id, int item) { return StubAction{StubSelectItem, id, item, 0, nullptr, 0}; }

HWND const HostWindow = reinterpret_cast<HWND>(0x1234);

class ConfigDialog : public ::testing::Test {
protected:
    void SetUp() override {
        StubResetMessageBoxes();
        StubSetMessageBoxEcho(0);
        const int disabled[] = {IdAspectNum, IdAspectDen};  // as the template creates them
        StubSetInitiallyDisabled(disabled, 2);
    }
    void TearDown() override { StubSetMessageBoxEcho(1); }

    int Run(const OutputSettings& start, std::vector<StubAction> script) {
        LoadSettings(start);
        StubSetDialogScript(script.data(), static_cast<int>(script.size()));
        return GetOutputPluginTable()->config(HostWindow, nullptr);
    }

    static bool Checked(int id) { return StubDialogControl(id)->checked == BST_CHECKED; }
    static bool Enabled(int id) { return StubDialogControl(id)->enabled != 0; }
    static std::string Text(int id) { return StubDialogControl(id)->text; }

    static std::vector<unsigned char> Blob() {
        std::vector<unsigned char> blob(SettingsBlobSize);
        PluginConfigGet(blob.data(), SettingsBlobSize);
        return blob;
    }
};

TEST_F(ConfigDialog, RunsTemplate101OverTheHostWindow) {
    EXPECT_EQ(Run(MakeSettings(0, 0, 0, 0, 0), {Press(IDCANCEL)}), IDCANCEL);
    EXPECT_EQ(StubLastDialogTemplate(), MAKEINTRESOURCEA(101));
    EXPECT_EQ(StubLastDialogOwner(), HostWindow);
    StubFailNextDialog();
    EXPECT_EQ(Run(MakeSettings(0, 0, 0, 0, 0), {}), -1);
}

TEST_F(ConfigDialog, ShowsEachRecord) {
    Run(MakeSettings(1, 3, 40, 33, 2), {Press(IDCANCEL)});
    EXPECT_TRUE(Checked(IdColor422) && !Checked(IdColor420));
    EXPECT_TRUE(Checked(IdAspectCustom) && !Checked(IdAspectUnspecified));
    EXPECT_TRUE(Enabled(IdAspectNum) && Enabled(IdAspectDen));
    EXPECT_EQ(Text(IdAspectNum), "40");
    EXPECT_EQ(Text(IdAspectDen), "33");
    EXPECT_TRUE(Checked(IdScanBottomFirst) && !Checked(IdScanProgressive));

    Run(MakeSettings(0, 1, 0, 0, 1), {Press(IDCANCEL)});
    EXPECT_TRUE(Checked(IdColor420) && Checked(IdAspect4x3) && Checked(IdScanTopFirst));
    EXPECT_FALSE(Enabled(IdAspectNum) || Enabled(IdAspectDen));
    Run(MakeSettings(0, 2, 0, 0, 0), {Press(IDCANCEL)});
    EXPECT_TRUE(Checked(IdAspect16x9) && Checked(IdScanProgressive));
}

TEST_F(ConfigDialog, CodesOutsideTheRangesShowAsFirstChoices) {
    Run(MakeSettings(9, 9, -1, INT32_MIN, -3), {Press(IDCANCEL)});
    // A colour code outside 0 to 8 shows as 4:2:2, 8 bits.
    EXPECT_TRUE(Checked(IdColor422) && !Checked(IdColor420) && !Checked(IdColor444) && Checked(IdDepth8));
    EXPECT_TRUE(Checked(IdAspectUnspecified));
    EXPECT_FALSE(Enabled(IdAspectNum) || Enabled(IdAspectDen));
    EXPECT_EQ(Text(IdAspectNum), "4294967295");
    EXPECT_EQ(Text(IdAspectDen), "2147483648");
    EXPECT_TRUE(Checked(IdScanProgressive));

    // OK without changes writes codes in range.
    EXPECT_EQ(Run(MakeSettings(0, 9, 5, 6, 0), {Press(IDOK)}), IDOK);
    EXPECT_EQ(gOutputSettings.aspectMode, 0);
    EXPECT_EQ(gOutputSettings.pixelAspectNum, 5);
}

// Layout and depth show each code and compose it again: code = layout + 3 x step.
TEST_F(ConfigDialog, ColourIsLayoutAndDepth) {
    const int layouts[3] = {IdColor420, IdColor422, IdColor444};
    for (int32_t code = 0; code <= 8; ++code) {
        EXPECT_EQ(Run(MakeSettings(code, 0, 0, 0, 0), {Press(IDOK)}), IDOK);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(Checked(layouts[i]), i == code % 3) << code;
            EXPECT_EQ(Checked(IdDepth8 + i), i == code / 3) << code;
        }
        EXPECT_EQ(gOutputSettings.colorFormat, code);
        EXPECT_TRUE(Checked(IdAspectUnspecified) && Checked(IdScanProgressive)) << code;
        // Clicking the other choices composes the code from scratch.
        EXPECT_EQ(Run(MakeSettings(8 - code, 0, 0, 0, 0),
                      {Click(layouts[code % 3]), Click(IdDepth8 + code / 3), Press(IDOK)}),
                  IDOK);
        EXPECT_EQ(gOutputSettings.colorFormat, code);
    }
}

TEST_F(ConfigDialog, CustomFieldsFollowTheCustomChoice) {
    Run(MakeSettings(0, 0, 1, 1, 0), {Click(IdAspectCustom), Press(IDCANCEL)});
    EXPECT_TRUE(Enabled(IdAspectNum) && Enabled(IdAspectDen));
    Run(MakeSettings(0, 3, 1, 1, 0), {Click(IdAspect16x9), Press(IDCANCEL)});
    EXPECT_FALSE(Enabled(IdAspectNum) || Enabled(IdAspectDen));
    // Commands from other controls leave the fields alone.
    Run(MakeSettings(0, 3, 1, 1, 0), {Click(IdColor422), Click(IdScanTopFirst), Press(IDCANCEL)});
    EXPECT_TRUE(Enabled(IdAspectNum) && Enabled(IdAspectDen));
}

TEST_F(ConfigDialog, OkStoresEveryField) {
    EXPECT_EQ(Run(MakeSettings(0, 0, 0, 0, 0), {Click(IdColor422), Click(IdAspectCustom), Type(IdAspectNum, "10"),
                                                Type(IdAspectDen, "11"), Click(IdScanBottomFirst), Press(IDOK)}),
              IDOK);
    EXPECT_EQ(Blob(), (std::vector<unsigned char>{1, 0, 0, 0, 3, 0, 0, 0, 10, 0, 0, 0, 11, 0, 0, 0, 2, 0, 0, 0}));

    // Values in disabled fields are kept whatever the aspect choice.
    EXPECT_EQ(Run(MakeSettings(0, 3, 40, 33, 0), {Click(IdAspect4x3), Press(IDOK)}), IDOK);
    EXPECT_EQ(gOutputSettings.aspectMode, 1);
    EXPECT_EQ(gOutputSettings.pixelAspectNum, 40);
    EXPECT_EQ(gOutputSettings.pixelAspectDen, 33);
    EXPECT_EQ(StubMessageBoxCount(), 0);
}

TEST_F(ConfigDialog, InvalidCustomAspectIsRefused) {
    struct Case {
        const char* num;
        const char* den;
        std::string shown;
    };
    for (const Case& c : {Case{"", "11", "0:11"}, Case{"10", "0", "10:0"}, Case{"2147483648", "1", "-2147483648:1"},
                          Case{"4294967295", "3", "-1:3"}, Case{"abc", "5", "0:5"}}) {
        StubResetMessageBoxes();
        OutputSettings start = MakeSettings(0, 0, 4, 3, 0);
        // Ends unfinished (-1): the refusal keeps the dialog open.
        EXPECT_EQ(Run(start, {Click(IdAspectCustom), Type(IdAspectNum, c.num), Type(IdAspectDen, c.den), Press(IDOK)}),
                  -1);
        ASSERT_EQ(StubMessageBoxCount(), 1);
        EXPECT_EQ(std::string(StubLastMessageBox()->text),
                  Sjis("不正なカスタムピクセルアスペクト比 " + c.shown + " が指定されています"));
        EXPECT_NE(StubLastMessageBox()->owner, nullptr);  // owned by the dialog
        EXPECT_STREQ(StubLastMessageBox()->caption, "ERROR");
        EXPECT_EQ(StubLastMessageBox()->style, MB_ICONERROR);
        EXPECT_EQ(gOutputSettings.aspectMode, 0);
        EXPECT_EQ(gOutputSettings.pixelAspectNum, 4);
    }
    // Fixing the value after the refusal lets OK through.
    EXPECT_EQ(Run(MakeSettings(0, 0, 4, 3, 0),
                  {Click(IdAspectCustom), Type(IdAspectNum, ""), Press(IDOK), Type(IdAspectNum, " 8"), Press(IDOK)}),
              IDOK);
    EXPECT_EQ(gOutputSettings.pixelAspectNum, 8);
}

TEST_F(ConfigDialog, CancelChangesNothing) {
    OutputSettings start = MakeSettings(1, 2, -5, 70000, 1);
    Run(start, {});  // only for the blob as it was
    std::vector<unsigned char> before = Blob();
    EXPECT_EQ(Run(start, {Click(IdColor420), Click(IdAspectCustom), Type(IdAspectNum, "3"), Type(IdAspectDen, "2"),
                          Click(IdScanProgressive), Press(IDCANCEL)}),
              IDCANCEL);
    EXPECT_EQ(Blob(), before);
}

TEST_F(ConfigDialog, OnlyTheControlIdCounts) {
    // The notification code in the high word is ignored.
    EXPECT_EQ(Run(MakeSettings(0, 0, 0, 0, 0), {Press(0x00010000 | IDCANCEL)}), IDCANCEL);
    EXPECT_EQ(Run(MakeSettings(0, 0, 0, 0, 0), {Press(999), Press(IdAspectNum), Press(IDOK)}), IDOK);
}

// The destination: the user's commands listed by name, the chosen one's
// command line shown, its name (never its command) kept in the settings.
TEST_F(ConfigDialog, EncoderIsChosenByNameFromTheUsersFile) {
    char folder[] = "/tmp/y4m-dialog-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string profile = folder, file = profile + "/yuv4mpeg2/encoders.txt";
    const char* previous = getenv("XDG_CONFIG_HOME");
    const std::string kept = previous != nullptr ? previous : "";
    setenv("XDG_CONFIG_HOME", folder, 1);

    // No file yet: nothing to choose, and the encoder without a command is
    // refused. The edit button makes the file from the examples and opens it.
    EXPECT_EQ(Run(MakeSettings(0, 0, 0, 0, 0),
                  {Click(IdDestinationEncoder), Press(IDOK), Press(IdEditCommands), Press(IDCANCEL)}),
              IDCANCEL);
    EXPECT_EQ(StubDialogControl(IdEncoderName)->itemCount, 0);
    ASSERT_EQ(StubMessageBoxCount(), 1);
    EXPECT_EQ(std::string(StubLastMessageBox()->text).substr(0, 12), Sjis("エンコーダー"));
    EXPECT_EQ(std::string(StubLastOpenedFile()), file);
    std::ifstream made(file);
    std::string first;
    std::getline(made, first);
    EXPECT_EQ(first.substr(0, 12), "# yuv4mpeg2:");

    std::ofstream(file) << "x265 = x265 --y4m --input - -o {output_noext}.hevc\nffv1 = ffmpeg -i - {output}\n";
    EXPECT_EQ(Run(MakeSettings(0, 0, 0, 0, 0), {Click(IdDestinationEncoder), Select(IdEncoderName, 1), Press(IDOK)}),
              IDOK);
    EXPECT_EQ(gOutputSettings.destination, DestinationEncoder);
    EXPECT_STREQ(gOutputSettings.encoderName, "ffv1");
    EXPECT_EQ(Text(IdEncoderCommandLine), "ffmpeg -i - {output}");
    EXPECT_EQ(PluginConfigGet(nullptr, 0), EncoderSettingsBlobSize);

    // Opened again: the choice is shown; a name the file lacks is listed
    // last and said to be missing; back to the file, the blob is 20 bytes.
    OutputSettings start = gOutputSettings;
    EXPECT_EQ(Run(start, {Press(IDCANCEL)}), IDCANCEL);
    EXPECT_TRUE(Checked(IdDestinationEncoder));
    EXPECT_TRUE(Enabled(IdEncoderName));
    EXPECT_EQ(StubDialogControl(IdEncoderName)->selected, 1);
    strcpy(start.encoderName, "from another computer");
    EXPECT_EQ(Run(start, {Press(IDCANCEL)}), IDCANCEL);
    EXPECT_EQ(StubDialogControl(IdEncoderName)->itemCount, 3);
    EXPECT_STREQ(StubDialogControl(IdEncoderName)->items[2], "from another computer");
    EXPECT_EQ(Text(IdEncoderCommandLine).substr(0, 4), Sjis("この"));
    EXPECT_EQ(Run(start, {Click(IdDestinationFile), Press(IDOK)}), IDOK);
    EXPECT_FALSE(Enabled(IdEncoderName));
    EXPECT_EQ(PluginConfigGet(nullptr, 0), SettingsBlobSize);

    unlink(file.c_str());
    rmdir((profile + "/yuv4mpeg2").c_str());
    rmdir(folder);
    if (previous != nullptr)
        setenv("XDG_CONFIG_HOME", kept.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
