// The collapse of a destroyed target, one step per drawn frame (so its speed follows the
// frame rate, as the game has always had it). Advanced by StepGameFrame after the sound
// positions are published and before the frame is drawn; the drawing only draws.
#pragma once

// What this frame's collapse leaves for the drawing to know.
struct WreckageFrame {
    // The sinking tank ended its collapse in this frame (state 3): it is not drawn in the
    // frame it vanishes, only from the next one on, as it lies.
    bool tankGoneNow = false;
};
extern WreckageFrame Wreckage;

// The destroyed zeppelin crumples, tumbles and falls; below height 0 its collapse is over
// (state 3) and its engine falls silent. dt is the frame's time step.
void AnimateFallingZeppelin(float dt);
// The destroyed tank sinks flat while its texture fades. Returns false once the collapse is
// over (state 3, the sixteenth vertex's u coordinate decayed below 0.005).
bool AnimateDestroyedTank();
// One frame's collapse: the falling zeppelin, then the sinking tank, each while its state
// is destroyed (2).
void AdvanceWreckage(float dt);
