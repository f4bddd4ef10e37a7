// The table ExEdit2 reads, and the module's two exports.
#include "host2/plugin_table2.h"

#include "plugin_version.h"

static OutputPluginTable2 gPluginTable2 = {
    OutputFlagVideo | OutputFlagSettingsInProject,  // flags: video, settings kept in the project
    WIDE_TEXT("YUV4MPEG2 出力"),                    // name in the host's output menu
    WIDE_TEXT("YUV4MPEG2 (*.y4m)\0*.y4m\0"),        // file filter; the literal's own NUL ends the list
    WIDE_TEXT("YUV4MPEG2 出力 ") WIDE_TEXT(PLUGIN_PRODUCT_VERSION_TEXT),  // information
    PluginOutput2,                                                        // output
    PluginConfig2,                                                        // settings dialog
    PluginSettingsText,                                                   // settings text
    PluginProjectLoad,                                                    // project opened
    PluginProjectSave,                                                    // project saved
};

extern "C" OutputPluginTable2* PLUGIN_CDECL GetOutputPluginTable2(void) { return &gPluginTable2; }
