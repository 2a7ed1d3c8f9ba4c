// Loading every model and sound, and placing the fixed scenery.
#pragma once

// Always true: files that fail to load are reported by their loaders and left out.
bool LoadAssets();
