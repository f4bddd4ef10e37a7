// The host's system on Windows.
#include "y4mhost/host_system.h"

#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include "y4mhost/host_system_state.h"
#include "y4mhost/import_patch.h"

typedef int(WINAPI* MessageBoxFunction)(HWND, LPCSTR, LPCSTR, UINT);
typedef int(WINAPI* MessageBoxWideFunction)(HWND, LPCWSTR, LPCWSTR, UINT);
static MessageBoxFunction gSystemMessageBox;
static MessageBoxWideFunction gSystemMessageBoxWide;

static std::string Utf8FromWide(const wchar_t* wide) {
    int count = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (count <= 0) return "";
    std::string utf8(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &utf8[0], count, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(count - 1));
    return utf8;
}

std::wstring Utf16Path(const std::string& path) {
    int count = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    if (count <= 0) return L"";
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0], count);
    wide.resize(static_cast<size_t>(count - 1));
    return wide;
}

std::vector<std::string> CommandLineUtf8(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    if (wide == nullptr || count != argc) {
        arguments.assign(argv, argv + argc);
    } else {
        for (int i = 0; i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
    }
    if (wide != nullptr) LocalFree(wide);
    return arguments;
}

FILE* OpenHostFile(const std::string& path, const char* mode) {
    return _wfopen(Utf16Path(path).c_str(), Utf16Path(mode).c_str());
}

std::string SystemCodePagePath(const std::string& path) {
    std::wstring wide = Utf16Path(path);
    int count = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (count <= 0) return "";
    std::string bytes(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &bytes[0], count, nullptr, nullptr);
    bytes.resize(static_cast<size_t>(count - 1));
    return bytes;
}

// Code page 932 text as UTF-8 on stderr.
static std::string PrintShiftJis(const char* text) {
    int wideCount = MultiByteToWideChar(932, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideCount), L'\0');
    MultiByteToWideChar(932, 0, text, -1, &wide[0], wideCount);
    int count = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0], count, nullptr, nullptr);
    utf8.resize(strlen(utf8.c_str()));
    fputs(utf8.c_str(), stderr);
    return utf8;
}

// The export's reports have no owner: on a command line they go to stderr
// instead of waiting for a click. Boxes owned by a window (the settings
// dialog's) stay boxes.
static int WINAPI MessageBoxToStderr(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    if (owner != nullptr && gSystemMessageBox != nullptr) return gSystemMessageBox(owner, text, caption, style);
    fputc('[', stderr);
    PrintShiftJis(caption ? caption : "");
    fputs("] ", stderr);
    gLastReport = PrintShiftJis(text ? text : "");
    fputc('\n', stderr);
    fflush(stderr);
    return IDOK;
}

// The same for a module that shows UTF-16 (the ExEdit2 one).
static int WINAPI MessageBoxWideToStderr(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
    if (owner != nullptr && gSystemMessageBoxWide != nullptr) return gSystemMessageBoxWide(owner, text, caption, style);
    gLastReport = Utf8FromWide(text ? text : L"");
    fprintf(stderr, "[%s] %s\n", Utf8FromWide(caption ? caption : L"").c_str(), gLastReport.c_str());
    fflush(stderr);
    return IDOK;
}

void* LoadPluginEntry(const std::string& path, void** moduleHandle, std::string* error) {
    std::string windowsPath = path;
    if (!windowsPath.empty() && windowsPath[0] == '/') windowsPath = "Z:" + windowsPath;  // under Wine
    HMODULE module = LoadLibraryW(Utf16Path(windowsPath).c_str());
    if (module == nullptr) {
        *error = "cannot load plug-in " + path + " (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    *moduleHandle = module;
    gSystemMessageBox = reinterpret_cast<MessageBoxFunction>(
        ReplaceModuleImport(module, "user32.dll", "MessageBoxA", reinterpret_cast<void*>(&MessageBoxToStderr)));
    gSystemMessageBoxWide = reinterpret_cast<MessageBoxWideFunction>(
        ReplaceModuleImport(module, "user32.dll", "MessageBoxW", reinterpret_cast<void*>(&MessageBoxWideToStderr)));
    void* entry = reinterpret_cast<void*>(GetProcAddress(module, "GetOutputPluginTable"));
    if (entry == nullptr) *error = path + " has no GetOutputPluginTable: not an output plug-in";
    return entry;
}

static BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    gInterrupted = 1;
    return TRUE;
}

void InstallInterruptHandler(void) { SetConsoleCtrlHandler(OnConsoleControl, TRUE); }
bool StderrIsTerminal(void) { return _isatty(_fileno(stderr)) != 0; }

double SecondsNow(void) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int64_t MachineMemoryBytes(void) {
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return INT64_MAX;
    return AddressableBytes(static_cast<int64_t>(status.ullTotalPhys));
}

uint8_t* AllocatePictureMemory(size_t bytes) {
    return static_cast<uint8_t*>(
        VirtualAlloc(nullptr, bytes > 0 ? bytes : 1, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
}

void FreePictureMemory(uint8_t* memory, size_t) {
    if (memory != nullptr) VirtualFree(memory, 0, MEM_RELEASE);
}

int64_t RegularFileSize(const std::string& path) {
    struct _stat64 info;
    if (_wstat64(Utf16Path(path).c_str(), &info) != 0 || !(info.st_mode & _S_IFREG)) return -1;
    return info.st_size;
}

bool SameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION info[2];
    const std::string* paths[2] = {&a, &b};
    for (int i = 0; i < 2; ++i) {
        HANDLE file = CreateFileW(Utf16Path(*paths[i]).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        BOOL known = GetFileInformationByHandle(file, &info[i]);
        CloseHandle(file);
        if (!known) return false;
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

void UseBinaryStdin(void) { _setmode(_fileno(stdin), _O_BINARY); }
bool StdoutIsTerminal(void) { return _isatty(_fileno(stdout)) != 0; }
bool OutputReaderGone(void) { return false; }  // this build writes files only
std::string StandardOutputPath(void) { return ""; }
bool HostHasDialogs(void) { return true; }

// The boxes come through MessageBoxToStderr, which shows them at once and
// keeps the last text.
void BeginReportCapture(void) { gLastReport.clear(); }
std::string EndReportCapture(bool) { return gLastReport; }
