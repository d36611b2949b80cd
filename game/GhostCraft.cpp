// The ghost's place and its see-through drawing.
#include "game/GhostCraft.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <cmath>

#include "game/Ghost.h"
#include "scene/BoundingBox.h"
#include "scene/Frustum.h"

GhostCraft::GhostCraft(const Model& craft)
    : Model(craft)
{
    visible = false;
}

void GhostCraft::Follow(const GhostPose* pose)
{
    visible = pose != NULL;
    if (pose != NULL) {
        SetPosition(pose->m_Position.x, pose->m_Position.y, pose->m_Position.z);
        m_Orientation = pose->m_Orientation;
    }
}

float GhostCraft::Nearness(float distance, float radius)
{
    const float gone = GHOST_GONE_WITHIN * radius;
    const float whole = GHOST_WHOLE_FROM * radius;
    if (distance <= gone) {
        return 0.0f;
    }
    if (distance >= whole) {
        return 1.0f;
    }
    const float t = (distance - gone) / (whole - gone);
    return t * t * (3.0f - 2.0f * t);
}

float GhostCraft::EyeDistance() const
{
    // The frame's own view, the camera between its last two ticks: the
    // ghost's place in eye space is its distance from the eye.
    float view[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    const Vector3& p = m_Position;
    const float x = view[0] * p.x + view[4] * p.y + view[8] * p.z + view[12];
    const float y = view[1] * p.x + view[5] * p.y + view[9] * p.z + view[13];
    const float z = view[2] * p.x + view[6] * p.y + view[10] * p.z + view[14];
    return std::sqrt(x * x + y * y + z * z);
}

void GhostCraft::Render(Frustum* frustum)
{
    if (!visible) {
        return;
    }
    if (frustum != NULL) {
        // The model's centre turns with it: a sphere about the position
        // that holds it in every orientation.
        const float r = m_BoundingSphere.m_Radius + (m_BoundingSphere.m_Center - m_Position).Magnitude();
        const Vector3& c = m_Position;
        if (!frustum->BoxVisible(BoundingBox(Vector3(c.x - r, c.y - r, c.z - r), Vector3(c.x + r, c.y + r, c.z + r)))) {
            return;
        }
    }
    const float opacity = GHOST_OPACITY * Nearness(EyeDistance(), m_BoundingSphere.m_Radius);
    if (opacity <= 0.0f) {
        return;
    }
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendColor(0.0f, 0.0f, 0.0f, opacity);
    glBlendFunc(GL_CONSTANT_ALPHA, GL_ONE_MINUS_CONSTANT_ALPHA);
    glDepthMask(GL_FALSE);
    SceneObject::Render(frustum);
    glPopAttrib();
}
