#include "export/encoder_log.h"

#include <string.h>

// One line made readable: escape sequences (ESC [ ... final byte, or ESC and
// one byte) and other control bytes go; spaces at either end go.
static int32_t CleanLine(const char* from, int32_t length, char* line, int32_t room) {
    int32_t n = 0;
    for (int32_t i = 0; i < length && n < room - 1; ++i) {
        const unsigned char c = static_cast<unsigned char>(from[i]);
        if (c == 0x1B) {
            if (i + 1 < length && from[i + 1] == '[') {
                for (i += 2; i < length && !(from[i] >= 0x40 && from[i] <= 0x7E); ++i) {
                }
            } else {
                ++i;
            }
            continue;
        }
        if (c < 0x20 && c != '\t') continue;
        if (c == 0x7F) continue;
        if (c >= 0x80) {
            // A character of another script: one mark for its bytes.
            if ((c & 0xC0) == 0x80 && n > 0 && line[n - 1] == '?') continue;
            line[n++] = '?';
            continue;
        }
        if (n == 0 && (c == ' ' || c == '\t')) continue;
        line[n++] = c == '\t' ? ' ' : static_cast<char>(c);
    }
    while (n > 0 && line[n - 1] == ' ') --n;
    line[n] = 0;
    return n;
}

static bool SaysError(const char* line) {
    for (const char* p = line; *p != 0; ++p) {
        static const char Error[] = "error";
        static const char Fatal[] = "fatal";
        bool error = true, fatal = true;
        for (int i = 0; i < 5; ++i) {
            const char c = p[i] >= 'A' && p[i] <= 'Z' ? static_cast<char>(p[i] - 'A' + 'a') : p[i];
            error = error && c == Error[i];
            fatal = fatal && c == Fatal[i];
            if (c == 0) break;
        }
        if (error || fatal) return true;
    }
    return false;
}

void MeaningfulLogLine(const char* log, int32_t length, char* line, int32_t room) {
    if (room <= 0) return;
    line[0] = 0;
    bool foundError = false;
    char cleaned[512];
    for (int32_t start = 0; start < length;) {
        int32_t end = start;
        while (end < length && log[end] != '\n' && log[end] != '\r') ++end;
        if (CleanLine(log + start, end - start, cleaned, sizeof cleaned) > 0) {
            const bool error = SaysError(cleaned);
            if (error || !foundError) {
                strncpy(line, cleaned, static_cast<size_t>(room - 1));
                line[room - 1] = 0;
                foundError = foundError || error;
            }
        }
        start = end + 1;
    }
}
