#include "support/wav_bytes.h"

std::string LittleEndian32(uint32_t v) {
    std::string s(4, '\0');
    for (int k = 0; k < 4; ++k) s[k] = static_cast<char>((v >> (8 * k)) & 0xFF);
    return s;
}

std::string LittleEndian16(uint16_t v) {
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string Chunk(const std::string& id, const std::string& body) {
    return id + LittleEndian32(static_cast<uint32_t>(body.size())) + body;
}

std::string PcmFormat(uint16_t channels, uint32_t rate, uint16_t bits) {
    uint16_t blockAlign = static_cast<uint16_t>(channels * (bits / 8));
    return LittleEndian16(1) + LittleEndian16(channels) + LittleEndian32(rate) +
           LittleEndian32(rate * blockAlign) + LittleEndian16(blockAlign) + LittleEndian16(bits);
}

std::string Riff(const std::string& chunks, const std::string& riffId) {
    return riffId + LittleEndian32(static_cast<uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

std::string PcmWav(const std::vector<int16_t>& samples) {
    std::string data;
    for (int16_t s : samples) data += LittleEndian16(static_cast<uint16_t>(s));
    return Riff(Chunk("fmt ", PcmFormat(1, 11025, 16)) + Chunk("data", data));
}
