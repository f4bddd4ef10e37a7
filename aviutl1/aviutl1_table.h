// The descriptor the host reads through the module's one export.
#pragma once

#include <stdint.h>

#include "aviutl1/aviutl1_output_request.h"
#include "platform/platform.h"

struct OutputPluginTable {
    int32_t flags;
    const char* name;
    const char* fileFilter;  // pairs of NUL-terminated texts, ended by an extra NUL
    const char* information;
    int(PLUGIN_CDECL* init)(void);
    int(PLUGIN_CDECL* exit)(void);
    int(PLUGIN_CDECL* output)(OutputRequest* request);
    int(PLUGIN_CDECL* config)(HWND parentWindow, HINSTANCE moduleInstance);
    int(PLUGIN_CDECL* configGet)(void* destination, int size);
    int(PLUGIN_CDECL* configSet)(void* source, int size);
    void* reserved[16];  // always zero
};

#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(OutputPluginTable) == 26 * 4, "the host reads 26 words");
#endif

extern "C" PLUGIN_EXPORT OutputPluginTable* PLUGIN_CDECL GetOutputPluginTable(void);

// The entry points the descriptor names.
int PLUGIN_CDECL PluginInit(void);
// 1 when every frame is written; 0 after a report or the user's abort.
int PLUGIN_CDECL PluginOutput(OutputRequest* request);
int PLUGIN_CDECL PluginConfig(HWND parentWindow, HINSTANCE moduleInstance);
int PLUGIN_CDECL PluginConfigGet(void* destination, int size);
int PLUGIN_CDECL PluginConfigSet(void* source, int size);
