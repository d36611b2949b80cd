// Round: one flight over one numbered layout, from its first tick to a
// retry, a new layout or the end of the process. It holds everything a
// round changes (its layout, clock, afterburner charge, flight and finish)
// and where the craft and the camera start, and Start puts all of it back
// at once, so that a retry is exactly a fresh start on that layout.
#ifndef GAME_ROUND_H
#define GAME_ROUND_H

#include <string>
#include <vector>

#include "game/Ghost.h"
#include "math/Vector3.h"
#include "math/quat.h"
#include "scene/BoundingSphere.h"

class Camera;
class SceneObject;
class Skimmer;

// Where a scene object stood and how it moved, all of its motion's state.
struct ObjectStart {
    Vector3 m_Position;
    Quat m_Orientation;
    Vector3 m_Forward;
    float m_Speed;
    float m_Strafe;
    BoundingSphere m_BoundingSphere;

    ObjectStart();
    explicit ObjectStart(const SceneObject& object);
    void PutBack(SceneObject& object) const;
};

struct Round {
    int m_Layout;
    long long m_Ticks;                        // the clock: the round's ticks, not while paused nor after the finish
    bool m_Finished;                          // the last box was collected
    std::vector<std::string> m_FinishLines;   // the finish screen, top down, until the next round
    long long m_TicksFlown;                   // the round's ticks, not while paused; the finish does not stop them
    int m_AfterburnerCharge;                  // 0..100, empty at the first tick
    Ghost m_Flown;                            // the craft after each tick until the finish, of this layout and rules; let go past an hour
    Ghost m_Ghost;                            // the layout's best round, flown against; no poses: none
    // Where every round starts, taken once at start-up and kept by Start.
    ObjectStart m_CraftStart;
    ObjectStart m_CameraStart;                // and the camera's lag:
    Vector3 m_CameraLagStart;

    Round();

    // Takes where craft and camera stand now as every round's start.
    void TakeStarts(const SceneObject& craft, const Camera& camera);
    // Starts a round on layout: everything a round changes as at its first
    // tick (the clock, the finish, the charge, the flight, no ghost until
    // one is given), the craft and the camera (its lag too) put back at
    // their starts, the craft hidden with its light on, the cockpit view.
    void Start(int layout, Skimmer& craft, Camera& camera);
    // A tick's first step, before the rules: the clock runs until the finish.
    void BeginTick();
    // A tick's last step, after the rules: the craft's pose recorded until
    // the finish, the ghost's clock on. Returns true on the tick the last
    // box went (boxesLeft 0), which finishes the round.
    bool EndTick(const SceneObject& craft, int boxesLeft);

    // Adds where craft stands to m_Flown, until the round is an hour long.
    void RecordPose(const SceneObject& craft);
    // Whether m_Flown holds the whole round: it took at most an hour.
    bool FlownWhole() const { return m_Ticks <= GHOST_MOST_TICKS; }
    // Where the ghost stands after m_TicksFlown ticks; NULL before its first
    // tick and after its last.
    const GhostPose* GhostPoseNow() const;
};

// A number of ticks at 60 a second as "m:ss.cc" (hundredths, rounded down).
std::string ClockText(long long ticks);

#endif
