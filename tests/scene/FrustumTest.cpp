#include "scene/Frustum.h"

#include <cmath>
#include <gtest/gtest.h>

#include "scene/BoundingBox.h"

static const float NEAR_DISTANCE = 4.0f;
static const float FAR_DISTANCE = 8000.0f;

// The matrix gluPerspective builds, written out by hand (column-major).
static void Perspective(float fovyDegrees, float aspect, float zNear, float zFar, float out[16])
{
    double f = 1.0 / std::tan(fovyDegrees * M_PI / 360.0);
    for (int i = 0; i < 16; ++i) {
        out[i] = 0.0f;
    }
    out[0] = static_cast<float>(f / aspect);
    out[5] = static_cast<float>(f);
    out[10] = (zFar + zNear) / (zNear - zFar);
    out[11] = -1.0f;
    out[14] = 2.0f * zFar * zNear / (zNear - zFar);
}

static void Identity(float out[16])
{
    for (int i = 0; i < 16; ++i) {
        out[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    }
}

class FrustumPlanes : public ::testing::Test {
protected:
    void SetUp() override
    {
        Perspective(60.0f, 800.0f / 600.0f, NEAR_DISTANCE, FAR_DISTANCE, m_Projection);
        Identity(m_Modelview);
        m_Frustum.ExtractPlanes(m_Projection, m_Modelview);
    }

    void ExpectPlane(int index, float a, float b, float c, float d, float tolerance = 1e-3f)
    {
        const float* p = m_Frustum.m_Planes[index];
        EXPECT_NEAR(p[0], a, 1e-5f) << "plane " << index;
        EXPECT_NEAR(p[1], b, 1e-5f) << "plane " << index;
        EXPECT_NEAR(p[2], c, 1e-5f) << "plane " << index;
        EXPECT_NEAR(p[3], d, tolerance) << "plane " << index;
    }

    float m_Projection[16];
    float m_Modelview[16];
    Frustum m_Frustum;
};

TEST_F(FrustumPlanes, NearAndFarFaceAlongTheViewAxis)
{
    ExpectPlane(Frustum::PLANE_NEAR, 0.0f, 0.0f, -1.0f, -NEAR_DISTANCE);
    ExpectPlane(Frustum::PLANE_FAR, 0.0f, 0.0f, 1.0f, FAR_DISTANCE, 0.5f);
}

TEST_F(FrustumPlanes, SidePlanesOpenAtTheFieldOfView)
{
    // Vertical half angle 30 degrees: the top plane's normal points down and
    // back, (0, -cos 30, -sin 30); it passes through the eye (d = 0).
    ExpectPlane(Frustum::PLANE_TOP, 0.0f, -0.8660254f, -0.5f, 0.0f);
    ExpectPlane(Frustum::PLANE_BOTTOM, 0.0f, 0.8660254f, -0.5f, 0.0f);
    const float* right = m_Frustum.m_Planes[Frustum::PLANE_RIGHT];
    const float* left = m_Frustum.m_Planes[Frustum::PLANE_LEFT];
    EXPECT_LT(right[0], 0.0f);
    EXPECT_GT(left[0], 0.0f);
    EXPECT_NEAR(right[0], -left[0], 1e-6f);
    for (int i = 0; i < Frustum::PLANE_COUNT; ++i) {
        const float* p = m_Frustum.m_Planes[i];
        EXPECT_NEAR(p[0] * p[0] + p[1] * p[1] + p[2] * p[2], 1.0f, 1e-5f);
    }
}

TEST_F(FrustumPlanes, FollowTheModelviewTranslation)
{
    // The eye moved to z = +100: the near plane is now at z = 96.
    m_Modelview[14] = -100.0f;
    m_Frustum.ExtractPlanes(m_Projection, m_Modelview);
    ExpectPlane(Frustum::PLANE_NEAR, 0.0f, 0.0f, -1.0f, 96.0f);
}

TEST_F(FrustumPlanes, BoxesInFrontAreVisible)
{
    EXPECT_TRUE(m_Frustum.BoxVisible(BoundingBox(Vector3(-1, -1, -20), Vector3(1, 1, -10))));
    // A box around the whole volume has a corner inside every plane.
    EXPECT_TRUE(m_Frustum.BoxVisible(BoundingBox(Vector3(-1e5f, -1e5f, -1e5f), Vector3(1e5f, 1e5f, 1e5f))));
}

TEST_F(FrustumPlanes, BoxesOutsideAreRejected)
{
    EXPECT_FALSE(m_Frustum.BoxVisible(BoundingBox(Vector3(-1, -1, 10), Vector3(1, 1, 20))));       // behind
    EXPECT_FALSE(m_Frustum.BoxVisible(BoundingBox(Vector3(-1, -1, -9000), Vector3(1, 1, -8100))));  // too far
    EXPECT_FALSE(m_Frustum.BoxVisible(BoundingBox(Vector3(500, -1, -20), Vector3(600, 1, -10))));   // right
    EXPECT_FALSE(m_Frustum.BoxVisible(BoundingBox(Vector3(-1, 100, -20), Vector3(1, 200, -10))));   // above
}

TEST(FrustumBoxVisible, BoxLyingOnAPlaneIsRejected)
{
    Frustum frustum;
    // Only plane 0 is set: x > 0. The other planes are made to pass.
    for (int i = 0; i < Frustum::PLANE_COUNT; ++i) {
        frustum.m_Planes[i][3] = 1.0f;
    }
    frustum.m_Planes[0][0] = 1.0f;
    frustum.m_Planes[0][3] = 0.0f;
    EXPECT_FALSE(frustum.BoxVisible(BoundingBox(Vector3(0, -1, -1), Vector3(0, 1, 1))));
    EXPECT_TRUE(frustum.BoxVisible(BoundingBox(Vector3(0, -1, -1), Vector3(0.001f, 1, 1))));
}

TEST(FrustumBoxVisible, ZeroPlanesRejectEverything)
{
    Frustum frustum;
    EXPECT_FALSE(frustum.BoxVisible(BoundingBox(Vector3(-1, -1, -1), Vector3(1, 1, 1))));
}
