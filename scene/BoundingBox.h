// BoundingBox: an axis-aligned box given by its minimum and maximum corners,
// held by terrain patches and quadtree cells and tested against the frustum.
#ifndef SCENE_BOUNDING_BOX_H
#define SCENE_BOUNDING_BOX_H

#include "math/Vector3.h"

class BoundingBox {
public:
    Vector3 m_Min;
    Vector3 m_Max;

    BoundingBox() {}
    BoundingBox(const Vector3& min, const Vector3& max) : m_Min(min), m_Max(max) {}
    virtual ~BoundingBox() {}

    void SetCorners(const Vector3& min, const Vector3& max);

    // True when other lies inside this box on every axis; shared faces count
    // as inside, so a box contains itself.
    bool Contains(const BoundingBox& other) const;

    // Debug drawing: the six faces as green line loops, with depth test,
    // lighting and culling off while drawing and on again afterwards.
    void Draw() const;
};

#endif
