// A modal message box with an OK button and an information icon.
#pragma once

// Shows text under the caption and returns when the player has closed the box. Returns
// false when no box could be shown (for example without a display).
bool PlatformMessageBox(const char* caption, const char* text);
