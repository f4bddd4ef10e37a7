// The small entry points: reset, and the settings blob in and out.
#include <string.h>

#include "host/plugin_table.h"
#include "settings/output_settings.h"

int PLUGIN_CDECL PluginInit(void) {
    memset(&gOutputSettings, 0, sizeof gOutputSettings);
    return 1;
}

// Always answers the blob size, so a host may ask with a null destination.
int PLUGIN_CDECL PluginConfigGet(void* destination, int size) {
    if (destination != nullptr && size == SettingsBlobSize)
        EncodeSettingsBlob(&gOutputSettings, static_cast<unsigned char*>(destination));
    return SettingsBlobSize;
}

// Takes a blob only whole; its values are judged when an export starts.
int PLUGIN_CDECL PluginConfigSet(void* source, int size) {
    if (source == nullptr || size != SettingsBlobSize) return 0;
    DecodeSettingsBlob(static_cast<const unsigned char*>(source), &gOutputSettings);
    return SettingsBlobSize;
}
