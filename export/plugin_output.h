// The export entry point: one call writes one whole stream.
#pragma once

#include "host/output_request.h"
#include "platform/platform.h"

// 1 when every frame is written; 0 after a report or the user's abort.
int PLUGIN_CDECL PluginOutput(OutputRequest* request);
