// Recording a play session's input with its frame times, for a later replay (app/replay.h).
//
// A recording holds the random seed, then, in order, every input event the loop handled and
// every drawn frame with the clock reading and time step the frame ran with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/input_event.h"

struct RecordedEntry {
    enum Kind : uint8_t { Event = 1, Frame = 2 } kind;
    InputEvent event;   // Event
    uint32_t clockMs;   // Frame: the millisecond clock during the frame
    float dt;           // Frame: the frame's time step
};

struct Recording {
    uint32_t seed = 0;  // the random generator's state when play began
    std::vector<RecordedEntry> entries;
};

// The frame loop appends to the active recording when there is one.
bool StartRecording(const char* path);
void RecordEvent(const InputEvent& event);
void RecordFrame(uint32_t clockMs, float dt);
// Writes the file; false when it could not be written.
bool StopRecording();
bool RecordingActive();

bool SaveRecording(const char* path, const Recording& recording);
// False (with a report) when the file is missing or malformed.
bool LoadRecording(const char* path, Recording& recording);
