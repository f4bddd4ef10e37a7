// A small printf-style formatter with a fixed, explicit bound.
//
// Unlike C99 snprintf it never reports a length it did not write: the result
// is the number of bytes produced, and a piece that does not fit yields -1.
//   - shorter than the room: written, NUL after it, length returned;
//   - exactly the room: written without a NUL, length returned;
//   - longer: the room is filled with the piece's first bytes (no NUL), -1.
// Conversions: %d (int), %lld (long long), %s, %%. Nothing depends on locale.
#pragma once

#include <stdarg.h>

#if defined(__GNUC__)
#define BOUNDED_FORMAT_CHECK(formatIndex) __attribute__((format(printf, formatIndex, formatIndex + 1)))
#else
#define BOUNDED_FORMAT_CHECK(formatIndex)
#endif

int FormatBounded(char* destination, int room, const char* format, ...) BOUNDED_FORMAT_CHECK(3);
int FormatBoundedV(char* destination, int room, const char* format, va_list arguments);

// Composition of a text piece by piece into one buffer. Position plus room is
// always the buffer's end: a piece that does not fit moves the position to the
// end, so every later piece gets no room and produces nothing.
struct TextComposition {
    char* buffer;
    int size;
    int position;
};

void BeginComposition(TextComposition* text, char* buffer, int size);
void AppendPiece(TextComposition* text, const char* format, ...) BOUNDED_FORMAT_CHECK(2);
// When the text left no room (it filled the buffer exactly, or a piece did not
// fit), the buffer's last byte becomes its NUL; otherwise the formatter's own
// NUL already ends it.
void EndComposition(TextComposition* text);
