// INI-style settings files ("private profile" files): [Section] headers and key=value lines.
#pragma once

// Reads key in section as a decimal integer. Returns def when the file, the section or the
// key is missing; a value that is not a number reads as 0, as the classic reader does.
int ProfileReadInt(const char* path, const char* section, const char* key, int def);

// Writes key=value into section, keeping every other line of the file. The new file is
// written beside the old one and renamed over it, so a crash never leaves it truncated.
// Returns false when the file cannot be written, or when it is larger than a settings file
// can be (over 1 MiB): such a file is not ours and is left as it is.
bool ProfileWriteString(const char* path, const char* section, const char* key, const char* value);

struct ProfileEntry {
    const char* key;
    const char* value;
};
// Writes several keys into section at once, with the same rules and the same single
// replacement of the file: after a crash the file holds all of them or none.
bool ProfileWriteStrings(const char* path, const char* section, const ProfileEntry* entries, int count);
