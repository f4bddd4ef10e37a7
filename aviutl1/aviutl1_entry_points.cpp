// The small entry points: reset, and the settings blob in and out.
#include <string.h>

#include "aviutl1/aviutl1_table.h"
#include "settings/output_settings.h"

int PLUGIN_CDECL PluginInit(void) {
    memset(&gOutputSettings, 0, sizeof gOutputSettings);
    return 1;
}

// Always answers the blob size (20 bytes for a file export, as every version
// has written it; longer for an encoder), so a host may ask with a null
// destination, and copies only into room of exactly that size.
int PLUGIN_CDECL PluginConfigGet(void* destination, int size) {
    const int32_t blobSize = SettingsBlobSizeOf(&gOutputSettings);
    if (destination != nullptr && size == blobSize)
        EncodeSettingsBlob(&gOutputSettings, static_cast<unsigned char*>(destination));
    return blobSize;
}

// Takes a blob of either size only whole; its values are judged when an
// export starts.
int PLUGIN_CDECL PluginConfigSet(void* source, int size) {
    return DecodeSettingsBlob(static_cast<const unsigned char*>(source), size, &gOutputSettings) ? size : 0;
}
