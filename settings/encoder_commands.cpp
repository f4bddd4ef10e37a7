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

// UTF-8, as the file is read: this source is not compiled into code page 932.
const char CommandsFileTemplate[] =
    "# yuv4mpeg2: エンコーダーのコマンド (encoder commands), one a line: NAME = COMMAND LINE\r\n"
    "# The program is started directly, never through cmd.exe: give its full path, or put it in a\r\n"
    "# folder of PATH. Placeholders: {output} (the file name given in the host), {output_noext}\r\n"
    "# (the same without its extension), {width} {height} {rate} (30000/1001) {bits} (8 10 12)\r\n"
    "# {chroma} (420 422 444); {{ and }} for braces. Remove the # of a line to use it.\r\n"
    "# x265 = x265.exe --y4m --input - -D {bits} --crf 18 -o {output_noext}.hevc\r\n"
    "# x264 = x264.exe --demuxer y4m --output-csp i{chroma} --output-depth {bits} --crf 18 -o {output_noext}.264 -\r\n"
    "# FFV1 = ffmpeg.exe -nostdin -y -f yuv4mpegpipe -i - -c:v ffv1 {output_noext}.mkv\r\n"
    "# aomenc = aomenc.exe --passes=1 -o {output_noext}.ivf -\r\n"
    "# SVT-AV1 = SvtAv1EncApp.exe -i stdin -b {output_noext}.ivf\r\n"
    "# rav1e = rav1e.exe - -o {output_noext}.ivf -y\r\n";
