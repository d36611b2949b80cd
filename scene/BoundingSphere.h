// BoundingSphere: the collision and culling volume of every scene object.
// The centre is in world coordinates; the owner sets the radius.
#ifndef SCENE_BOUNDING_SPHERE_H
#define SCENE_BOUNDING_SPHERE_H

#include "math/Vector3.h"

class BoundingSphere {
public:
    Vector3 m_Center;
    float m_Radius;

    BoundingSphere() : m_Radius(0.0f) {}
    virtual ~BoundingSphere() {}

    // True when the spheres touch or overlap: the distance of the centres is
    // at most the sum of the radii. False whenever a value is NaN.
    bool Intersects(const BoundingSphere& other) const;

    // Debug drawing: a green wireframe sphere; the colour is white afterwards.
    void Draw() const;
};

#endif
