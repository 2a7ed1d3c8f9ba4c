// Reading a whole file into memory, bounded: every loader reads its file in one go and
// parses it from memory.
#pragma once

#include <cstddef>
#include <cstdint>

enum class FileReadStatus { Read, CannotOpen, TooLarge, NoMemory, ReadFailed };

// Reads the file at path, at most maxBytes of it, into a new[] buffer the caller frees with
// delete[] (null and 0 unless Read). A folder, device or pipe is ReadFailed. A file whose
// length cannot be told (/proc) is read up to the limit; a file that grows past the limit
// while it is read is TooLarge.
FileReadStatus ReadWholeFile(const char* path, size_t maxBytes, uint8_t*& data, size_t& size);
