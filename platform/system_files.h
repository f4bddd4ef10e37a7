// The few file questions the encoder export asks, with UTF-8 paths.
#pragma once

#include <stdint.h>

// The user's own commands file: Windows %APPDATA%\yuv4mpeg2\encoders.txt,
// elsewhere $XDG_CONFIG_HOME/yuv4mpeg2/encoders.txt (~/.config without it).
// False when no such place is known or the path does not fit.
bool UserCommandsPath(char* path, int32_t room);
// The start of a file, at most room - 1 bytes, NUL-ended; -1 when it cannot
// be read.
int32_t ReadFileStart(const char* path, char* text, int32_t room);
// The last room - 1 bytes of a file at most, NUL-ended; -1 when it cannot be
// read.
int32_t ReadFileEnd(const char* path, char* text, int32_t room);
// A file's size in bytes; -1 when there is no such file.
int64_t FileSize(const char* path);
// The absolute path of a program: a name with a folder in it must be
// absolute; a bare name is looked for in PATH's absolute folders only
// (never the current folder, often the project's). False when not found.
bool FindProgram(const char* name, char* path, int32_t room);
// Creates the file with `text` unless it exists (its folder too, one level
// up); true when the file is there afterwards.
bool CreateFileOnce(const char* path, const char* text);
