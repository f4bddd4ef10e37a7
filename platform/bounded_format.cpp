#include "platform/bounded_format.h"

#include <string.h>

// Writes what fits of `bytes` at *position; false when not all of it did.
static bool Put(char* destination, int room, int* position, const char* bytes, size_t count) {
    size_t fits = static_cast<size_t>(room - *position);
    if (count <= fits) {
        memcpy(destination + *position, bytes, count);
        *position += static_cast<int>(count);
        return true;
    }
    if (fits > 0) {
        memcpy(destination + *position, bytes, fits);
        *position = room;
    }
    return false;
}

// Decimal text of a value, any 64-bit value included (the magnitude is taken
// as unsigned so the most negative one needs no special case).
static int DecimalText(long long value, char* out) {
    char digits[24];
    int count = 0;
    unsigned long long magnitude =
        value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    int length = 0;
    if (value < 0) out[length++] = '-';
    while (count > 0) out[length++] = digits[--count];
    return length;
}

int FormatBoundedV(char* destination, int room, const char* format, va_list arguments) {
    if (room < 0) room = 0;
    int position = 0;
    for (const char* f = format; *f != '\0'; ++f) {
        bool fitted;
        if (*f != '%') {
            const char* run = f;
            while (f[1] != '\0' && f[1] != '%') ++f;
            fitted = Put(destination, room, &position, run, static_cast<size_t>(f - run + 1));
        } else if (f[1] == 'd') {
            ++f;
            char number[24];
            fitted = Put(destination, room, &position, number, DecimalText(va_arg(arguments, int), number));
        } else if (f[1] == 'l' && f[2] == 'l' && f[3] == 'd') {
            f += 3;
            char number[24];
            fitted = Put(destination, room, &position, number, DecimalText(va_arg(arguments, long long), number));
        } else if (f[1] == 's') {
            ++f;
            const char* text = va_arg(arguments, const char*);
            fitted = Put(destination, room, &position, text, strlen(text));
        } else if (f[1] == '%') {
            ++f;
            fitted = Put(destination, room, &position, "%", 1);
        } else {
            // Not a conversion this formatter knows: an error, never a guess.
            return -1;
        }
        if (!fitted) return -1;
    }
    if (position < room) destination[position] = '\0';
    return position;
}

int FormatBounded(char* destination, int room, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int produced = FormatBoundedV(destination, room, format, arguments);
    va_end(arguments);
    return produced;
}

void BeginComposition(TextComposition* text, char* buffer, int size) {
    text->buffer = buffer;
    text->size = size;
    text->position = 0;
}

void AppendPiece(TextComposition* text, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int room = text->size - text->position;
    int produced = FormatBoundedV(text->buffer + text->position, room, format, arguments);
    va_end(arguments);
    text->position = produced < 0 ? text->size : text->position + produced;
}

void EndComposition(TextComposition* text) {
    if (text->position == text->size && text->size > 0) text->buffer[text->size - 1] = '\0';
}
