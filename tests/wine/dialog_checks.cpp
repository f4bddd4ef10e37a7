// The settings dialog through Wine's real user32: a thread timer finds the
// dialog inside its modal loop and plays one user action per tick.
#include <stdio.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/wine/host_harness.h"

namespace {

typedef std::function<void(HWND)> Step;

std::vector<Step> gSteps;
size_t gNextStep;
int gIdleTicks;
HWND gSeenDialog;

BOOL CALLBACK FindSettingsDialog(HWND window, LPARAM found) {
    char className[16];
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") == 0 && GetDlgItem(window, 1001) != nullptr) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindSettingsDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) return;
    gSeenDialog = dialog;
    if (gNextStep < gSteps.size()) {
        Step step = gSteps[gNextStep++];
        step(dialog);
    } else if (++gIdleTicks > 20) {
        CHECK(!"the script left the dialog open");
        EndDialog(dialog, 99);
    }
}

// Opens the dialog over `owner` and plays the steps; returns PluginConfig's result.
int RunDialog(HWND owner, std::vector<Step> steps) {
    gSteps = std::move(steps);
    gNextStep = 0;
    gIdleTicks = 0;
    gSeenDialog = nullptr;
    gBoxes.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
    int result = Config()(owner, reinterpret_cast<HINSTANCE>(gModule));
    KillTimer(nullptr, timer);
    CHECK_EQ(static_cast<long long>(gNextStep), static_cast<long long>(gSteps.size()));
    return result;
}

Step Click(int id) {
    return [id](HWND dialog) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); };
}
Step Type(int id, const char* text) {
    return [id, text](HWND dialog) { SetDlgItemTextA(dialog, id, text); };
}
Step Expect(std::function<void(HWND)> checks) { return checks; }

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
std::string Text(HWND dialog, int id) {
    char text[64] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

HWND MakeOwner() {
    return CreateWindowA("STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

void TestDialog() {
    HWND owner = MakeOwner();

    // Initial state from a blob, caption and owner; cancel keeps everything.
    SetBlob({1, 3, 40, 33, 2});
    int result = RunDialog(owner, {Expect([owner](HWND d) {
                                       wchar_t caption[64] = {};
                                       GetWindowTextW(d, caption, 64);
                                       CHECK_EQ(std::wstring(caption), Wide("YUV4MPEG2 出力設定"));
                                       CHECK(GetWindow(d, GW_OWNER) == owner);
                                       CHECK(Checked(d, 1002) && !Checked(d, 1001));
                                       CHECK(Checked(d, 1006) && !Checked(d, 1003));
                                       CHECK(Enabled(d, 1007) && Enabled(d, 1008));
                                       CHECK_EQ(Text(d, 1007), std::string("40"));
                                       CHECK_EQ(Text(d, 1008), std::string("33"));
                                       CHECK(Checked(d, 1011) && !Checked(d, 1009));
                                   }),
                                   Click(1001), Click(1003), Type(1007, "1"), Click(1009), Click(2)});
    CHECK_EQ(result, 2);
    CHECK(GetBlob() == (std::vector<int32_t>{1, 3, 40, 33, 2}));

    // Codes outside the ranges show as first choices; numbers unsigned.
    SetBlob({7, 9, -1, INT32_MIN, -3});
    result = RunDialog(owner, {Expect([](HWND d) {
                                   CHECK(Checked(d, 1002));
                                   CHECK(Checked(d, 1003));
                                   CHECK(!Enabled(d, 1007) && !Enabled(d, 1008));
                                   CHECK_EQ(Text(d, 1007), std::string("4294967295"));
                                   CHECK_EQ(Text(d, 1008), std::string("2147483648"));
                                   CHECK(Checked(d, 1009));
                               }),
                               Click(2)});
    CHECK_EQ(result, 2);

    // OK without changes writes codes in range.
    SetBlob({7, 9, 5, 6, -3});
    CHECK_EQ(RunDialog(owner, {Click(1)}), 1);
    CHECK(GetBlob() == (std::vector<int32_t>{1, 0, 5, 6, 0}));

    // The enable step follows the custom choice.
    SetBlob({0, 0, 1, 1, 0});
    RunDialog(owner, {Click(1006), Expect([](HWND d) { CHECK(Enabled(d, 1007) && Enabled(d, 1008)); }), Click(1005),
                      Expect([](HWND d) { CHECK(!Enabled(d, 1007) && !Enabled(d, 1008)); }), Click(1006), Click(1002),
                      Expect([](HWND d) { CHECK(Enabled(d, 1007)); }), Click(2)});

    // OK stores all five fields at once.
    SetBlob({0, 0, 0, 0, 0});
    result = RunDialog(owner, {Click(1002), Click(1006), Type(1007, "10"), Type(1008, "11"), Click(1011), Click(1)});
    CHECK_EQ(result, 1);
    CHECK(GetBlob() == (std::vector<int32_t>{1, 3, 10, 11, 2}));
    CHECK(gBoxes.empty());

    // Values in the disabled fields are kept with a display aspect.
    SetBlob({0, 3, 40, 33, 0});
    CHECK_EQ(RunDialog(owner, {Click(1004), Click(1)}), 1);
    CHECK(GetBlob() == (std::vector<int32_t>{0, 1, 40, 33, 0}));

    // Refusals: an empty field reads 0, 2^31 reads negative; the dialog stays
    // open, owns the box, and nothing changes until a valid OK.
    SetBlob({0, 0, 4, 3, 0});
    HWND refusingDialog = nullptr;
    result = RunDialog(
        owner, {Click(1006), Type(1007, ""), Type(1008, "11"), Click(1), Expect([&refusingDialog](HWND d) {
                    refusingDialog = d;
                    CHECK_EQ(static_cast<long long>(gBoxes.size()), 1LL);
                    if (gBoxes.size() != 1) return;
                    CHECK_EQ(gBoxes[0].text, Sjis("不正なカスタムピクセルアスペクト比 0:11 が指定されています"));
                    CHECK(gBoxes[0].owner == d);
                    CHECK_EQ(gBoxes[0].caption, std::string("ERROR"));
                    CHECK_EQ(gBoxes[0].style, static_cast<UINT>(MB_ICONERROR));
                }),
                Type(1007, "2147483648"), Click(1), Expect([](HWND) {
                    CHECK_EQ(static_cast<long long>(gBoxes.size()), 2LL);
                    if (gBoxes.size() != 2) return;
                    CHECK_EQ(gBoxes[1].text,
                             Sjis("不正なカスタムピクセルアスペクト比 -2147483648:11 が指定されています"));
                }),
                Click(2)});
    CHECK_EQ(result, 2);
    CHECK(refusingDialog != nullptr);
    CHECK(GetBlob() == (std::vector<int32_t>{0, 0, 4, 3, 0}));

    // The Escape key and the close box arrive as cancel.
    SetBlob({0, 2, 0, 0, 1});
    CHECK_EQ(RunDialog(owner, {Click(1002), [](HWND d) { SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0); }}),
             2);
    CHECK_EQ(RunDialog(owner, {[](HWND d) { SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }}), 2);
    CHECK(GetBlob() == (std::vector<int32_t>{0, 2, 0, 0, 1}));

    // Enter on an edit presses the default button.
    SetBlob({0, 0, 0, 0, 0});
    CHECK_EQ(RunDialog(owner, {Click(1005), [](HWND d) { SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0); }}), 1);
    CHECK(GetBlob() == (std::vector<int32_t>{0, 2, 0, 0, 0}));

    DestroyWindow(owner);
    SetBlob({0, 0, 0, 0, 0});
}

// Writes a 24-bit BMP of the dialog as the module draws it, for the README.
static void SaveWindowBitmap(HWND window, const char* path) {
    RECT rect;
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + stride * height;
    FILE* out = fopen(path, "wb");
    if (out != nullptr) {
        fwrite(&file, sizeof file, 1, out);
        fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        fwrite(pixels, 1, stride * height, out);
        fclose(out);
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

void SaveDialogPicture(const char* path) {
    // Wine's own caption font has no Japanese glyphs; a Japanese Windows
    // draws the caption with one that does. For this process only.
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        wcscpy(metrics.lfCaptionFont.lfFaceName, L"IPAPGothic");
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    }
    SetBlob({0, 2, 0, 0, 1});
    std::string target = path;
    RunDialog(nullptr, {[](HWND d) { UpdateWindow(d); }, [](HWND) {}, [](HWND) {}, [](HWND) {},
                        [target](HWND d) { SaveWindowBitmap(d, target.c_str()); }, Click(2)});
}
