// A minimal PNG writer: 8-bit RGB, stored (uncompressed) deflate blocks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// rgb holds width * height * 3 bytes, top row first. False when the file cannot be written.
bool WritePng(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height);
