#include "platform/adpcm_decoder.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
}
void PutId(std::vector<uint8_t>& out, const char* id) { out.insert(out.end(), id, id + 4); }

// Bounds that keep the decoded and resampled result to a sane size for a sound effect.
constexpr uint32_t MinRate = 1000;
constexpr uint32_t MaxRate = 192000;
constexpr size_t MaxOutputSamples = size_t(1) << 27;  // about 3.4 hours of the mixer's sound

// The fields of a Microsoft ADPCM format chunk, checked against what the chunk can hold
// and what a decoder can honour.
bool ValidFormat(const uint8_t* f, size_t n) {
    // Wave format (18 bytes), samples per block, coefficient count.
    if (n < 22) return false;
    uint16_t tag = U16(f), channels = U16(f + 2);
    uint32_t rate = U32(f + 4);
    uint16_t blockAlign = U16(f + 12), bits = U16(f + 14), extraSize = U16(f + 16);
    uint16_t samplesPerBlock = U16(f + 18), coefficientCount = U16(f + 20);
    if (tag != 2) return false;
    if (channels != 1 && channels != 2) return false;
    if (rate < MinRate || rate > MaxRate) return false;
    if (bits != 4) return false;
    // Each block starts with a 7-byte header per channel and holds whole bytes per channel.
    uint32_t headerSize = 7u * channels;
    if (blockAlign <= headerSize || blockAlign % channels != 0) return false;
    // The header holds two samples per channel, each further byte two 4-bit samples.
    uint32_t mostPerBlock = (blockAlign - headerSize) * 2u / channels + 2u;
    if (samplesPerBlock < 2 || samplesPerBlock > mostPerBlock) return false;
    // The seven standard coefficient pairs at least, all inside the chunk and inside the
    // extension the format declares.
    if (coefficientCount < 7 || coefficientCount > 256) return false;
    size_t needed = 22u + 4u * coefficientCount;
    if (needed > n || 4u + 4u * coefficientCount > extraSize || 18u + extraSize > n) return false;
    return true;
}

}  // namespace

bool DecodeAdpcm(const uint8_t* format, size_t formatLength, const uint8_t* data,
                 size_t dataLength, int outputRate, int16_t** samples, int32_t* count) {
    *samples = nullptr;
    *count = 0;
    if (format == nullptr || (data == nullptr && dataLength != 0)) return false;
    if (outputRate < static_cast<int>(MinRate) || outputRate > static_cast<int>(MaxRate)) return false;
    if (!ValidFormat(format, formatLength)) return false;
    if (dataLength > 0x7FFF0000u) return false;  // the image must fit an int

    // SDL's wave decoder reads whole files: wrap the format and data in a minimal RIFF
    // WAVE image in memory.
    std::vector<uint8_t> image;
    size_t formatPadded = formatLength + (formatLength & 1);
    size_t dataPadded = dataLength + (dataLength & 1);
    image.reserve(12 + 8 + formatPadded + 8 + dataPadded);
    PutId(image, "RIFF");
    PutU32(image, static_cast<uint32_t>(4 + 8 + formatPadded + 8 + dataPadded));
    PutId(image, "WAVE");
    PutId(image, "fmt ");
    PutU32(image, static_cast<uint32_t>(formatLength));
    image.insert(image.end(), format, format + formatLength);
    if (formatLength & 1) image.push_back(0);
    PutId(image, "data");
    PutU32(image, static_cast<uint32_t>(dataLength));
    if (dataLength > 0) image.insert(image.end(), data, data + dataLength);
    if (dataLength & 1) image.push_back(0);

    SDL_RWops* in = SDL_RWFromConstMem(image.data(), static_cast<int>(image.size()));
    if (in == nullptr) return false;
    SDL_AudioSpec spec;
    Uint8* decoded = nullptr;
    Uint32 decodedLength = 0;
    if (SDL_LoadWAV_RW(in, 1, &spec, &decoded, &decodedLength) == nullptr) return false;

    // Whatever the decoder gives (it keeps the file's channels and rate), bring it to
    // 16-bit mono at the mixer's rate.
    SDL_AudioCVT cvt;
    int needed = SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 1,
                                   outputRate);
    if (needed < 0) {
        SDL_FreeWAV(decoded);
        return false;
    }
    uint8_t* result = nullptr;
    size_t resultBytes = 0;
    if (needed == 0) {
        resultBytes = decodedLength & ~Uint32(1);
        if (resultBytes / 2 > MaxOutputSamples) {
            SDL_FreeWAV(decoded);
            return false;
        }
        result = static_cast<uint8_t*>(std::malloc(resultBytes > 0 ? resultBytes : 2));
        if (result != nullptr && resultBytes > 0) std::memcpy(result, decoded, resultBytes);
    } else {
        size_t workBytes = static_cast<size_t>(decodedLength) * static_cast<size_t>(cvt.len_mult);
        if (workBytes / 2 > MaxOutputSamples * 4 || decodedLength > 0x7FFFFFF0u) {
            SDL_FreeWAV(decoded);
            return false;
        }
        uint8_t* work = static_cast<uint8_t*>(std::malloc(workBytes > 0 ? workBytes : 2));
        if (work == nullptr) {
            SDL_FreeWAV(decoded);
            return false;
        }
        if (decodedLength > 0) std::memcpy(work, decoded, decodedLength);
        cvt.buf = work;
        cvt.len = static_cast<int>(decodedLength);
        if (SDL_ConvertAudio(&cvt) != 0 || cvt.len_cvt < 0 ||
            static_cast<size_t>(cvt.len_cvt) / 2 > MaxOutputSamples) {
            std::free(work);
            SDL_FreeWAV(decoded);
            return false;
        }
        resultBytes = static_cast<size_t>(cvt.len_cvt) & ~size_t(1);
        result = work;  // the converted samples sit at the start of the work buffer
    }
    SDL_FreeWAV(decoded);
    if (result == nullptr) return false;
    *samples = reinterpret_cast<int16_t*>(result);
    *count = static_cast<int32_t>(resultBytes / 2);
    return true;
}
