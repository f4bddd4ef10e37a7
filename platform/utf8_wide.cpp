// UTF-8 and UTF-16 into each other, the same on every system, so the
// arguments a program gets do not depend on which build made them.
#include "platform/system_text.h"

// One code point from UTF-8; a malformed sequence is U+FFFD for one byte.
static uint32_t NextCodePoint(const unsigned char** at) {
    const unsigned char* p = *at;
    uint32_t c = *p++;
    int more = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : 0;
    if (c >= 0x80 && more == 0) {
        *at = p;
        return 0xFFFD;
    }
    if (more > 0) c &= 0x3Fu >> more;
    for (int i = 0; i < more; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            *at = *at + 1;
            return 0xFFFD;
        }
        c = (c << 6) | (p[i] & 0x3Fu);
    }
    *at = p + more;
    const bool overlong = (more == 2 && c < 0x800) || (more == 3 && c < 0x10000);
    return overlong || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000) ? 0xFFFD : c;
}

bool WideFromUtf8(const char* utf8, WideChar* text, int32_t room) {
    int32_t n = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p != 0) {
        const uint32_t c = NextCodePoint(&p);
        const int32_t units = c >= 0x10000 ? 2 : 1;
        if (n + units >= room) {
            if (room > 0) text[0] = 0;
            return false;
        }
        if (units == 2) {
            text[n++] = static_cast<WideChar>(0xD800 + ((c - 0x10000) >> 10));
            text[n++] = static_cast<WideChar>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            text[n++] = static_cast<WideChar>(c);
        }
    }
    if (room <= 0) return false;
    text[n] = 0;
    return true;
}

bool Utf8FromWide(const WideChar* text, char* utf8, int32_t room) {
    int32_t n = 0;
    for (const WideChar* p = text; *p != 0; ++p) {
        uint32_t c = *p;
        if (c >= 0xD800 && c < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00u);
            ++p;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;  // a lone surrogate names no character
        }
        const int32_t bytes = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        if (n + bytes >= room) {
            if (room > 0) utf8[0] = 0;
            return false;
        }
        if (bytes == 1) {
            utf8[n++] = static_cast<char>(c);
            continue;
        }
        utf8[n++] = static_cast<char>((0xF00u >> bytes) | (c >> (6 * (bytes - 1))));
        for (int32_t i = bytes - 2; i >= 0; --i) utf8[n++] = static_cast<char>(0x80 | ((c >> (6 * i)) & 0x3F));
    }
    if (room <= 0) return false;
    utf8[n] = 0;
    return true;
}
