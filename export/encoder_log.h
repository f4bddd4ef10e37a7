// The line of an encoder's log that says why it stopped.
#pragma once

#include <stdint.h>

// The last line of `log` that says "error" (in any case) or "fatal", else its
// last line with anything in it: lines split at CR and at LF (progress lines
// end in CR), terminal control sequences dropped, any byte outside printable
// ASCII shown as '?'; cut to room - 1 bytes, NUL-ended.
void MeaningfulLogLine(const char* log, int32_t length, char* line, int32_t room);
