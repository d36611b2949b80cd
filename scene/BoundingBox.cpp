// Box containment and the box's debug drawing.
#include "scene/BoundingBox.h"

#include <GL/gl.h>

void BoundingBox::SetCorners(const Vector3& min, const Vector3& max)
{
    m_Min = min;
    m_Max = max;
}

bool BoundingBox::Contains(const BoundingBox& other) const
{
    return other.m_Min.x >= m_Min.x && other.m_Min.y >= m_Min.y && other.m_Min.z >= m_Min.z &&
           other.m_Max.x <= m_Max.x && other.m_Max.y <= m_Max.y && other.m_Max.z <= m_Max.z;
}

void BoundingBox::Draw() const
{
    const Vector3& a = m_Min;
    const Vector3& b = m_Max;
    // Corner indices: bit 0 selects max x, bit 1 max y, bit 2 max z.
    const Vector3 corners[8] = {
        Vector3(a.x, a.y, a.z), Vector3(b.x, a.y, a.z), Vector3(a.x, b.y, a.z), Vector3(b.x, b.y, a.z),
        Vector3(a.x, a.y, b.z), Vector3(b.x, a.y, b.z), Vector3(a.x, b.y, b.z), Vector3(b.x, b.y, b.z),
    };
    static const int FACES[6][4] = {
        {0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5},
    };
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glColor3f(0.0f, 1.0f, 0.0f);
    for (int face = 0; face < 6; ++face) {
        glBegin(GL_LINE_LOOP);
            for (int k = 0; k < 4; ++k) {
                glVertex3fv(&corners[FACES[face][k]].x);
            }
        glEnd();
    }
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
}
