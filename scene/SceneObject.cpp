// Motion and drawing of scene objects.
#include "scene/SceneObject.h"

#include <GL/gl.h>

static const float BOOST_SPEED_LIMIT = 40.0f;

SceneObject::SceneObject()
    : visible(true), kind(0), m_Speed(0.0f), m_Strafe(0.0f)
{
}

SceneObject::~SceneObject()
{
}

void SceneObject::Render(Frustum* /*frustum*/)
{
    glPushMatrix();
        glTranslatef(m_Position.x, m_Position.y, m_Position.z);
        Vector3 axis;
        float angle = 0.0f;
        m_Orientation.GetAxisAngle(axis, angle);
        glRotatef(angle * 180.0f / 3.1415927f, axis.x, axis.y, axis.z);
        DrawGeometry();
    glPopMatrix();
}

void SceneObject::Reset()
{
    SetPosition(0.0f, 0.0f, 0.0f);
}

void SceneObject::Update()
{
    m_Forward = m_Orientation * Vector3(0.0f, 0.0f, -1.0f);
    Vector3 step = m_Forward * m_Speed;
    m_Position += step;
    // The centre is rebuilt from the position rather than moved with it, so
    // corrections written straight into the position (the world's floor and
    // borders) bring the sphere along at the next step.
    m_BoundingSphere.m_Center = m_Position + step;
    if (m_Strafe != 0.0f) {
        Vector3 side = (m_Orientation * Vector3(1.0f, 0.0f, 0.0f)) * m_Strafe;
        m_Position += side;
        m_BoundingSphere.m_Center += side;
        m_Strafe = 0.0f;
    }
}

void SceneObject::DrawGeometry()
{
}

void SceneObject::SetPosition(float x, float y, float z)
{
    Vector3 offset = m_BoundingSphere.m_Center - m_Position;
    m_Position = Vector3(x, y, z);
    m_BoundingSphere.m_Center = m_Position + offset;
}

void SceneObject::MoveBy(float dx, float dy, float dz)
{
    Vector3 delta(dx, dy, dz);
    m_BoundingSphere.m_Center += delta;
    m_Position += delta;
}

void SceneObject::Turn(const Quat& delta)
{
    // Orientation on the left: the turn is about the object's own axes.
    m_Orientation = m_Orientation * delta;
}

void SceneObject::Yaw(float angleDegrees)
{
    Turn(Quat(0.0f, angleDegrees, 0.0f));
}

void SceneObject::Pitch(float angleDegrees)
{
    Turn(Quat(angleDegrees, 0.0f, 0.0f));
}

void SceneObject::Roll(float angleDegrees)
{
    Turn(Quat(0.0f, 0.0f, angleDegrees));
}

void SceneObject::Accelerate(float delta)
{
    m_Speed += delta;
}

void SceneObject::SetSpeed(float speed)
{
    m_Speed = speed;
}

void SceneObject::Boost(float delta)
{
    if (m_Speed < BOOST_SPEED_LIMIT) {
        m_Speed += delta;
    }
}

void SceneObject::StrafeLeft(float amount)
{
    m_Strafe = -amount;
}

void SceneObject::StrafeRight(float amount)
{
    m_Strafe = amount;
}
