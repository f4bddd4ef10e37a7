// What the host needs of the operating system, in one place.
#pragma once

#include <stdint.h>
#include <stdio.h>

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
bool StdoutIsTerminal(void);
// A path the plug-in can open to write standard output; empty where the
// system has none.
std::string StandardOutputPath(void);
// Whether the plug-in's settings dialog can be shown (the Windows build).
bool HostHasDialogs(void);

// Where the host's own progress and messages go while an export runs: the
// console, even while the plug-in's reports are being captured.
FILE* HostConsole(void);
// Around an export: the plug-in's report boxes are shown on stderr as usual,
// and the text of the last one (UTF-8) is kept for the host to explain.
void BeginReportCapture(void);
std::string EndReportCapture(void);
