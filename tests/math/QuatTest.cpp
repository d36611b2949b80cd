#include "math/quat.h"

#include <cmath>
#include <gtest/gtest.h>

static const float EPS = 1e-5f;

static void ExpectQuat(const Quat& q, float x, float y, float z, float w)
{
    EXPECT_NEAR(q.x, x, EPS);
    EXPECT_NEAR(q.y, y, EPS);
    EXPECT_NEAR(q.z, z, EPS);
    EXPECT_NEAR(q.w, w, EPS);
}

static void ExpectVector(const Vector3& v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, EPS);
    EXPECT_NEAR(v.y, y, EPS);
    EXPECT_NEAR(v.z, z, EPS);
}

TEST(FloatEq, IsStrictOnBothSides)
{
    EXPECT_TRUE(FLOAT_EQ(1.0f, 1.0f));
    EXPECT_TRUE(FLOAT_EQ(1.00004f, 1.0f));
    EXPECT_FALSE(FLOAT_EQ(1.0001f, 1.0f));
    EXPECT_FALSE(FLOAT_EQ(0.0f, 0.00005f));
}

TEST(QuatEuler, BuildsQuarterTurnAboutY)
{
    ExpectQuat(Quat(0.0f, 0.0f, 0.0f), 0.0f, 0.0f, 0.0f, 1.0f);
    ExpectQuat(Quat(0.0f, 90.0f, 0.0f), 0.0f, 0.7071068f, 0.0f, 0.7071068f);
}

TEST(QuatEuler, AppliesXRotationFirst)
{
    // (ax, ay, 0) equals the y turn times the x turn: x is applied first.
    Quat both(90.0f, 90.0f, 0.0f);
    Quat composed = Quat(0.0f, 90.0f, 0.0f) * Quat(90.0f, 0.0f, 0.0f);
    ExpectQuat(both, composed.x, composed.y, composed.z, composed.w);
}

TEST(QuatRotation, TurnsUnitAxes)
{
    Quat q(0.0f, 90.0f, 0.0f);
    ExpectVector(q * Vector3(0.0f, 0.0f, -1.0f), -1.0f, 0.0f, 0.0f);
    ExpectVector(q * Vector3(1.0f, 0.0f, 0.0f), 0.0f, 0.0f, -1.0f);
    // Counter-clockwise about x seen from +x: +y goes to +z.
    ExpectVector(Quat(90.0f, 0.0f, 0.0f) * Vector3(0.0f, 1.0f, 0.0f), 0.0f, 0.0f, 1.0f);
}

TEST(QuatRotation, AlwaysReturnsUnitLength)
{
    Quat q(10.0f, 20.0f, 30.0f);
    Vector3 unit = q * Vector3(0.0f, 0.0f, -1.0f);
    Vector3 longer = q * Vector3(0.0f, 0.0f, -5.0f);
    ExpectVector(longer, unit.x, unit.y, unit.z);
    EXPECT_NEAR(longer.Magnitude(), 1.0f, EPS);
}

TEST(QuatProduct, AppliesRightOperandFirst)
{
    Quat aboutX(90.0f, 0.0f, 0.0f);
    Quat aboutY(0.0f, 90.0f, 0.0f);
    // aboutX * aboutY applies the y turn first: -z goes to -x, which the x
    // turn leaves alone.
    ExpectVector((aboutX * aboutY) * Vector3(0.0f, 0.0f, -1.0f), -1.0f, 0.0f, 0.0f);
    // The other order turns -z about x first, to +y, then about y (no change).
    ExpectVector((aboutY * aboutX) * Vector3(0.0f, 0.0f, -1.0f), 0.0f, 1.0f, 0.0f);
}

TEST(QuatProduct, IdentityAndInverseAreNeutral)
{
    Quat q(15.0f, -40.0f, 70.0f);
    Quat left = Quat() * q;
    ExpectQuat(left, q.x, q.y, q.z, q.w);
    Quat inverse = q;
    inverse.Conjugate();
    ExpectQuat(q * inverse, 0.0f, 0.0f, 0.0f, 1.0f);
}

TEST(QuatComponents, ConstructorNormalisesAndNormalizeClamps)
{
    ExpectQuat(Quat(0.0f, 0.0f, 0.0f, 2.0f), 0.0f, 0.0f, 0.0f, 1.0f);
    Quat q;
    q.w = -3.0f;
    q.Normalize();
    ExpectQuat(q, 0.0f, 0.0f, 0.0f, -1.0f);
    EXPECT_NEAR(Quat(1.0f, 2.0f, 3.0f, 4.0f).Norm(), 1.0f, EPS);
}

TEST(QuatAxisAngle, IdentityGivesZeroAngleAboutZ)
{
    Vector3 axis(5.0f, 5.0f, 5.0f);
    float angle = 5.0f;
    Quat().GetAxisAngle(axis, angle);
    EXPECT_EQ(angle, 0.0f);
    ExpectVector(axis, 0.0f, 0.0f, 1.0f);
}

TEST(QuatAxisAngle, QuarterTurnRoundTrips)
{
    Vector3 axis;
    float angle = 0.0f;
    Quat(0.0f, 90.0f, 0.0f).GetAxisAngle(axis, angle);
    EXPECT_NEAR(angle, 1.5707963f, 1e-4f);
    ExpectVector(axis, 0.0f, 1.0f, 0.0f);

    Quat built(Vector3(0.0f, 1.0f, 0.0f), 1.5707963f);
    ExpectQuat(built, 0.0f, 0.7071068f, 0.0f, 0.7071068f);
    ExpectQuat(Quat(Vector3(), 1.0f), 0.0f, 0.0f, 0.0f, 1.0f);
}

TEST(QuatSlerp, EndsGiveTheEndpoints)
{
    Quat p(0.0f, 10.0f, 0.0f);
    Quat q(0.0f, 80.0f, 0.0f);
    Quat r;
    r.Slerp(p, q, 0.0f);
    ExpectQuat(r, p.x, p.y, p.z, p.w);
    r.Slerp(p, q, 1.0f);
    ExpectQuat(r, q.x, q.y, q.z, q.w);
    r.Slerp(p, q, 0.5f);
    Quat half(0.0f, 45.0f, 0.0f);
    ExpectQuat(r, half.x, half.y, half.z, half.w);
}

TEST(QuatSlerp, NearlyEqualInputsInterpolateLinearly)
{
    Quat p(0.0f, 10.0f, 0.0f);
    Quat r;
    r.Slerp(p, p, 0.3f);
    ExpectQuat(r, p.x, p.y, p.z, p.w);
}

TEST(QuatHelpers, SnapDivideAndComponents)
{
    Quat q;
    q.x = 0.00004f;
    q.y = -0.00004f;
    q.z = 0.5f;
    q.w = 0.00005f;
    q.SnapToZero();
    EXPECT_EQ(q.x, 0.0f);
    EXPECT_EQ(q.y, 0.0f);
    EXPECT_EQ(q.z, 0.5f);
    EXPECT_EQ(q.w, 0.00005f);

    Quat d;
    d.w = 2.0f;
    d.DivideByNorm();  // norm 4
    EXPECT_NEAR(d.w, 0.5f, EPS);

    float x, y, z, w;
    Quat(0.0f, 90.0f, 0.0f).GetComponents(x, y, z, w);
    EXPECT_NEAR(y, 0.7071068f, EPS);
    EXPECT_NEAR(w, 0.7071068f, EPS);
}

TEST(QuatHelpers, PrintWritesOneLine)
{
    testing::internal::CaptureStdout();
    Quat().Print();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Quat is 0 0 0 w is 1\n");
}

// Each check names its condition and the quaternion's source file.
TEST(QuatChecksDeathTest, FireWithTheirConditionText)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(Quat(0.0f, 0.0f, 0.0f, 0.0f), "math/quat.*!FLOAT_EQ\\(0\\.0f, Norm\\(\\)\\)");
    EXPECT_DEATH(Quat(Vector3(2.0f, 0.0f, 0.0f), 1.0f), "math/quat.*v\\.Magnitude\\(\\) == 1\\.0f");
    Quat p;
    EXPECT_DEATH(p.Slerp(Quat(), Quat(), 1.5f), "math/quat.*1\\.0f >= slerp");
    EXPECT_DEATH(p.Slerp(Quat(), Quat(), -0.5f), "math/quat.*0 <= slerp");
    Quat nan;
    nan.w = NAN;
    Vector3 axis;
    float angle = 0.0f;
    // acos(NaN) fails both range checks; the first one fires.
    EXPECT_DEATH(nan.GetAxisAngle(axis, angle), "math/quat.*0 <= temp_angle");
}

TEST(QuatChecksDeathTest, AxisCheckFiresForAnAxisThatCannotBeNormalised)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Quat broken;
    broken.x = INFINITY;
    broken.w = 0.5f;
    Vector3 axis;
    float angle = 0.0f;
    EXPECT_DEATH(broken.GetAxisAngle(axis, angle), "math/quat.*FLOAT_EQ\\(1\\.0f, v\\.Magnitude\\(\\)\\)");
}

TEST(QuatAxisAngle, HalfTurnKeepsAngleInRange)
{
    Vector3 axis;
    float angle = 0.0f;
    Quat halfTurn(1.0f, 0.0f, 0.0f, 0.0f);
    halfTurn.GetAxisAngle(axis, angle);
    EXPECT_NEAR(angle, PI, 1e-5f);
    ExpectVector(axis, 1.0f, 0.0f, 0.0f);
    // Just short of a full turn: w near -1, and the axis is still there.
    Quat nearlyFull;
    nearlyFull.SetAxisAngle(Vector3(0.0f, 1.0f, 0.0f), 2 * PI - 0.01f);
    nearlyFull.GetAxisAngle(axis, angle);
    EXPECT_NEAR(angle, 2 * PI - 0.01f, 1e-3f);
    ExpectVector(axis, 0.0f, 1.0f, 0.0f);
    // w of exactly -1 beside a measurable axis: the widest angle, 2 pi.
    Quat full(0.0f, 1e-4f, 0.0f, -1.0f);
    full.GetAxisAngle(axis, angle);
    EXPECT_LE(angle, 2 * PI);
    EXPECT_NEAR(angle, 2 * PI, 1e-5f);
    ExpectVector(axis, 0.0f, 1.0f, 0.0f);
}
