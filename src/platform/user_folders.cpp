#include "platform/user_folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool IsFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return home;
    const passwd* entry = getpwuid(getuid());
    if (entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/') return entry->pw_dir;
    return "";
}

}  // namespace

bool PlatformFolderWritable(const char* folder) {
    return folder != nullptr && IsFolder(folder) && access(folder, W_OK | X_OK) == 0;
}

bool PlatformUserConfigFolder(char* out, size_t size, const char* name) {
    if (size == 0) return false;
    out[0] = '\0';
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base-directory rules say.
    std::string base;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        base = config;
    } else {
        std::string home = HomeFolder();
        if (home.empty()) return false;
        base = home + "/.config";
    }
    std::string path = base + "/" + name;
    if (path.size() + 1 > size) return false;
    std::snprintf(out, size, "%s", path.c_str());
    return true;
}

bool PlatformMakeFolders(const char* folder) {
    if (folder == nullptr || folder[0] == '\0') return false;
    std::string path(folder);
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '/') continue;
        std::string part = path.substr(0, at);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return IsFolder(path);
}
