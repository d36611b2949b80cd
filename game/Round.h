// Round: one flight over one numbered layout, from its first tick to a
// retry, a new layout or the end of the process. It holds what a round adds
// to the game (its layout, clock and finish) and the start of the craft and
// the camera, which the game's StartRound puts back, with the world's
// layout, so that a retry is exactly a fresh start on that layout.
#ifndef GAME_ROUND_H
#define GAME_ROUND_H

#include <string>
#include <vector>

#include "game/Ghost.h"
#include "math/Vector3.h"
#include "math/quat.h"
#include "scene/BoundingSphere.h"

class SceneObject;

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
    Ghost m_Flown;                            // the craft after each tick until the finish; let go past an hour
    Ghost m_Ghost;                            // the layout's best round, flown against; no poses: none

    Round();

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
