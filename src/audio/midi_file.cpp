// Standard MIDI File reading: every read is bounded by the data that is really there.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/file_bytes.h"
#include "core/services.h"
#include "audio/music.h"

namespace {

// Only the tempo set this early in the song decides the speed of the clock.
constexpr int64_t TempoTickLimit = 120;
// A tune file bigger than this is not a tune.
constexpr size_t MaxMidiFileSize = 64u << 20;

struct LoaderState {
    int format = 0;
    bool smpte = false;
    int division = 0;
    double ticksPerMs = 1.0;
    int64_t time = 0;
};

// Reads a variable-length quantity (7 bits per byte, top bit = more) of at most 4 bytes.
bool ReadVarLen(const uint8_t* data, size_t size, size_t& pos, uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (pos >= size) return false;
        uint8_t b = data[pos++];
        value = (value << 7) | (b & 0x7F);
        if ((b & 0x80) == 0) return true;
    }
    return false;  // a fifth byte would be needed
}

void AppendEvent(MidiPlayer& player, int64_t time, uint8_t status, uint8_t data1, uint8_t data2) {
    if (player.eventCount >= MaxMidiEvents) return;  // the table is full: dropped
    MidiEvent& e = player.events[player.eventCount++];
    e.time = static_cast<int32_t>(std::min<int64_t>(time, MaxMidiEventTime));
    e.status = status;
    e.data1 = data1;
    e.data2 = data2;
    e.zero = 0;
}

// Reads one track's events. Returns false when the track is damaged; it then ends where the
// damage starts, keeping the events before it.
bool ReadTrack(MidiPlayer& player, LoaderState& state, const uint8_t* track, size_t length) {
    if (state.format > 0) state.time = 0;  // each track of a format-1 file starts at tick 0
    size_t pos = 0;
    uint8_t status = 0;  // running status; 0 = none yet
    while (pos < length) {
        uint32_t delta = 0;
        if (!ReadVarLen(track, length, pos, delta)) return false;
        state.time = std::min<int64_t>(state.time + delta, MaxMidiEventTime);
        if (pos >= length) return false;  // a delta with no event after it
        if (track[pos] & 0x80) {
            status = track[pos++];
        } else if (status == 0) {
            return false;  // running status with no status to repeat
        }
        switch (status >> 4) {
        case 0x8: case 0x9: case 0xA: case 0xB: case 0xE:
            if (length - pos < 2) return false;
            AppendEvent(player, state.time, status, track[pos], track[pos + 1]);
            pos += 2;
            break;
        case 0xC: case 0xD:
            if (length - pos < 1) return false;
            AppendEvent(player, state.time, status, track[pos], 0);
            pos += 1;
            break;
        case 0xF: {
            uint8_t type = 0;
            if (status == 0xFF) {
                if (pos >= length) return false;
                type = track[pos++];
                if (type == 0x2F) return true;  // end of track
            }
            uint32_t size = 0;
            if (!ReadVarLen(track, length, pos, size) || size > length - pos) return false;
            if (status == 0xFF && type == 0x51 && size >= 3) {
                int64_t tempo = int64_t(track[pos]) << 16 | int64_t(track[pos + 1]) << 8 | track[pos + 2];
                if (!state.smpte && tempo > 0 && state.division > 0 && state.time < TempoTickLimit)
                    player.ticksPerStep = std::max<int32_t>(
                        1, static_cast<int32_t>(state.division * 10.0 / (tempo * 0.001)));
            }
            pos += size;
            // Meta events and system exclusive messages cancel running status.
            status = 0;
            break;
        }
        default:
            return false;  // unreachable: status always has its top bit set here
        }
    }
    return true;  // the track's length ran out without an end-of-track event
}

uint32_t ReadBig(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
    return v;
}

}  // namespace

void SortEvents(MidiPlayer& player) {
    int count = std::clamp(player.eventCount, 0, MaxMidiEvents);
    std::stable_sort(player.events, player.events + count,
                     [](const MidiEvent& a, const MidiEvent& b) { return a.time < b.time; });
}

bool LoadMidiFromMemory(MidiPlayer& player, const uint8_t* data, size_t size, int* damagedTracks) {
    LoaderState state;
    bool needsSort = false;
    bool headerSeen = false;
    int damaged = 0;
    player.eventCount = 0;
    player.nextEvent = 0;
    player.ticksPerStep = 10;
    if (damagedTracks != nullptr) *damagedTracks = 0;
    if (data == nullptr) size = 0;

    // A refused file leaves an empty table and the default clock, whatever its tracks
    // before the refusal set.
    auto refuse = [&player]() {
        player.eventCount = 0;
        player.ticksPerStep = 10;
        return false;
    };
    size_t pos = 0;
    while (size - pos >= 4) {
        // Only the third byte of the chunk id counts: MThd, MTrk. Any other id is dropped
        // and the next four bytes are taken as the next id.
        uint8_t kind = data[pos + 2];
        pos += 4;
        if (kind != 'h' && kind != 'r') continue;
        if (size - pos < 4) break;
        // Only the low three bytes of a chunk length are used.
        size_t chunkLength = ReadBig(data + pos, 4) & 0xFFFFFF;
        pos += 4;
        size_t available = size - pos;
        if (kind == 'h') {
            if (chunkLength < 6 || available < 6) return refuse();
            const uint8_t* h = data + pos;
            if (h[1] > 1) return refuse();  // format 2 (independent songs) is not played
            state.format = h[1];
            needsSort = h[3] != 1;  // more than one track: merge them by time
            if ((h[4] & 0x80) == 0) {
                state.division = static_cast<int>(ReadBig(h + 4, 2));  // ticks per quarter note
                state.smpte = false;
            } else {
                // Frames per second (negated) and ticks per frame.
                int framesPerSecond = static_cast<uint8_t>(-static_cast<int8_t>(h[4]));
                state.smpte = true;
                state.ticksPerMs = framesPerSecond * h[5] * 0.001;
            }
            headerSeen = true;
            pos += std::min(chunkLength, available);
        } else {
            bool truncated = chunkLength > available;  // the file ends inside the track
            size_t trackLength = truncated ? available : chunkLength;
            bool intact = ReadTrack(player, state, data + pos, trackLength);
            if (truncated || !intact) ++damaged;
            pos += trackLength;
        }
    }
    if (!headerSeen) return refuse();

    if (needsSort) SortEvents(player);
    if (state.ticksPerMs != 1.0) player.ticksPerStep = static_cast<int32_t>(state.ticksPerMs * 10.0);
    // A slow tempo at a small division truncates to 0 ticks per step, which would stop the
    // clock (and the tune) for good; the slowest clock is one tick per step.
    if (player.ticksPerStep < 1) player.ticksPerStep = 1;
    if (damagedTracks != nullptr) *damagedTracks = damaged;
    return true;
}

bool LoadMidiFile(MidiPlayer& player) {
    char path[PathBufferSize];
    MediaPath(path, "RuleBrittany.mid");
    uint8_t* bytes = nullptr;
    size_t size = 0;
    FileReadStatus status = ReadWholeFile(path, MaxMidiFileSize, bytes, size);
    if (status == FileReadStatus::CannotOpen) return false;  // no tune: the music stays off, silently
    if (status != FileReadStatus::Read) {
        ShowError("Unable to load the music file:", path);
        return false;
    }
    int damaged = 0;
    const bool loaded = LoadMidiFromMemory(player, bytes, size, &damaged);
    delete[] bytes;
    if (!loaded) {
        ShowError("Unable to load the music file:", path);
        return false;
    }
    if (damaged > 0) ShowError("Damaged music file:", path);
    return true;
}
