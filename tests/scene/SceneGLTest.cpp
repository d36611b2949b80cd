// Scene code that talks to OpenGL, against a real context on Xvfb.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include "scene/Frustum.h"
#include "scene/SceneObject.h"
#include "tests/support/GLWindow.h"

TEST(FrustumUpdate, ReadsTheMatricesInForce)
{
    GLWindow window;
    ASSERT_TRUE(window.IsOpen());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 800.0 / 600.0, 4.0, 8000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -100.0f);  // the eye at z = +100

    Frustum frustum;
    frustum.Update();
    const float* nearPlane = frustum.m_Planes[Frustum::PLANE_NEAR];
    EXPECT_NEAR(nearPlane[2], -1.0f, 1e-5f);
    EXPECT_NEAR(nearPlane[3], 96.0f, 1e-3f);
    const float* farPlane = frustum.m_Planes[Frustum::PLANE_FAR];
    EXPECT_NEAR(farPlane[2], 1.0f, 1e-5f);
    EXPECT_NEAR(farPlane[3], 7900.0f, 0.5f);
    const float* top = frustum.m_Planes[Frustum::PLANE_TOP];
    EXPECT_NEAR(top[1], -0.8660254f, 1e-5f);
    EXPECT_NEAR(top[2], -0.5f, 1e-5f);
    EXPECT_NEAR(top[3], 50.0f, 1e-2f);  // through the eye: -0.5 * 100 + d = 0
}

// Records the model-view matrix in force while the geometry is drawn.
class ProbeObject : public SceneObject {
public:
    float m_Seen[16];
    int m_Draws;

    ProbeObject() : m_Seen(), m_Draws(0) {}
    void DrawGeometry() override
    {
        glGetFloatv(GL_MODELVIEW_MATRIX, m_Seen);
        ++m_Draws;
    }
};

TEST(SceneObjectRender, DrawsInItsOwnTransformAndRestoresTheMatrix)
{
    GLWindow window;
    ASSERT_TRUE(window.IsOpen());
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    ProbeObject probe;
    probe.SetPosition(10.0f, 20.0f, 30.0f);
    probe.Yaw(90.0f);
    probe.Render(NULL);

    ASSERT_EQ(probe.m_Draws, 1);
    // Local -z (forward) must map to world -x: column 2 of the matrix is the
    // image of +z, so it must be +x.
    EXPECT_NEAR(probe.m_Seen[8], 1.0f, 1e-4f);
    EXPECT_NEAR(probe.m_Seen[10], 0.0f, 1e-4f);
    EXPECT_NEAR(probe.m_Seen[12], 10.0f, 1e-4f);
    EXPECT_NEAR(probe.m_Seen[13], 20.0f, 1e-4f);
    EXPECT_NEAR(probe.m_Seen[14], 30.0f, 1e-4f);

    float after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(after[i], (i % 5 == 0) ? 1.0f : 0.0f);
    }
}
