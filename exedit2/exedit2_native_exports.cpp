// The native module of ExEdit2's boundary (for y4mhost, the sanitizers and the
// fuzzers on Linux): with no .def to rename an export, the table leaves this
// module under the interface's name here.
#include "exedit2/exedit2_table.h"

extern "C" PLUGIN_EXPORT ExEdit2PluginTable* PLUGIN_CDECL GetOutputPluginTable(void) { return GetExEdit2PluginTable(); }
