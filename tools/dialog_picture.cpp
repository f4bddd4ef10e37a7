// Renders the settings dialog as the real module draws it under Wine, as a
// 24-bit BMP for the README (tools/make-dialog-picture.sh converts it).
//   dialog_picture MODULE BMP
#include <stdio.h>
#include <wchar.h>

#include "resources/resource_ids.h"
#include "tests/wine/dialog_driver.h"

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

static void SaveDialogPicture(const char* path) {
    // Wine's own caption font has no Japanese glyphs; a Japanese Windows
    // draws the caption with one that does. For this process only.
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        wcscpy(metrics.lfCaptionFont.lfFaceName, L"IPAPGothic");
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    }
    SetBlob({3, 2, 0, 0, 1});  // 4:2:0 at 10 bits, 16:9, top field first
    // A commands file of the picture's own, with the encoder chosen from it.
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    wcscat(folder, L"y4m-dialog-picture");
    const std::wstring commands = std::wstring(folder) + L"\\yuv4mpeg2";
    CreateDirectoryW(folder, nullptr);
    CreateDirectoryW(commands.c_str(), nullptr);
    const std::wstring file = commands + L"\\encoders.txt";
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    static const char Lines[] =
        "x265 10 bit = C:\\Tools\\x265.exe --y4m --input - -D 10 --crf 18 -o {output_noext}.hevc\r\n"
        "FFV1 = C:\\Tools\\ffmpeg.exe -nostdin -y -f yuv4mpegpipe -i - -c:v ffv1 {output_noext}.mkv\r\n";
    DWORD written = 0;
    WriteFile(handle, Lines, sizeof Lines - 1, &written, nullptr);
    CloseHandle(handle);
    SetEnvironmentVariableW(L"APPDATA", folder);
    std::string target = path;
    RunDialog(nullptr,
              {[](HWND d) { UpdateWindow(d); }, Click(IdDestinationEncoder),
               [](HWND d) {
                   SendDlgItemMessageW(d, IdEncoderName, CB_SETCURSEL, 0, 0);
                   SendMessageW(d, WM_COMMAND, MAKEWPARAM(IdEncoderName, CBN_SELCHANGE),
                                reinterpret_cast<LPARAM>(GetDlgItem(d, IdEncoderName)));
               },
               [](HWND) {}, [](HWND) {}, [target](HWND d) { SaveWindowBitmap(d, target.c_str()); }, Click(IDCANCEL)});
    DeleteFileW(file.c_str());
    RemoveDirectoryW(commands.c_str());
    RemoveDirectoryW(folder);
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s MODULE BMP\n", argv[0]);
        return 2;
    }
    if (!LoadModule(argv[1])) {
        fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    SaveDialogPicture(argv[2]);
    return ReportChecks();
}
