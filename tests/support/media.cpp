#include "support/media.h"

#include <cstdlib>

#include "core/services.h"

std::string GeneratedMediaDir() {
    const char* dir = std::getenv("KELVANE_MEDIA_DIR");
    if (dir != nullptr) return dir;
#ifdef KELVANE_BUILD_MEDIA_DIR
    return KELVANE_BUILD_MEDIA_DIR;
#else
    return "";
#endif
}

bool UseGeneratedMedia() {
    std::string dir = GeneratedMediaDir();
    if (dir.empty()) return false;
    SetMediaFolderOverride(dir.c_str());
    return true;
}
