// Frustum: the six planes of the current view volume, re-extracted by the
// camera once per frame from the OpenGL projection and model-view matrices.
// A point is inside a plane (a, b, c, d) when a*x + b*y + c*z + d > 0; after
// extraction (a, b, c) is a unit vector. Planes are zero until the first
// Update, and zero planes reject every box.
#ifndef SCENE_FRUSTUM_H
#define SCENE_FRUSTUM_H

class BoundingBox;

class Frustum {
public:
    enum { PLANE_RIGHT = 0, PLANE_LEFT, PLANE_BOTTOM, PLANE_TOP, PLANE_FAR, PLANE_NEAR, PLANE_COUNT };

    float m_Planes[PLANE_COUNT][4];

    Frustum();
    virtual ~Frustum() {}

    // Reads GL_PROJECTION_MATRIX and GL_MODELVIEW_MATRIX and extracts the
    // planes from them. Needs a current OpenGL context.
    void Update();

    // The planes of the volume seen through projection * modelview, both
    // column-major as OpenGL stores them.
    void ExtractPlanes(const float projection[16], const float modelview[16]);

    // False only when the whole box lies on the outer side of one plane; a box
    // near a corner of the volume may count as visible though it is not.
    bool BoxVisible(const BoundingBox& box) const;
};

// The one frustum of the game, refreshed by the camera and used for culling.
extern Frustum g_Frustum;

#endif
