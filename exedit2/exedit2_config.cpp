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

static const char SettingsKey[] = "settings";

// A project without our key (or with one of another size) starts from the
// defaults; a blob is taken as given and judged when an export starts.
bool PluginProjectLoad(ProjectFile* project) {
    unsigned char blob[SettingsBlobSize];
    if (project != nullptr && project->getBinary != nullptr && project->getBinary(SettingsKey, blob, sizeof blob))
        DecodeSettingsBlob(blob, &gOutputSettings);
    else
        memset(&gOutputSettings, 0, sizeof gOutputSettings);
    return true;
}

bool PluginProjectSave(ProjectFile* project) {
    unsigned char blob[SettingsBlobSize];
    EncodeSettingsBlob(&gOutputSettings, blob);
    if (project != nullptr && project->setBinary != nullptr) project->setBinary(SettingsKey, blob, sizeof blob);
    return true;
}
