// AviUtl ExEdit2's output interface, declared from its published binary
// layout: 64-bit, one calling convention, `bool` one byte (read as bool, never
// as int: the rest of the register is anything), strings UTF-16.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "platform/platform.h"

// One export's request.
struct ExEdit2OutputInfo {
    int32_t flags;  // 1 video requested, 2 audio requested
    int32_t width;
    int32_t height;
    int32_t rate;
    int32_t scale;
    int32_t frameCount;  // frames numbered from 0
    int32_t audioRate;
    int32_t audioChannels;
    int32_t audioSamples;
    const WideChar* outputPath;
    // The frame in the given format, valid until the next call into the host.
    void* (*getVideo)(int frame, uint32_t format);
    void* (*getAudio)(int start, int length, int* read, uint32_t format);  // never called
    bool (*isAbort)(void);
    void (*showProgress)(int now, int total);
    void (*setPrefetch)(int video, int audio);
};

// The project being opened or saved: this plug-in's own keys in it.
struct ProjectFile {
    const char* (*getText)(const char* key);
    void (*setText)(const char* key, const char* value);
    // False when nothing is stored under key or it is not `size` bytes.
    bool (*getBinary)(const char* key, void* data, int size);
    void (*setBinary)(const char* key, void* data, int size);
    void (*clear)(void);
    const WideChar* (*projectPath)(void);
};

// The host's log window.
struct LogHandle {
    void (*plain)(LogHandle* self, const WideChar* message);
    void (*info)(LogHandle* self, const WideChar* message);
    void (*warning)(LogHandle* self, const WideChar* message);
    void (*error)(LogHandle* self, const WideChar* message);
    void (*verbose)(LogHandle* self, const WideChar* message);
};

enum {
    OutputFlagVideo = 1,
    OutputFlagSettingsInProject = 8,  // the two project functions are called
};

struct ExEdit2PluginTable {
    int32_t flags;
    const WideChar* name;
    const WideChar* fileFilter;  // pairs of NUL-terminated texts, ended by an extra NUL
    const WideChar* information;
    bool (*output)(ExEdit2OutputInfo* request);
    bool (*config)(HWND owner, HINSTANCE module);
    const WideChar* (*settingsText)(void);  // valid until the next call
    bool (*loadProject)(ProjectFile* project);
    bool (*saveProject)(ProjectFile* project);
};

// Pointers are 8 bytes on every host of this interface; on such a build the
// offsets are checked against it.
#if UINTPTR_MAX == UINT64_MAX
static_assert(offsetof(ExEdit2OutputInfo, frameCount) == 20, "frameCount");
static_assert(offsetof(ExEdit2OutputInfo, outputPath) == 40, "outputPath");
static_assert(offsetof(ExEdit2OutputInfo, getVideo) == 48, "getVideo");
static_assert(offsetof(ExEdit2OutputInfo, isAbort) == 64, "isAbort");
static_assert(offsetof(ExEdit2OutputInfo, showProgress) == 72, "showProgress");
static_assert(sizeof(ExEdit2OutputInfo) == 88, "ExEdit2OutputInfo size");
static_assert(offsetof(ProjectFile, getBinary) == 16 && offsetof(ProjectFile, setBinary) == 24, "binary keys");
static_assert(sizeof(ProjectFile) == 48, "ProjectFile size");
static_assert(offsetof(LogHandle, error) == 24, "error log");
static_assert(offsetof(ExEdit2PluginTable, name) == 8, "name");
static_assert(offsetof(ExEdit2PluginTable, output) == 32, "output");
static_assert(offsetof(ExEdit2PluginTable, saveProject) == 64, "saveProject");
static_assert(sizeof(ExEdit2PluginTable) == 72, "ExEdit2PluginTable size");
#endif

// The module's exports: this table leaves the module as GetOutputPluginTable
// (exedit2/yuv4mpeg2.auo2.def), so that one build can hold both hosts' tables.
extern "C" ExEdit2PluginTable* PLUGIN_CDECL GetExEdit2PluginTable(void);
// Called before anything else with the host's log, or never.
extern "C" void PLUGIN_CDECL InitializeLogger(LogHandle* logger);

// The entry points the table names.
bool ExEdit2Output(ExEdit2OutputInfo* request);
bool ExEdit2Config(HWND owner, HINSTANCE module);
const WideChar* PluginSettingsText(void);
bool PluginProjectLoad(ProjectFile* project);
bool PluginProjectSave(ProjectFile* project);

// Shows a report composed in MessageBuffer (code page 932) as UTF-16, with
// `path` put in at pathAt when pathAt is not -1; the host's log gets it too.
void ShowReportUtf16(const WideChar* path, int pathAt);
// UTF-16 of code page 932 text, for the dialog's refusal.
void ShowRefusalUtf16(HWND owner, const char* text);
