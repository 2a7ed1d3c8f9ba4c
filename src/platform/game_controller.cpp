#include "platform/game_controller.h"

#include <SDL.h>

#include <string>

namespace {

// The pad's buttons that stand for keys. Two buttons may stand for one key: it is down
// while either is.
struct PadKey {
    SDL_GameControllerButton button;
    int key;
};
constexpr PadKey PadKeys[] = {
    {SDL_CONTROLLER_BUTTON_Y, vk::Home},          // pilot view
    {SDL_CONTROLLER_BUTTON_X, vk::PageDown},      // target view
    {SDL_CONTROLLER_BUTTON_B, vk::End},           // rear view
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, vk::PageUp},  // delayed pilot view
    {SDL_CONTROLLER_BUTTON_START, vk::P},         // pause and resume
    {SDL_CONTROLLER_BUTTON_BACK, vk::Escape},     // quit
    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, vk::F1},   // the key card
    {SDL_CONTROLLER_BUTTON_GUIDE, vk::F1},
};
constexpr int PadKeyCount = static_cast<int>(sizeof PadKeys / sizeof PadKeys[0]);

// The right trigger fires once pulled past half way: a finger resting on it does not.
constexpr Sint16 TriggerFires = 16384;

// Joysticks seen at the last look, to notice one plugged in or pulled out without asking
// SDL's mapping database about every device on every look.
constexpr int WatchedDevices = 16;

// A pad's key events waiting for the event pump; more than a pad can press at once.
constexpr int QueueSize = 32;

struct PadLayer {
    bool started = false;
    SDL_GameController* pad = nullptr;
    uint32_t keysHeld = 0;  // bit n: PadKeys[n]'s button was down at the last look
    int deviceCount = -1;
    SDL_JoystickID devices[WatchedDevices] = {};
    InputEvent queue[QueueSize] = {};
    int queueHead = 0, queueCount = 0;
    bool launcherA = false, launcherBack = false;  // pressed while the launcher was open
};
PadLayer Pads;

void Queue(InputEventType type, int key) {
    if (Pads.queueCount == QueueSize) return;  // the pump has not run for long: drop the rest
    Pads.queue[(Pads.queueHead + Pads.queueCount) % QueueSize] = InputEvent{type, key, 0, 0};
    ++Pads.queueCount;
}

bool Held(SDL_GameControllerButton button) {
    return SDL_GameControllerGetButton(Pads.pad, button) != 0;
}

// Whether the joysticks plugged in differ from the last look.
bool DevicesChanged() {
    int count = SDL_NumJoysticks();
    bool changed = count != Pads.deviceCount;
    for (int i = 0; i < count && i < WatchedDevices; ++i) {
        SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(i);
        if (id != Pads.devices[i]) changed = true;
        Pads.devices[i] = id;
    }
    Pads.deviceCount = count;
    return changed;
}

// The keys the pad held go up: a pulled-out pad leaves nothing pressed. Only the game
// hears of it; the launcher drops them.
void LetGoOfKeys(bool queueKeyUps) {
    for (int n = 0; n < PadKeyCount; ++n) {
        if ((Pads.keysHeld & (1u << n)) == 0) continue;
        bool alsoHeldByAnother = false;
        for (int m = 0; m < n; ++m)
            if (PadKeys[m].key == PadKeys[n].key && (Pads.keysHeld & (1u << m)) != 0) alsoHeldByAnother = true;
        if (queueKeyUps && !alsoHeldByAnother) Queue(InputEventType::KeyUp, PadKeys[n].key);
    }
    Pads.keysHeld = 0;
}

// Brings the pads' state up to date: drops a pad pulled out, opens the first pad plugged
// in when none is in use.
void RefreshPads(bool queueKeyUps) {
    SDL_GameControllerUpdate();
    if (Pads.pad != nullptr && SDL_GameControllerGetAttached(Pads.pad) == SDL_FALSE) {
        LetGoOfKeys(queueKeyUps);
        SDL_GameControllerClose(Pads.pad);
        Pads.pad = nullptr;
        Pads.deviceCount = -1;  // look again: another pad may still be plugged in
    }
    if (!DevicesChanged() || Pads.pad != nullptr) return;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_IsGameController(i) == SDL_FALSE) continue;
        Pads.pad = SDL_GameControllerOpen(i);
        if (Pads.pad == nullptr) continue;
        // Buttons already down when the pad comes count once they are pressed again.
        Pads.keysHeld = 0;
        for (int n = 0; n < PadKeyCount; ++n)
            if (Held(PadKeys[n].button)) Pads.keysHeld |= 1u << n;
        return;
    }
}

}  // namespace

bool PlatformStartPads() {
    if (Pads.started) return true;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
    // The pads are read by looking at them; queued events would only pile up unread.
    SDL_JoystickEventState(SDL_IGNORE);
    SDL_GameControllerEventState(SDL_IGNORE);
    Pads.started = true;
    return true;
}

int PlatformAddPadMappings(const char* text, size_t size, int& firstBadLine) {
    firstBadLine = 0;
    if (!Pads.started) return 0;
    int refused = 0;
    int lineNumber = 0;
    size_t at = 0;
    while (at < size) {
        size_t end = at;
        while (end < size && text[end] != '\n') ++end;
        ++lineNumber;
        std::string line(text + at, end - at);
        at = end + 1;
        // Files written on Windows end their lines with a carriage return.
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        // SDL appends fields of its own to the mapping: without a closing comma they would
        // run into the last binding and spoil it.
        if (line.back() != ',') line.push_back(',');
        if (line.find('\0') != std::string::npos || SDL_GameControllerAddMapping(line.c_str() + first) < 0) {
            if (refused == 0) firstBadLine = lineNumber;
            ++refused;
        }
    }
    return refused;
}

bool PlatformReadPad(float& x, float& y, uint32_t& buttons) {
    x = y = 0.0f;
    buttons = 0;
    if (!Pads.started || Pads.pad == nullptr) return false;
    SDL_GameControllerUpdate();
    if (SDL_GameControllerGetAttached(Pads.pad) == SDL_FALSE) return false;
    // SDL gives -32768..32767; both ends are full deflection.
    auto Axis = [](Sint16 v) { return v < 0 ? static_cast<float>(v) / 32768.0f : static_cast<float>(v) / 32767.0f; };
    x = Axis(SDL_GameControllerGetAxis(Pads.pad, SDL_CONTROLLER_AXIS_LEFTX));
    y = Axis(SDL_GameControllerGetAxis(Pads.pad, SDL_CONTROLLER_AXIS_LEFTY));
    if (Held(SDL_CONTROLLER_BUTTON_DPAD_LEFT)) buttons |= PadBitLeft;
    if (Held(SDL_CONTROLLER_BUTTON_DPAD_DOWN)) buttons |= PadBitDown;
    if (Held(SDL_CONTROLLER_BUTTON_DPAD_RIGHT)) buttons |= PadBitRight;
    if (Held(SDL_CONTROLLER_BUTTON_DPAD_UP)) buttons |= PadBitUp;
    if (Held(SDL_CONTROLLER_BUTTON_A) ||
        SDL_GameControllerGetAxis(Pads.pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT) >= TriggerFires)
        buttons |= PadBitFire;
    if (Held(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER)) buttons |= PadBitThrottleUp;
    if (Held(SDL_CONTROLLER_BUTTON_LEFTSHOULDER)) buttons |= PadBitThrottleDown;
    return true;
}

void PlatformServicePads() {
    if (!Pads.started) return;
    RefreshPads(true);
    if (Pads.pad == nullptr) return;
    uint32_t now = 0;
    for (int n = 0; n < PadKeyCount; ++n)
        if (Held(PadKeys[n].button)) now |= 1u << n;
    // Per key, not per button: a key two buttons stand for goes down with the first and up
    // with the last.
    for (int n = 0; n < PadKeyCount; ++n) {
        bool seen = false;
        for (int m = 0; m < n; ++m) seen = seen || PadKeys[m].key == PadKeys[n].key;
        if (seen) continue;
        bool before = false, after = false;
        for (int m = n; m < PadKeyCount; ++m) {
            if (PadKeys[m].key != PadKeys[n].key) continue;
            before = before || (Pads.keysHeld & (1u << m)) != 0;
            after = after || (now & (1u << m)) != 0;
        }
        if (after && !before) Queue(InputEventType::KeyDown, PadKeys[n].key);
        if (before && !after) Queue(InputEventType::KeyUp, PadKeys[n].key);
    }
    Pads.keysHeld = now;
}

bool PlatformTakePadEvent(InputEvent& event) {
    if (Pads.queueCount == 0) return false;
    event = Pads.queue[Pads.queueHead];
    Pads.queueHead = (Pads.queueHead + 1) % QueueSize;
    --Pads.queueCount;
    return true;
}

bool PlatformPadEventWaiting() { return Pads.queueCount > 0; }

PadCommand PlatformLauncherPadCommand() {
    if (!Pads.started) return PadCommand::None;
    // With the pads SDL's events have started, and with them its handlers that turn Ctrl+C
    // and a termination request into a quit event: the launcher answers it by closing.
    SDL_PumpEvents();
    SDL_Event quit;
    if (SDL_PeepEvents(&quit, 1, SDL_GETEVENT, SDL_QUIT, SDL_QUIT) > 0) return PadCommand::Quit;
    RefreshPads(false);
    if (Pads.pad == nullptr) {
        Pads.launcherA = Pads.launcherBack = false;
        return PadCommand::None;
    }
    // Acting on the release, as a click does, keeps the press from reaching the game: a held
    // A would otherwise fire, or end the first briefing, the moment play begins.
    bool a = Held(SDL_CONTROLLER_BUTTON_A);
    bool back = Held(SDL_CONTROLLER_BUTTON_BACK);
    PadCommand command = PadCommand::None;
    if (Pads.launcherA && !a) command = PadCommand::Start;
    if (Pads.launcherBack && !back) command = PadCommand::Quit;
    Pads.launcherA = a;
    Pads.launcherBack = back;
    // What the pad holds now is not a press for the game once it starts.
    Pads.keysHeld = 0;
    for (int n = 0; n < PadKeyCount; ++n)
        if (Held(PadKeys[n].button)) Pads.keysHeld |= 1u << n;
    return command;
}
