#include "y4mhost/own_commands.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "y4mhost/host_system.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

const char OwnCommandName[] = "y4mhost";

static std::string gFolder;

static std::string CommandsFolder(void) { return gFolder + "/yuv4mpeg2"; }
static std::string CommandsFile(void) { return CommandsFolder() + "/encoders.txt"; }

#if defined(_WIN32)
static bool MakeFolder(const std::string& path) { return CreateDirectoryW(Utf16Path(path).c_str(), nullptr) != 0; }
static void RemoveFolder(const std::string& path) { RemoveDirectoryW(Utf16Path(path).c_str()); }
static void RemoveFile(const std::string& path) { DeleteFileW(Utf16Path(path).c_str()); }

static bool MakeOwnFolder(void) {
    wchar_t temporary[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
    if (length == 0 || length > MAX_PATH) return false;
    char name[64];
    for (int attempt = 0; attempt < 100; ++attempt) {
        snprintf(name, sizeof name, "y4mhost-%lu-%lu-%d", GetCurrentProcessId(), GetTickCount(), attempt);
        std::wstring wide = std::wstring(temporary) + Utf16Path(name);
        if (CreateDirectoryW(wide.c_str(), nullptr)) {
            char utf8[4 * MAX_PATH];
            WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
            gFolder = utf8;
            return true;
        }
    }
    return false;
}

// The plug-in reads %APPDATA%: the environment of this process.
static bool PointProfileAt(const std::string& folder) {
    return SetEnvironmentVariableW(L"APPDATA", Utf16Path(folder).c_str()) != 0;
}
#else
static bool MakeFolder(const std::string& path) { return mkdir(path.c_str(), 0700) == 0; }
static void RemoveFolder(const std::string& path) { rmdir(path.c_str()); }
static void RemoveFile(const std::string& path) { unlink(path.c_str()); }

static bool MakeOwnFolder(void) {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && base[0] == '/' ? base : "/tmp") + "/y4mhost-XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr) return false;
    gFolder = pattern;
    return true;
}

static bool PointProfileAt(const std::string& folder) { return setenv("XDG_CONFIG_HOME", folder.c_str(), 1) == 0; }
#endif

bool UseOwnCommandsFile(const std::string& commandLine, std::string* error) {
    if (!MakeOwnFolder() || !MakeFolder(CommandsFolder())) {
        *error = std::string("cannot make a temporary folder for --encoder: ") + strerror(errno);
        return false;
    }
    FILE* file = OpenHostFile(CommandsFile(), "wb");
    const std::string line = std::string(OwnCommandName) + " = " + commandLine + "\n";
    bool written = file != nullptr && fwrite(line.data(), 1, line.size(), file) == line.size();
    if (file != nullptr && fclose(file) != 0) written = false;
    if (!written || !PointProfileAt(gFolder)) {
        *error = "cannot write the commands file for --encoder in " + gFolder;
        RemoveOwnCommandsFile();
        return false;
    }
    return true;
}

void RemoveOwnCommandsFile(void) {
    if (gFolder.empty()) return;
    RemoveFile(CommandsFile());
    RemoveFolder(CommandsFolder());
    RemoveFolder(gFolder);
    gFolder.clear();
}
