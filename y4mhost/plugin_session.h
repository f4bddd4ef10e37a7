// The plug-in as y4mhost drives it, through its host's interface: AviUtl
// 1.x's (the native and 32-bit builds, plugin_session_aviutl1.cpp) or
// ExEdit2's (the 64-bit Windows build, plugin_session_exedit2.cpp).
#pragma once

#include <stdint.h>

#include <string>

// What the host serves during an export, whatever the interface.
struct HostServices {
    bool (*isAbort)(void);
    void (*showProgress)(int now, int total);
    void* (*getFrame)(int frame, uint32_t format);
};

#include "y4mhost/host_system.h"

// The table of the module at `path`, its entry called as the function type
// it really has; null with *error set.
template <typename Table>
Table* OpenPluginTable(const std::string& path, void** module, std::string* error) {
    typedef Table* (*GetTable)(void);
    GetTable get = reinterpret_cast<GetTable>(LoadPluginEntry(path, module, error));
    Table* table = get != nullptr ? get() : nullptr;
    if (get != nullptr && table == nullptr) *error = path + " gave no table";
    return table;
}
// One interface's way of driving a module.
struct PluginSession {
    const char* interfaceName;  // for messages: "AviUtl 1.x", "ExEdit2"
    // The host's precise picture, which the deep colour formats ask for:
    // FrameFormatYc48 (AviUtl 1.x) or FrameFormatPa64 (ExEdit2).
    uint32_t precisePicture;
    // Loads the module and reads its table; false with one line in *error.
    bool (*open)(const std::string& path, std::string* error);
    // Hands the settings blob (20 bytes, or 88 for an encoder) to the
    // plug-in (1.x: init, then the blob; ExEdit2: a project holding it);
    // false when it was not taken.
    bool (*putSettings)(const unsigned char* blob, int32_t size);
    // The plug-in's settings as a blob of at most MaxSettingsBlobSize bytes:
    // its size, or 0 when it gives none.
    int32_t (*takeSettings)(unsigned char* blob);
    // Runs the plug-in's settings dialog; 1 after OK, another value
    // otherwise, -2 when the plug-in has none.
    int (*runDialog)(void);
    // One export to a path (UTF-8); true when the plug-in says it succeeded.
    bool (*runExport)(int32_t width, int32_t height, int32_t rate, int32_t scale, int32_t frames,
                      const std::string& path, const HostServices& services);
};

extern const PluginSession AviUtl1Session;
extern const PluginSession ExEdit2Session;

// The interface of the module at `path`, told as the hosts tell their
// modules: a file named *.auo2 is ExEdit2's, any other AviUtl 1.x's (a
// build that speaks one interface only always answers that one).
const PluginSession* SessionFor(const std::string& path);
