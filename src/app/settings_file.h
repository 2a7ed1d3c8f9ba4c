// The launcher's options, kept in game.ini (section "Game") in the media folder; when the
// media folder is read-only (a system-wide install), in $XDG_CONFIG_HOME/kelvane/game.ini
// (~/.config/kelvane/ by default) instead; until one is saved there, the media folder's
// file is still read.
#pragma once

#include "core/settings.h"

// A Width or Height that is not positive or over MaxWindowSide cannot be a window (and is
// divided by): both fall back to 640 x 480.
void KeepUsableWindowSize(Settings& s);

// Reads game.ini into App.settings; a missing file or key gives the file defaults
// (Windowed 1, everything else off, 640 x 480, resolution item 0).
void LoadSettings();
// Writes the eight keys of App.settings into game.ini; a failed write is reported with
// the file's path (ShowError) and leaves the old file as it was.
void SaveSettings();
// SaveSettings when Start was pressed in this run.
void SaveSettingsIfChanged();
