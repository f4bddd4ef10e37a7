// A small Windows program that stands in for an encoder in the tests of the
// export into a program's standard input. It reads its standard input in
// binary, and by its first argument:
//   copy FILE          writes every byte it read to FILE, exits 0
//   stop BYTES FILE    reads BYTES bytes, writes them to FILE, exits 0 early
//   fail STATUS        reads everything, says "error: asked to fail" and
//                      exits with STATUS
//   args FILE          writes its arguments (UTF-8, one a line), reads
//                      everything, exits 0
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

static std::string Utf8(const wchar_t* text) {
    char bytes[4 * 32768];
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

static bool WriteFileAll(const wchar_t* path, const std::string& bytes) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    return ok;
}

// Up to `limit` bytes (all of them when negative).
static std::string ReadInput(long long limit) {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    std::string bytes;
    std::vector<char> chunk(1 << 16);
    while (limit < 0 || static_cast<long long>(bytes.size()) < limit) {
        DWORD want = static_cast<DWORD>(chunk.size());
        if (limit >= 0 && static_cast<long long>(want) > limit - static_cast<long long>(bytes.size()))
            want = static_cast<DWORD>(limit - static_cast<long long>(bytes.size()));
        DWORD got = 0;
        if (!ReadFile(input, chunk.data(), want, &got, nullptr) || got == 0) break;
        bytes.append(chunk.data(), got);
    }
    return bytes;
}

int main() {
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::wstring mode = count > 1 ? argv[1] : L"";
    if (mode == L"copy" && count == 3) return WriteFileAll(argv[2], ReadInput(-1)) ? 0 : 3;
    if (mode == L"stop" && count == 4) return WriteFileAll(argv[3], ReadInput(_wtoi64(argv[2]))) ? 0 : 3;
    if (mode == L"fail" && count == 3) {
        ReadInput(-1);
        fprintf(stderr, "frame 1\rframe 2\rerror: asked to fail\n");
        return _wtoi(argv[2]);
    }
    if (mode == L"args" && count >= 3) {
        std::string lines;
        for (int i = 0; i < count; ++i) lines += Utf8(argv[i]) + "\n";
        ReadInput(-1);
        return WriteFileAll(argv[2], lines) ? 0 : 3;
    }
    fprintf(stderr, "test_encoder: unknown mode\n");
    return 2;
}
