#include "math/Matrix4.h"

#include <cmath>

#include <gtest/gtest.h>

static Matrix4 Sample()
{
    return Matrix4(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
}

TEST(Matrix4Product, IdentityIsNeutralOnBothSides)
{
    Matrix4 identity;
    Matrix4 m = Sample();
    Matrix4 left = identity * m;
    Matrix4 right = m * identity;
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(left.m[i], m.m[i]);
        EXPECT_EQ(right.m[i], m.m[i]);
    }
}

TEST(Matrix4Product, AppliesRightOperandFirst)
{
    // translate(10, 0, 0) * scale(2): a point is scaled, then moved.
    Matrix4 translate;
    translate.m[12] = 10.0f;
    Matrix4 scale;
    scale.m[0] = 2.0f;
    Matrix4 ts = translate * scale;
    // Column 0 of the product maps x: 2 * x; the translation stays 10.
    EXPECT_EQ(ts.m[0], 2.0f);
    EXPECT_EQ(ts.m[12], 10.0f);
    Matrix4 st = scale * translate;
    EXPECT_EQ(st.m[12], 20.0f);
}

TEST(Matrix4Product, MatchesHandWorkedColumnMajorProduct)
{
    Matrix4 a = Sample();
    Matrix4 b;
    b.m[4] = 1.0f;  // column 1, row 0
    Matrix4 p = a * b;
    // Column 1 of a * b = a * (column 1 of b) = a.col1 + a.col0.
    EXPECT_EQ(p.m[4], 5.0f + 1.0f);
    EXPECT_EQ(p.m[5], 6.0f + 2.0f);
    EXPECT_EQ(p.m[7], 8.0f + 4.0f);
    EXPECT_EQ(p.m[0], 1.0f);
}

TEST(Matrix4Arithmetic, ScaleSumAndDifference)
{
    Matrix4 m = Sample();
    Matrix4 doubled = m * 2.0f;
    Matrix4 sum = m + m;
    Matrix4 zero = m - m;
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(doubled.m[i], 2.0f * (i + 1));
        EXPECT_EQ(sum.m[i], doubled.m[i]);
        EXPECT_EQ(zero.m[i], 0.0f);
    }
}

TEST(Matrix4ToEuler, IdentityGivesZeroAngles)
{
    float x = 1.0f, y = 1.0f, z = 1.0f;
    Matrix4().ToEuler(x, y, z);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, 0.0f);
    EXPECT_EQ(z, 0.0f);
}

TEST(Matrix4ToEuler, RecoversNegatedRotationAboutX)
{
    // Rotation by 30 degrees about x, column-major.
    const float c = 0.8660254f, s = 0.5f;
    Matrix4 rx(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1);
    float x = 0.0f, y = 0.0f, z = 0.0f;
    rx.ToEuler(x, y, z);
    EXPECT_NEAR(x, -30.0f, 1e-3f);
    EXPECT_NEAR(y, 0.0f, 1e-4f);
    EXPECT_NEAR(z, 0.0f, 1e-4f);
}

TEST(Matrix4ToEuler, GimbalLockKeepsTheSignOfTheSecondAngle)
{
    // e8 = +1 and e8 = -1: the second angle is at +90 and -90 degrees, and
    // comes back negated like the others.
    Matrix4 up(0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1);
    float x = 0.0f, y = 0.0f, z = 5.0f;
    up.ToEuler(x, y, z);
    EXPECT_NEAR(y, -90.0f, 1e-3f);
    EXPECT_EQ(z, 0.0f);

    Matrix4 down(0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1);
    z = 5.0f;
    down.ToEuler(x, y, z);
    EXPECT_NEAR(y, 90.0f, 1e-3f);
    EXPECT_EQ(z, 0.0f);
}
