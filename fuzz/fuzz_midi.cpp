// The tune loader on arbitrary bytes: it must stay within the data and keep its table and
// clock within their bounds.
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
    for (int step = 0; step < 4; ++step) MusicTick(player);
    if (player.nextEvent < 0 || player.nextEvent > player.eventCount) std::abort();
    return 0;
}
