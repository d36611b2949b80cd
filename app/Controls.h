// The player's input as the main loop keeps it (held keys, roll input, this
// tick's relative mouse motion) and the per-tick steering it drives.
// Nothing here touches SDL or OpenGL, so the steering rules are testable alone.
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
    int m_Roll;            // +1 while 'e' is down, -1 for 'q', 0 once either is released
    int m_MouseDx;         // pixels this tick, + to the right
    int m_MouseDy;         // pixels this tick, + downwards

    ControlState();
};

// SDL 1.2 key symbols the game reacts to (letters are the lower-case symbols).
enum {
    KEY_TAB = 9,
    KEY_ESCAPE = 27
};

// Updates the held keys for one key event. Returns true for Escape pressed,
// which ends the game; every other key not in the table is ignored.
bool ApplyKeyEvent(ControlState& state, int keySymbol, bool pressed);

// One tick of steering on the craft from the input state: mouse turns,
// roll, throttle / brake / drag, strafe and the afterburner, whose charge
// (0..100) is updated in place. The craft's own motion step is not taken.
void SteerCraft(const ControlState& state, Skimmer& craft, int& afterburnerCharge);

#endif
