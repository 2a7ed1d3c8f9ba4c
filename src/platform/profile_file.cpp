#include "platform/profile_file.h"

#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A settings file is a handful of lines; anything larger is not ours and is not read whole.
constexpr long MaxProfileBytes = 1 << 20;

const char ByteOrderMark[] = "\xEF\xBB\xBF";

// Reads the file's lines, after a byte-order mark if it starts with one. *whole (when given)
// tells whether the file was read to its end rather than cut at the size limit, *marked
// whether it started with the mark.
bool ReadLines(const char* path, std::vector<std::string>& lines, bool* whole = nullptr,
               bool* marked = nullptr) {
    FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return false;
    std::string text;
    char buffer[4096];
    size_t n;
    bool cut = false;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        text.append(buffer, n);
        if (static_cast<long>(text.size()) > MaxProfileBytes) {
            cut = true;
            break;
        }
    }
    std::fclose(f);
    if (whole != nullptr) *whole = !cut;
    const bool mark = text.compare(0, 3, ByteOrderMark) == 0;
    if (mark) text.erase(0, 3);
    if (marked != nullptr) *marked = mark;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return true;
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// Section name of a "[name]" line, or false when the line is not a section header.
bool SectionName(const std::string& line, std::string& name) {
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    size_t close = t.find(']');
    if (close == std::string::npos) return false;
    name = Trim(t.substr(1, close - 1));
    return true;
}

// Key and value of a "key=value" line.
bool KeyValue(const std::string& line, std::string& key, std::string& value) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    key = Trim(line.substr(0, eq));
    value = Trim(line.substr(eq + 1));
    return true;
}

bool SameName(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

int ParseInt(const std::string& value) {
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(value.c_str(), &end, 10);
    if (end == value.c_str()) return 0;
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

}  // namespace

int ProfileReadInt(const char* path, const char* section, const char* key, int def) {
    std::vector<std::string> lines;
    if (!ReadLines(path, lines)) return def;
    bool inSection = false;
    for (const std::string& line : lines) {
        std::string name, k, v;
        if (SectionName(line, name)) {
            inSection = SameName(name, section);
        } else if (inSection && KeyValue(line, k, v) && SameName(k, key)) {
            return ParseInt(v);
        }
    }
    return def;
}

namespace {

// Puts key=value into the lines the way the classic writer does: over the key's line in the
// first matching section, else after that section's last non-blank line, else in a new
// section at the end.
void SetKey(std::vector<std::string>& lines, const char* section, const char* key, const char* value) {
    std::string entry = std::string(key) + "=" + value;
    bool inSection = false;
    size_t sectionEnd = lines.size();  // index after the last line of our section
    bool sectionFound = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string name, k, v;
        if (SectionName(lines[i], name)) {
            if (inSection) {
                sectionEnd = i;
                break;
            }
            inSection = SameName(name, section);
            if (inSection) sectionFound = true;
        } else if (inSection && KeyValue(lines[i], k, v) && SameName(k, key)) {
            lines[i] = entry;
            return;
        }
    }
    if (sectionFound) {
        size_t at = sectionEnd;
        while (at > 0 && Trim(lines[at - 1]).empty()) --at;
        lines.insert(lines.begin() + static_cast<long>(at), entry);
    } else {
        lines.push_back(std::string("[") + section + "]");
        lines.push_back(entry);
    }
}

}  // namespace

bool ProfileWriteString(const char* path, const char* section, const char* key, const char* value) {
    const ProfileEntry entry{key, value};
    return ProfileWriteStrings(path, section, &entry, 1);
}

bool ProfileWriteStrings(const char* path, const char* section, const ProfileEntry* entries, int count) {
    std::vector<std::string> lines;
    bool whole = true, marked = false;
    ReadLines(path, lines, &whole, &marked);  // a missing file starts empty
    // Rewriting a file read only in part would drop the rest of it.
    if (!whole) return false;
    for (int i = 0; i < count; ++i) SetKey(lines, section, entries[i].key, entries[i].value);

    // The mark is kept: without it, whatever follows it (a second mark, say) would be read
    // differently the next time.
    std::string text = marked ? ByteOrderMark : "";
    for (const std::string& line : lines) text += line + "\n";

    std::string temp = std::string(path) + ".tmp" + std::to_string(getpid());
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            close(fd);
            unlink(temp.c_str());
            return false;
        }
        done += static_cast<size_t>(n);
    }
    if (fsync(fd) != 0 || close(fd) != 0) {
        unlink(temp.c_str());
        return false;
    }
    if (rename(temp.c_str(), path) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}
