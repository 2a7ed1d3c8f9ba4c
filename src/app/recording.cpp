#include "app/recording.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/services.h"
#include "math/random.h"

namespace {

constexpr char Magic[4] = {'K', 'V', 'R', 'P'};
constexpr uint32_t Version = 1;
// A recording of a day's play at 33 frames per second stays far below this.
constexpr uint32_t MaxEntries = 1u << 24;

struct ActiveRecording {
    bool active = false;
    std::string path;
    Recording recording;
};
ActiveRecording Active;

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

bool GetU32(const std::string& in, size_t& at, uint32_t& v) {
    if (in.size() - at < 4 || at > in.size()) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(in[at + i])) << (8 * i);
    at += 4;
    return true;
}

}  // namespace

bool StartRecording(const char* path) {
    Active = ActiveRecording{};
    Active.active = true;
    Active.path = path;
    Active.recording.seed = RandState();
    return true;
}

bool RecordingActive() { return Active.active; }

void RecordEvent(const InputEvent& event) {
    if (!Active.active || event.type == InputEventType::None) return;
    if (Active.recording.entries.size() >= MaxEntries) return;
    RecordedEntry e{};
    e.kind = RecordedEntry::Event;
    e.event = event;
    Active.recording.entries.push_back(e);
}

void RecordFrame(uint32_t clockMs, float dt) {
    if (!Active.active || Active.recording.entries.size() >= MaxEntries) return;
    RecordedEntry e{};
    e.kind = RecordedEntry::Frame;
    e.clockMs = clockMs;
    e.dt = dt;
    Active.recording.entries.push_back(e);
}

bool StopRecording() {
    if (!Active.active) return false;
    Active.active = false;
    return SaveRecording(Active.path.c_str(), Active.recording);
}

bool SaveRecording(const char* path, const Recording& recording) {
    std::string out(Magic, 4);
    PutU32(out, Version);
    PutU32(out, recording.seed);
    PutU32(out, static_cast<uint32_t>(recording.entries.size()));
    for (const RecordedEntry& e : recording.entries) {
        out.push_back(static_cast<char>(e.kind));
        if (e.kind == RecordedEntry::Event) {
            out.push_back(static_cast<char>(e.event.type));
            PutU32(out, static_cast<uint32_t>(e.event.key));
            PutU32(out, static_cast<uint32_t>(e.event.x));
            PutU32(out, static_cast<uint32_t>(e.event.y));
        } else {
            uint32_t bits;
            std::memcpy(&bits, &e.dt, 4);
            PutU32(out, e.clockMs);
            PutU32(out, bits);
        }
    }
    FILE* f = std::fopen(path, "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

bool LoadRecording(const char* path, Recording& recording) {
    FILE* f = std::fopen(path, "rb");
    if (f == nullptr) {
        ShowError("Could not open file:", path);
        return false;
    }
    std::string in;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) in.append(buffer, n);
    std::fclose(f);

    recording = Recording{};
    size_t at = 4;
    uint32_t version = 0, count = 0;
    if (in.size() < 4 || std::memcmp(in.data(), Magic, 4) != 0 || !GetU32(in, at, version) ||
        version != Version || !GetU32(in, at, recording.seed) || !GetU32(in, at, count) ||
        count > MaxEntries) {
        ShowError("Bad recording:", path);
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        if (at >= in.size()) break;
        RecordedEntry e{};
        uint8_t kind = static_cast<uint8_t>(in[at++]);
        if (kind == RecordedEntry::Event && at < in.size()) {
            uint8_t type = static_cast<uint8_t>(in[at++]);
            uint32_t key, x, y;
            if (type > static_cast<uint8_t>(InputEventType::CloseRequest) || !GetU32(in, at, key) ||
                !GetU32(in, at, x) || !GetU32(in, at, y))
                break;
            e.kind = RecordedEntry::Event;
            e.event = InputEvent{static_cast<InputEventType>(type), static_cast<int>(key),
                                 static_cast<int>(x), static_cast<int>(y)};
        } else if (kind == RecordedEntry::Frame) {
            uint32_t bits;
            if (!GetU32(in, at, e.clockMs) || !GetU32(in, at, bits)) break;
            e.kind = RecordedEntry::Frame;
            std::memcpy(&e.dt, &bits, 4);
        } else {
            break;
        }
        recording.entries.push_back(e);
    }
    if (recording.entries.size() != count) {
        ShowError("Bad recording:", path);
        return false;
    }
    return true;
}
