#include "support/media_files.h"

#include "support/temp_dir.h"

namespace {

uint32_t Le32(const std::string& s, size_t at) {
    return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8 |
           static_cast<uint8_t>(s[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}
uint16_t Le16(const std::string& s, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8);
}
uint32_t Be32(const std::string& s, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(s[at])) << 24 | static_cast<uint8_t>(s[at + 1]) << 16 |
           static_cast<uint8_t>(s[at + 2]) << 8 | static_cast<uint8_t>(s[at + 3]);
}

}  // namespace

WavFile ReadWav(const std::string& path) {
    WavFile wav;
    std::string s = ReadFileBytes(path);
    if (s.size() < 12 || s.compare(0, 4, "RIFF") != 0 || s.compare(8, 4, "WAVE") != 0) {
        wav.error = "not a RIFF WAVE file";
        return wav;
    }
    if (Le32(s, 4) + 8 != s.size()) wav.error = "RIFF length does not match the file";
    size_t at = 12;
    while (at + 8 <= s.size()) {
        RiffChunk c = {s.substr(at, 4), Le32(s, at + 4), at + 8};
        if (c.offset + c.size > s.size()) {
            wav.error = "chunk " + c.id + " runs past the end";
            return wav;
        }
        wav.chunks.push_back(c);
        if (c.id == "fmt " && c.size >= 16) {
            wav.formatSize = c.size;
            wav.formatTag = Le16(s, c.offset);
            wav.channels = Le16(s, c.offset + 2);
            wav.sampleRate = Le32(s, c.offset + 4);
            wav.bitsPerSample = Le16(s, c.offset + 14);
        }
        if (c.id == "data") {
            if (wav.formatTag == 1 && wav.bitsPerSample == 16)
                for (uint32_t i = 0; i + 1 < c.size; i += 2)
                    wav.samples.push_back(static_cast<int16_t>(Le16(s, c.offset + i)));
        }
        at = c.offset + c.size + (c.size & 1);
    }
    return wav;
}

TuneFile ReadTune(const std::string& path) {
    TuneFile midi;
    std::string s = ReadFileBytes(path);
    if (s.size() < 14 || s.compare(0, 4, "MThd") != 0 || Be32(s, 4) != 6) {
        midi.error = "no MIDI header";
        return midi;
    }
    midi.format = static_cast<uint8_t>(s[8]) << 8 | static_cast<uint8_t>(s[9]);
    midi.trackCount = static_cast<uint8_t>(s[10]) << 8 | static_cast<uint8_t>(s[11]);
    midi.division = static_cast<uint8_t>(s[12]) << 8 | static_cast<uint8_t>(s[13]);
    size_t at = 14;
    while (at + 8 <= s.size() && midi.error.empty()) {
        uint32_t length = Be32(s, at + 4);
        if (s.compare(at, 4, "MTrk") != 0 || at + 8 + length > s.size()) {
            midi.error = "bad track chunk";
            break;
        }
        size_t p = at + 8, end = p + length;
        std::vector<TuneEvent> events;
        int tick = 0;
        uint8_t status = 0;
        bool ended = false;
        auto byte = [&]() -> uint8_t {
            if (p >= end) {
                if (midi.error.empty()) midi.error = "track data runs out";
                return 0;
            }
            return static_cast<uint8_t>(s[p++]);
        };
        auto varLength = [&]() {
            uint32_t v = 0;
            for (int i = 0; i < 4; ++i) {
                uint8_t b = byte();
                v = (v << 7) | (b & 0x7F);
                if ((b & 0x80) == 0) break;
            }
            return v;
        };
        while (p < end && midi.error.empty() && !ended) {
            tick += static_cast<int>(varLength());
            uint8_t b = byte();
            if (b & 0x80) {
                status = b;
            } else {
                --p;  // running status
            }
            TuneEvent e = {tick, status, {}};
            if (status == 0xFF) {
                uint8_t type = byte();
                uint32_t n = varLength();
                e.data.push_back(type);
                for (uint32_t i = 0; i < n; ++i) e.data.push_back(byte());
                if (type == 0x2F) ended = true;
            } else if (status == 0xF0 || status == 0xF7) {
                uint32_t n = varLength();
                for (uint32_t i = 0; i < n; ++i) byte();
            } else if ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0) {
                e.data.push_back(byte());
            } else if (status >= 0x80) {
                e.data.push_back(byte());
                e.data.push_back(byte());
            } else {
                midi.error = "data before any status";
            }
            events.push_back(e);
        }
        if (!ended && midi.error.empty()) midi.error = "track without end-of-track";
        midi.tracks.push_back(events);
        at = end;
    }
    return midi;
}
