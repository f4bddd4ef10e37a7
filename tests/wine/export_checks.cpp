// Whole exports by the real module, with a fake host behind raw request words.
#include <string.h>

#include <string>
#include <vector>

#include "tests/fake_host.h"
#include "tests/frame_model.h"
#include "tests/large_export_frames.h"
#include "tests/wine/host_harness.h"

namespace {

FakeHost SizedHost(int width, int height) {
    FakeHost host;
    host.width = width;
    host.height = height;
    return host;
}

#if defined(_WIN64)
// ExEdit2's bools carry junk above their low byte, so a module that reads an
// int instead fails every export.
int (*gAbortQuestion)();
uint64_t JunkBoolAbort() { return 0x5A5A5A5A5A5A5A00ull | (gAbortQuestion() != 0 ? 1 : 0); }
void ShowProgressVoid(int now, int total) { FakeShowProgress(now, total); }

}  // namespace

// The 88-byte request as ExEdit2 lays it out; the path in UTF-16.
int CallOutputWide(int width, int height, int rate, int scale, int frameCount, const wchar_t* path, int (*isAbort)(),
                   void* (*getFrame)(int, uint32_t)) {
    uint8_t request[88] = {};
    const int32_t numbers[6] = {1, width, height, rate, scale, frameCount};
    memcpy(request, numbers, sizeof numbers);
    gAbortQuestion = isAbort;
    const void* slots[6] = {path,
                            reinterpret_cast<void*>(getFrame),
                            nullptr,
                            reinterpret_cast<void*>(&JunkBoolAbort),
                            reinterpret_cast<void*>(&ShowProgressVoid),
                            nullptr};
    memcpy(request + 40, slots, sizeof slots);
    typedef bool (*OutputEntry)(void*);
    return reinterpret_cast<OutputEntry>(const_cast<void*>(TableSlot(4)))(request) ? 1 : 0;
}

namespace {

int CallOutput(int width, int height, int rate, int scale, int frameCount, const std::string& path, int (*isAbort)(),
               void* (*getFrame)(int, uint32_t)) {
    return CallOutputWide(width, height, rate, scale, frameCount, Wide(path).c_str(), isAbort, getFrame);
}
// ExEdit2 has no preview to refresh.
const bool HostHasPreview = false;
#else
// Calls the module's output entry with the request exactly as the host lays
// it out: 4-byte slots at fixed offsets.
int CallOutput(int width, int height, int rate, int scale, int frameCount, const std::string& path,
               int(__cdecl* isAbort)(), void*(__cdecl* getFrame)(int, uint32_t)) {
    uint32_t request[19] = {};
    request[1] = static_cast<uint32_t>(width);
    request[2] = static_cast<uint32_t>(height);
    request[3] = static_cast<uint32_t>(rate);
    request[4] = static_cast<uint32_t>(scale);
    request[5] = static_cast<uint32_t>(frameCount);
    request[11] = reinterpret_cast<uint32_t>(path.c_str());
    request[14] = reinterpret_cast<uint32_t>(isAbort);
    request[15] = reinterpret_cast<uint32_t>(&FakeShowProgress);
    request[17] = reinterpret_cast<uint32_t>(&FakeUpdatePreview);
    request[18] = reinterpret_cast<uint32_t>(getFrame);
    return Output()(request);
}
const bool HostHasPreview = true;
#endif

int RunExport(FakeHost& host, const std::string& path, int frameCount, int rate = 30000, int scale = 1001) {
    gFakeHost = &host;
    gBoxes.clear();
    return CallOutput(host.width, host.height, rate, scale, frameCount, path, FakeIsAbort, FakeGetFrame);
}

std::string Records(const FakeHost& host, FrameLayout layout, int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        std::vector<uint8_t> frame = ModelFrame(layout, host.frames[i].data(), host.width, host.height);
        bytes += "FRAME\n" + std::string(frame.begin(), frame.end());
    }
    return bytes;
}

bool OneErrorBox(const std::string& utf8Text) {
    bool one = gBoxes.size() == 1;
    CHECK_EQ(static_cast<long long>(gBoxes.size()), 1LL);
    if (!one) return false;
    CHECK_EQ(gBoxes[0].text, BoxText(utf8Text));
    CHECK(gBoxes[0].owner == nullptr);
    CHECK_EQ(gBoxes[0].caption, std::string("ERROR"));
    CHECK_EQ(gBoxes[0].style, static_cast<UINT>(MB_ICONERROR));
    return true;
}

void ModesWriteExactFiles() {
    struct Mode {
        int32_t settings[5];
        int width, height;
        FrameLayout layout;
        const char* header;
    };
    const Mode modes[] = {
        {{0, 1, 0, 0, 0},
         720,
         480,
         Progressive420,
         "YUV4MPEG2 W720 H480 F30000:1001 Ip A8:9 C420mpeg2 XYSCSS=420MPEG2\n"},
        {{0, 2, 0, 0, 1},
         720,
         480,
         Interlaced420,
         "YUV4MPEG2 W720 H480 F30000:1001 It A32:27 C420mpeg2 XYSCSS=420MPEG2\n"},
        {{1, 3, 16, 15, 2}, 720, 576, Planar422, "YUV4MPEG2 W720 H576 F30000:1001 Ib A16:15 C422 XYSCSS=422\n"},
        {{0, 0, 0, 0, 0}, 34, 6, Progressive420, "YUV4MPEG2 W34 H6 F30000:1001 Ip A0:0 C420mpeg2 XYSCSS=420MPEG2\n"},
        {{0, 0, 0, 0, 2}, 6, 8, Interlaced420, "YUV4MPEG2 W6 H8 F30000:1001 Ib A0:0 C420mpeg2 XYSCSS=420MPEG2\n"},
    };
    std::string path = TempPath("modes.y4m");
    for (const Mode& mode : modes) {
        SetBlob(mode.settings);
        FakeHost host = SizedHost(mode.width, mode.height);
        CHECK_EQ(RunExport(host, path, 3), 1);
        CHECK(gBoxes.empty());
        std::string file = ReadFileBytes(path);
        CHECK_EQ(file.substr(0, strlen(mode.header)), std::string(mode.header));
        CHECK_EQ(file, mode.header + Records(host, mode.layout, 3));
    }
    DeleteFileA(path.c_str());
}

void HostCallsInOrder() {
    int32_t fresh[5] = {};
    SetBlob(fresh);
    std::string path = TempPath("calls.y4m");
    FakeHost host = SizedHost(8, 8);
    CHECK_EQ(RunExport(host, path, 100), 1);
    CHECK(host.calls == ExpectedHostCalls(100, HostHasPreview));
    FakeHost none = SizedHost(8, 8);
    CHECK_EQ(RunExport(none, path, 0), 1);
    CHECK(none.calls.empty());
    CHECK_EQ(ReadFileBytes(path), std::string("YUV4MPEG2 W8 H8 F30000:1001 Ip A0:0 C420mpeg2 XYSCSS=420MPEG2\n"));
    DeleteFileA(path.c_str());
}

void FailuresAndRefusals() {
    const std::string header = "YUV4MPEG2 W8 H8 F30000:1001 Ip A0:0 C420mpeg2 XYSCSS=420MPEG2\n";
    int32_t fresh[5] = {};
    SetBlob(fresh);
    std::string path = TempPath("fail.y4m");

    FakeHost aborting = SizedHost(8, 8);
    aborting.abortAt = 2;
    CHECK_EQ(RunExport(aborting, path, 10), 0);
    CHECK(gBoxes.empty());
    CHECK_EQ(ReadFileBytes(path), header + Records(aborting, Progressive420, 2));

    FakeHost missing = SizedHost(8, 8);
    missing.nullFrameAt = 5;
    CHECK_EQ(RunExport(missing, path, 10), 0);
    OneErrorBox(
        "フレーム 5 を AviUtl 本体から取得することに失敗しました\n"
        "再度実行しても同じエラーがでる場合は、プラグインの作者に詳細な再現方法を報告してください\n");
    CHECK_EQ(ReadFileBytes(path), header + Records(missing, Progressive420, 5));

    std::string unreachable = TempPath("no-such-folder\\out.y4m");
    FakeHost openFails = SizedHost(8, 8);
    CHECK_EQ(RunExport(openFails, unreachable, 3), 0);
    OneErrorBox("保存先ファイル " + unreachable +
                " を開くことができませんでした\nファイル名を正しく指定しているか確認してください");
    CHECK(openFails.calls.empty());

    // Refused before the file is touched: an existing file keeps its bytes.
    WriteFileBytes(path, "precious");
    FakeHost odd = SizedHost(641, 481);
    CHECK_EQ(RunExport(odd, path, 3), 0);
    OneErrorBox(
        "出力パラメータに問題があります\n\n"
        "- 映像の幅 641 が 2 の倍数ではありません\n"
        "  このプラグインで出力する際には\n"
        "  映像の幅を 2 の倍数に設定する必要があります\n"
        "  「サイズの変更」等で問題のない映像の幅に変更してください\n"
        "- 映像の高さ 481 が 2 の倍数ではありません\n"
        "  YUV420 フォーマットで出力する際には\n"
        "  映像の高さを 2 の倍数に設定する必要があります\n"
        "  「サイズの変更」等で問題のない映像の高さに変更してください\n");
    CHECK_EQ(ReadFileBytes(path), std::string("precious"));

    int32_t badColour[5] = {9, 0, 0, 0, 0};
    SetBlob(badColour);
    FakeHost fine = SizedHost(640, 480);
    CHECK_EQ(RunExport(fine, path, 3), 0);
    OneErrorBox(
        "出力パラメータに問題があります\n\n"
        "- プラグインの設定が正しく行われていません\n"
        "  設定ダイアログを開いて「決定」ボタンを押して\n"
        "  正しく設定を完了してください\n");
    CHECK_EQ(ReadFileBytes(path), std::string("precious"));

    SetBlob(fresh);
    FakeHost negative = SizedHost(-4, 480);
    CHECK_EQ(RunExport(negative, path, 3), 0);
    OneErrorBox("映像のサイズ -4 x 480 には対応していません\n「サイズの変更」等で映像のサイズを変更してください\n");
    CHECK_EQ(ReadFileBytes(path), std::string("precious"));

#if !defined(_WIN64)
    // 4:2:2 at 32766 x 32766 needs a 2 GiB buffer, more than a 32-bit process gets.
    int32_t planar422[5] = {1, 0, 0, 0, 0};
    SetBlob(planar422);
    FakeHost huge = SizedHost(32766, 32766);
    CHECK_EQ(RunExport(huge, path, 3), 0);
    OneErrorBox(
        "メモリの確保に失敗しました\n利用可能なメモリ量や異常にメモリを消費している\n"
        "他のアプリケーションがないか確認してみてください\n");
    CHECK_EQ(ReadFileBytes(path), std::string(""));
    CHECK(huge.calls.empty());
#endif
    SetBlob(fresh);
    DeleteFileA(path.c_str());
}

}  // namespace

void TestExport() {
    ModesWriteExactFiles();
    HostCallsInOrder();
    FailuresAndRefusals();
}

// Past 4 GiB through the 32-bit module: 1040 frames of 1920x1080 4:2:2.
namespace {
const int LargeFrames = LargeExportFrames;
std::vector<uint8_t> gLargeFrame;

void FillLargeFrame(int index) { FillLargeExportFrame(&gLargeFrame, index); }
int __cdecl NeverAbort() { return 0; }
void* __cdecl LargeFrame(int index, uint32_t) {
    FillLargeFrame(index);
    return gLargeFrame.data();
}
}  // namespace

void TestLargeExport(const std::string& directory) {
    const int w = 1920, h = 1080;
    std::string path = directory + "\\large-export.y4m";
    gLargeFrame.resize(static_cast<size_t>(2 * w * h));
    int32_t planar422[5] = {1, 0, 0, 0, 0};
    SetBlob(planar422);
    FakeHost quiet = SizedHost(w, h);  // records the progress and preview calls
    gFakeHost = &quiet;
    gBoxes.clear();
    DWORD start = GetTickCount();
    CHECK_EQ(CallOutput(w, h, 60, 1, LargeFrames, path, NeverAbort, LargeFrame), 1);
    DWORD elapsed = GetTickCount() - start;
    CHECK(gBoxes.empty());

    const long long headerLength = 52, frameSize = 2LL * w * h;
    const long long expected = headerLength + LargeFrames * (6 + frameSize);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    CHECK(file != INVALID_HANDLE_VALUE);
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    CHECK_EQ(static_cast<long long>(size.QuadPart), expected);
    printf("wrote %lld bytes in %.1f s\n", static_cast<long long>(size.QuadPart), elapsed / 1000.0);
    std::vector<uint8_t> record(static_cast<size_t>(6 + frameSize));
    LARGE_INTEGER at;
    at.QuadPart = expected - static_cast<long long>(record.size());
    DWORD read = 0;
    CHECK(SetFilePointerEx(file, at, nullptr, FILE_BEGIN));
    CHECK(ReadFile(file, record.data(), static_cast<DWORD>(record.size()), &read, nullptr));
    CloseHandle(file);
    DeleteFileA(path.c_str());
    FillLargeFrame(LargeFrames - 1);
    std::vector<uint8_t> model = ModelFrame(Planar422, gLargeFrame.data(), w, h);
    model.insert(model.begin(), {'F', 'R', 'A', 'M', 'E', '\n'});
    CHECK_EQ(record, model);
    int32_t fresh[5] = {};
    SetBlob(fresh);
}
