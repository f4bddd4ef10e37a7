// What the host's system files share: the interrupt flag and
// the last report captured (host_system.cpp holds them).
#pragma once

#include <signal.h>
#include <stdint.h>
#include <stdio.h>

#include <string>

extern volatile sig_atomic_t gInterrupted;
extern std::string gLastReport;

// The memory a process of this build can address of the machine's.
int64_t AddressableBytes(int64_t machine);
