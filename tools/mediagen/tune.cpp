// "Rule, Britannia!" (Thomas Arne, 1740, public domain) in our own arrangement for brass,
// horns, strings, tuba and drums: a Standard MIDI File of format 1 with a tempo track and
// five instrument tracks. 480 ticks per quarter note at 480000 microseconds per quarter
// note: the player's clock advances exactly 10 ticks per 10 ms step.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "media_output.h"

namespace {

constexpr int Division = 480;
constexpr int Eighth = Division / 2;
constexpr int Bar = 8 * Eighth;
constexpr uint32_t Tempo = 480000;

struct Event {
    int tick;
    int order;  // at equal ticks: note-offs (0) before everything else (1)
    std::vector<uint8_t> bytes;
};

struct Track {
    std::vector<Event> events;
};

void Meta(Track& t, int tick, uint8_t type, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> b = {0xFF, type, static_cast<uint8_t>(data.size())};
    b.insert(b.end(), data.begin(), data.end());
    t.events.push_back({tick, 1, b});
}

void Text(Track& t, uint8_t type, const std::string& text) { Meta(t, 0, type, std::vector<uint8_t>(text.begin(), text.end())); }

void Note(Track& t, int channel, int pitch, int start, int length, int velocity) {
    t.events.push_back({start, 1,
                        {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(pitch), static_cast<uint8_t>(velocity)}});
    t.events.push_back({start + length, 0,
                        {static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(pitch), 64}});
}

void Control(Track& t, int channel, int tick, int controller, int value) {
    t.events.push_back({tick, 1,
                        {static_cast<uint8_t>(0xB0 | channel), static_cast<uint8_t>(controller), static_cast<uint8_t>(value)}});
}

void Program(Track& t, int channel, int program) {
    t.events.push_back({0, 1, {static_cast<uint8_t>(0xC0 | channel), static_cast<uint8_t>(program)}});
}

void PutVarLength(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t bytes[5];
    int n = 0;
    bytes[n++] = value & 0x7F;
    while ((value >>= 7) != 0) bytes[n++] = static_cast<uint8_t>((value & 0x7F) | 0x80);
    while (n > 0) out.push_back(bytes[--n]);
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

std::vector<uint8_t> TrackChunk(Track t) {
    std::stable_sort(t.events.begin(), t.events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::vector<uint8_t> data;
    int now = 0;
    for (const Event& e : t.events) {
        PutVarLength(data, static_cast<uint32_t>(e.tick - now));
        now = e.tick;
        data.insert(data.end(), e.bytes.begin(), e.bytes.end());
    }
    data.push_back(0);
    data.push_back(0xFF);
    data.push_back(0x2F);
    data.push_back(0);
    std::vector<uint8_t> chunk = {'M', 'T', 'r', 'k'};
    Put32(chunk, static_cast<uint32_t>(data.size()));
    chunk.insert(chunk.end(), data.begin(), data.end());
    return chunk;
}

// The tune, written in D major as (MIDI pitch, length in eighths); 0 is a rest.
struct Step {
    int pitch, eighths;
};
enum : int { A4 = 69, B4 = 71, Cs5 = 73, D5 = 74, E5 = 76, Fs5 = 78, G5 = 79, A5 = 81, B5 = 83 };

// "When Britain first, at heaven's command, arose from out the azure main..."
const std::vector<Step> Verse = {
    {D5, 2}, {D5, 2}, {D5, 3}, {E5, 1},            {Fs5, 2}, {E5, 1}, {D5, 1}, {E5, 2}, {A4, 2},
    {B4, 2}, {Cs5, 2}, {D5, 2}, {E5, 1}, {Fs5, 1}, {E5, 4},  {0, 2},  {A4, 2},
    {Fs5, 2}, {Fs5, 2}, {G5, 2}, {A5, 2},          {B5, 2},  {A5, 1}, {G5, 1}, {Fs5, 2}, {E5, 2},
    {D5, 2}, {Fs5, 2}, {E5, 3}, {D5, 1},           {D5, 6},  {0, 2}};
// "Rule, Britannia! Britannia, rule the waves: Britons never, never, never shall be slaves."
const std::vector<Step> Refrain = {
    {D5, 4}, {D5, 2}, {E5, 1}, {Fs5, 1},           {G5, 2}, {Fs5, 2}, {E5, 2}, {D5, 1}, {E5, 1},
    {Fs5, 2}, {G5, 1}, {A5, 1}, {G5, 2}, {Fs5, 2}, {E5, 6}, {A5, 2},
    {A5, 2}, {B5, 1}, {G5, 1}, {A5, 1}, {Fs5, 1}, {G5, 1}, {E5, 1}, {Fs5, 2}, {E5, 2}, {D5, 4},
    {A5, 2}, {B5, 1}, {G5, 1}, {A5, 1}, {Fs5, 1}, {G5, 1}, {E5, 1}};
// The refrain's last bar: leading back into the verse with the pick-up, or to the end.
const std::vector<Step> RefrainToVerse = {{Fs5, 2}, {E5, 2}, {D5, 2}, {A4, 2}};
const std::vector<Step> RefrainToEnd = {{Fs5, 2}, {E5, 2}, {D5, 4}};

// Harmony, one chord per half bar: the chord's pitches from its root upward.
struct Chord {
    int root;  // pitch class 0..11
    int third, fifth, seventh;  // semitones above the root; seventh 0 when none
};
const Chord D = {2, 4, 7, 0}, G = {7, 4, 7, 0}, A = {9, 4, 7, 0}, A7 = {9, 4, 7, 10}, Em = {4, 3, 7, 0};
const std::vector<Chord> VerseChords = {D, D, D, A, Em, D, A, A, D, D, G, D, D, A7, D, D};
const std::vector<Chord> RefrainChords = {D, D, G, A, D, G, A, A, D, Em, A, D, D, Em, A7, D};

struct Arrangement {
    Track melody, horns, strings, bass, drums;
};

int Lay(Track& t, int channel, const std::vector<Step>& line, int start, int velocity) {
    int tick = start;
    for (const Step& s : line) {
        int length = s.eighths * Eighth;
        if (s.pitch != 0) Note(t, channel, s.pitch, tick, length * 9 / 10, velocity);
        tick += length;
    }
    return tick;
}

int Near(int pitchClass, int low) {
    int p = low + ((pitchClass - low) % 12 + 12) % 12;
    return p;
}

void Harmonise(Arrangement& a, const std::vector<Chord>& chords, int start, bool refrain) {
    const int half = Bar / 2;
    for (size_t i = 0; i < chords.size(); ++i) {
        const Chord& c = chords[i];
        int tick = start + static_cast<int>(i) * half;
        int root3 = Near(c.root, 50);  // D3 and up
        // Strings: the full chord held through the half bar.
        Note(a.strings, 2, root3, tick, half - 20, 58);
        Note(a.strings, 2, root3 + c.third, tick, half - 20, 56);
        Note(a.strings, 2, root3 + c.fifth, tick, half - 20, 56);
        if (c.seventh != 0) Note(a.strings, 2, root3 + c.seventh, tick, half - 20, 52);
        // Horns: third and fifth an octave up, on the beat, stronger in the refrain.
        int hornVelocity = refrain ? 84 : 66;
        Note(a.horns, 1, Near((c.root + c.third) % 12, 62), tick, half / 2 + Eighth, hornVelocity);
        Note(a.horns, 1, Near((c.root + c.fifth) % 12, 65), tick, half / 2 + Eighth, hornVelocity - 6);
        // Tuba: root on the beat, fifth on the off-beat of each half bar.
        int root2 = Near(c.root, 38);
        Note(a.bass, 3, root2, tick, Eighth * 3 / 2, 92);
        Note(a.bass, 3, root2 + 7 > 52 ? root2 - 5 : root2 + 7, tick + 2 * Eighth, Eighth * 3 / 2, 80);
        // March drums: bass drum on 1 and 3, snare on 2 and 4 with a ruff in the refrain.
        Note(a.drums, 9, 36, tick, Eighth, 88);
        Note(a.drums, 9, 38, tick + 2 * Eighth, Eighth, 72);
        if (refrain && i % 2 == 1) {
            Note(a.drums, 9, 38, tick + 3 * Eighth, Eighth / 2, 56);
            Note(a.drums, 9, 38, tick + 3 * Eighth + Eighth / 2, Eighth / 2, 62);
        }
    }
    if (refrain) Note(a.drums, 9, 49, start, 4 * Eighth, 90);  // crash cymbal
}

}  // namespace

void MakeTune(MediaOutput& out) {
    Track tempo;
    Text(tempo, 0x03, "Rule, Britannia!");
    Text(tempo, 0x01, "Thomas Arne 1740, arranged for Kelvane");
    Meta(tempo, 0, 0x58, {4, 2, 24, 8});  // 4/4
    Meta(tempo, 0, 0x59, {2, 0});         // D major
    Meta(tempo, 0, 0x51, {static_cast<uint8_t>(Tempo >> 16), static_cast<uint8_t>(Tempo >> 8),
                          static_cast<uint8_t>(Tempo)});

    Arrangement a;
    struct Part {
        Track* track;
        const char* name;
        int channel, program, volume, pan;
    };
    const Part parts[] = {{&a.melody, "Trumpet", 0, 56, 110, 64}, {&a.horns, "Horns", 1, 60, 90, 44},
                          {&a.strings, "Strings", 2, 48, 84, 84}, {&a.bass, "Tuba", 3, 58, 100, 64},
                          {&a.drums, "Drums", 9, 0, 90, 70}};
    for (const Part& p : parts) {
        Text(*p.track, 0x03, p.name);
        Program(*p.track, p.channel, p.program);
        Control(*p.track, p.channel, 0, 7, p.volume);
        Control(*p.track, p.channel, 0, 10, p.pan);
    }

    // Pick-up note, then verse and refrain twice, ending on a held chord.
    int tick = Bar / 4 * 3;  // the pick-up fills the last quarter of a bar of rest
    Note(a.melody, 0, A4, tick, Division * 9 / 10, 96);
    Note(a.bass, 3, Near(9, 38), tick, Division * 9 / 10, 80);
    tick += Division;
    for (int pass = 0; pass < 2; ++pass) {
        Harmonise(a, VerseChords, tick, false);
        tick = Lay(a.melody, 0, Verse, tick, pass == 0 ? 92 : 100);
        Harmonise(a, RefrainChords, tick, true);
        tick = Lay(a.melody, 0, Refrain, tick, 110);
        tick = Lay(a.melody, 0, pass == 0 ? RefrainToVerse : RefrainToEnd, tick, 106);
    }
    const int finalChord[] = {50, 57, 62, 66, 69, 74};
    for (int p : finalChord) Note(a.strings, 2, p, tick, Bar, 64);
    Note(a.melody, 0, D5, tick, Bar, 104);
    Note(a.horns, 1, 66, tick, Bar, 80);
    Note(a.horns, 1, 69, tick, Bar, 76);
    Note(a.bass, 3, 38, tick, Bar, 96);
    Note(a.drums, 9, 49, tick, Bar, 96);
    Note(a.drums, 9, 36, tick, Eighth, 100);
    // A breath of silence before the song starts over: a harmless expression message.
    Control(a.melody, 0, tick + Bar + 2 * Division, 11, 127);

    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 6,
                                 static_cast<uint8_t>(Division >> 8), static_cast<uint8_t>(Division & 0xFF)};
    for (Track* t : {&tempo, &a.melody, &a.horns, &a.strings, &a.bass, &a.drums}) {
        std::vector<uint8_t> chunk = TrackChunk(*t);
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    SaveFile(out, "RuleBrittany.mid", file);
}
