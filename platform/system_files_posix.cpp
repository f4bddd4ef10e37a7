// File questions and text forms on POSIX systems, where paths are UTF-8
// bytes already.
#include <errno.h>
#include <fcntl.h>
#include <stddef.h>
#include <iconv.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/bounded_format.h"
#include "platform/system_files.h"
#include "platform/system_text.h"

bool UserCommandsPath(char* path, int32_t room) {
    const char* config = getenv("XDG_CONFIG_HOME");
    const char* home = getenv("HOME");
    int written = -1;
    // A relative XDG_CONFIG_HOME is to be ignored, as the base directory
    // rules say.
    if (config != nullptr && config[0] == '/')
        written = FormatBounded(path, room, "%s/yuv4mpeg2/encoders.txt", config);
    else if (home != nullptr && home[0] == '/')
        written = FormatBounded(path, room, "%s/.config/yuv4mpeg2/encoders.txt", home);
    if (written < 0 || written >= room) {
        if (room > 0) path[0] = 0;
        return false;
    }
    return true;
}

static int32_t ReadAt(const char* path, char* text, int32_t room, bool fromEnd) {
    if (room <= 0) return -1;
    text[0] = 0;
    const int file = open(path, O_RDONLY | O_CLOEXEC);
    if (file < 0) return -1;
    struct stat status;
    if (fromEnd && fstat(file, &status) == 0 && status.st_size > room - 1)
        lseek(file, status.st_size - (room - 1), SEEK_SET);
    int32_t count = 0;
    while (count < room - 1) {
        const ssize_t got = read(file, text + count, static_cast<size_t>(room - 1 - count));
        if (got <= 0) break;
        count += static_cast<int32_t>(got);
    }
    close(file);
    text[count] = 0;
    return count;
}

int32_t ReadFileStart(const char* path, char* text, int32_t room) { return ReadAt(path, text, room, false); }
int32_t ReadFileEnd(const char* path, char* text, int32_t room) { return ReadAt(path, text, room, true); }

int64_t FileSize(const char* path) {
    struct stat status;
    return stat(path, &status) == 0 && S_ISREG(status.st_mode) ? static_cast<int64_t>(status.st_size) : -1;
}

static bool IsProgram(const char* path) {
    struct stat status;
    return stat(path, &status) == 0 && S_ISREG(status.st_mode) && access(path, X_OK) == 0;
}

bool FindProgram(const char* name, char* path, int32_t room) {
    if (room > 0) path[0] = 0;
    if (name[0] == 0) return false;
    if (strchr(name, '/') != nullptr) {
        if (name[0] != '/' || !IsProgram(name)) return false;
        return FormatBounded(path, room, "%s", name) >= 0;
    }
    const char* folders = getenv("PATH");
    for (const char* at = folders; at != nullptr && *at != 0;) {
        const char* end = strchr(at, ':');
        const int length = end != nullptr ? static_cast<int>(end - at) : static_cast<int>(strlen(at));
        // Empty entries and relative ones mean the current folder: skipped.
        const int32_t nameLength = static_cast<int32_t>(strlen(name));
        if (length > 0 && at[0] == '/' && length + 1 + nameLength < room) {
            memcpy(path, at, static_cast<size_t>(length));
            path[length] = '/';
            memcpy(path + length + 1, name, static_cast<size_t>(nameLength) + 1);
            if (IsProgram(path)) return true;
        }
        at = end != nullptr ? end + 1 : nullptr;
    }
    if (room > 0) path[0] = 0;
    return false;
}

bool CreateFileOnce(const char* path, const char* text) {
    char folder[4096];
    const char* slash = strrchr(path, '/');
    if (slash != nullptr && slash - path < static_cast<ptrdiff_t>(sizeof folder)) {
        memcpy(folder, path, static_cast<size_t>(slash - path));
        folder[slash - path] = 0;
        mkdir(folder, 0777);
    }
    const int file = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file < 0) return errno == EEXIST;
    const size_t length = strlen(text);
    const bool written = write(file, text, length) == static_cast<ssize_t>(length);
    close(file);
    return written;
}

bool Utf8FromSystemPath(const char* path, char* utf8, int32_t room) {
    const int written = room > 0 ? FormatBounded(utf8, room, "%s", path) : -1;
    if (written < 0 || written >= room) {
        if (room > 0) utf8[0] = 0;
        return false;
    }
    return true;
}

void CodePage932FromUtf8(const char* utf8, char* text, int32_t room) {
    if (room <= 0) return;
    text[0] = 0;
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == (iconv_t)-1) return;
    char* in = const_cast<char*>(utf8);
    size_t inLeft = strlen(utf8);
    char* out = text;
    size_t outLeft = static_cast<size_t>(room - 1);
    while (inLeft > 0 && outLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) != (size_t)-1) break;
        if (errno == E2BIG) break;
        // One character 932 lacks (or a broken byte): '?', then past it.
        *out++ = '?';
        --outLeft;
        do {
            ++in;
            --inLeft;
        } while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
    }
    iconv_close(cd);
    *out = 0;
}
