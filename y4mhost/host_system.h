// What the host needs of the operating system, in one place.
#pragma once

#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

// The command line as UTF-8 (Windows: from its UTF-16 form, so that every
// file name survives); paths are UTF-8 everywhere in the host.
std::vector<std::string> CommandLineUtf8(int argc, char** argv);
// fopen of a UTF-8 path.
FILE* OpenHostFile(const std::string& path, const char* mode);
// A UTF-8 path in the system code page, as a 1.x plug-in takes it (Windows:
// the ANSI code page; elsewhere the bytes as they are).
std::string SystemCodePagePath(const std::string& path);
// A UTF-8 path as UTF-16, as ExEdit2's interface takes it.
#if defined(_WIN32)
std::wstring Utf16Path(const std::string& path);
#else
std::u16string Utf16Path(const std::string& path);
#endif

// Loads a module and returns the address of its GetOutputPluginTable, for the
// caller to call through a pointer of the function's real type; null with
// *error set.
void* LoadPluginEntry(const std::string& path, void** moduleHandle, std::string* error);
// Ctrl-C sets the flag InterruptRequested reports, instead of killing us;
// a reader of standard output that goes away fails the write instead of
// ending us without a word.
void InstallInterruptHandler(void);
bool InterruptRequested(void);
bool StderrIsTerminal(void);
double SecondsNow(void);
// The memory this process can hold: the machine's, and no more than a
// 32-bit process can address.
int64_t MachineMemoryBytes(void);
// Zeroed memory for the pictures decoded ahead, its pages given as they are
// first written (no pass clears it first) and in large pages where the
// system gives them (a fault a page costs more than the writing); null when
// it cannot be had.
uint8_t* AllocatePictureMemory(size_t bytes);
void FreePictureMemory(uint8_t* memory, size_t bytes);
// Size of a regular file, or -1 for anything else (a pipe, /dev/null).
int64_t RegularFileSize(const std::string& path);
bool IsRegularFile(const std::string& path);
// Whether two paths name one existing file (through links, hard links or
// different spellings): the same device and file number.
bool SameFile(const std::string& a, const std::string& b);
// Standard input in binary mode.
void UseBinaryStdin(void);
bool StdoutIsTerminal(void);
// Whether standard output is a pipe whose reader has closed it.
bool OutputReaderGone(void);
// A path the plug-in can open to write standard output; empty where the
// system has none.
std::string StandardOutputPath(void);
// Whether the plug-in's settings dialog can be shown (the Windows build).
bool HostHasDialogs(void);

// Where the host's own progress and messages go while an export runs.
FILE* HostConsole(void);
// Around an export: the plug-in's report boxes go to stderr (the Windows
// module's MessageBox calls are redirected there as they come; the native
// module's stand-in hands them to Y4mHostReportBox, and they are printed
// after the export unless `show` is false: the host says it better), and the
// text of the last one (UTF-8) is kept for the host to explain.
void BeginReportCapture(void);
std::string EndReportCapture(bool show);
