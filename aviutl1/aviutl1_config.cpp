#include "aviutl1/aviutl1_table.h"
#include "settings/config_dialog.h"

// The dialog edits the module's record in place; its end code goes back to
// the host as it is (1 OK, 2 cancel, -1 when the dialog could not be made).
int PLUGIN_CDECL PluginConfig(HWND parentWindow, HINSTANCE moduleInstance) {
    return static_cast<int>(DialogBoxParamA(moduleInstance, MAKEINTRESOURCEA(ConfigDialogTemplate), parentWindow,
                                            ConfigDialogProc, reinterpret_cast<LPARAM>(&gOutputSettings)));
}
