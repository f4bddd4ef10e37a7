// Shared pieces of the Windows test host: checks, the loaded module, the
// message boxes it shows, and text conversions done by Windows itself.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <stdint.h>

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

// The module under test and its descriptor, as 26 raw 32-bit words.
extern HMODULE gModule;
extern const uint32_t* gTableWords;
bool LoadModule(const char* path);

typedef int(__cdecl* InitEntry)(void);
typedef int(__cdecl* OutputEntry)(void* request);
typedef int(__cdecl* ConfigEntry)(HWND parent, HINSTANCE instance);
typedef int(__cdecl* BlobEntry)(void* bytes, int size);
InitEntry Init();
OutputEntry Output();
ConfigEntry Config();
BlobEntry ConfigGet();
BlobEntry ConfigSet();

void SetBlob(const int32_t (&fields)[5]);
std::vector<int32_t> GetBlob();

// The module's MessageBoxA import is redirected to a recorder, so no box
// waits for a person.
struct RecordedBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
};
bool InterceptMessageBoxes();
extern std::vector<RecordedBox> gBoxes;

// UTF-8 to code page 932, and to UTF-16, converted by Windows.
std::string Sjis(const std::string& utf8);
std::wstring Wide(const std::string& utf8);

std::string TempPath(const char* name);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// The test groups.
void TestDescriptor();
void TestResources();
void TestExport();
void TestDialog();
