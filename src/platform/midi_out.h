// The MIDI output device: a General MIDI software synthesiser (FluidSynth with the
// system's GM SoundFont) that takes packed short messages.
#pragma once

#include <cstdint>

struct MidiOut;

// Opens the synthesiser with its own audio output (PulseAudio, then ALSA, then a second
// SDL audio device). Returns null, silently, when no SoundFont or no audio output works.
MidiOut* OpenMidiOut();
// Opens the synthesiser without any audio output: its sound is pulled with RenderMidiOut
// (tests, tools). Returns null when no SoundFont can be loaded.
MidiOut* OpenMidiRenderer(int sampleRate);
// Sends one packed short message: status | data1 << 8 | data2 << 16 (note off/on, key
// pressure, control change, program change, channel pressure, pitch bend). Other
// messages and a null device are ignored. Safe from any one thread besides the audio one.
void SendMidiShortMessage(MidiOut* device, uint32_t message);
// Renders frameCount interleaved 16-bit stereo frames into out. Only for a device from
// OpenMidiRenderer; false otherwise.
bool RenderMidiOut(MidiOut* device, int16_t* out, int frameCount);
// Stops the audio output and frees the synthesiser; null is ignored.
void CloseMidiOut(MidiOut* device);
