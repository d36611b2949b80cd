#include "scene/SceneObject.h"

#include <gtest/gtest.h>

static const float EPS = 1e-4f;

static void ExpectVector(const Vector3& v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, EPS);
    EXPECT_NEAR(v.y, y, EPS);
    EXPECT_NEAR(v.z, z, EPS);
}

TEST(SceneObjectUpdate, StandingStillStillSetsForward)
{
    SceneObject object;
    EXPECT_TRUE(object.visible);
    EXPECT_EQ(object.kind, 0);
    object.Update();
    ExpectVector(object.m_Position, 0.0f, 0.0f, 0.0f);
    ExpectVector(object.m_Forward, 0.0f, 0.0f, -1.0f);
}

TEST(SceneObjectUpdate, MovesAlongTheTurnedNose)
{
    SceneObject object;
    object.Yaw(90.0f);
    object.SetSpeed(1.0f);
    object.Update();
    ExpectVector(object.m_Position, -1.0f, 0.0f, 0.0f);

    SceneObject pitched;
    pitched.Pitch(90.0f);  // nose up
    pitched.SetSpeed(2.0f);
    pitched.Update();
    ExpectVector(pitched.m_Position, 0.0f, 2.0f, 0.0f);
}

TEST(SceneObjectUpdate, PutsSphereCentreOneStepAhead)
{
    SceneObject object;
    object.m_BoundingSphere.m_Center = Vector3(0.0f, 5.0f, 0.0f);
    object.SetSpeed(2.0f);
    object.Update();
    ExpectVector(object.m_Position, 0.0f, 0.0f, -2.0f);
    ExpectVector(object.m_BoundingSphere.m_Center, 0.0f, 0.0f, -4.0f);

    // A correction written straight into the position is picked up by the
    // next step, and at speed 0 the centre lands on the position itself.
    object.m_Position.y = 100.0f;
    object.SetSpeed(0.0f);
    object.Update();
    ExpectVector(object.m_BoundingSphere.m_Center, 0.0f, 100.0f, -2.0f);
}

TEST(SceneObjectStrafe, IsTakenOnceToTheObjectsOwnSide)
{
    SceneObject object;
    object.Yaw(90.0f);  // facing -x, so its left is +z
    object.StrafeLeft(10.0f);
    object.Update();
    ExpectVector(object.m_Position, 0.0f, 0.0f, 10.0f);
    ExpectVector(object.m_BoundingSphere.m_Center, 0.0f, 0.0f, 10.0f);
    object.Update();
    ExpectVector(object.m_Position, 0.0f, 0.0f, 10.0f);

    object.StrafeRight(4.0f);
    object.Update();
    ExpectVector(object.m_Position, 0.0f, 0.0f, 6.0f);
}

TEST(SceneObjectTurns, DependOnOrder)
{
    SceneObject pitchThenYaw;
    pitchThenYaw.Pitch(90.0f);
    pitchThenYaw.Yaw(90.0f);
    SceneObject yawThenPitch;
    yawThenPitch.Yaw(90.0f);
    yawThenPitch.Pitch(90.0f);
    pitchThenYaw.Update();
    yawThenPitch.Update();
    Vector3 difference = pitchThenYaw.m_Forward - yawThenPitch.m_Forward;
    EXPECT_GT(difference.Magnitude(), 0.5f);
    // Turns are about the object's own axes: with the nose pointing up, a yaw
    // about the craft's own y swings the nose to -x (a yaw about the world's
    // y would leave it pointing up).
    ExpectVector(pitchThenYaw.m_Forward, -1.0f, 0.0f, 0.0f);
}

TEST(SceneObjectTurns, RollTurnsAboutTheNose)
{
    SceneObject object;
    object.Roll(90.0f);
    object.Update();
    ExpectVector(object.m_Forward, 0.0f, 0.0f, -1.0f);
    // Rolled a quarter turn counter-clockwise about +z: its right points up.
    object.StrafeRight(1.0f);
    object.Update();
    ExpectVector(object.m_Position, 0.0f, 1.0f, 0.0f);
}

TEST(SceneObjectSpeed, BoostStopsAtForty)
{
    SceneObject object;
    object.SetSpeed(39.9f);
    object.Boost(2.0f);
    EXPECT_NEAR(object.m_Speed, 41.9f, EPS);
    object.SetSpeed(40.0f);
    object.Boost(2.0f);
    EXPECT_EQ(object.m_Speed, 40.0f);
    object.Accelerate(-45.0f);
    EXPECT_EQ(object.m_Speed, -5.0f);
}

TEST(SceneObjectPlacement, SetPositionKeepsCentreOffset)
{
    SceneObject object;
    object.m_BoundingSphere.m_Center = Vector3(1.0f, 7.0f, -2.0f);
    object.SetPosition(100.0f, 50.0f, 10.0f);
    ExpectVector(object.m_Position, 100.0f, 50.0f, 10.0f);
    ExpectVector(object.m_BoundingSphere.m_Center, 101.0f, 57.0f, 8.0f);

    object.MoveBy(0.0f, 100.0f, 500.0f);
    ExpectVector(object.m_Position, 100.0f, 150.0f, 510.0f);
    ExpectVector(object.m_BoundingSphere.m_Center, 101.0f, 157.0f, 508.0f);

    object.Reset();
    ExpectVector(object.m_Position, 0.0f, 0.0f, 0.0f);
    ExpectVector(object.m_BoundingSphere.m_Center, 1.0f, 7.0f, -2.0f);
}
