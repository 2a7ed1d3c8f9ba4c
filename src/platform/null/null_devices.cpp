// The null platform's devices, for the logic tests: a machine with no display, no sound, no
// MIDI, no speech engine, no fonts and no joystick. Every device fails to open, so the game
// code takes the paths it takes when a device is missing; the clock is the real one, and
// the launcher is closed at once.

#include <chrono>
#include <thread>

#include "platform/audio_device.h"
#include "platform/audio_libraries.h"
#include "platform/clock.h"
#include "platform/game_controller.h"
#include "platform/input_event.h"
#include "platform/joystick.h"
#include "platform/launcher_window.h"
#include "platform/message_box.h"
#include "platform/midi_out.h"
#include "platform/speech_engine.h"
#include "platform/text_render.h"
#include "platform/window.h"

namespace {
const auto ProgramStart = std::chrono::steady_clock::now();
}  // namespace

uint32_t PlatformTicks() {
    auto since = std::chrono::steady_clock::now() - ProgramStart;
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}
void PlatformSleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool PlatformMessageBox(const char*, const char*) { return false; }

bool OpenAudioDevice(AudioFill, int, int) { return false; }
void CloseAudioDevice() {}
bool AudioDeviceOpen() { return false; }
void LockAudioDevice() {}
void UnlockAudioDevice() {}
void QuietAudioLibraries() {}
bool AcquireExtraSdlAudio() { return false; }
void ReleaseExtraSdlAudio() {}

MidiOut* OpenMidiOut() { return nullptr; }
MidiOut* OpenMidiRenderer(int) { return nullptr; }
void SendMidiShortMessage(MidiOut*, uint32_t) {}
bool RenderMidiOut(MidiOut*, int16_t*, int) { return false; }
void CloseMidiOut(MidiOut*) {}

// No voice to speak with: started without a sink (to the sound device) it fails; started to
// a sink it takes every text and delivers no samples, so the queue's bookkeeping still runs.
namespace {
bool speechStarted = false;
}  // namespace
bool StartSpeechEngine(SpeechSink sink, void*) { return speechStarted = sink != nullptr; }
bool QueueSpeech(const wchar_t* text, uint32_t) { return speechStarted && text != nullptr; }
void WaitForSpeech() {}
void StopSpeechEngine() { speechStarted = false; }
SpeechHeard HeardSpeech() { return SpeechHeard{}; }

PlatformFont* PlatformOpenFont(int) { return nullptr; }
const char* PlatformFontFile(const PlatformFont*) { return ""; }
void PlatformCloseFont(PlatformFont*) {}
int PlatformDrawText(PlatformFont*, const char*, uint8_t*, int, int, int, int) { return 0; }
int PlatformTextWidth(PlatformFont*, const char*) { return 0; }

bool PlatformOpenJoystick(int32_t&, int32_t&, int32_t&, int32_t&) { return false; }
bool PlatformReadJoystick(int32_t&, int32_t&, uint32_t&) { return false; }
void PlatformCloseJoystick() {}
bool PlatformAttachVirtualJoystick(int, int) { return false; }
void PlatformSetVirtualJoystick(int32_t, int32_t, uint32_t) {}
void PlatformDetachVirtualJoystick() {}

bool PlatformStartPads() { return false; }
int PlatformAddPadMappings(const char*, size_t, int& firstBadLine) {
    firstBadLine = 0;
    return 0;
}
bool PlatformReadPad(float& x, float& y, uint32_t& buttons) {
    x = y = 0.0f;
    buttons = 0;
    return false;
}
void PlatformServicePads() {}
bool PlatformTakePadEvent(InputEvent&) { return false; }
bool PlatformPadEventWaiting() { return false; }
PadCommand PlatformLauncherPadCommand() { return PadCommand::None; }

PlatformWindow* PlatformCreateGLWindow(const char*, int, int, bool) { return nullptr; }
void PlatformDestroyGLWindow(PlatformWindow*) {}
void PlatformSwapWindow(PlatformWindow*) {}
bool PlatformDesktopSize(int&, int&) { return false; }
void PlatformWindowBounds(PlatformWindow*, int& left, int& top, int& right, int& bottom) {
    left = top = right = bottom = 0;
}
int PlatformDepthBits(PlatformWindow*) { return 0; }
bool PlatformPollEvent(InputEvent&) { return false; }
void PlatformWaitForEvent(int timeoutMs) { PlatformSleep(timeoutMs > 0 ? static_cast<uint32_t>(timeoutMs) : 0); }

bool PlatformRunLauncher(const char*, LauncherChoices&, const uint8_t*, int, int) { return false; }
