#include "tests/wine/host_harness.h"
#include "y4mhost/import_patch.h"

#include <stdio.h>
#include <string.h>

#include <sstream>

static int gPassed, gFailed;

void Check(bool passed, const char* file, int line, const char* what, const std::string& detail) {
    if (passed) {
        ++gPassed;
        return;
    }
    ++gFailed;
    printf("FAILED %s:%d: %s%s%s\n", file, line, what, detail.empty() ? "" : "\n    ", detail.c_str());
    fflush(stdout);
}

std::string Describe(long long actual, long long expected) {
    return "actual " + std::to_string(actual) + ", expected " + std::to_string(expected);
}

static std::string Escaped(const std::string& bytes) {
    std::string out;
    char hex[8];
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string Describe(const std::string& actual, const std::string& expected) {
    return "actual   \"" + Escaped(actual) + "\"\n    expected \"" + Escaped(expected) + "\"";
}

std::string Describe(const std::wstring& actual, const std::wstring& expected) {
    auto narrow = [](const std::wstring& text) {
        std::ostringstream out;
        for (wchar_t c : text) {
            if (c >= 0x20 && c < 0x7F)
                out << static_cast<char>(c);
            else
                out << "\\u" << std::hex << static_cast<unsigned>(c) << std::dec;
        }
        return out.str();
    };
    return "actual   L\"" + narrow(actual) + "\"\n    expected L\"" + narrow(expected) + "\"";
}

std::string Describe(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected) {
    if (actual.size() != expected.size())
        return "sizes differ: " + std::to_string(actual.size()) + " vs " + std::to_string(expected.size());
    for (size_t i = 0; i < actual.size(); ++i)
        if (actual[i] != expected[i])
            return "first difference at byte " + std::to_string(i) + ": " + std::to_string(actual[i]) + " vs " +
                   std::to_string(expected[i]);
    return "";
}

int ReportChecks() {
    printf("%d passed, %d failed\n", gPassed, gFailed);
    return gFailed == 0 && gPassed > 0 ? 0 : 1;
}

HMODULE gModule;
const uint32_t* gTableWords;

// Unix paths from CMake become Wine's Z: drive paths.
static std::string WindowsPath(const char* path) {
    std::string converted = path;
    if (!converted.empty() && converted[0] == '/') converted = "Z:" + converted;
    for (char& c : converted)
        if (c == '/') c = '\\';
    return converted;
}

std::string gModulePath;

// Its resources only: a 64-bit process reads the 32-bit module's this way too.
bool LoadModuleResources(const char* path) {
    gModulePath = WindowsPath(path);
    gModule = LoadLibraryExA(gModulePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return gModule != nullptr;
}

bool LoadModule(const char* path) {
    gModulePath = WindowsPath(path);
    gModule = LoadLibraryA(gModulePath.c_str());
    if (gModule == nullptr) return false;
    typedef const void*(__cdecl * GetTable)(void);
    GetTable get = reinterpret_cast<GetTable>(reinterpret_cast<void*>(GetProcAddress(gModule, "GetOutputPluginTable")));
    if (get == nullptr) return false;
    gTableWords = static_cast<const uint32_t*>(get());
    return gTableWords != nullptr;
}

std::vector<RecordedBox> gBoxes;

#if defined(_WIN64)

const void* TableSlot(int slot) {
    const void* value;
    memcpy(&value, reinterpret_cast<const uint8_t*>(gTableWords) + 8 * slot, sizeof value);
    return value;
}

// A project as ExEdit2 hands it over: one binary key, and a bool whose upper
// register bytes are junk, as a host may leave them.
namespace {
std::string gProjectKey;
std::vector<uint8_t> gProjectData;
bool gProjectHasData;

uint64_t ProjectGetBinary(const char* key, void* data, int size) {
    const bool found =
        gProjectHasData && key == std::string("settings") && size == static_cast<int>(gProjectData.size());
    if (found) memcpy(data, gProjectData.data(), gProjectData.size());
    return 0x5A5A5A5A5A5A5A00ull | (found ? 1 : 0);
}
void ProjectSetBinary(const char* key, void* data, int size) {
    gProjectKey = key;
    gProjectData.assign(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    gProjectHasData = true;
}
}  // namespace

void* ProjectOf(const std::vector<uint8_t>* stored) {
    static void* slots[6];
    gProjectHasData = stored != nullptr;
    if (stored != nullptr) gProjectData = *stored;
    memset(slots, 0, sizeof slots);
    slots[2] = reinterpret_cast<void*>(&ProjectGetBinary);
    slots[3] = reinterpret_cast<void*>(&ProjectSetBinary);
    return slots;
}

const std::string& StoredProjectKey() { return gProjectKey; }
const std::vector<uint8_t>& StoredProjectData() { return gProjectData; }

typedef bool (*ProjectEntry)(void* project);

void SetBlob(const int32_t (&fields)[5]) {
    std::vector<uint8_t> blob(20);
    memcpy(blob.data(), fields, 20);
    reinterpret_cast<ProjectEntry>(const_cast<void*>(TableSlot(7)))(ProjectOf(&blob));
}

std::vector<int32_t> GetBlob() {
    gProjectData.clear();
    reinterpret_cast<ProjectEntry>(const_cast<void*>(TableSlot(8)))(ProjectOf(nullptr));
    std::vector<int32_t> fields(5);
    if (gProjectData.size() == 20) memcpy(fields.data(), gProjectData.data(), 20);
    return fields;
}

int RunConfig(HWND owner, HINSTANCE instance) {
    typedef bool (*ConfigEntry)(HWND, HINSTANCE);
    return reinterpret_cast<ConfigEntry>(const_cast<void*>(TableSlot(5)))(owner, instance) ? 1 : 2;
}

static int WINAPI RecordMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
    gBoxes.push_back(RecordedBox{owner, Utf8(text ? text : L""), Utf8(caption ? caption : L""), style});
    return IDOK;
}

bool InterceptMessageBoxes() {
    return ReplaceModuleImport(gModule, "user32.dll", "MessageBoxW", reinterpret_cast<void*>(&RecordMessageBox)) !=
           nullptr;
}

std::string BoxText(const std::string& utf8) { return utf8; }

#else

// Descriptor words, counted from 0: 4 init, 6 output, 7 config, 8 get, 9 set.
InitEntry Init() { return reinterpret_cast<InitEntry>(gTableWords[4]); }
OutputEntry Output() { return reinterpret_cast<OutputEntry>(gTableWords[6]); }
ConfigEntry Config() { return reinterpret_cast<ConfigEntry>(gTableWords[7]); }
BlobEntry ConfigGet() { return reinterpret_cast<BlobEntry>(gTableWords[8]); }
BlobEntry ConfigSet() { return reinterpret_cast<BlobEntry>(gTableWords[9]); }

void SetBlob(const int32_t (&fields)[5]) {
    int32_t blob[5];
    memcpy(blob, fields, sizeof blob);
    ConfigSet()(blob, 20);
}

std::vector<int32_t> GetBlob() {
    std::vector<int32_t> fields(5);
    ConfigGet()(fields.data(), 20);
    return fields;
}

int RunConfig(HWND owner, HINSTANCE instance) { return Config()(owner, instance); }

static int WINAPI RecordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    gBoxes.push_back(RecordedBox{owner, text ? text : "", caption ? caption : "", style});
    return IDOK;
}

bool InterceptMessageBoxes() {
    return ReplaceModuleImport(gModule, "user32.dll", "MessageBoxA", reinterpret_cast<void*>(&RecordMessageBox)) !=
           nullptr;
}

std::string BoxText(const std::string& utf8) { return Sjis(utf8); }

#endif

std::wstring Wide(const std::string& utf8) {
    int count = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], count);
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    int count =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], count, nullptr, nullptr);
    return utf8;
}

std::string Sjis(const std::string& utf8) {
    std::wstring wide = Wide(utf8);
    int count = WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0], count, nullptr, nullptr);
    return bytes;
}

std::string TempPath(const char* name) {
    char directory[MAX_PATH];
    GetTempPathA(sizeof directory, directory);
    return std::string(directory) + "y4m-wine-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

std::string ReadFileBytes(const std::string& path) { return ReadOpenedFile(fopen(path.c_str(), "rb")); }

std::string ReadOpenedFile(FILE* file) {
    std::string bytes;
    if (file == nullptr) return "<missing>";
    char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, n);
    fclose(file);
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    FILE* file = fopen(path.c_str(), "wb");
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}
