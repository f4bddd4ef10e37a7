#include "export/encoder_command.h"

#include <string.h>

#include "platform/bounded_format.h"

struct WordWriter {
    char* at;
    char* end;
    bool full;
};

static void Put(WordWriter* writer, char c) {
    if (writer->at < writer->end)
        *writer->at++ = c;
    else
        writer->full = true;
}

static bool IsSpace(char c) { return c == ' ' || c == '\t'; }

// CommandLineToArgvW's rules, byte by byte (UTF-8 leaves every byte these
// rules look at alone). The program's name is taken as it stands: up to the
// next quote when it starts with one, else up to a space. After it, 2n
// backslashes and a quote are n backslashes and a quote that opens or closes
// a quoted part; 2n+1 and a quote are n backslashes and a literal quote;
// other backslashes are literal; inside a quoted part "" is a literal quote,
// and three quotes in a row give one.
static int32_t SplitWords(const char* line, int32_t length, EncoderCommand* command) {
    WordWriter out = {command->words, command->words + CommandStorageSize, false};
    const char* s = line;
    const char* end = line + length;
    command->count = 0;
    while (s < end && IsSpace(*s)) ++s;
    if (s == end) return 0;
    command->arguments[command->count++] = out.at;
    if (*s == '"') {
        for (++s; s < end && *s != '"'; ++s) Put(&out, *s);
        if (s < end) ++s;
    } else {
        for (; s < end && !IsSpace(*s); ++s) Put(&out, *s);
    }
    Put(&out, 0);
    while (s < end && IsSpace(*s)) ++s;
    int32_t quotes = 0, backslashes = 0;
    bool open = false;
    while (s < end && !out.full) {
        if (!open) {
            if (command->count == CommandArgumentLimit) return -1;
            command->arguments[command->count++] = out.at;
            open = true;
        }
        if (IsSpace(*s) && quotes == 0) {
            Put(&out, 0);
            open = false;
            while (s < end && IsSpace(*s)) ++s;
            backslashes = 0;
        } else if (*s == '\\') {
            Put(&out, *s++);
            ++backslashes;
        } else if (*s == '"') {
            out.at -= backslashes / 2;
            if (backslashes % 2 == 0) {
                ++quotes;
            } else {
                out.at[-1] = '"';
            }
            ++s;
            backslashes = 0;
            for (; s < end && *s == '"'; ++s)
                if (++quotes == 3) {
                    Put(&out, '"');
                    quotes = 0;
                }
            if (quotes == 2) quotes = 0;
        } else {
            Put(&out, *s++);
            backslashes = 0;
        }
    }
    if (open) Put(&out, 0);
    return out.full ? -1 : command->count;
}

int32_t LengthWithoutExtension(const char* path) {
    const int32_t length = static_cast<int32_t>(strlen(path));
    for (int32_t i = length - 1; i >= 0 && path[i] != '/' && path[i] != '\\'; --i)
        if (path[i] == '.') return i;
    return length;
}

bool EncoderLogPath(const char* output, char* path, int32_t room) {
    int32_t stem = LengthWithoutExtension(output);
    if (strcmp(output + stem, ".log") == 0) stem = static_cast<int32_t>(strlen(output));
    if (stem + 5 > room) return false;
    memcpy(path, output, static_cast<size_t>(stem));
    memcpy(path + stem, ".log", 5);
    return true;
}

static int32_t Divisor(int32_t a, int32_t b) {
    while (b != 0) {
        const int32_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

// What a placeholder's name stands for: a number formatted into `number`,
// or the host's path (or its part without the extension) as it stands.
// False for a name it does not know.
static bool PlaceholderText(const char* name, int32_t length, const CommandValues* values, char number[32],
                            const char** text, int32_t* textLength) {
    auto is = [&](const char* known) {
        return static_cast<int32_t>(strlen(known)) == length && memcmp(name, known, static_cast<size_t>(length)) == 0;
    };
    *text = number;
    number[0] = 0;
    if (is("output") || is("output_noext")) {
        *text = values->output;
        *textLength =
            length == 6 ? static_cast<int32_t>(strlen(values->output)) : LengthWithoutExtension(values->output);
        return true;
    }
    if (is("width")) {
        FormatBounded(number, 32, "%d", values->width);
    } else if (is("height")) {
        FormatBounded(number, 32, "%d", values->height);
    } else if (is("rate")) {
        const int32_t g = Divisor(values->rate, values->scale);
        FormatBounded(number, 32, "%d/%d", g != 0 ? values->rate / g : values->rate,
                      g != 0 ? values->scale / g : values->scale);
    } else if (is("bits")) {
        FormatBounded(number, 32, "%d", values->bits);
    } else if (is("chroma")) {
        FormatBounded(number, 32, "%s", values->chroma);
    } else {
        return false;
    }
    *textLength = static_cast<int32_t>(strlen(number));
    return true;
}

static void CopyPlaceholder(const char* from, int32_t length, char placeholder[PlaceholderRoom]) {
    if (length > PlaceholderRoom - 1) length = PlaceholderRoom - 1;
    memcpy(placeholder, from, static_cast<size_t>(length));
    placeholder[length] = 0;
}

CommandProblem BuildEncoderCommand(const char* line, int32_t lineLength, const CommandValues* values,
                                   EncoderCommand* command, char placeholder[PlaceholderRoom]) {
    placeholder[0] = 0;
    const int32_t count = SplitWords(line, lineLength, command);
    if (count < 0) return CommandTooLong;
    if (count == 0 || command->arguments[0][0] == 0) return CommandHasNoProgram;
    char* out = command->storage;
    char* const end = command->storage + CommandStorageSize;
    for (int32_t i = 0; i < count; ++i) {
        const char* word = command->arguments[i];
        command->arguments[i] = out;
        command->namesOutput[i] =
            i > 0 && (strncmp(word, "{output}", 8) == 0 || strncmp(word, "{output_noext}", 14) == 0);
        for (const char* p = word; *p != 0;) {
            const char* piece = p;
            int32_t pieceLength = 1;
            char c = *p;
            // The program's name is taken as written: it is never made of
            // a path the host gave.
            if (i > 0 && (c == '{' || c == '}')) {
                if (p[1] == c) {
                    pieceLength = 2;
                } else if (c == '}') {
                    CopyPlaceholder(p, 1, placeholder);
                    return CommandBadPlaceholder;
                } else {
                    const char* close = strchr(p, '}');
                    const char* nested = strchr(p + 1, '{');
                    if (close == nullptr || (nested != nullptr && nested < close)) {
                        CopyPlaceholder(
                            p, close != nullptr ? static_cast<int32_t>(close - p + 1) : static_cast<int32_t>(strlen(p)),
                            placeholder);
                        return CommandBadPlaceholder;
                    }
                    const int32_t nameLength = static_cast<int32_t>(close - p - 1);
                    char number[32];
                    const char* text = nullptr;
                    int32_t textLength = 0;
                    if (!PlaceholderText(p + 1, nameLength, values, number, &text, &textLength)) {
                        CopyPlaceholder(p, nameLength + 2, placeholder);
                        return CommandBadPlaceholder;
                    }
                    if (end - out < textLength + 1) return CommandTooLong;
                    memcpy(out, text, static_cast<size_t>(textLength));
                    out += textLength;
                    p = close + 1;
                    continue;
                }
            }
            if (end - out < 2) return CommandTooLong;
            *out++ = c;
            p = piece + pieceLength;
        }
        if (out == end) return CommandTooLong;
        *out++ = 0;
    }
    command->arguments[count] = nullptr;
    return CommandBuilt;
}
