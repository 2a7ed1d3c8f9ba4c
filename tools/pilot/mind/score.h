// The score line in the window's bottom-left corner, as the pilot reads it off the frame:
// the mission's name until something happens, then "SCORE: n". Only the frame's pixels go in.
#pragma once

#include <cstdint>

namespace mind {

// The shape of the line's white letters, as a number that changes whenever its text does.
uint64_t ScoreLineShape(const uint8_t* rgb);

// Whether the line shows a minus: a short flat mark, three or more pixels wide and no more
// than three high, standing apart from the letters either side. A kill raises the score by
// 5, and being shot down or ramming takes 1 off: so after a change, a minus means it was hit
// (unless it had been hit six times before).
bool ScoreShowsMinus(const uint8_t* rgb);

}  // namespace mind
