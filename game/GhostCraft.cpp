// The ghost's place and its see-through drawing.
#include "game/GhostCraft.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

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
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendColor(0.0f, 0.0f, 0.0f, GHOST_OPACITY);
    glBlendFunc(GL_CONSTANT_ALPHA, GL_ONE_MINUS_CONSTANT_ALPHA);
    glDepthMask(GL_FALSE);
    SceneObject::Render(frustum);
    glPopAttrib();
}
