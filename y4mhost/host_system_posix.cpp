// The host's system on POSIX systems.
#include "y4mhost/host_system.h"

#include <dlfcn.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "y4mhost/host_system_state.h"

void* LoadPluginEntry(const std::string& path, void** moduleHandle, std::string* error) {
    // A bare name would be searched for in the library path; a path is meant.
    std::string loadPath = path.find('/') == std::string::npos ? "./" + path : path;
    void* module = dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        *error = "cannot load plug-in " + path + ": " + dlerror();
        return nullptr;
    }
    *moduleHandle = module;
    void* entry = dlsym(module, "GetOutputPluginTable");
    if (entry == nullptr) *error = path + " has no GetOutputPluginTable: not an output plug-in";
    return entry;
}

static void OnInterrupt(int) { gInterrupted = 1; }

void InstallInterruptHandler(void) {
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    action.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &action, nullptr);
}

bool StderrIsTerminal(void) { return isatty(fileno(stderr)) != 0; }

double SecondsNow(void) {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

int64_t MachineMemoryBytes(void) {
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return INT64_MAX;
    return AddressableBytes(static_cast<int64_t>(pages) * pageSize);
}

uint8_t* AllocatePictureMemory(size_t bytes) {
    void* memory = mmap(nullptr, bytes > 0 ? bytes : 1, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return nullptr;
#if defined(MADV_HUGEPAGE)
    madvise(memory, bytes, MADV_HUGEPAGE);  // a hint: where it is refused, pages stay small
#endif
    return static_cast<uint8_t*>(memory);
}

void FreePictureMemory(uint8_t* memory, size_t bytes) {
    if (memory != nullptr) munmap(memory, bytes > 0 ? bytes : 1);
}

int64_t RegularFileSize(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return info.st_size;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

std::vector<std::string> CommandLineUtf8(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

// Paths are bytes here; UTF-8 sequences become UTF-16, anything else passes
// byte for byte (as U+0000-U+00FF) so that no path is refused.
std::u16string Utf16Path(const std::string& path) {
    std::u16string wide;
    for (size_t i = 0; i < path.size();) {
        const unsigned char lead = static_cast<unsigned char>(path[i]);
        int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        uint32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        for (int k = 1; k < length; ++k) {
            const unsigned char next = i + k < path.size() ? static_cast<unsigned char>(path[i + k]) : 0;
            if ((next & 0xC0) != 0x80) length = 0;
            code = (code << 6) | (next & 0x3F);
        }
        if (length == 0) {
            wide += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            wide += static_cast<char16_t>(0xD800 + (code >> 10));
            wide += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            wide += static_cast<char16_t>(code);
        }
        i += static_cast<size_t>(length);
    }
    return wide;
}
FILE* OpenHostFile(const std::string& path, const char* mode) { return fopen(path.c_str(), mode); }
std::string SystemCodePagePath(const std::string& path) { return path; }

void UseBinaryStdin(void) {}
bool StdoutIsTerminal(void) { return isatty(fileno(stdout)) != 0; }

// A pipe with no reader left polls as an error on its writing end.
bool OutputReaderGone(void) {
    struct stat info;
    if (fstat(fileno(stdout), &info) != 0 || !S_ISFIFO(info.st_mode)) return false;
    pollfd output = {fileno(stdout), POLLOUT, 0};
    return poll(&output, 1, 0) == 1 && (output.revents & POLLERR) != 0;
}

std::string StandardOutputPath(void) { return "/dev/stdout"; }
bool HostHasDialogs(void) { return false; }

// The native module's stand-in message boxes come here, to the function its
// stand-in user32 looks for in the program that loaded it: each box is kept
// (caption and text, UTF-8) and shown after the export, unless the host
// says what happened better itself.
static std::string gBoxes;

extern "C" __attribute__((visibility("default"))) int Y4mHostReportBox(const char* caption, const char* text) {
    gBoxes += std::string("[") + caption + "] " + text + "\n";
    gLastReport = text;
    return 1;
}

void BeginReportCapture(void) {
    gLastReport.clear();
    gBoxes.clear();
}

std::string EndReportCapture(bool show) {
    if (show) fputs(gBoxes.c_str(), stderr);
    return gLastReport;
}
