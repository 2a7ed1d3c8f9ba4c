// Temporary join point: the joystick is not built yet.
#include "app/joystick.h"

bool InitJoystick() { return false; }
bool PollJoystick() { return false; }
