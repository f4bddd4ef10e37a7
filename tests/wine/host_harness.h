// Shared pieces of the Windows test host: checks, the loaded module, the
// message boxes it shows, and text conversions done by Windows itself.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

// A check that records its outcome and says where it failed.
void Check(bool passed, const char* file, int line, const char* what, const std::string& detail = "");
#define CHECK(condition) Check((condition), __FILE__, __LINE__, #condition)
// Each side is evaluated once, so readers with side effects can be compared.
#define CHECK_EQ(actual, expected) CheckEqual((actual), (expected), __FILE__, __LINE__, #actual " == " #expected)
std::string Describe(long long actual, long long expected);
std::string Describe(const std::string& actual, const std::string& expected);
std::string Describe(const std::wstring& actual, const std::wstring& expected);
std::string Describe(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected);

template <typename A, typename E>
void CheckEqual(const A& actual, const E& expected, const char* file, int line, const char* what) {
    bool equal = actual == expected;
    Check(equal, file, line, what, equal ? std::string() : Describe(actual, expected));
}
int ReportChecks();  // prints "N passed, N failed"; the process's exit code

// The module under test and its table. The 32-bit test host loads an AviUtl
// 1.x module (26 raw 32-bit words), the 64-bit one an ExEdit2 module (the
// 72-byte table: 8-byte slots, the flags in the first).
extern HMODULE gModule;
extern const uint32_t* gTableWords;
extern std::string gModulePath;
bool LoadModule(const char* path);
bool LoadModuleResources(const char* path);

#if defined(_WIN64)
// Slot n of the ExEdit2 table (0 flags, 1 name, 2 filter, 3 information,
// 4 output, 5 config, 6 settings text, 7 project load, 8 project save).
const void* TableSlot(int slot);
// A ProjectFile holding `stored` under "settings" (nothing when null); what the
// module stores in it is kept.
void* ProjectOf(const std::vector<uint8_t>* stored);
const std::string& StoredProjectKey();
const std::vector<uint8_t>& StoredProjectData();
void TestExEdit2Only();
// One export through the ExEdit2 module (its bools with junk upper bytes);
// 1 when it returned true.
int CallOutputWide(int width, int height, int rate, int scale, int frameCount, const wchar_t* path, int (*isAbort)(),
                   void* (*getFrame)(int, uint32_t));
#else
typedef int(__cdecl* InitEntry)(void);
typedef int(__cdecl* OutputEntry)(void* request);
typedef int(__cdecl* ConfigEntry)(HWND parent, HINSTANCE instance);
typedef int(__cdecl* BlobEntry)(void* bytes, int size);
InitEntry Init();
OutputEntry Output();
ConfigEntry Config();
BlobEntry ConfigGet();
BlobEntry ConfigSet();
#endif

// The settings, through the 1.x blob functions or ExEdit2's project ones.
void SetBlob(const int32_t (&fields)[5]);
std::vector<int32_t> GetBlob();
// The settings dialog as 1.x answers: 1 after OK, 2 otherwise (ExEdit2's
// true and false).
int RunConfig(HWND owner, HINSTANCE instance);

// The module's message box import (MessageBoxA in the 1.x module,
// MessageBoxW in the ExEdit2 one, whose text is kept as UTF-8) is redirected
// to a recorder, so no box waits for a person.
struct RecordedBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
};
bool InterceptMessageBoxes();
extern std::vector<RecordedBox> gBoxes;

// UTF-8 to code page 932, and to UTF-16, converted by Windows; BoxText is a
// text as the module under test shows it (and RecordedBox keeps it).
std::string Sjis(const std::string& utf8);
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
std::string BoxText(const std::string& utf8);

std::string TempPath(const char* name);
std::string ReadFileBytes(const std::string& path);
// The whole of a file opened for reading (closed after); "<missing>" for null.
std::string ReadOpenedFile(FILE* file);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// The test groups (TestDescriptor checks the table of the host it speaks to).
void TestDescriptor();
void TestResources();
void TestExport();
void TestDialog();
