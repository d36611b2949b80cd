// The game's gamepad: the first pad present at start, read through the SDL
// 1.2 joystick API with sdl12-compat's game-controller mode on, so that any
// pad in SDL's mapping database comes in the standard layout. The SDL 1.2
// API has no hot-plug: a pad plugged in later is not seen until the next
// start, and one unplugged reads as released.
#ifndef APP_GAMEPAD_H
#define APP_GAMEPAD_H

#include "app/Controls.h"

// Starts SDL's joystick subsystem and opens the first pad, logging
// "Gamepad: NAME". Without a pad nothing happens and nothing is logged.
// Returns whether a pad was opened.
bool OpenGamepad();

// The opened pad's state now; all released without one.
PadState ReadGamepad();

#endif
