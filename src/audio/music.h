// The MIDI tune that plays from start-up: "RuleBrittany.mid" read into a table of timed
// channel messages and sent to the MIDI output from a 10 ms periodic timer, looping.
//
// Threads: MusicTick runs on the timer's thread; everything else on the game thread. The
// handshake is lock-free: the game thread clears `playing`, the timer's next tick silences
// the device and sets `silenced`, which the game thread waits for. The event table is only
// filled while no timer runs.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

struct MidiOut;
struct PeriodicTimer;

constexpr int MaxMidiEvents = 65536;
// Event times are held below this so that the song clock (event time plus one step) never
// overflows 32 bits.
constexpr int32_t MaxMidiEventTime = 1 << 30;

struct MidiEvent {
    int32_t time = 0;  // MIDI ticks from the start of the song
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;  // 0 for two-byte messages
    uint8_t zero = 0;
};

// The packed short message: status | data1 << 8 | data2 << 16.
inline uint32_t PackedMessage(const MidiEvent& e) {
    return static_cast<uint32_t>(e.status) | static_cast<uint32_t>(e.data1) << 8 |
           static_cast<uint32_t>(e.data2) << 16;
}

// Takes the sent messages (tests); called on the thread that sends.
using MidiMessageHook = void (*)(void* user, uint32_t message);

struct MidiPlayer {
    std::atomic<bool> deviceOpen{false};
    std::atomic<bool> playing{false};  // the timer is to keep sending
    std::atomic<bool> silenced{true};  // the timer has stopped itself and silenced the device
    MidiOut* device = nullptr;
    MidiMessageHook messageHook = nullptr;  // when set, also receives every message
    void* hookUser = nullptr;
    PeriodicTimer* timer = nullptr;
    MidiEvent events[MaxMidiEvents];
    int eventCount = 0;
    int nextEvent = 0;  // index of the next event to send
    int32_t songTime = 0;  // the song clock in MIDI ticks
    int32_t ticksPerStep = 10;  // MIDI ticks the clock advances per 10 ms step
};

// The game's one player.
extern MidiPlayer MusicPlayer;

// Process start: opens the MIDI output device (silently leaves the music off when there is
// none). Process exit: stops the music and closes the device.
void OpenMidiPlayer();
void CloseMidiPlayer();
// The same for any player and a given device (null: messages only reach the hook).
void OpenMidiPlayer(MidiPlayer& player, MidiOut* device);
void CloseMidiPlayer(MidiPlayer& player);

// Loads the tune and starts the timer; nothing happens when the device is not open.
void StartMusic();
void StartMusic(MidiPlayer& player);
// Stops the tune for good: the device is closed and not opened again in this run. Only
// from the game thread (it waits for the timer).
void StopMusic();
void StopMusic(MidiPlayer& player);

// Sends All Sound Off and All Notes Off on the 16 channels, then sets `silenced`.
void AllNotesOff(MidiPlayer& player);

// One 10 ms step: advances the song clock and sends the events now due, restarting the
// song after its last event. Returns false (after silencing the device) when `playing` is
// clear, which ends the timer.
bool MusicTick(MidiPlayer& player);

// Reads a Standard MIDI File (format 0 or 1) into the event table and sets ticksPerStep.
// False when the header is refused (missing, shorter than 6 bytes, or format 2). Damaged
// tracks (running past the data, an overlong number, a data byte with no status) end
// where the damage starts; damagedTracks (optional) receives how many did.
bool LoadMidiFromMemory(MidiPlayer& player, const uint8_t* data, size_t size, int* damagedTracks = nullptr);
// Loads MediaPath("RuleBrittany.mid"). A missing file is silent; a refused or damaged one
// is reported once with ShowError.
bool LoadMidiFile(MidiPlayer& player);
// Orders the table by time; events of equal time keep their order (earlier tracks first).
void SortEvents(MidiPlayer& player);
