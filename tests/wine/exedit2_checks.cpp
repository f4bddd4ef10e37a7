// What only the ExEdit2 module has: its table and exports, UTF-16 paths, the
// settings kept in the project, the settings text and the host's log. (Its
// bools are read as bools in every export: the request's carry junk.)
#if defined(_WIN64)
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "plugin_version.h"
#include "tests/fake_host.h"
#include "tests/frame_model.h"
#include "tests/wine/host_harness.h"

namespace {

std::wstring SlotText(int slot) { return static_cast<const wchar_t*>(TableSlot(slot)); }

std::vector<std::string> ExportNames() {
    auto base = reinterpret_cast<const uint8_t*>(gModule);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    auto names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::vector<std::string> result;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) result.push_back(reinterpret_cast<const char*>(base + names[i]));
    return result;
}

typedef bool (*ProjectEntry)(void* project);
bool LoadProject(const std::vector<uint8_t>* stored) {
    return reinterpret_cast<ProjectEntry>(const_cast<void*>(TableSlot(7)))(ProjectOf(stored));
}

std::wstring SettingsText(const int32_t (&fields)[5]) {
    SetBlob(fields);
    typedef const wchar_t* (*TextEntry)(void);
    return reinterpret_cast<TextEntry>(const_cast<void*>(TableSlot(6)))();
}

std::string ReadWide(const std::wstring& path) { return ReadOpenedFile(_wfopen(path.c_str(), L"rb")); }

int Export(FakeHost& host, const wchar_t* path, int frames) {
    gFakeHost = &host;
    gBoxes.clear();
    return CallOutputWide(host.width, host.height, 25, 1, frames, path, FakeIsAbort, FakeGetFrame);
}

const char OpenFailureAfter[] = " を開くことができませんでした\nファイル名を正しく指定しているか確認してください";

// A log that records which of its five functions got what.
std::vector<std::pair<int, std::wstring>> gLogged;
template <int Level>
void Log(void*, const wchar_t* message) {
    gLogged.emplace_back(Level, message);
}
void* gLogHandle[5] = {reinterpret_cast<void*>(&Log<0>), reinterpret_cast<void*>(&Log<1>),
                       reinterpret_cast<void*>(&Log<2>), reinterpret_cast<void*>(&Log<3>),
                       reinterpret_cast<void*>(&Log<4>)};

void PathsOutsideCodePage932() {
    SetBlob({0, 0, 0, 0, 0});
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + Wide("出力_한국어_😀.y4m");
    FakeHost host;
    host.width = 34;
    host.height = 6;
    CHECK_EQ(Export(host, path.c_str(), 3), 1);
    CHECK(gBoxes.empty());
    std::string expected = "YUV4MPEG2 W34 H6 F25:1 Ip A0:0 C420mpeg2 XYSCSS=420MPEG2\n";
    for (int i = 0; i < 3; ++i) {
        std::vector<uint8_t> frame = ModelFrame(Progressive420, host.frames[i].data(), 34, 6);
        expected += "FRAME\n" + std::string(frame.begin(), frame.end());
    }
    CHECK_EQ(ReadWide(path), expected);
    CHECK(DeleteFileW(path.c_str()));

    // The report names the path as given, cut (never mid-character) when long.
    const std::wstring missing = std::wstring(folder) + Wide("no-such-folder\\출력😀.y4m");
    FakeHost unopened;
    CHECK_EQ(Export(unopened, missing.c_str(), 1), 0);
    CHECK_EQ(static_cast<long long>(gBoxes.size()), 1LL);
    if (gBoxes.size() == 1) {
        CHECK_EQ(gBoxes[0].text, "保存先ファイル " + Utf8(missing) + OpenFailureAfter);
        CHECK(gBoxes[0].owner == nullptr);
        CHECK_EQ(gBoxes[0].caption, std::string("ERROR"));
        CHECK_EQ(gBoxes[0].style, static_cast<UINT>(MB_ICONERROR));
    }
    CHECK(unopened.calls.empty());
    std::wstring longPath = std::wstring(folder) + L"no-such-folder\\";
    for (int i = 0; i < 1500; ++i) longPath += Wide("😀");
    CHECK_EQ(Export(unopened, longPath.c_str(), 1), 0);
    if (gBoxes.size() == 1) {
        const std::wstring shown = Wide(gBoxes[0].text);
        const std::wstring full = Wide("保存先ファイル ") + longPath;
        CHECK(shown.size() == 2047 || shown.size() == 2046);
        CHECK(shown == full.substr(0, shown.size()));
        CHECK(shown.back() != 0xFFFD && !(shown.back() >= 0xD800 && shown.back() < 0xDC00));
    }
    CHECK_EQ(Export(unopened, nullptr, 1), 0);
    if (gBoxes.size() == 1) CHECK_EQ(gBoxes[0].text, "保存先ファイル " + std::string(OpenFailureAfter));
}

void SettingsInTheProject() {
    const std::vector<uint8_t> example = {1, 0, 0, 0, 3, 0, 0, 0, 10, 0, 0, 0, 11, 0, 0, 0, 2, 0, 0, 0};
    CHECK(LoadProject(&example));
    CHECK(GetBlob() == (std::vector<int32_t>{1, 3, 10, 11, 2}));
    CHECK_EQ(StoredProjectKey(), std::string("settings"));
    CHECK(StoredProjectData() == example);
    // Any values are kept as stored and judged when an export starts.
    const std::vector<uint8_t> wild = {7, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    CHECK(LoadProject(&wild));
    CHECK(GetBlob() == (std::vector<int32_t>{7, 9, 0, 0, -1}));
    // A new project, or a key of another size, starts from the defaults (the
    // host's false comes with junk above its low byte).
    CHECK(LoadProject(&example));
    CHECK(LoadProject(nullptr));
    CHECK(GetBlob() == std::vector<int32_t>(5, 0));
    const std::vector<uint8_t> shorter(example.begin(), example.end() - 1);
    CHECK(LoadProject(&example));
    CHECK(LoadProject(&shorter));
    CHECK(GetBlob() == std::vector<int32_t>(5, 0));
}

void TextOfTheSettings() {
    CHECK_EQ(SettingsText({0, 0, 0, 0, 0}), Wide("YUV 420, 指定しない, プログレッシブ, ファイル"));
    CHECK_EQ(SettingsText({1, 3, 10, 11, 2}), Wide("YUV 422, カスタム 10:11, インタレース (ボトム先頭), ファイル"));
    CHECK_EQ(SettingsText({0, 1, 5, 6, 1}), Wide("YUV 420, 4:3 (ディスプレイ), インタレース (トップ先頭), ファイル"));
    CHECK_EQ(SettingsText({1, 2, 0, 0, 0}), Wide("YUV 422, 16:9 (ディスプレイ), プログレッシブ, ファイル"));
    CHECK_EQ(SettingsText({8, 2, 0, 0, 0}), Wide("YUV 444 12 bit, 16:9 (ディスプレイ), プログレッシブ, ファイル"));
    CHECK_EQ(SettingsText({3, 0, 0, 0, 1}), Wide("YUV 420 10 bit, 指定しない, インタレース (トップ先頭), ファイル"));
    CHECK_EQ(SettingsText({9, -1, 5, 6, 3}), Wide("9, -1, 3, ファイル"));
    CHECK_EQ(SettingsText({INT32_MIN, 3, INT32_MIN, -1, 2}),
             Wide("-2147483648, カスタム -2147483648:-1, インタレース (ボトム先頭), ファイル"));
}

void ReportsReachTheLog() {
    typedef void (*LoggerEntry)(void*);
    auto initialize =
        reinterpret_cast<LoggerEntry>(reinterpret_cast<void*>(GetProcAddress(gModule, "InitializeLogger")));
    CHECK(initialize != nullptr);
    if (initialize == nullptr) return;
    initialize(gLogHandle);
    SetBlob({0, 0, 0, 0, 0});
    gLogged.clear();
    FakeHost odd;
    odd.width = 641;
    odd.height = 480;
    CHECK_EQ(Export(odd, L"unused.y4m", 1), 0);
    CHECK_EQ(static_cast<long long>(gLogged.size()), 1LL);
    if (gLogged.size() == 1 && gBoxes.size() == 1) {
        CHECK_EQ(gLogged[0].first, 3);  // the error function
        CHECK_EQ(Utf8(gLogged[0].second), gBoxes[0].text);
    }
    gLogged.clear();
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"logged.y4m";
    FakeHost fine;
    CHECK_EQ(Export(fine, path.c_str(), 2), 1);
    CHECK(gLogged.empty());
    DeleteFileW(path.c_str());
}

}  // namespace

void TestDescriptor() {
    // The settings start all zero at load.
    CHECK(GetBlob() == std::vector<int32_t>(5, 0));
    int32_t flags;
    memcpy(&flags, gTableWords, sizeof flags);
    CHECK_EQ(flags, 9);  // video, settings kept in the project
    CHECK_EQ(SlotText(1), Wide("YUV4MPEG2 出力"));
    CHECK_EQ(std::wstring(static_cast<const wchar_t*>(TableSlot(2)), 25),
             std::wstring(L"YUV4MPEG2 (*.y4m)\0*.y4m\0\0", 25));
    CHECK_EQ(SlotText(3), Wide("YUV4MPEG2 出力 " PLUGIN_PRODUCT_VERSION_TEXT));
    MEMORY_BASIC_INFORMATION region;
    for (int slot = 4; slot <= 8; ++slot) {
        CHECK(TableSlot(slot) != nullptr);
        VirtualQuery(TableSlot(slot), &region, sizeof region);
        CHECK(region.AllocationBase == gModule);
    }
    CHECK(ExportNames() == (std::vector<std::string>{"GetOutputPluginTable", "InitializeLogger"}));
}

void TestExEdit2Only() {
    PathsOutsideCodePage932();
    SettingsInTheProject();
    TextOfTheSettings();
    // A dialog that cannot be made (no template in this instance) is false.
    CHECK_EQ(RunConfig(nullptr, GetModuleHandleW(nullptr)), 2);
    ReportsReachTheLog();
}
#endif
