// Loading every model and sound, and placing the fixed scenery: the game's LoadAssets.
#pragma once

// Always true: files that fail to load are reported by their loaders and left out. Needs
// the game window's OpenGL context and the texture cache.
bool LoadAssets();
