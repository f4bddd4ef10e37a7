// What the host needs of the operating system, in one place.
#pragma once

#include <stdint.h>

#include <string>

// Loads a module and returns its GetOutputPluginTable, or null with *error set.
void* LoadPluginTable(const std::string& path, void** moduleHandle, std::string* error);
// Ctrl-C sets the flag InterruptRequested reports, instead of killing us.
void InstallInterruptHandler(void);
bool InterruptRequested(void);
bool StderrIsTerminal(void);
double SecondsNow(void);
// Size of a regular file, or -1 for anything else (a pipe, /dev/null).
int64_t RegularFileSize(const std::string& path);
bool IsRegularFile(const std::string& path);
// Standard input in binary mode.
void UseBinaryStdin(void);
