// Redirects one imported function of a loaded 32-bit or 64-bit Windows module
// by rewriting its import address table entry.
#pragma once

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// Returns the previous target, or null when the module does not import it.
void* ReplaceModuleImport(HMODULE module, const char* dllName, const char* function, void* replacement);
#endif
