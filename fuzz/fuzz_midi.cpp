// The tune loader on arbitrary bytes: it must stay within the data and keep its table and
// clock within their bounds; then the player's tick loop runs over the table (to the end
// of the song and back to its start, or a few thousand steps of a slow one).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "audio/music.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MidiPlayer player;
    int damaged = 0;
    LoadMidiFromMemory(player, data, size, &damaged);
    if (player.eventCount < 0 || player.eventCount > MaxMidiEvents || player.ticksPerStep < 1) std::abort();
    player.playing = true;
    player.songTime = 0;
    player.nextEvent = 0;
    for (int step = 0; step < 4000; ++step) {
        MusicTick(player);
        if (player.songTime < 0 || player.nextEvent < 0 || player.nextEvent > player.eventCount) std::abort();
        if (player.nextEvent == 0 && player.songTime == 0 && step > 0) break;  // the song restarted
    }
    player.playing = false;
    MusicTick(player);  // a stopped player silences the device and ends its timer
    return 0;
}
