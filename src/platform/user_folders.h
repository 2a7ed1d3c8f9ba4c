// Folders outside the game's own: whether a folder takes new files, and the player's
// configuration folder.
#pragma once

#include <cstddef>

// Whether this process may create files in folder.
bool PlatformFolderWritable(const char* folder);
// Writes <$XDG_CONFIG_HOME or ~/.config>/<name> into out (always zero-terminated). False
// when no home folder is known or the path does not fit; out is then empty.
bool PlatformUserConfigFolder(char* out, size_t size, const char* name);
// Creates folder and any missing parents (private to the user). True when it exists
// afterwards.
bool PlatformMakeFolders(const char* folder);
