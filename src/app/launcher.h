// The options window shown before the game window opens.
#pragma once

// Shows the launcher with the options read from game.ini. Start stores the choices in
// App.settings and marks them to be written at exit; closing the window leaves the
// settings untouched. Returns whether Start was pressed.
bool RunLauncher(const char* title);

// The window size Start stores for a resolution item: below 1 (also no item) and 3 give
// 640 x 480 (3 takes the desktop's size later), 1 gives 800 x 600, 2 gives 1024 x 800;
// any other index leaves width and height as they are.
void ResolutionSize(int index, int& width, int& height);
