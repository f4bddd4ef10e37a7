// File questions and text forms on Windows: UTF-8 paths become UTF-16 and go
// to the wide calls, so every name Windows allows works.
#include <string.h>

#include "platform/platform.h"
#include "platform/system_files.h"
#include "platform/system_text.h"

enum { WideRoom = 32768 };

static WideChar gWide[WideRoom];

static bool Widen(const char* utf8) { return WideFromUtf8(utf8, gWide, WideRoom); }

bool UserCommandsPath(char* path, int32_t room) {
    WideChar folder[WideRoom];
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", folder, WideRoom);
    static const WideChar File[] = L"\\yuv4mpeg2\\encoders.txt";
    if (length == 0 || length + sizeof File / sizeof File[0] > WideRoom) {
        if (room > 0) path[0] = 0;
        return false;
    }
    memcpy(folder + length, File, sizeof File);
    return Utf8FromWide(folder, path, room);
}

static int32_t ReadAt(const char* path, char* text, int32_t room, bool fromEnd) {
    if (room <= 0) return -1;
    text[0] = 0;
    if (!Widen(path)) return -1;
    HANDLE file = CreateFileW(gWide, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    LARGE_INTEGER size;
    if (fromEnd && GetFileSizeEx(file, &size) && size.QuadPart > room - 1) {
        LARGE_INTEGER start;
        start.QuadPart = size.QuadPart - (room - 1);
        SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
    }
    int32_t count = 0;
    DWORD got = 0;
    while (count < room - 1 && ReadFile(file, text + count, static_cast<DWORD>(room - 1 - count), &got, nullptr) &&
           got > 0)
        count += static_cast<int32_t>(got);
    CloseHandle(file);
    text[count] = 0;
    return count;
}

int32_t ReadFileStart(const char* path, char* text, int32_t room) { return ReadAt(path, text, room, false); }
int32_t ReadFileEnd(const char* path, char* text, int32_t room) { return ReadAt(path, text, room, true); }

int64_t FileSize(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!Widen(path) || !GetFileAttributesExW(gWide, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

static bool IsProgram(const WideChar* path) {
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

static bool IsAbsolute(const WideChar* path) {
    const bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':' &&
                       (path[2] == '\\' || path[2] == '/');
    return drive || (path[0] == '\\' && path[1] == '\\');
}

// The file itself, or, with no extension in its name, that name and .exe,
// as CreateProcessW would complete it.
static bool FindAt(WideChar* candidate, int32_t length) {
    if (IsProgram(candidate)) return true;
    for (int32_t i = length - 1; i >= 0 && candidate[i] != '\\' && candidate[i] != '/'; --i)
        if (candidate[i] == '.') return false;
    static const WideChar Exe[] = L".exe";
    if (length + 5 > WideRoom) return false;
    memcpy(candidate + length, Exe, sizeof Exe);
    if (IsProgram(candidate)) return true;
    candidate[length] = 0;
    return false;
}

bool FindProgram(const char* name, char* path, int32_t room) {
    static WideChar candidate[WideRoom];
    if (room > 0) path[0] = 0;
    if (name[0] == 0 || !Widen(name)) return false;
    const int32_t nameLength = static_cast<int32_t>(wcslen(gWide));
    if (wcspbrk(gWide, L"\\/:") != nullptr) {
        if (!IsAbsolute(gWide)) return false;
        memcpy(candidate, gWide, sizeof(WideChar) * (nameLength + 1));
        return FindAt(candidate, nameLength) && Utf8FromWide(candidate, path, room);
    }
    static WideChar folders[WideRoom];
    const DWORD length = GetEnvironmentVariableW(L"PATH", folders, WideRoom);
    if (length == 0 || length >= WideRoom) return false;
    for (WideChar* at = folders; *at != 0;) {
        WideChar* end = wcschr(at, ';');
        if (end != nullptr) *end = 0;
        // A folder in quotes is the folder; relative ones (the current
        // folder) are skipped.
        int32_t folderLength = static_cast<int32_t>(wcslen(at));
        if (folderLength >= 2 && at[0] == '"' && at[folderLength - 1] == '"') {
            at[folderLength - 1] = 0;
            ++at;
            folderLength -= 2;
        }
        if (folderLength > 0 && IsAbsolute(at) && folderLength + 1 + nameLength + 5 < WideRoom) {
            memcpy(candidate, at, sizeof(WideChar) * folderLength);
            int32_t n = folderLength;
            if (candidate[n - 1] != '\\' && candidate[n - 1] != '/') candidate[n++] = '\\';
            memcpy(candidate + n, gWide, sizeof(WideChar) * (nameLength + 1));
            if (FindAt(candidate, n + nameLength)) return Utf8FromWide(candidate, path, room);
        }
        if (end == nullptr) break;
        at = end + 1;
    }
    return false;
}

bool CreateFileOnce(const char* path, const char* text) {
    static WideChar folder[WideRoom];
    if (!Widen(path)) return false;
    memcpy(folder, gWide, sizeof gWide);
    WideChar* slash = wcsrchr(folder, '\\');
    if (slash != nullptr) {
        *slash = 0;
        CreateDirectoryW(folder, nullptr);
    }
    HANDLE file =
        CreateFileW(gWide, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_EXISTS;
    DWORD written = 0;
    const DWORD length = static_cast<DWORD>(strlen(text));
    const bool ok = WriteFile(file, text, length, &written, nullptr) && written == length;
    CloseHandle(file);
    return ok;
}

bool Utf8FromSystemPath(const char* path, char* utf8, int32_t room) {
    const int units = MultiByteToWideChar(CP_ACP, 0, path, -1, gWide, WideRoom);
    if (units <= 0) {
        if (room > 0) utf8[0] = 0;
        return false;
    }
    return Utf8FromWide(gWide, utf8, room);
}

void CodePage932FromUtf8(const char* utf8, char* text, int32_t room) {
    if (room <= 0) return;
    text[0] = 0;
    if (MultiByteToWideChar(CP_UTF8, 0, utf8, -1, gWide, WideRoom) <= 0) return;
    const int bytes = WideCharToMultiByte(932, 0, gWide, -1, text, room, "?", nullptr);
    // Cut to fit: ask again for what fits, whole characters only.
    if (bytes <= 0) {
        int32_t units = static_cast<int32_t>(wcslen(gWide));
        while (units > 0) {
            units = units * 3 / 4;
            const int fitted = WideCharToMultiByte(932, 0, gWide, units, text, room - 1, "?", nullptr);
            if (fitted > 0) {
                text[fitted] = 0;
                return;
            }
        }
        text[0] = 0;
    }
}
