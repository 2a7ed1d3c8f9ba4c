// Keyboard and mouse input: the platform's events into the control state.
#pragma once

#include "platform/input_event.h"

// Updates the control state from one input event; Q and Escape end the game.
void HandleInputMessage(const InputEvent& event);
// Handles at most one pending input event; returns whether the game is still running.
bool PumpMessages();
