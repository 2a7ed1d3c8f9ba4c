#include "support/midi_builder.h"

std::string MidiVarLen(uint32_t value) {
    std::string out(1, static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0) out.insert(out.begin(), static_cast<char>(0x80 | (value & 0x7F)));
    return out;
}

std::string MidiBigEndian(uint32_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

MidiTrackBuilder& MidiTrackBuilder::Event(uint32_t delta, std::initializer_list<uint8_t> raw) {
    bytes += MidiVarLen(delta);
    for (uint8_t b : raw) bytes += static_cast<char>(b);
    return *this;
}

MidiTrackBuilder& MidiTrackBuilder::Raw(std::initializer_list<uint8_t> raw) {
    for (uint8_t b : raw) bytes += static_cast<char>(b);
    return *this;
}

MidiTrackBuilder& MidiTrackBuilder::NoteOn(uint32_t delta, int channel, int key, int velocity) {
    return Event(delta, {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(key),
                         static_cast<uint8_t>(velocity)});
}

MidiTrackBuilder& MidiTrackBuilder::Tempo(uint32_t delta, uint32_t t) {
    return Event(delta, {0xFF, 0x51, 0x03, static_cast<uint8_t>(t >> 16), static_cast<uint8_t>(t >> 8),
                         static_cast<uint8_t>(t)});
}

MidiTrackBuilder& MidiTrackBuilder::EndOfTrack(uint32_t delta) { return Event(delta, {0xFF, 0x2F, 0x00}); }

std::string MidiTrackBuilder::Chunk() const {
    return "MTrk" + MidiBigEndian(static_cast<uint32_t>(bytes.size()), 4) + bytes;
}

std::string MidiHeader(int format, int trackCount, uint16_t division) {
    return "MThd" + MidiBigEndian(6, 4) + MidiBigEndian(format, 2) + MidiBigEndian(trackCount, 2) +
           MidiBigEndian(division, 2);
}

std::string MidiFile(int format, uint16_t division, const std::vector<MidiTrackBuilder>& tracks) {
    std::string out = MidiHeader(format, static_cast<int>(tracks.size()), division);
    for (const MidiTrackBuilder& t : tracks) out += t.Chunk();
    return out;
}
