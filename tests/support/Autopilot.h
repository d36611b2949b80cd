// An autopilot for scripted play: it flies the craft to a target the way a
// person would, moving the mouse (XTest relative motion on the game's X
// display) and pressing keys (events pushed into SDL's queue), one frame at
// a time. The game itself is not touched; only its state is read.
#ifndef TESTS_SUPPORT_AUTOPILOT_H
#define TESTS_SUPPORT_AUTOPILOT_H

#include "math/Vector3.h"
#include "tests/support/XMouse.h"

class Game;
class SceneObject;

// Pushes a key press or release into SDL's event queue, as the keyboard would.
void PushKeyEvent(int keySymbol, bool pressed);

class Autopilot {
public:
    explicit Autopilot(Game& game);
    ~Autopilot();

    bool IsReady() const { return m_Mouse.IsOpen(); }
    // Queues this frame's input to fly towards target, hugging the ground.
    void Steer(const Vector3& target);
    // Releases every key it holds.
    void ReleaseKeys();
    // The nearest box not yet collected, or NULL.
    SceneObject* NearestBox() const;
    // Flies to boxes until none is left or the frame budget is spent; runs
    // the frames itself. Returns the frames used.
    int CollectAllBoxes(int frameBudget);

private:
    void SetKey(int symbol, bool& held, bool pressed);

    Game& m_Game;
    XMouse m_Mouse;
    bool m_Forward;
    bool m_Brake;
    bool m_Boost;
    bool m_RollLeft;
    bool m_RollRight;
};

#endif
