// The camera's projection, its following, and the view transform.
#include "scene/Camera.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstddef>


static const double FIELD_OF_VIEW_DEGREES = 60.0;
static const double NEAR_PLANE = 4.0;
static const double FAR_PLANE = 8000.0;
static const float OUTSIDE_VIEW_HEIGHT = 500.0f;
static const float OUTSIDE_VIEW_DISTANCE = 500.0f;

Camera::Camera(int width, int height)
    : m_Target(NULL), m_CockpitView(true)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(FIELD_OF_VIEW_DEGREES, static_cast<double>(width) / height, NEAR_PLANE, FAR_PLANE);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void Camera::SetTarget(SceneObject* target)
{
    m_Target = target;
}

void Camera::SetCockpitView()
{
    m_CockpitView = true;
}

void Camera::SetOutsideView()
{
    m_CockpitView = false;
}

void Camera::Update()
{
    if (m_Target == NULL) {
        return;
    }
    m_Orientation = m_Target->m_Orientation;
    m_Forward = m_Target->m_Forward;
    if (!m_CockpitView) {
        m_LagPosition = m_Position;
    }
    m_Position = m_Target->m_Position;
}

void Camera::LoadView(float outSkyMatrix[16]) const
{
    glLoadIdentity();
    Vector3 axis;
    float angle = 0.0f;
    m_Orientation.GetAxisAngle(axis, angle);
    float degrees = angle * 180.0f / 3.1415927f;
    if (m_CockpitView) {
        // The inverse of the craft's rotation, then of its position. The
        // sky takes the rotation alone, so the dome stays round the eye
        // however far the craft flies.
        glRotatef(degrees, -axis.x, -axis.y, -axis.z);
        glGetFloatv(GL_MODELVIEW_MATRIX, outSkyMatrix);
        glTranslatef(-m_Position.x, -m_Position.y, -m_Position.z);
    } else {
        gluLookAt(m_LagPosition.x, m_LagPosition.y + OUTSIDE_VIEW_HEIGHT, m_LagPosition.z + OUTSIDE_VIEW_DISTANCE,
                  m_Position.x, m_Position.y, m_Position.z,
                  0.0, 1.0, 0.0);
        glGetFloatv(GL_MODELVIEW_MATRIX, outSkyMatrix);
    }
}
