#include "core/file_bytes.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <new>

FileReadStatus ReadWholeFile(const char* path, size_t maxBytes, uint8_t*& data, size_t& size) {
    data = nullptr;
    size = 0;
    // Only a regular file is read: a folder tells a huge length and reads nothing, and a
    // named pipe would wait for a writer at the open. /proc files are regular (of length 0).
    struct stat info;
    if (stat(path, &info) == 0 && !S_ISREG(info.st_mode)) return FileReadStatus::ReadFailed;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return FileReadStatus::CannotOpen;
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
    std::rewind(file);
    if (length > 0 && static_cast<unsigned long>(length) > maxBytes) {
        std::fclose(file);
        return FileReadStatus::TooLarge;
    }
    // Room for one byte more than the file tells: a full buffer means the file is longer
    // than it said (it grew, or cannot tell its length), and the buffer grows up to the limit.
    size_t capacity = (length > 0 ? static_cast<size_t>(length) : 0) + 1;
    uint8_t* buffer = new (std::nothrow) uint8_t[capacity];
    size_t got = 0;
    FileReadStatus status = FileReadStatus::Read;
    while (buffer != nullptr) {
        got += std::fread(buffer + got, 1, capacity - got, file);
        if (got < capacity) break;  // the end of the file, or an error
        if (capacity > maxBytes) {
            status = FileReadStatus::TooLarge;
            break;
        }
        size_t larger = capacity <= maxBytes / 2 ? capacity * 2 : maxBytes + 1;
        uint8_t* grown = new (std::nothrow) uint8_t[larger];
        if (grown != nullptr) std::memcpy(grown, buffer, got);
        delete[] buffer;
        buffer = grown;
        capacity = larger;
    }
    if (buffer == nullptr) status = FileReadStatus::NoMemory;
    else if (status == FileReadStatus::Read && std::ferror(file) != 0) status = FileReadStatus::ReadFailed;
    std::fclose(file);
    if (status != FileReadStatus::Read) {
        delete[] buffer;
        return status;
    }
    data = buffer;
    size = got;
    return FileReadStatus::Read;
}
