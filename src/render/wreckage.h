// The collapse of a destroyed target, one drawn frame at a time. The game advances it while
// drawing (so its speed follows the frame rate); a run that draws nothing (a replay, the
// pilot) calls AnimateWreckage at the same point of the frame so its world stays the same.
#pragma once

// The destroyed zeppelin crumples, tumbles and falls; below height 0 its collapse is over
// (state 3) and its engine falls silent.
void AnimateFallingZeppelin();
// The destroyed tank sinks flat while its texture fades. Returns false once the collapse is
// over (state 3, the sixteenth vertex's u coordinate decayed below 0.005): nothing to draw.
bool AnimateDestroyedTank();
// What DrawScene advances in one frame: the falling zeppelin, then the sinking tank, each
// while its state is 2. Draws nothing.
void AnimateWreckage();
