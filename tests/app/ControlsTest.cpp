#include "app/Controls.h"

#include <gtest/gtest.h>

#include "game/Skimmer.h"
#include "tests/support/TempDir.h"

static const float EPS = 1e-4f;

// The craft is a skimmer without a model (its missing file is logged in a
// scratch directory); no window is needed for its arithmetic.
class Steering : public ::testing::Test {
protected:
    TempDir m_Dir;
};

// Runs frames of steering plus the craft's motion step, as the game does.
static void Frames(const ControlState& state, Skimmer& craft, int& charge, int count)
{
    for (int i = 0; i < count; ++i) {
        SteerCraft(state, craft, charge);
        craft.Update();
    }
}

TEST_F(Steering, CoastingLosesTwoPercentAndChargeClimbsToFull)
{
    ControlState idle;
    Skimmer craft("");
    craft.SetSpeed(10.0f);
    int charge = 98;
    SteerCraft(idle, craft, charge);
    EXPECT_NEAR(craft.m_Speed, 9.8f, EPS);
    EXPECT_EQ(charge, 99);
    Frames(idle, craft, charge, 5);
    EXPECT_EQ(charge, 100);
}

TEST_F(Steering, FastCraftLosesAFurtherPercentUntilChargeIsFull)
{
    ControlState idle;
    Skimmer craft("");
    craft.SetSpeed(30.0f);
    int charge = 50;
    SteerCraft(idle, craft, charge);
    EXPECT_NEAR(craft.m_Speed, 30.0f * 0.98f * 0.99f, EPS);
    craft.SetSpeed(30.0f);
    charge = 100;
    SteerCraft(idle, craft, charge);
    EXPECT_NEAR(craft.m_Speed, 30.0f * 0.98f, EPS);
}

TEST_F(Steering, ThrottleStopsBelowTwenty)
{
    ControlState state;
    state.m_Forward = true;
    Skimmer craft("");
    int charge = 100;
    Frames(state, craft, charge, 500);
    EXPECT_GE(craft.m_Speed, 20.0f);
    EXPECT_LT(craft.m_Speed, 20.18f);
}

TEST_F(Steering, BrakeBacksUpWithoutLimit)
{
    ControlState state;
    state.m_Brake = true;
    Skimmer craft("");
    int charge = 100;
    Frames(state, craft, charge, 50);
    EXPECT_NEAR(craft.m_Speed, -6.0f, 1e-3f);
    // Forward wins over the brake when both are held.
    state.m_Forward = true;
    SteerCraft(state, craft, charge);
    EXPECT_NEAR(craft.m_Speed, -5.82f, 1e-3f);
}

TEST_F(Steering, AfterburnerNeedsThreeChargeAndStopsAtForty)
{
    ControlState state;
    state.m_Afterburner = true;
    Skimmer craft("");
    craft.SetSpeed(10.0f);
    int charge = 2;
    SteerCraft(state, craft, charge);
    EXPECT_EQ(charge, 2);
    EXPECT_NEAR(craft.m_Speed, 9.8f, EPS);  // coasting drag only

    craft.SetSpeed(10.0f);
    charge = 5;
    SteerCraft(state, craft, charge);
    EXPECT_EQ(charge, 0);  // 5 - 3 = 2, below 3, so empty
    EXPECT_NEAR(craft.m_Speed, (10.0f * 0.98f) + 2.0f, EPS);

    // The coasting drag comes first: 41 drops to 40.18, which is not boosted.
    craft.SetSpeed(41.0f);
    charge = 100;
    SteerCraft(state, craft, charge);
    EXPECT_EQ(charge, 97);
    EXPECT_NEAR(craft.m_Speed, 41.0f * 0.98f * 0.99f, EPS);
    // 40 drops to 39.2 first, so it is boosted.
    craft.SetSpeed(40.0f);
    SteerCraft(state, craft, charge);
    EXPECT_NEAR(craft.m_Speed, (40.0f * 0.98f + 2.0f) * 0.99f, EPS);
}

TEST_F(Steering, FullChargeLastsThirtyThreeBoosts)
{
    ControlState state;
    state.m_Afterburner = true;
    state.m_Forward = true;
    Skimmer craft("");
    int charge = 100;
    int boosts = 0;
    for (int i = 0; i < 60; ++i) {
        int before = charge;
        SteerCraft(state, craft, charge);
        boosts += charge < before ? 1 : 0;
    }
    EXPECT_EQ(boosts, 33);
    EXPECT_EQ(charge, 0);
}

TEST_F(Steering, StrafeLeftWinsWhenBothAreHeld)
{
    ControlState state;
    state.m_StrafeLeft = true;
    state.m_StrafeRight = true;
    Skimmer craft("");
    int charge = 100;
    Frames(state, craft, charge, 1);
    EXPECT_NEAR(craft.m_Position.x, -10.0f, EPS);
}

TEST_F(Steering, MouseAndRollTurnTheCraft)
{
    ControlState state;
    state.m_MouseDx = 90;  // right
    Skimmer craft("");
    int charge = 100;
    Frames(state, craft, charge, 1);
    EXPECT_NEAR(craft.m_Forward.x, 1.0f, EPS);  // nose turned right, to +x

    ControlState up;
    up.m_MouseDy = 90;  // mouse down raises the nose
    Skimmer climber("");
    Frames(up, climber, charge, 1);
    EXPECT_NEAR(climber.m_Forward.y, 1.0f, EPS);

    ControlState roll;
    roll.m_Roll = 1;  // 'e': right wing down
    Skimmer roller("");
    Frames(roll, roller, charge, 90);
    roller.StrafeRight(1.0f);
    roller.Update();
    EXPECT_NEAR(roller.m_Position.y, -1.0f, 1e-3f);
}

TEST_F(Steering, DragLeavesZeroAloneAndSlowsReversing)
{
    Skimmer craft("");
    craft.Drag(0.02f);
    EXPECT_EQ(craft.m_Speed, 0.0f);
    craft.SetSpeed(10.0f);
    craft.Drag(0.02f);
    EXPECT_NEAR(craft.m_Speed, 9.8f, EPS);
    craft.SetSpeed(-5.0f);
    craft.Drag(0.02f);
    EXPECT_NEAR(craft.m_Speed, -4.9f, EPS);
    craft.Drag(1.0f);
    EXPECT_EQ(craft.m_Speed, 0.0f);
}

TEST(KeyTable, HeldKeysFollowPressAndRelease)
{
    ControlState state;
    const int keys[] = {'w', 's', 'a', 'd', KEY_TAB, 'l', 'c', 'o'};
    bool ControlState::*const flags[] = {
        &ControlState::m_Forward, &ControlState::m_Brake, &ControlState::m_StrafeLeft,
        &ControlState::m_StrafeRight, &ControlState::m_Afterburner, &ControlState::m_Light,
        &ControlState::m_CockpitView, &ControlState::m_OutsideView,
    };
    for (int i = 0; i < 8; ++i) {
        EXPECT_FALSE(ApplyKeyEvent(state, keys[i], true));
        EXPECT_TRUE(state.*flags[i]) << "key " << keys[i];
        ApplyKeyEvent(state, keys[i], false);
        EXPECT_FALSE(state.*flags[i]) << "key " << keys[i];
    }
    EXPECT_TRUE(ApplyKeyEvent(state, KEY_ESCAPE, true));
    EXPECT_FALSE(ApplyKeyEvent(state, KEY_ESCAPE, false));
    EXPECT_FALSE(ApplyKeyEvent(state, 'x', true));
}

TEST(KeyTable, ReleasingEitherRollKeyStopsTheRoll)
{
    ControlState state;
    ApplyKeyEvent(state, 'e', true);
    EXPECT_EQ(state.m_Roll, 1);
    ApplyKeyEvent(state, 'q', true);
    EXPECT_EQ(state.m_Roll, -1);
    ApplyKeyEvent(state, 'q', false);
    EXPECT_EQ(state.m_Roll, 0);  // even though 'e' is still down
}

TEST(PadControls, CountAsTheirKeysAndTurnWithACurvePastTheDeadZone)
{
    ControlState keys;
    keys.m_Roll = 1;
    keys.m_MouseDx = 2;
    PadState pad;
    pad.m_Throttle = true;
    pad.m_RollLeft = true;
    pad.m_CockpitView = true;
    ControlState both = WithPad(keys, pad);
    EXPECT_TRUE(both.m_Forward && both.m_CockpitView && !both.m_Brake && !both.m_OutsideView);
    EXPECT_EQ(both.m_Roll, 1);  // the key held first keeps the roll
    keys.m_Roll = 0;
    EXPECT_EQ(WithPad(keys, pad).m_Roll, -1);
    EXPECT_EQ(WithPad(keys, pad).m_MouseDx, 2);  // the mouse's turn stays, the stick's adds to it

    // Within a fifth of the reach, in any direction: nothing.
    pad.m_StickX = 0.14f;
    pad.m_StickY = -0.14f;
    EXPECT_EQ(WithPad(keys, pad).m_StickYaw, 0.0f);
    EXPECT_EQ(WithPad(keys, pad).m_StickPitch, 0.0f);
    // Full right: 3 degrees to the right; forward, half way past the dead
    // zone: a quarter of 3 degrees, nose down.
    pad.m_StickX = 1.0f;
    pad.m_StickY = 0.0f;
    EXPECT_FLOAT_EQ(WithPad(keys, pad).m_StickYaw, -3.0f);
    pad.m_StickX = 0.0f;
    pad.m_StickY = -0.6f;
    EXPECT_FLOAT_EQ(WithPad(keys, pad).m_StickPitch, -0.75f);
    EXPECT_EQ(WithPad(keys, pad).m_StickYaw, 0.0f);
}
