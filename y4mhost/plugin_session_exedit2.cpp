// ExEdit2's interface: the 72-byte table, the settings kept in a project and
// the 88-byte request with a UTF-16 path. Every bool this host answers
// carries junk above its low byte, as the interface allows, so that a module
// reading an int instead fails here rather than in a user's editor.
#include <string.h>

#include "exedit2/exedit2_table.h"
#include "export/export_job.h"
#include "settings/output_settings.h"
#include "y4mhost/host_system.h"
#include "y4mhost/plugin_session.h"

static ExEdit2PluginTable* gTable;
static void* gModule;
static HostServices gServices;

#if Y4MHOST_EXACT_BOOLS
// Under clang's function sanitizer a call through a pointer of another type
// is itself the fault it reports: there every bool is a plain bool.
typedef bool JunkBool;
static JunkBool WithJunk(bool value) { return value; }
#else
typedef uint64_t JunkBool;
static JunkBool WithJunk(bool value) { return 0xA5A5A5A5A5A5A500ull | (value ? 1u : 0u); }
#endif

// A function answering JunkBool, called by the module as one answering bool:
// in the x64 calling convention both come back in the same register.
template <typename Function, typename Answer, typename... Arguments>
static Function AsBoolFunction(Answer (*function)(Arguments...)) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(function));
}

static bool OpenPlugin(const std::string& path, std::string* error) {
    gTable = OpenPluginTable<ExEdit2PluginTable>(path, &gModule, error);
    if (gTable == nullptr) return false;
    if (gTable->output == nullptr) {
        *error = path + " has no output function";
        return false;
    }
    return true;
}

// The project the settings travel in: the binary key "settings" (the
// 20-byte blob) and the text key "encoder" (a command's name).
static unsigned char gStored[SettingsBlobSize];
static bool gHasStored;
static std::string gEncoderName;
static bool gHasEncoderName;

static JunkBool ProjectGetBinary(const char* key, void* data, int size) {
    const bool found = gHasStored && strcmp(key, "settings") == 0 && size == SettingsBlobSize;
    if (found) memcpy(data, gStored, SettingsBlobSize);
    return WithJunk(found);
}
static void ProjectSetBinary(const char* key, void* data, int size) {
    if (strcmp(key, "settings") != 0 || size != SettingsBlobSize) return;
    memcpy(gStored, data, SettingsBlobSize);
    gHasStored = true;
}
static const char* ProjectGetText(const char* key) {
    return gHasEncoderName && strcmp(key, "encoder") == 0 ? gEncoderName.c_str() : nullptr;
}
static void ProjectSetText(const char* key, const char* value) {
    if (strcmp(key, "encoder") != 0 || value == nullptr) return;
    gEncoderName = value;
    gHasEncoderName = true;
}

static ProjectFile MakeProject(void) {
    ProjectFile project = {};
    project.getText = ProjectGetText;
    project.setText = ProjectSetText;
    project.getBinary = AsBoolFunction<bool (*)(const char*, void*, int)>(&ProjectGetBinary);
    project.setBinary = ProjectSetBinary;
    return project;
}

// The blob's fields go where the module keeps them in a project.
static bool PutPluginSettings(const unsigned char* blob, int32_t size) {
    OutputSettings settings = {};
    if (gTable->loadProject == nullptr || !DecodeSettingsBlob(blob, size, &settings)) return false;
    memcpy(gStored, blob, SettingsBlobSize);
    gHasStored = true;
    gEncoderName = settings.destination == DestinationEncoder ? settings.encoderName : "";
    gHasEncoderName = settings.destination == DestinationEncoder;
    ProjectFile project = MakeProject();
    return gTable->loadProject(&project);
}

static int32_t TakePluginSettings(unsigned char* blob) {
    if (gTable->saveProject == nullptr) return 0;
    gHasStored = false;
    gHasEncoderName = false;
    ProjectFile project = MakeProject();
    OutputSettings settings = {};
    if (!gTable->saveProject(&project) || !gHasStored) return 0;
    DecodeSettingsBlob(gStored, SettingsBlobSize, &settings);
    if (gHasEncoderName && !gEncoderName.empty()) {
        settings.destination = DestinationEncoder;
        strncpy(settings.encoderName, gEncoderName.c_str(), EncoderNameSize - 1);
    }
    EncodeSettingsBlob(&settings, blob);
    return SettingsBlobSizeOf(&settings);
}

static int RunPluginDialog(void) {
    if (gTable->config == nullptr) return -2;
    return gTable->config(nullptr, static_cast<HINSTANCE>(gModule)) ? 1 : 2;
}

static JunkBool IsAbort(void) { return WithJunk(gServices.isAbort()); }

static bool RunPluginExport(int32_t width, int32_t height, int32_t rate, int32_t scale, int32_t frames,
                            const std::string& path, const HostServices& services) {
    gServices = services;
    const auto widePath = Utf16Path(path);
    ExEdit2OutputInfo request = {};
    request.flags = OutputFlagVideo;
    request.width = width;
    request.height = height;
    request.rate = rate;
    request.scale = scale;
    request.frameCount = frames;
    request.outputPath = reinterpret_cast<const WideChar*>(widePath.c_str());
    request.getVideo = services.getFrame;
    request.isAbort = AsBoolFunction<bool (*)(void)>(&IsAbort);
    request.showProgress = services.showProgress;
    return gTable->output(&request);
}

const PluginSession ExEdit2Session = {"ExEdit2",          FrameFormatPa64, OpenPlugin,     PutPluginSettings,
                                      TakePluginSettings, RunPluginDialog, RunPluginExport};
