// Builds RIFF WAVE files byte by byte, so tests can make well-formed and broken sounds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::string LittleEndian32(uint32_t v);
std::string LittleEndian16(uint16_t v);
// A chunk: 4-byte id, little-endian length, body (no pad byte added).
std::string Chunk(const std::string& id, const std::string& body);
// A 16-byte PCM format body.
std::string PcmFormat(uint16_t channels, uint32_t rate, uint16_t bits);
// "RIFF" <length> "WAVE" followed by the chunks.
std::string Riff(const std::string& chunks, const std::string& riffId = "RIFF");
// A complete 16-bit mono 11025 Hz PCM file holding these samples.
std::string PcmWav(const std::vector<int16_t>& samples);
