// The user's encoder commands: a UTF-8 text file of their own, one command a
// line as `NAME = COMMAND LINE`. Blank lines and lines starting with # or ;
// are notes; a first line may start with a byte-order mark. Settings and
// projects name a command; only this file says what it runs.
#pragma once

#include <stdint.h>

struct CommandEntry {
    const char* name;  // spans in the file's text, without the spaces round them
    int32_t nameLength;
    const char* line;
    int32_t lineLength;
};

// The entry at or after *at in text (length bytes), moving *at past it; false
// when no entry is left.
bool NextCommandEntry(const char* text, int32_t length, int32_t* at, CommandEntry* entry);
// The first entry whose name is exactly `name`.
bool FindCommandEntry(const char* text, int32_t length, const char* name, CommandEntry* entry);

// A new commands file: how to write one, with a commented example for each
// encoder (CR LF line ends, so every editor shows its lines).
extern const char CommandsFileTemplate[];
