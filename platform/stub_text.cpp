// kernel32's text conversion for systems without it: code page 932 through
// iconv into UTF-16, and UTF-16 paths to the UTF-8 names Linux files have.
#include "platform/stub_text.h"

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

std::string Utf8FromUtf16(const WideChar* text) {
    std::string utf8;
    for (const WideChar* p = text; *p != 0; ++p) {
        uint32_t c = *p;
        if (c >= 0xD800 && c < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00u);
            ++p;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;  // a lone surrogate names no character
        }
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            utf8 += static_cast<char>(0xE0 | (c >> 12));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | (c >> 18));
            utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

int _wopen(const WideChar* path, int flags, int mode) { return _open(Utf8FromUtf16(path).c_str(), flags, mode); }
