#include "y4mhost/host_system.h"

#include "y4mhost/host_system_state.h"

volatile sig_atomic_t gInterrupted;
std::string gLastReport;

FILE* HostConsole(void) { return stderr; }

bool InterruptRequested(void) { return gInterrupted != 0; }

// A 32-bit process has 2 GiB of its own to allocate in, whatever the machine has.
int64_t AddressableBytes(int64_t machine) {
    const int64_t limit = sizeof(void*) == 4 ? int64_t(1) << 31 : INT64_MAX;
    return machine < limit ? machine : limit;
}

bool IsRegularFile(const std::string& path) { return RegularFileSize(path) >= 0; }
