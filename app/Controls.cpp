// The key table and the per-tick steering rules. Speeds are per tick.
#include "app/Controls.h"

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
      m_Afterburner(false), m_Light(false), m_CockpitView(false), m_OutsideView(false),
      m_Roll(0), m_MouseDx(0), m_MouseDy(0)
{
}

bool ApplyKeyEvent(ControlState& state, int keySymbol, bool pressed)
{
    switch (keySymbol) {
    case KEY_TAB: state.m_Afterburner = pressed; break;
    case KEY_ESCAPE: return pressed;
    case 'a': state.m_StrafeLeft = pressed; break;
    case 'c': state.m_CockpitView = pressed; break;
    case 'd': state.m_StrafeRight = pressed; break;
    case 'e': state.m_Roll = pressed ? 1 : 0; break;
    case 'l': state.m_Light = pressed; break;
    case 'o': state.m_OutsideView = pressed; break;
    case 'q': state.m_Roll = pressed ? -1 : 0; break;
    case 's': state.m_Brake = pressed; break;
    case 'w': state.m_Forward = pressed; break;
    default: break;
    }
    return false;
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

void SteerCraft(const ControlState& state, Skimmer& craft, int& afterburnerCharge)
{
    // One degree per pixel; mouse down raises the nose, mouse right turns right.
    craft.Pitch(static_cast<float>(state.m_MouseDy));
    craft.Yaw(static_cast<float>(-state.m_MouseDx));
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
