// A round's clock text, and the start a round puts back.
#include "game/Round.h"

#include <cstdio>

#include "game/Layout.h"
#include "game/Skimmer.h"
#include "scene/Camera.h"
#include "scene/SceneObject.h"

static const long long TICKS_PER_SECOND = 60;

ObjectStart::ObjectStart() : m_Speed(0.0f), m_Strafe(0.0f) {}

ObjectStart::ObjectStart(const SceneObject& object)
    : m_Position(object.m_Position), m_Orientation(object.m_Orientation), m_Forward(object.m_Forward),
      m_Speed(object.m_Speed), m_Strafe(object.m_Strafe), m_BoundingSphere(object.m_BoundingSphere)
{
}

void ObjectStart::PutBack(SceneObject& object) const
{
    object.m_Position = m_Position;
    object.m_Orientation = m_Orientation;
    object.m_Forward = m_Forward;
    object.m_Speed = m_Speed;
    object.m_Strafe = m_Strafe;
    object.m_BoundingSphere = m_BoundingSphere;
}

// Five minutes of poses at first, so that a round seldom grows them.
static const size_t POSES_AT_FIRST = 5 * 60 * 60;

Round::Round() : m_Layout(0), m_Ticks(0), m_Finished(false), m_TicksFlown(0), m_AfterburnerCharge(0)
{
    m_Flown.m_Poses.reserve(POSES_AT_FIRST);
}

void Round::TakeStarts(const SceneObject& craft, const Camera& camera)
{
    m_CraftStart = ObjectStart(craft);
    m_CameraStart = ObjectStart(camera);
    m_CameraLagStart = camera.m_LagPosition;
}

void Round::Start(int layout, Skimmer& craft, Camera& camera)
{
    m_Layout = layout;
    m_Ticks = 0;
    m_Finished = false;
    m_FinishLines.clear();
    m_TicksFlown = 0;
    m_AfterburnerCharge = 0;
    // The last round's poses go, their room stays (unless it was kept).
    m_Flown.m_Layout = layout;
    m_Flown.m_Rules = RULES_NUMBER;
    m_Flown.m_Poses.clear();
    m_Flown.m_Poses.reserve(POSES_AT_FIRST);
    m_Ghost = Ghost();
    m_CraftStart.PutBack(craft);
    craft.SetShown(0);
    if (!craft.m_LightOn) {
        craft.ToggleLight();
    }
    m_CameraStart.PutBack(camera);
    camera.m_LagPosition = m_CameraLagStart;
    camera.SetCockpitView();
}

void Round::BeginTick()
{
    if (!m_Finished) {
        ++m_Ticks;
    }
}

bool Round::EndTick(const SceneObject& craft, int boxesLeft)
{
    const bool finishing = !m_Finished && boxesLeft == 0;
    if (!m_Finished) {
        RecordPose(craft);
    }
    ++m_TicksFlown;
    m_Finished = m_Finished || finishing;
    return finishing;
}

void Round::RecordPose(const SceneObject& craft)
{
    if (FlownWhole()) {
        m_Flown.m_Poses.push_back(GhostPose{craft.m_Position, craft.m_Orientation});
    } else if (m_Flown.m_Poses.capacity() != 0) {
        std::vector<GhostPose>().swap(m_Flown.m_Poses);
    }
}

const GhostPose* Round::GhostPoseNow() const
{
    if (m_TicksFlown < 1 || m_TicksFlown > static_cast<long long>(m_Ghost.m_Poses.size())) {
        return NULL;
    }
    return &m_Ghost.m_Poses[static_cast<size_t>(m_TicksFlown - 1)];
}

std::string ClockText(long long ticks)
{
    long long hundredths = ticks * 100 / TICKS_PER_SECOND;
    char text[32];
    snprintf(text, sizeof text, "%lld:%02lld.%02lld", hundredths / 6000, hundredths / 100 % 60, hundredths % 100);
    return text;
}
