#include "settings/encoder_commands.h"

#include <string.h>

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool NextCommandEntry(const char* text, int32_t length, int32_t* at, CommandEntry* entry) {
    // Notepad starts a UTF-8 file with a byte-order mark.
    if (*at == 0 && length >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0) *at = 3;
    while (*at < length) {
        int32_t start = *at;
        int32_t end = start;
        while (end < length && text[end] != '\n' && text[end] != '\r') ++end;
        *at = end < length ? end + 1 : end;
        while (start < end && IsBlank(text[start])) ++start;
        if (start == end || text[start] == '#' || text[start] == ';') continue;
        const char* equals = static_cast<const char*>(memchr(text + start, '=', static_cast<size_t>(end - start)));
        if (equals == nullptr) continue;  // not a command: nothing to run
        int32_t nameEnd = static_cast<int32_t>(equals - text);
        int32_t lineStart = nameEnd + 1;
        while (nameEnd > start && IsBlank(text[nameEnd - 1])) --nameEnd;
        while (lineStart < end && IsBlank(text[lineStart])) ++lineStart;
        while (end > lineStart && IsBlank(text[end - 1])) --end;
        if (nameEnd == start) continue;
        entry->name = text + start;
        entry->nameLength = nameEnd - start;
        entry->line = text + lineStart;
        entry->lineLength = end - lineStart;
        return true;
    }
    return false;
}

bool FindCommandEntry(const char* text, int32_t length, const char* name, CommandEntry* entry) {
    const size_t nameLength = strlen(name);
    int32_t at = 0;
    while (NextCommandEntry(text, length, &at, entry))
        if (static_cast<size_t>(entry->nameLength) == nameLength && memcmp(entry->name, name, nameLength) == 0)
            return true;
    return false;
}
