// Text in the forms the encoder export moves between: UTF-8 (the commands
// file, the arguments a program gets), the host's paths (1.x: the system code
// page; ExEdit2: UTF-16) and code page 932 (the reports).
#pragma once

#include <stdint.h>

#include "platform/platform.h"

// Each writes a NUL-terminated result and is false (with an empty one) when
// it does not fit in room bytes or units.
bool Utf8FromSystemPath(const char* path, char* utf8, int32_t room);
bool Utf8FromWide(const WideChar* text, char* utf8, int32_t room);
bool WideFromUtf8(const char* utf8, WideChar* text, int32_t room);
// UTF-8 for a report: a character code page 932 lacks becomes '?', and the
// result is cut to fit.
void CodePage932FromUtf8(const char* utf8, char* text, int32_t room);
