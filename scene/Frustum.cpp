// Plane extraction and box culling.
#include "scene/Frustum.h"

#include <GL/gl.h>
#include <cmath>

#include "scene/BoundingBox.h"

Frustum g_Frustum;

Frustum::Frustum()
{
    for (int i = 0; i < PLANE_COUNT; ++i) {
        for (int k = 0; k < 4; ++k) {
            m_Planes[i][k] = 0.0f;
        }
    }
}

void Frustum::Update()
{
    float projection[16];
    float modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    ExtractPlanes(projection, modelview);
}

// plane = row 3 of the clip matrix plus sign times row k, normalised.
static void SetPlane(float* plane, const float* clip, int k, float sign)
{
    for (int i = 0; i < 4; ++i) {
        plane[i] = clip[4 * i + 3] + sign * clip[4 * i + k];
    }
    double length = std::sqrt(static_cast<double>(plane[0]) * plane[0] +
                              static_cast<double>(plane[1]) * plane[1] +
                              static_cast<double>(plane[2]) * plane[2]);
    for (int i = 0; i < 4; ++i) {
        plane[i] = static_cast<float>(plane[i] / length);
    }
}

void Frustum::ExtractPlanes(const float projection[16], const float modelview[16])
{
    // clip = projection * modelview, column-major: object to clip coordinates.
    float clip[16];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            clip[4 * i + j] = modelview[4 * i + 0] * projection[0 + j] +
                              modelview[4 * i + 1] * projection[4 + j] +
                              modelview[4 * i + 2] * projection[8 + j] +
                              modelview[4 * i + 3] * projection[12 + j];
        }
    }
    SetPlane(m_Planes[PLANE_RIGHT], clip, 0, -1.0f);
    SetPlane(m_Planes[PLANE_LEFT], clip, 0, 1.0f);
    SetPlane(m_Planes[PLANE_BOTTOM], clip, 1, 1.0f);
    SetPlane(m_Planes[PLANE_TOP], clip, 1, -1.0f);
    SetPlane(m_Planes[PLANE_FAR], clip, 2, -1.0f);
    SetPlane(m_Planes[PLANE_NEAR], clip, 2, 1.0f);
}

bool Frustum::BoxVisible(const BoundingBox& box) const
{
    const Vector3& a = box.m_Min;
    const Vector3& b = box.m_Max;
    const Vector3 corners[8] = {
        Vector3(a.x, a.y, a.z), Vector3(b.x, a.y, a.z), Vector3(a.x, b.y, a.z), Vector3(a.x, a.y, b.z),
        Vector3(b.x, b.y, a.z), Vector3(b.x, a.y, b.z), Vector3(a.x, b.y, b.z), Vector3(b.x, b.y, b.z),
    };
    for (int i = 0; i < PLANE_COUNT; ++i) {
        const float* p = m_Planes[i];
        bool anyInside = false;
        for (int k = 0; k < 8 && !anyInside; ++k) {
            anyInside = p[0] * corners[k].x + p[1] * corners[k].y + p[2] * corners[k].z + p[3] > 0.0f;
        }
        if (!anyInside) {
            return false;
        }
    }
    return true;
}
