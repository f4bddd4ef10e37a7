// The descriptor. This file is compiled with Shift-JIS as its execution
// character set, so the host receives its texts in code page 932.
#include "aviutl1/aviutl1_table.h"

#include "plugin_version.h"

static OutputPluginTable gPluginTable = {
    1,                                              // flags: video output only, never audio
    "YUV4MPEG2 出力",                               // name in the host's output menu
    "YUV4MPEG2 (*.y4m)\0*.y4m\0",                   // file filter; the literal's own NUL ends the list
    "YUV4MPEG2 出力 " PLUGIN_PRODUCT_VERSION_TEXT,  // information
    PluginInit,                                     // init
    nullptr,                                        // exit: nothing to release
    PluginOutput,                                   // output
    PluginConfig,                                   // config
    PluginConfigGet,                                // config get
    PluginConfigSet,                                // config set
    {},                                             // reserved
};

extern "C" OutputPluginTable* PLUGIN_CDECL GetOutputPluginTable(void) { return &gPluginTable; }
