#include "math/Vector3.h"

#include <gtest/gtest.h>

static const float EPS = 1e-6f;

static void ExpectVector(const Vector3& v, float x, float y, float z, float tolerance = EPS)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

TEST(Vector3Normalize, ScalesToUnitLength)
{
    Vector3 v(3.0f, 4.0f, 0.0f);
    v.Normalize();
    ExpectVector(v, 0.6f, 0.8f, 0.0f);
    EXPECT_NEAR(v.Magnitude(), 1.0f, EPS);
}

TEST(Vector3Normalize, LeavesZeroVectorZero)
{
    Vector3 v;
    v.Normalize();
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.y, 0.0f);
    EXPECT_EQ(v.z, 0.0f);
}

TEST(Vector3Normalize, ShortVectorIsNotScaledButSnapped)
{
    // Below the threshold the divisor is 1, then the snap zeroes the component.
    Vector3 tiny(0.00005f, 0.0f, 0.0f);
    tiny.Normalize();
    EXPECT_EQ(tiny.x, 0.0f);

    // Exactly at the threshold still counts as too short: not scaled to 1,
    // and a component equal to the threshold survives the snap.
    Vector3 atThreshold(0.0001f, 0.0f, 0.0f);
    atThreshold.Normalize();
    EXPECT_EQ(atThreshold.x, 0.0001f);
}

TEST(Vector3Normalize, SnapsSmallComponentsAfterDividing)
{
    Vector3 v(1.0f, 0.00005f, 0.0f);
    v.Normalize();
    EXPECT_EQ(v.x, 1.0f);
    EXPECT_EQ(v.y, 0.0f);

    // 0.00015 survives the snap because it is compared after dividing by ~1.
    Vector3 w(1.0f, 0.00015f, 0.0f);
    w.Normalize();
    EXPECT_GT(w.y, 0.0f);
}

TEST(Vector3Cross, IsRightHandedAndAntisymmetric)
{
    Vector3 x(1.0f, 0.0f, 0.0f);
    Vector3 y(0.0f, 1.0f, 0.0f);
    ExpectVector(Cross(x, y), 0.0f, 0.0f, 1.0f);
    ExpectVector(Cross(y, x), 0.0f, 0.0f, -1.0f);
    ExpectVector(Cross(Vector3(0, 0, 1), x), 0.0f, 1.0f, 0.0f);

    Vector3 a(1.0f, 2.0f, 3.0f);
    Vector3 b(-4.0f, 0.5f, 2.0f);
    Vector3 ab = Cross(a, b);
    Vector3 ba = Cross(b, a);
    ExpectVector(ab + ba, 0.0f, 0.0f, 0.0f);
    ExpectVector(Cross(a, a), 0.0f, 0.0f, 0.0f);
    // Worked by hand: (2*2 - 3*0.5, 3*-4 - 1*2, 1*0.5 - 2*-4).
    ExpectVector(ab, 2.5f, -14.0f, 8.5f);
}

TEST(Vector3Arithmetic, OperatorsWorkComponentWise)
{
    Vector3 v(1.0f, -2.0f, 3.0f);
    Vector3 w(0.5f, 0.5f, -1.0f);
    ExpectVector(v + w, 1.5f, -1.5f, 2.0f);
    ExpectVector(v - w, 0.5f, -2.5f, 4.0f);
    ExpectVector(v * 2.0f, 2.0f, -4.0f, 6.0f);

    Vector3 chained;
    (chained += v) += w;
    ExpectVector(chained, 1.5f, -1.5f, 2.0f);
    (chained *= 2.0f) *= 0.5f;
    ExpectVector(chained, 1.5f, -1.5f, 2.0f);

    EXPECT_NEAR(Vector3(2.0f, 3.0f, 6.0f).Magnitude(), 7.0f, EPS);
}
