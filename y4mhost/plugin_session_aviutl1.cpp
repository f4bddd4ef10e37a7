// AviUtl 1.x's interface: the 26-word table, the blob functions and the
// 76-byte request with a path in the system code page.
#include "aviutl1/aviutl1_output_request.h"
#include "aviutl1/aviutl1_table.h"
#include "export/export_job.h"
#include "settings/output_settings.h"
#include "y4mhost/host_system.h"
#include "y4mhost/plugin_session.h"

static OutputPluginTable* gTable;
static void* gModule;
static HostServices gServices;

static bool OpenPlugin(const std::string& path, std::string* error) {
    gTable = OpenPluginTable<OutputPluginTable>(path, &gModule, error);
    if (gTable == nullptr) return false;
    if (gTable->output == nullptr) {
        *error = path + " has no output entry point";
        return false;
    }
    return true;
}

static bool PutPluginSettings(const unsigned char* blob, int32_t size) {
    if (gTable->init != nullptr && gTable->init() == 0) return false;
    return gTable->configSet == nullptr || gTable->configSet(const_cast<unsigned char*>(blob), size) == size;
}

// As the host does: asks the size, then fetches a blob of exactly that size.
static int32_t TakePluginSettings(unsigned char* blob) {
    if (gTable->configGet == nullptr) return 0;
    const int size = gTable->configGet(nullptr, 0);
    if (size <= 0 || size > MaxSettingsBlobSize) return 0;
    gTable->configGet(blob, size);
    return size;
}

static int RunPluginDialog(void) {
    if (gTable->config == nullptr) return -2;
    return gTable->config(nullptr, static_cast<HINSTANCE>(gModule));
}

// The request's callbacks have the 1.x host's types; they forward to ours.
static int PLUGIN_CDECL IsAbort(void) { return gServices.isAbort() ? 1 : 0; }
static int PLUGIN_CDECL ShowProgress(int now, int total) {
    gServices.showProgress(now, total);
    return 0;
}
static int PLUGIN_CDECL UpdatePreview(void) { return 0; }
static void* PLUGIN_CDECL GetFrame(int frame, uint32_t format) { return gServices.getFrame(frame, format); }

static bool RunPluginExport(int32_t width, int32_t height, int32_t rate, int32_t scale, int32_t frames,
                            const std::string& path, const HostServices& services) {
    gServices = services;
    const std::string systemPath = SystemCodePagePath(path);
    OutputRequest request = {};
    request.width = width;
    request.height = height;
    request.rate = rate;
    request.scale = scale;
    request.frameCount = frames;
    request.outputPath = systemPath.c_str();
    request.isAbort = IsAbort;
    request.showProgress = ShowProgress;
    request.updatePreview = UpdatePreview;
    request.getFrame = GetFrame;
    return gTable->output(&request) == 1;
}

const PluginSession AviUtl1Session = {"AviUtl 1.x",       FrameFormatYc48, OpenPlugin,     PutPluginSettings,
                                      TakePluginSettings, RunPluginDialog, RunPluginExport};
