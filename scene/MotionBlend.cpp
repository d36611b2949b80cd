// Blending the moving things between their last two ticks.
#include "scene/MotionBlend.h"

#include "scene/SceneObject.h"

static Vector3 Lerp(const Vector3& from, const Vector3& to, float blend)
{
    return from + (to - from) * blend;
}

// q and -q are the same turn; of the two, slerp from the one nearer to the
// last tick's, so a tick's small turn is never drawn as the long way round.
static Quat ShorterSlerp(Quat previous, const Quat& last, float blend)
{
    if (blend == 0.0f) {
        return previous;
    }
    float dot = previous.x * last.x + previous.y * last.y + previous.z * last.z + previous.w * last.w;
    if (dot < 0.0f) {
        previous.x = -previous.x;
        previous.y = -previous.y;
        previous.z = -previous.z;
        previous.w = -previous.w;
    }
    Quat blended;
    blended.Slerp(previous, last, blend);
    return blended;
}

MotionBlend::MotionBlend()
    : m_Fresh(true), m_Blending(false)
{
}

void MotionBlend::Track(SceneObject* object)
{
    Pose pose = {object->m_Position, object->m_Orientation};
    TrackedObject tracked = {object, pose, pose, pose};
    m_Objects.push_back(tracked);
}

void MotionBlend::Track(Vector3* point)
{
    TrackedPoint tracked = {point, *point, *point, *point};
    m_Points.push_back(tracked);
}

void MotionBlend::EndTick()
{
    for (TrackedObject& tracked : m_Objects) {
        tracked.m_Previous = tracked.m_Last;
        tracked.m_Last.m_Position = tracked.m_Object->m_Position;
        tracked.m_Last.m_Orientation = tracked.m_Object->m_Orientation;
        if (m_Fresh) {
            tracked.m_Previous = tracked.m_Last;
        }
    }
    for (TrackedPoint& tracked : m_Points) {
        tracked.m_Previous = m_Fresh ? *tracked.m_Point : tracked.m_Last;
        tracked.m_Last = *tracked.m_Point;
    }
    m_Fresh = false;
}

void MotionBlend::Snap()
{
    m_Fresh = true;
}

void MotionBlend::Begin(float blend)
{
    // At 1 the objects already stand where the last tick left them; drawing
    // them untouched keeps such frames exactly what the rules see.
    if (!(blend < 1.0f)) {
        return;
    }
    if (blend < 0.0f) {
        blend = 0.0f;
    }
    for (TrackedObject& tracked : m_Objects) {
        SceneObject& object = *tracked.m_Object;
        tracked.m_Saved.m_Position = object.m_Position;
        tracked.m_Saved.m_Orientation = object.m_Orientation;
        object.m_Position = Lerp(tracked.m_Previous.m_Position, tracked.m_Last.m_Position, blend);
        object.m_Orientation = ShorterSlerp(tracked.m_Previous.m_Orientation, tracked.m_Last.m_Orientation, blend);
    }
    for (TrackedPoint& tracked : m_Points) {
        tracked.m_Saved = *tracked.m_Point;
        *tracked.m_Point = Lerp(tracked.m_Previous, tracked.m_Last, blend);
    }
    m_Blending = true;
}

void MotionBlend::End()
{
    if (!m_Blending) {
        return;
    }
    for (TrackedObject& tracked : m_Objects) {
        tracked.m_Object->m_Position = tracked.m_Saved.m_Position;
        tracked.m_Object->m_Orientation = tracked.m_Saved.m_Orientation;
    }
    for (TrackedPoint& tracked : m_Points) {
        *tracked.m_Point = tracked.m_Saved;
    }
    m_Blending = false;
}
