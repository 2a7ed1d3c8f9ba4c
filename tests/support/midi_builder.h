// Builds Standard MIDI Files byte by byte for the tune loader's tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

std::string MidiVarLen(uint32_t value);
std::string MidiBigEndian(uint32_t value, int bytes);

struct MidiTrackBuilder {
    std::string bytes;
    // A delta time followed by raw event bytes (a status may be left out: running status).
    MidiTrackBuilder& Event(uint32_t delta, std::initializer_list<uint8_t> raw);
    // Bytes as they are, with no delta time before them.
    MidiTrackBuilder& Raw(std::initializer_list<uint8_t> raw);
    MidiTrackBuilder& NoteOn(uint32_t delta, int channel, int key, int velocity);
    MidiTrackBuilder& Tempo(uint32_t delta, uint32_t microsecondsPerQuarter);
    MidiTrackBuilder& EndOfTrack(uint32_t delta = 0);
    // The "MTrk" chunk around the bytes, with their true length.
    std::string Chunk() const;
};

// "MThd" chunk; division is the raw 16-bit field (top bit set: SMPTE).
std::string MidiHeader(int format, int trackCount, uint16_t division);
// A whole file: the header followed by the tracks' chunks.
std::string MidiFile(int format, uint16_t division, const std::vector<MidiTrackBuilder>& tracks);
