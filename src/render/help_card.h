// The key card: the keyboard's, the mouse's and the pad's controls over the kept last
// frame while the game is stopped for it (F1 shows it and closes it).
#pragma once

#include "render/overlay.h"

extern TextOverlay HelpOverlay;

// The card's rows: a control and what it does. Without an action (null) the row is a
// centred title; with an empty one it is a section's heading.
struct HelpRow {
    const char* control;
    const char* action;
};
extern const HelpRow HelpRows[];
extern const int HelpRowCount;

// Lays the card out for a window of width x height, centred, its line growing with the
// window (16 pixels at 480 high).
void CreateHelpCard(int width, int height);
// Reads the frame just drawn (before it is presented) so that it can be shown again.
void KeepFrame(int width, int height);
// Draws the kept frame over the whole viewport; nothing when none was kept.
void DrawKeptFrame();
// Draws the card over whatever the frame holds.
void DrawHelpCard();
void ReleaseHelpCard();
