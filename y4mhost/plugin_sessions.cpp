#include "y4mhost/plugin_session.h"

const PluginSession* SessionFor(const std::string& path) {
#if Y4MHOST_SPEAKS_AVIUTL1 && Y4MHOST_SPEAKS_EXEDIT2
    const std::string suffix = ".auo2";
    const bool exedit2 =
        path.size() >= suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
    return exedit2 ? &ExEdit2Session : &AviUtl1Session;
#elif Y4MHOST_SPEAKS_EXEDIT2
    (void)path;
    return &ExEdit2Session;
#else
    (void)path;
    return &AviUtl1Session;
#endif
}
