// The player's input as the main loop keeps it (held keys, roll input, this
// tick's relative mouse motion, a gamepad's state) and the per-tick steering
// it drives. Nothing here touches SDL or OpenGL, so the steering rules are
// testable alone.
#ifndef APP_CONTROLS_H
#define APP_CONTROLS_H

class Skimmer;

struct ControlState {
    bool m_Forward;        // 'w'
    bool m_Brake;          // 's'
    bool m_StrafeLeft;     // 'a'
    bool m_StrafeRight;    // 'd'
    bool m_Afterburner;    // Tab
    bool m_Light;          // 'l'
    bool m_CockpitView;    // 'c'
    bool m_OutsideView;    // 'o'
    bool m_Retry;          // 'r': the same layout from the start
    bool m_NewLayout;      // 'n': another layout
    bool m_Pause;          // 'p': the game held still until pressed again
    bool m_Screenshot;     // F12: the frame saved as a picture
    int m_Roll;            // +1 while 'e' is down, -1 for 'q', 0 once either is released
    int m_MouseDx;         // pixels this tick, + to the right
    int m_MouseDy;         // pixels this tick, + downwards
    float m_StickYaw;      // degrees this tick from a gamepad's stick, + turns left (as Yaw)
    float m_StickPitch;    // degrees this tick from a gamepad's stick, + raises the nose (as Pitch)

    ControlState();
};

// A gamepad in the standard layout, as read for one tick: the left stick's
// axes from -1 to 1 (x + to the right, y + towards the player) and the
// controls that stand for keys.
struct PadState {
    float m_StickX;
    float m_StickY;
    bool m_Throttle;       // right trigger, as 'w'
    bool m_Brake;          // left trigger, as 's'
    bool m_StrafeLeft;     // d-pad left, as 'a'
    bool m_StrafeRight;    // d-pad right, as 'd'
    bool m_Up;             // d-pad up and down: the menu's rows
    bool m_Down;
    bool m_RollLeft;       // left shoulder, as 'q'
    bool m_RollRight;      // right shoulder, as 'e'
    bool m_Afterburner;    // south button, as Tab
    bool m_CockpitView;    // north button, as 'c'
    bool m_OutsideView;    // west button, as 'o'
    bool m_Light;          // east button, as 'l'
    bool m_Retry;          // back button, as 'r'
    bool m_Pause;          // start button, as 'p': the menu

    PadState();
};

// The most a stick turns the craft in a tick, at full deflection.
static const float STICK_DEGREES_PER_TICK = 3.0f;
// Deflections within this part of the stick's reach count as none.
static const float STICK_DEAD_ZONE = 0.2f;

// The keys' state with the pad's: a pad control and the key it stands for
// count as held when either is (the keys' roll first); the stick's turn is
// added to the mouse's. A dead zone of 20 % round the centre, then a gentle
// curve up to 3 degrees a tick; pushing the stick forward lowers the nose.
ControlState WithPad(const ControlState& keys, const PadState& pad);

// SDL 1.2 key symbols the game reacts to (letters are the lower-case symbols).
enum {
    KEY_TAB = 9,
    KEY_ESCAPE = 27,
    KEY_F12 = 293
};

// What a key can be bound to (Escape, which quits, cannot be).
enum KeyAction {
    ACTION_THROTTLE, ACTION_BRAKE, ACTION_STRAFE_LEFT, ACTION_STRAFE_RIGHT, ACTION_ROLL_LEFT, ACTION_ROLL_RIGHT,
    ACTION_AFTERBURNER, ACTION_COCKPIT_VIEW, ACTION_OUTSIDE_VIEW, ACTION_LIGHT, ACTION_RETRY, ACTION_NEW_LAYOUT,
    ACTION_PAUSE, ACTION_SCREENSHOT, ACTION_COUNT
};

// The key symbol of each action; by default the game's own: w s a d q e Tab c o l,
// r n p for the round's, and F12 for a screenshot.
struct KeyBindings {
    int m_Keys[ACTION_COUNT];

    KeyBindings();
};

// How the mouse steers: the turn per count of relative motion on both axes,
// and whether moving it down lowers the nose. By default a degree a count,
// and down raises the nose.
struct MouseFeel {
    float m_DegreesPerCount;
    bool m_Inverted;

    MouseFeel();
};

// Updates the held keys for one key event. Returns true for Escape pressed,
// which ends the game; every other key not bound is ignored.
bool ApplyKeyEvent(ControlState& state, int keySymbol, bool pressed, const KeyBindings& keys = KeyBindings());

// Lets go of every held key and roll, as when the window loses the keyboard
// (their releases would never come); the mouse's and the stick's turns stay.
void ReleaseKeys(ControlState& state);

// One tick of steering on the craft from the input state: mouse and stick turns,
// roll, throttle / brake / drag, strafe and the afterburner, whose charge
// (0..100) is updated in place. The craft's own motion step is not taken.
void SteerCraft(const ControlState& state, Skimmer& craft, int& afterburnerCharge,
                const MouseFeel& mouse = MouseFeel());

#endif
