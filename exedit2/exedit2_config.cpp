// ExEdit2's settings: the 1.x dialog over the same record, and the record
// kept in the project as the 1.x 20-byte blob.
#include <string.h>

#include "exedit2/exedit2_table.h"
#include "settings/config_dialog.h"

static INT_PTR CALLBACK ExEdit2ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return DispatchConfigDialog(dialog, message, wParam, lParam, ShowRefusalUtf16);
}

// True after OK only: cancel, the close box, Escape and a dialog that could
// not be made (-1) are all false.
bool ExEdit2Config(HWND owner, HINSTANCE module) {
    return DialogBoxParamA(module, MAKEINTRESOURCEA(ConfigDialogTemplate), owner, ExEdit2ConfigDialogProc,
                           reinterpret_cast<LPARAM>(&gOutputSettings)) == IDOK;
}

// The five fields stay the 20-byte blob under "settings", which every
// version reads; an encoder's name is a text of its own beside it, so a
// module that knows no encoders opens the project as a file export.
static const char SettingsKey[] = "settings";
static const char EncoderKey[] = "encoder";

// A project without our key (or with one of another size) starts from the
// defaults; a blob is taken as given and judged when an export starts.
bool PluginProjectLoad(ProjectFile* project) {
    unsigned char blob[SettingsBlobSize];
    memset(&gOutputSettings, 0, sizeof gOutputSettings);
    if (project == nullptr) return true;
    if (project->getBinary != nullptr && project->getBinary(SettingsKey, blob, sizeof blob))
        DecodeSettingsBlob(blob, sizeof blob, &gOutputSettings);
    const char* name = project->getText != nullptr ? project->getText(EncoderKey) : nullptr;
    if (name != nullptr && name[0] != '\0') {
        gOutputSettings.destination = DestinationEncoder;
        strncpy(gOutputSettings.encoderName, name, EncoderNameSize - 1);
    }
    return true;
}

bool PluginProjectSave(ProjectFile* project) {
    OutputSettings fields = gOutputSettings;
    fields.destination = DestinationFile;
    unsigned char blob[SettingsBlobSize];
    EncodeSettingsBlob(&fields, blob);
    if (project == nullptr) return true;
    if (project->setBinary != nullptr) project->setBinary(SettingsKey, blob, sizeof blob);
    // A file export stores the blob alone, as before encoders; an empty name
    // only clears one an earlier save left.
    const bool encoder = gOutputSettings.destination == DestinationEncoder;
    const char* stored = project->getText != nullptr ? project->getText(EncoderKey) : nullptr;
    if (project->setText != nullptr && (encoder || (stored != nullptr && stored[0] != '\0')))
        project->setText(EncoderKey, encoder ? gOutputSettings.encoderName : "");
    return true;
}
