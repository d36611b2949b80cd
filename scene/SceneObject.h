// SceneObject: the base of everything placed and drawn (camera, models, the
// skimmer, sky, terrain and its patches). It owns a position, an orientation,
// a per-tick speed and a bounding sphere, offers the motion operations the
// game steers the craft with, and draws itself through its own transform.
// Angles are degrees; forward is the local -z axis, right the local +x axis.
#ifndef SCENE_SCENE_OBJECT_H
#define SCENE_SCENE_OBJECT_H

#include <cstddef>

#include "math/Vector3.h"
#include "math/quat.h"
#include "scene/BoundingSphere.h"

class Frustum;

class SceneObject {
public:
    bool visible;                     // drawn by the scene and collectable while true
    int kind;                         // 0 plain, 1 palm, 3 box (the world's tags)
    BoundingSphere m_BoundingSphere;  // centre in world coordinates
    Quat m_Orientation;
    Vector3 m_Position;
    float m_Speed;                    // world units per tick; negative moves backwards
    Vector3 m_Forward;                // unit orientation * (0, 0, -1) after the first Update
    float m_Strafe;                   // sideways step taken by the next Update; + is right

    SceneObject();

    // Virtual operations in slot order: Render, destructor, Reset, Update,
    // DrawGeometry.

    // Pushes the object's transform, draws its geometry, pops. The frustum is
    // handed down by the scene's drawing; the base ignores it.
    virtual void Render(Frustum* frustum);
    virtual ~SceneObject();
    virtual void Reset();
    // One step of motion: forward from the orientation, position += forward *
    // speed, and the sphere centre one step ahead of the new position; then
    // the pending strafe, once.
    virtual void Update();
    virtual void DrawGeometry();

    // Moves to (x, y, z); the sphere centre keeps its offset from the position.
    void SetPosition(float x, float y, float z);
    void MoveBy(float dx, float dy, float dz);

    // Turns about the object's own y, x and z axes.
    void Yaw(float angleDegrees);
    void Pitch(float angleDegrees);
    void Roll(float angleDegrees);

    void Accelerate(float delta);
    void SetSpeed(float speed);
    // Adds delta unless the speed is already 40 or more.
    void Boost(float delta);
    void StrafeLeft(float amount);
    void StrafeRight(float amount);

    BoundingSphere& GetBoundingSphere() { return m_BoundingSphere; }

private:
    void Turn(const Quat& delta);

    SceneObject(const SceneObject&);
    SceneObject& operator=(const SceneObject&);
};

#endif
