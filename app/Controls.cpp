// The key table and the per-tick steering rules. Speeds are per tick.
#include "app/Controls.h"

#include <cmath>

#include "game/Skimmer.h"

static const float THROTTLE_STEP = 0.18f;
static const float THROTTLE_CEILING = 20.0f;
static const float BRAKE_STEP = -0.12f;
static const float COASTING_DRAG = 0.02f;
static const float STRAFE_STEP = 10.0f;
static const float BOOST_STEP = 2.0f;
static const int CHARGE_FULL = 100;
static const int CHARGE_PER_BOOST = 3;
static const float BOOSTED_DRAG = 0.01f;

ControlState::ControlState()
    : m_Forward(false), m_Brake(false), m_StrafeLeft(false), m_StrafeRight(false),
      m_Afterburner(false), m_Light(false), m_CockpitView(false), m_OutsideView(false), m_Retry(false),
      m_NewLayout(false), m_Pause(false), m_Screenshot(false), m_Roll(0), m_MouseDx(0), m_MouseDy(0), m_StickYaw(0.0f), m_StickPitch(0.0f)
{
}

PadState::PadState()
    : m_StickX(0.0f), m_StickY(0.0f), m_Throttle(false), m_Brake(false), m_StrafeLeft(false),
      m_StrafeRight(false), m_Up(false), m_Down(false), m_RollLeft(false), m_RollRight(false), m_Afterburner(false), m_CockpitView(false),
      m_OutsideView(false), m_Light(false), m_Retry(false), m_Pause(false)
{
}

ControlState WithPad(const ControlState& keys, const PadState& pad)
{
    ControlState state = keys;
    state.m_Forward = keys.m_Forward || pad.m_Throttle;
    state.m_Brake = keys.m_Brake || pad.m_Brake;
    state.m_StrafeLeft = keys.m_StrafeLeft || pad.m_StrafeLeft;
    state.m_StrafeRight = keys.m_StrafeRight || pad.m_StrafeRight;
    state.m_Afterburner = keys.m_Afterburner || pad.m_Afterburner;
    state.m_Light = keys.m_Light || pad.m_Light;
    state.m_CockpitView = keys.m_CockpitView || pad.m_CockpitView;
    state.m_OutsideView = keys.m_OutsideView || pad.m_OutsideView;
    state.m_Retry = keys.m_Retry || pad.m_Retry;
    state.m_Pause = keys.m_Pause || pad.m_Pause;
    if (state.m_Roll == 0) {
        state.m_Roll = pad.m_RollLeft ? -1 : pad.m_RollRight ? 1 : 0;
    }
    // The dead zone is round, so a worn stick drifts in no direction; past
    // it the deflection is squared, fine near the centre and full at the rim.
    float reach = std::sqrt(pad.m_StickX * pad.m_StickX + pad.m_StickY * pad.m_StickY);
    if (reach > STICK_DEAD_ZONE) {
        float live = std::fmin((reach - STICK_DEAD_ZONE) / (1.0f - STICK_DEAD_ZONE), 1.0f);
        float scale = STICK_DEGREES_PER_TICK * live * live / reach;
        state.m_StickYaw += -pad.m_StickX * scale;
        state.m_StickPitch += pad.m_StickY * scale;
    }
    return state;
}

KeyBindings::KeyBindings()
{
    static const int DEFAULTS[ACTION_COUNT] = {'w', 's', 'a', 'd', 'q', 'e', KEY_TAB, 'c', 'o', 'l', 'r', 'n', 'p', KEY_F12};
    for (int i = 0; i < ACTION_COUNT; ++i) {
        m_Keys[i] = DEFAULTS[i];
    }
}

MouseFeel::MouseFeel() : m_DegreesPerCount(1.0f), m_Inverted(false) {}

bool ApplyKeyEvent(ControlState& state, int keySymbol, bool pressed, const KeyBindings& keys)
{
    if (keySymbol == KEY_ESCAPE) {
        return pressed;
    }
    int action = 0;
    while (action < ACTION_COUNT && keys.m_Keys[action] != keySymbol) {
        ++action;
    }
    switch (action) {
    case ACTION_THROTTLE: state.m_Forward = pressed; break;
    case ACTION_BRAKE: state.m_Brake = pressed; break;
    case ACTION_STRAFE_LEFT: state.m_StrafeLeft = pressed; break;
    case ACTION_STRAFE_RIGHT: state.m_StrafeRight = pressed; break;
    case ACTION_ROLL_LEFT: state.m_Roll = pressed ? -1 : 0; break;
    case ACTION_ROLL_RIGHT: state.m_Roll = pressed ? 1 : 0; break;
    case ACTION_AFTERBURNER: state.m_Afterburner = pressed; break;
    case ACTION_COCKPIT_VIEW: state.m_CockpitView = pressed; break;
    case ACTION_OUTSIDE_VIEW: state.m_OutsideView = pressed; break;
    case ACTION_LIGHT: state.m_Light = pressed; break;
    case ACTION_RETRY: state.m_Retry = pressed; break;
    case ACTION_NEW_LAYOUT: state.m_NewLayout = pressed; break;
    case ACTION_PAUSE: state.m_Pause = pressed; break;
    case ACTION_SCREENSHOT: state.m_Screenshot = pressed; break;
    default: break;
    }
    return false;
}

void ReleaseKeys(ControlState& state)
{
    ControlState released;
    released.m_MouseDx = state.m_MouseDx;
    released.m_MouseDy = state.m_MouseDy;
    released.m_StickYaw = state.m_StickYaw;
    released.m_StickPitch = state.m_StickPitch;
    state = released;
}

static void Throttle(const ControlState& state, Skimmer& craft)
{
    if (state.m_Forward) {
        if (craft.m_Speed < THROTTLE_CEILING) {
            craft.Accelerate(THROTTLE_STEP);
        }
    } else if (state.m_Brake) {
        craft.Accelerate(BRAKE_STEP);
    } else {
        craft.Drag(COASTING_DRAG);
    }
}

static void Afterburner(const ControlState& state, Skimmer& craft, int& charge)
{
    if (charge < CHARGE_FULL && !state.m_Afterburner) {
        charge += 1;
    }
    if (state.m_Afterburner && charge >= CHARGE_PER_BOOST && charge <= CHARGE_FULL) {
        craft.Boost(BOOST_STEP);
        charge -= CHARGE_PER_BOOST;
        if (charge < CHARGE_PER_BOOST) {
            charge = 0;
        }
    }
    // Until the charge is full again a fast craft bleeds its boost away.
    if (charge < CHARGE_FULL && craft.m_Speed > THROTTLE_CEILING) {
        craft.Drag(BOOSTED_DRAG);
    }
}

void SteerCraft(const ControlState& state, Skimmer& craft, int& afterburnerCharge, const MouseFeel& mouse)
{
    // As designed, a degree a count: mouse down raises the nose, mouse right
    // turns right. A stick's turn adds to it, whatever the mouse's feel.
    float pitchPerCount = mouse.m_Inverted ? -mouse.m_DegreesPerCount : mouse.m_DegreesPerCount;
    craft.Pitch(static_cast<float>(state.m_MouseDy) * pitchPerCount + state.m_StickPitch);
    craft.Yaw(static_cast<float>(-state.m_MouseDx) * mouse.m_DegreesPerCount + state.m_StickYaw);
    if (state.m_Roll != 0) {
        craft.Roll(static_cast<float>(-state.m_Roll));
    }
    Throttle(state, craft);
    if (state.m_StrafeLeft) {
        craft.StrafeLeft(STRAFE_STEP);
    } else if (state.m_StrafeRight) {
        craft.StrafeRight(STRAFE_STEP);
    }
    Afterburner(state, craft, afterburnerCharge);
}
