// kernel32's text conversion for systems without it: code page 932 through
// iconv into UTF-16, and UTF-16 paths to the UTF-8 names Linux files have.
#include "platform/stub_text.h"

#include "platform/system_text.h"

#include <errno.h>
#include <iconv.h>
#include <stddef.h>
#include <stdlib.h>
#include <string.h>

// Counts UTF-16 units as Windows does: room 0 asks for the count, a room too
// small gives 0. A byte iconv cannot read becomes U+30FB, the middle dot
// Windows puts for one in code page 932.
int MultiByteToWideChar(UINT codePage, DWORD, const char* text, int length, WideChar* wide, int room) {
    if (codePage != 932 || text == nullptr || length < 0) return 0;
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    if (cd == (iconv_t)-1) return 0;
    // Every character takes at least one byte and at most one unit here.
    WideChar* units = static_cast<WideChar*>(malloc(sizeof(WideChar) * (static_cast<size_t>(length) + 1)));
    if (units == nullptr) {
        iconv_close(cd);
        return 0;
    }
    char* in = const_cast<char*>(text);
    size_t inLeft = static_cast<size_t>(length);
    char* out = reinterpret_cast<char*>(units);
    size_t outLeft = sizeof(WideChar) * (static_cast<size_t>(length) + 1);
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) != (size_t)-1) break;
        if (errno == E2BIG) break;
        const WideChar middleDot = 0x30FB;
        memcpy(out, &middleDot, sizeof middleDot);
        out += sizeof middleDot;
        outLeft -= sizeof middleDot;
        ++in;
        --inLeft;
    }
    iconv_close(cd);
    const int count =
        static_cast<int>((out - reinterpret_cast<char*>(units)) / static_cast<ptrdiff_t>(sizeof(WideChar)));
    int result = count;
    if (room > 0) {
        if (count > room || wide == nullptr)
            result = 0;
        else
            memcpy(wide, units, sizeof(WideChar) * static_cast<size_t>(count));
    }
    free(units);
    return result;
}

// Through the one converter every build uses: at most three bytes a unit.
std::string Utf8FromUtf16(const WideChar* text) {
    size_t units = 0;
    while (text[units] != 0) ++units;
    std::string utf8(3 * units + 1, '\0');
    Utf8FromWide(text, &utf8[0], static_cast<int32_t>(utf8.size()));
    utf8.resize(strlen(utf8.c_str()));
    return utf8;
}

int _wopen(const WideChar* path, int flags, int mode) { return _open(Utf8FromUtf16(path).c_str(), flags, mode); }
