// y4mhost's --encoder: a commands file of its own for one run, holding that
// one command, with the plug-in's profile location pointed at it, so the
// plug-in's own code reads it. The user's own file is never touched.
#pragma once

#include <string>

// The name the command has in that file.
extern const char OwnCommandName[];
// False with one line in *error.
bool UseOwnCommandsFile(const std::string& commandLine, std::string* error);
// Removes the file and its folders.
void RemoveOwnCommandsFile(void);
