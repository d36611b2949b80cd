#include "scene/MotionBlend.h"

#include <gtest/gtest.h>
#include <cmath>

#include "scene/SceneObject.h"

// The yaw of an orientation turned about y only, in degrees.
static float YawDegrees(const Quat& orientation)
{
    Vector3 axis;
    float angle = 0.0f;
    orientation.GetAxisAngle(axis, angle);
    return axis.y * angle * 180.0f / PI;
}

TEST(MotionBlend, DrawsBetweenTheLastTwoTicksAndPutsTheTickBack)
{
    SceneObject craft;
    Vector3 lag(0.0f, 0.0f, 0.0f);
    MotionBlend motion;
    motion.Track(&craft);
    motion.Track(&lag);
    craft.SetPosition(10.0f, 0.0f, 0.0f);
    motion.EndTick();
    // The first tick stands for the one before it too.
    motion.Begin(0.0f);
    EXPECT_FLOAT_EQ(craft.m_Position.x, 10.0f);
    motion.End();

    craft.SetPosition(20.0f, 4.0f, 0.0f);
    craft.Yaw(40.0f);
    lag = Vector3(0.0f, 0.0f, -8.0f);
    motion.EndTick();
    motion.Begin(0.25f);
    EXPECT_FLOAT_EQ(craft.m_Position.x, 12.5f);
    EXPECT_FLOAT_EQ(craft.m_Position.y, 1.0f);
    EXPECT_NEAR(YawDegrees(craft.m_Orientation), 10.0f, 0.01f);
    EXPECT_FLOAT_EQ(lag.z, -2.0f);
    motion.End();
    EXPECT_FLOAT_EQ(craft.m_Position.x, 20.0f);
    EXPECT_NEAR(YawDegrees(craft.m_Orientation), 40.0f, 0.01f);
    EXPECT_FLOAT_EQ(lag.z, -8.0f);

    // The same turn written as -q still blends the short way round.
    craft.SetPosition(20.0f, 4.0f, 0.0f);
    Quat negated = craft.m_Orientation;
    negated.x = -negated.x;
    negated.y = -negated.y;
    negated.z = -negated.z;
    negated.w = -negated.w;
    craft.m_Orientation = negated;
    motion.EndTick();
    motion.Begin(0.5f);
    Vector3 forward = craft.m_Orientation * Vector3(0.0f, 0.0f, -1.0f);
    EXPECT_NEAR(forward.x, -std::sin(40.0f * PI / 180.0f), 1e-4f);
    EXPECT_NEAR(forward.z, -std::cos(40.0f * PI / 180.0f), 1e-4f);
    EXPECT_NEAR((craft.m_Orientation * Vector3(0.0f, 1.0f, 0.0f)).y, 1.0f, 1e-4f);
    motion.End();

    // After a snap the next tick is drawn where it stands at every blend.
    motion.Snap();
    craft.SetPosition(50.0f, 0.0f, 0.0f);
    motion.EndTick();
    motion.Begin(0.0f);
    EXPECT_FLOAT_EQ(craft.m_Position.x, 50.0f);
    motion.End();
}
