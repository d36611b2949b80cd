// The gamepad through the SDL 1.2 joystick API (sdl12-compat over SDL 2).
#include "app/Gamepad.h"

#include <SDL/SDL.h>

#include "base/Logger.h"

namespace {

// The standard layout as sdl12-compat gives it in game-controller mode: SDL
// 2's controller axes and buttons, in their order.
enum { AXIS_LEFT_X = 0, AXIS_LEFT_Y = 1, AXIS_LEFT_TRIGGER = 4, AXIS_RIGHT_TRIGGER = 5 };
enum {
    BUTTON_SOUTH = 0,
    BUTTON_EAST = 1,
    BUTTON_WEST = 2,
    BUTTON_NORTH = 3,
    BUTTON_BACK = 4,
    BUTTON_START = 6,
    BUTTON_LEFT_SHOULDER = 9,
    BUTTON_RIGHT_SHOULDER = 10,
    BUTTON_DPAD_UP = 11,
    BUTTON_DPAD_DOWN = 12,
    BUTTON_DPAD_LEFT = 13,
    BUTTON_DPAD_RIGHT = 14
};
// A trigger past half its travel counts as a held key.
const Sint16 TRIGGER_HELD = 16384;

SDL_Joystick* s_Pad = NULL;  // opened at start, kept until the process ends

float Axis(int axis)
{
    float value = SDL_JoystickGetAxis(s_Pad, axis) / 32767.0f;
    return value < -1.0f ? -1.0f : value;
}

bool Button(int button)
{
    return SDL_JoystickGetButton(s_Pad, button) != 0;
}

}  // namespace

bool OpenGamepad()
{
    // The layout the game reads needs sdl12-compat's game-controller mode,
    // switched on with the others at the start (Game::SetLibrarySwitches).
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) < 0 || SDL_NumJoysticks() < 1) {
        return false;
    }
    s_Pad = SDL_JoystickOpen(0);
    if (s_Pad == NULL) {
        return false;
    }
    // The pad is read each tick; its events would fill the queue, which the
    // loop empties one event a tick, and crowd out the keys.
    SDL_JoystickEventState(SDL_IGNORE);
    LogMessage("Gamepad: %s", SDL_JoystickName(0));
    return true;
}

PadState ReadGamepad()
{
    PadState pad;
    if (s_Pad == NULL) {
        return pad;
    }
    SDL_JoystickUpdate();
    pad.m_StickX = Axis(AXIS_LEFT_X);
    pad.m_StickY = Axis(AXIS_LEFT_Y);
    pad.m_Throttle = SDL_JoystickGetAxis(s_Pad, AXIS_RIGHT_TRIGGER) > TRIGGER_HELD;
    pad.m_Brake = SDL_JoystickGetAxis(s_Pad, AXIS_LEFT_TRIGGER) > TRIGGER_HELD;
    pad.m_Up = Button(BUTTON_DPAD_UP);
    pad.m_Down = Button(BUTTON_DPAD_DOWN);
    pad.m_StrafeLeft = Button(BUTTON_DPAD_LEFT);
    pad.m_StrafeRight = Button(BUTTON_DPAD_RIGHT);
    pad.m_RollLeft = Button(BUTTON_LEFT_SHOULDER);
    pad.m_RollRight = Button(BUTTON_RIGHT_SHOULDER);
    pad.m_Afterburner = Button(BUTTON_SOUTH);
    pad.m_CockpitView = Button(BUTTON_NORTH);
    pad.m_OutsideView = Button(BUTTON_WEST);
    pad.m_Light = Button(BUTTON_EAST);
    pad.m_Retry = Button(BUTTON_BACK);
    pad.m_Pause = Button(BUTTON_START);
    return pad;
}
