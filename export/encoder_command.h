// An encoder's command line made into the arguments a program is started
// with: split by Windows' rules (those of CommandLineToArgvW), then the
// placeholders put in, inside each argument, so that no path can become
// part of the command.
#pragma once

#include <stdint.h>

// What the placeholders stand for.
struct CommandValues {
    const char* output;  // the path the host gave, UTF-8
    int32_t width, height;
    int32_t rate, scale;  // {rate}: rate/scale in lowest terms
    int32_t bits;         // 8, 10, 12
    const char* chroma;   // "420", "422", "444"
};

enum { CommandArgumentLimit = 256, CommandStorageSize = 32768, PlaceholderRoom = 40 };

struct EncoderCommand {
    int32_t count;
    char* arguments[CommandArgumentLimit + 1];  // NULL-ended; [0] the program as written
    // The argument starts with {output} or {output_noext}: it names a file
    // the encoder is to write.
    bool namesOutput[CommandArgumentLimit];
    char words[CommandStorageSize];    // the split arguments
    char storage[CommandStorageSize];  // with their placeholders put in
};

enum CommandProblem {
    CommandBuilt = 0,
    CommandHasNoProgram,
    CommandBadPlaceholder,  // the placeholder is in *placeholder
    CommandTooLong,
};

CommandProblem BuildEncoderCommand(const char* line, int32_t lineLength, const CommandValues* values,
                                   EncoderCommand* command, char placeholder[PlaceholderRoom]);

// The length of `path` without its extension (the last dot of its last part).
int32_t LengthWithoutExtension(const char* path);
// The encoder's log, named after the output and beside it: movie.y4m gives
// movie.log (movie.log.log, should the output itself be a .log). False when
// it does not fit in room.
bool EncoderLogPath(const char* output, char* path, int32_t room);
