// Ghost: the best round on a layout, tick by tick, kept so that later rounds
// on that layout can fly against it. Kept in $XDG_DATA_HOME/vellmora/ghosts/
// LAYOUT.ghost (else ~/.local/share/vellmora/ghosts/), a binary file, all
// numbers little-endian:
//   16 bytes   "vellmora ghost 1", the format and its version
//   int32      the layout, 1..99999
//   int32      the rules number the round was flown under
//   int32      TICKS, the round's ticks at 60 a second, 1..216000 (an hour)
//   TICKS x 7 float32: after each tick in turn, the craft's position x, y, z
//              and its orientation as a quaternion x, y, z, w (taken at unit
//              length when read)
// Nothing here needs SDL or GL.
#ifndef GAME_GHOST_H
#define GAME_GHOST_H

#include <atomic>
#include <string>
#include <vector>

#include "math/Vector3.h"
#include "math/quat.h"

struct GhostPose {
    Vector3 m_Position;
    Quat m_Orientation;
};

struct Ghost {
    int m_Layout;
    int m_Rules;
    std::vector<GhostPose> m_Poses;   // the craft after each tick of the round, the first tick first

    Ghost();
};

static const char GHOST_VERSION[] = "vellmora ghost 1";
static const int GHOST_HEADER_BYTES = 16 + 3 * 4;
static const int GHOST_POSE_BYTES = 7 * 4;
// An hour of ticks, about 6 MB; a longer round is not kept as a ghost.
static const long long GHOST_MOST_TICKS = 60LL * 60 * 60;
// No pose of a real round lies further than this from the world's centre.
static const float GHOST_REACH = 100000.0f;

// The file's bytes for ghost.
std::string FormatGhost(const Ghost& ghost);
// The ghost of a file's bytes. Returns false, with the reason in
// outProblem, for anything but a whole, well-formed ghost; nothing is
// allocated from the file's counts before they agree with its length.
bool ParseGhost(const std::string& bytes, Ghost& outGhost, std::string& outProblem);

// Where the ghost of layout is kept: in ghosts/ beside the records file at
// recordsPath; empty where no records are kept (an empty recordsPath).
std::string GhostPath(const std::string& recordsPath, int layout);

// Reads the ghost at path for layout under rules. No file is no ghost; a
// file that is refused (damaged, of another layout or rules, too large)
// costs one log line naming it and why. Returns whether outGhost holds one.
bool LoadGhost(const std::string& path, int layout, int rules, Ghost& outGhost);

// Keeps ghost at path when no faster one of its layout and rules is there:
// written whole to a temporary file (beside the target of a symbolic link)
// and renamed over the old one. An old file the game would not fly
// (damaged, or of another layout or rules) is set aside first as
// PATH.damaged-N. The folder's lock is waited for a few seconds, and not at
// all once *giveUp is set. Returns whether ghost is now the file's; a
// folder that cannot be written or a lock held by another program costs
// one log line.
bool KeepGhost(const std::string& path, const Ghost& ghost, const std::atomic<bool>* giveUp = NULL);

#endif
