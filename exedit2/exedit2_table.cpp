// The table ExEdit2 reads, and the module's two exports.
#include "exedit2/exedit2_table.h"

#include "plugin_version.h"

static ExEdit2PluginTable gExEdit2Table = {
    OutputFlagVideo | OutputFlagSettingsInProject,  // flags: video, settings kept in the project
    WIDE_TEXT("YUV4MPEG2 出力"),                    // name in the host's output menu
    WIDE_TEXT("YUV4MPEG2 (*.y4m)\0*.y4m\0"),        // file filter; the literal's own NUL ends the list
    WIDE_TEXT("YUV4MPEG2 出力 ") WIDE_TEXT(PLUGIN_PRODUCT_VERSION_TEXT),  // information
    ExEdit2Output,                                                        // output
    ExEdit2Config,                                                        // settings dialog
    PluginSettingsText,                                                   // settings text
    PluginProjectLoad,                                                    // project opened
    PluginProjectSave,                                                    // project saved
};

extern "C" ExEdit2PluginTable* PLUGIN_CDECL GetExEdit2PluginTable(void) { return &gExEdit2Table; }
