// Bounds every image decoder applies before it allocates pixels.
#pragma once

// Larger than any texture or picture the game uses; a header claiming more on either side
// is treated as damaged rather than allowed to allocate gigabytes.
constexpr int MaxImageSide = 16384;
