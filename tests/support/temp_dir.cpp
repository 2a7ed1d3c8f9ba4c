#include "support/temp_dir.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

TempDir::TempDir() {
    char pattern[] = "/tmp/kelvane-test-XXXXXX";
    char* made = mkdtemp(pattern);
    path = made != nullptr ? made : "/tmp";
}

TempDir::~TempDir() {
    std::error_code ec;
    if (path != "/tmp") std::filesystem::remove_all(path, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
    std::string full = File(name);
    std::ofstream out(full, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return full;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
