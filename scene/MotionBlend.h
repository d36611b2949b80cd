// MotionBlend: shows the moving things between their last two ticks. After
// each tick it records where the tracked objects stand (position and
// orientation) and the tracked points; while a frame is drawn, between Begin
// and End, each stands at previous + (last - previous) * blend, the
// orientation slerped. End puts back what the tick left, so the rules never
// see the in-between values. A blend of 1 draws the last tick as it stands.
#ifndef SCENE_MOTION_BLEND_H
#define SCENE_MOTION_BLEND_H

#include <vector>

#include "math/Vector3.h"
#include "math/quat.h"

class SceneObject;

class MotionBlend {
public:
    MotionBlend();

    // Set-up only: the objects and points to blend. Not owned; they must
    // outlive the blend.
    void Track(SceneObject* object);
    void Track(Vector3* point);

    // Records what the tick just run left. The first record, and the first
    // after Snap, stands for the previous tick too.
    void EndTick();
    // The next EndTick starts afresh: for a jump that must not be drawn as
    // a glide, such as the camera changing views.
    void Snap();

    // Moves everything tracked to blend (0 the previous tick, 1 the last),
    // clamped to [0, 1]; End moves it back. Begin and End come in pairs.
    void Begin(float blend);
    void End();

private:
    struct Pose {
        Vector3 m_Position;
        Quat m_Orientation;
    };
    struct TrackedObject {
        SceneObject* m_Object;
        Pose m_Previous;
        Pose m_Last;
        Pose m_Saved;      // between Begin and End: the values to put back
    };
    struct TrackedPoint {
        Vector3* m_Point;
        Vector3 m_Previous;
        Vector3 m_Last;
        Vector3 m_Saved;
    };

    std::vector<TrackedObject> m_Objects;
    std::vector<TrackedPoint> m_Points;
    bool m_Fresh;      // no tick recorded since the start or the last Snap
    bool m_Blending;   // between a Begin that moved things and its End
};

#endif
