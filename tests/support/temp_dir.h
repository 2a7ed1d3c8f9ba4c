// A fresh temporary folder, removed with everything in it when the object goes away.
#pragma once

#include <string>

struct TempDir {
    std::string path;
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(const std::string& name) const { return path + "/" + name; }
    // Writes bytes to a file in the folder and returns its full path.
    std::string Write(const std::string& name, const std::string& bytes) const;
};

std::string ReadFileBytes(const std::string& path);
