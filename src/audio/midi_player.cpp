#include "audio/music.h"

#include "platform/clock.h"
#include "platform/midi_out.h"
#include "platform/periodic_timer.h"

MidiPlayer MusicPlayer;

namespace {

constexpr uint32_t StepMs = 10;

void Send(MidiPlayer& player, uint32_t message) {
    if (player.messageHook != nullptr) player.messageHook(player.hookUser, message);
    SendMidiShortMessage(player.device, message);
}

bool TimerTick(void* user) { return MusicTick(*static_cast<MidiPlayer*>(user)); }

// Step 1 of stopping: ask the timer to end and wait until it has silenced the device.
void StopTimer(MidiPlayer& player) {
    if (player.playing.exchange(false)) {
        while (!player.silenced.load(std::memory_order_acquire)) PlatformSleep(StepMs);
    }
    // Its last callback has returned or is returning: reclaim the thread.
    JoinPeriodicTimer(player.timer);
    player.timer = nullptr;
}

}  // namespace

void AllNotesOff(MidiPlayer& player) {
    for (uint32_t channel = 0; channel < 16; ++channel) {
        Send(player, 0x78B0 + channel);  // All Sound Off
        Send(player, 0x7BB0 + channel);  // All Notes Off
    }
    player.silenced.store(true, std::memory_order_release);
}

bool MusicTick(MidiPlayer& player) {
    if (!player.playing.load(std::memory_order_acquire)) {
        AllNotesOff(player);
        return false;
    }
    player.songTime += player.ticksPerStep;
    while (player.nextEvent < player.eventCount && player.events[player.nextEvent].time < player.songTime) {
        Send(player, PackedMessage(player.events[player.nextEvent]));
        player.nextEvent += 1;
    }
    if (player.nextEvent >= player.eventCount) {
        // Past the last event: start again on the next step (also for an empty song).
        player.songTime = 0;
        player.nextEvent = 0;
    }
    return true;
}

void OpenMidiPlayer(MidiPlayer& player, MidiOut* device) {
    player.playing = false;
    player.silenced = true;
    player.timer = nullptr;
    player.device = device;
    // A device that failed to open leaves the player closed: music stays off.
    player.deviceOpen = device != nullptr || player.messageHook != nullptr;
}

void CloseMidiPlayer(MidiPlayer& player) {
    StopMusic(player);
    player.playing = false;
    player.deviceOpen = false;
}

void StartMusic(MidiPlayer& player) {
    if (!player.deviceOpen) return;
    if (player.playing) StopTimer(player);
    player.eventCount = 0;
    player.nextEvent = 0;
    if (!LoadMidiFile(player)) return;
    player.nextEvent = 0;
    player.songTime = 0;
    player.silenced = false;
    player.playing = true;
    player.timer = StartPeriodicTimer(StepMs, TimerTick, &player);
    if (player.timer == nullptr) {
        player.playing = false;
        player.silenced = true;
    }
}

void StopMusic(MidiPlayer& player) {
    if (!player.deviceOpen) return;
    StopTimer(player);
    player.eventCount = 0;
    player.nextEvent = 0;
    AllNotesOff(player);
    CloseMidiOut(player.device);
    player.device = nullptr;
    player.deviceOpen = false;
}

void OpenMidiPlayer() { OpenMidiPlayer(MusicPlayer, OpenMidiOut()); }
void CloseMidiPlayer() { CloseMidiPlayer(MusicPlayer); }
void StartMusic() { StartMusic(MusicPlayer); }
void StopMusic() { StopMusic(MusicPlayer); }
