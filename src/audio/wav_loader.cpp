#include "audio/wav_loader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/file_bytes.h"
#include "core/services.h"
#include "audio/mixer.h"
#include "audio/sound_system.h"
#include "platform/adpcm_decoder.h"

namespace {

// The largest format chunk read: the Microsoft ADPCM format with its seven coefficient
// pairs.
constexpr uint32_t MaxFormatLength = 50;
// Sound files larger than this are not sounds of ours (an hour of CD-quality stereo is 600 MiB).
constexpr size_t MaxWavFileBytes = 256u * 1024 * 1024;
constexpr uint16_t FormatPcm = 1;
constexpr uint16_t FormatAdpcm = 2;

// Reads a RIFF file front to back; every read fails rather than passing the end.
struct Reader {
    const uint8_t* bytes;
    size_t size;
    size_t pos;
    size_t Left() const { return size - pos; }
    bool Take(void* out, size_t n) {
        if (n > Left()) return false;
        std::memcpy(out, bytes + pos, n);
        pos += n;
        return true;
    }
    // Chunk lengths are little-endian whatever the file's first id says.
    bool TakeU32(uint32_t* out) {
        uint8_t b[4];
        if (!Take(b, 4)) return false;
        *out = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
               (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
        return true;
    }
};

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

int LoadWavFromMemory(const uint8_t* bytes, size_t size) {
    if (Sound.voiceCount >= MaxVoices) return WavNoFreeSlot;
    if (bytes == nullptr) size = 0;
    Reader in{bytes, size, 0};

    // Only the first three letters of each id are compared, so "RIFX" passes too.
    char id[4] = {};
    if (!in.Take(id, 4) || std::memcmp(id, "RIF", 3) != 0) return WavCannotOpen;
    uint32_t riffLength;
    char form[4] = {};
    if (!in.TakeU32(&riffLength) || !in.Take(form, 4) || std::memcmp(form, "WAV", 3) != 0)
        return WavNotWave;
    if (!in.Take(id, 4) || std::memcmp(id, "fmt", 3) != 0) return WavNoFormat;

    uint32_t formatLength;
    if (!in.TakeU32(&formatLength)) return WavNoData;
    if (formatLength > MaxFormatLength) return WavBadFormat;
    uint8_t format[MaxFormatLength] = {};
    if (!in.Take(format, formatLength)) return WavNoData;

    // Skip every other chunk (LIST, fact, ...) up to the data; lengths are taken as they
    // stand, without the pad byte of odd lengths.
    for (;;) {
        if (!in.Take(id, 4)) return WavNoData;
        if (std::memcmp(id, "data", 4) == 0) break;
        uint32_t skip;
        if (!in.TakeU32(&skip) || skip > in.Left()) return WavNoData;
        in.pos += skip;
    }
    uint32_t dataLength;
    if (!in.TakeU32(&dataLength)) return WavNoData;
    if (dataLength > in.Left()) return WavDataPastEnd;
    const uint8_t* data = bytes + in.pos;

    uint16_t tag = U16(format);
    uint16_t bits = U16(format + 14);
    if (tag == FormatPcm) {
        // Channels and rate are not looked at: the mixer plays 16-bit mono at 11025 Hz.
        if (bits < 8) return WavBadSampleSize;
        // The buffer holds dataLength / 2 samples of 16 bits; an 8-bit file is counted by
        // what the buffer holds, never by its own sample count, which would run past it.
        uint32_t length = dataLength / (bits / 8u);
        if (length > dataLength / 2) length = dataLength / 2;
        int16_t* samples = static_cast<int16_t*>(std::malloc(dataLength > 2 ? dataLength : 2));
        if (samples == nullptr) return WavDataPastEnd;
        if (dataLength > 0) std::memcpy(samples, data, dataLength);
        int slot = AddVoiceSlot(samples, static_cast<int32_t>(length), false);
        if (slot < 0) std::free(samples);
        return slot;
    }
    if (tag == FormatAdpcm) {
        int16_t* samples = nullptr;
        int32_t length = 0;
        if (!DecodeAdpcm(format, formatLength, data, dataLength, MixRate, &samples, &length))
            return WavConversionFailed;
        int slot = AddVoiceSlot(samples, length, false);
        if (slot < 0) std::free(samples);
        return slot;
    }
    return WavBadFormat;
}

int LoadWav(const char* name) {
    if (Sound.voiceCount >= MaxVoices) return WavNoFreeSlot;
    char path[PathBufferSize];
    MediaPath(path, name);
    uint8_t* bytes = nullptr;
    size_t got = 0;
    // A file that cannot be read whole is refused by the parser as an empty one.
    if (ReadWholeFile(path, MaxWavFileBytes, bytes, got) == FileReadStatus::CannotOpen) {
        ShowError("Could not open file:", path);
        return WavCannotOpen;
    }
    int result = LoadWavFromMemory(bytes, got);
    delete[] bytes;
    return result;
}
