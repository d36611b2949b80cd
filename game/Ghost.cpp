// Reading, checking and keeping ghosts.
#include "game/Ghost.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "base/Logger.h"
#include "base/PlayerFiles.h"
#include "game/Layout.h"

static const long long GHOST_MOST_BYTES = GHOST_HEADER_BYTES + GHOST_MOST_TICKS * GHOST_POSE_BYTES;

Ghost::Ghost()
    : m_Layout(0), m_Rules(0)
{
}

static void PutWord(std::string& bytes, uint32_t word)
{
    for (int shift = 0; shift < 32; shift += 8) {
        bytes += static_cast<char>((word >> shift) & 0xff);
    }
}

static void PutFloat(std::string& bytes, float value)
{
    uint32_t word = 0;
    memcpy(&word, &value, sizeof word);
    PutWord(bytes, word);
}

static uint32_t WordAt(const std::string& bytes, size_t offset)
{
    uint32_t word = 0;
    for (int i = 3; i >= 0; --i) {
        word = (word << 8) | static_cast<unsigned char>(bytes[offset + static_cast<size_t>(i)]);
    }
    return word;
}

static float FloatAt(const std::string& bytes, size_t offset)
{
    uint32_t word = WordAt(bytes, offset);
    float value = 0.0f;
    memcpy(&value, &word, sizeof value);
    return value;
}

std::string FormatGhost(const Ghost& ghost)
{
    std::string bytes(GHOST_VERSION, sizeof GHOST_VERSION - 1);
    bytes.reserve(GHOST_HEADER_BYTES + ghost.m_Poses.size() * GHOST_POSE_BYTES);
    PutWord(bytes, static_cast<uint32_t>(ghost.m_Layout));
    PutWord(bytes, static_cast<uint32_t>(ghost.m_Rules));
    PutWord(bytes, static_cast<uint32_t>(ghost.m_Poses.size()));
    for (const GhostPose& pose : ghost.m_Poses) {
        const Quat& q = pose.m_Orientation;
        const float values[7] = {pose.m_Position.x, pose.m_Position.y, pose.m_Position.z, q.x, q.y, q.z, q.w};
        for (float value : values) {
            PutFloat(bytes, value);
        }
    }
    return bytes;
}

// A pose a round could have left: finite, within reach, and a rotation.
static bool Plausible(const float values[7])
{
    for (int i = 0; i < 7; ++i) {
        if (!std::isfinite(values[i])) {
            return false;
        }
    }
    for (int i = 0; i < 3; ++i) {
        if (std::fabs(values[i]) > GHOST_REACH) {
            return false;
        }
    }
    float norm = values[3] * values[3] + values[4] * values[4] + values[5] * values[5] + values[6] * values[6];
    return norm > 0.9f && norm < 1.1f;
}

bool ParseGhost(const std::string& bytes, Ghost& outGhost, std::string& outProblem)
{
    const size_t versionBytes = sizeof GHOST_VERSION - 1;
    if (bytes.size() < versionBytes || bytes.compare(0, versionBytes, GHOST_VERSION) != 0) {
        outProblem = bytes.compare(0, 15, GHOST_VERSION, 15) == 0 ? "is of another version of the format"
                                                                  : "is not a ghost";
        return false;
    }
    if (bytes.size() < static_cast<size_t>(GHOST_HEADER_BYTES)) {
        outProblem = "is cut short";
        return false;
    }
    long long layout = static_cast<int32_t>(WordAt(bytes, versionBytes));
    long long rules = static_cast<int32_t>(WordAt(bytes, versionBytes + 4));
    long long ticks = static_cast<int32_t>(WordAt(bytes, versionBytes + 8));
    if (layout < LAYOUT_FIRST || layout > LAYOUT_LAST || rules < 1) {
        outProblem = "names no layout or rules";
        return false;
    }
    if (ticks < 1 || ticks > GHOST_MOST_TICKS) {
        outProblem = "holds no round of one tick to an hour";
        return false;
    }
    if (static_cast<long long>(bytes.size()) != GHOST_HEADER_BYTES + ticks * GHOST_POSE_BYTES) {
        outProblem = "does not hold the " + std::to_string(ticks) + " ticks it counts";
        return false;
    }
    std::vector<GhostPose> poses(static_cast<size_t>(ticks));
    size_t offset = GHOST_HEADER_BYTES;
    for (GhostPose& pose : poses) {
        float values[7];
        for (float& value : values) {
            value = FloatAt(bytes, offset);
            offset += 4;
        }
        if (!Plausible(values)) {
            outProblem = "holds a pose no round could fly (tick " + std::to_string(&pose - &poses[0] + 1) + ")";
            return false;
        }
        pose.m_Position = Vector3(values[0], values[1], values[2]);
        pose.m_Orientation = Quat(values[3], values[4], values[5], values[6]);
    }
    outGhost.m_Layout = static_cast<int>(layout);
    outGhost.m_Rules = static_cast<int>(rules);
    outGhost.m_Poses.swap(poses);
    return true;
}

std::string GhostPath(const std::string& recordsPath, int layout)
{
    size_t slash = recordsPath.rfind('/');
    if (slash == std::string::npos) {
        return "";
    }
    return recordsPath.substr(0, slash + 1) + "ghosts/" + std::to_string(layout) + ".ghost";
}

// The file's ghost. False with a problem when the file is there but not a
// whole ghost; false with none when there is no file.
static bool ReadGhostFile(const std::string& path, Ghost& outGhost, std::string& outProblem)
{
    std::string bytes;
    return ReadWholeFile(path, GHOST_MOST_BYTES, bytes, outProblem) && ParseGhost(bytes, outGhost, outProblem);
}

bool LoadGhost(const std::string& path, int layout, int rules, Ghost& outGhost)
{
    std::string problem;
    Ghost ghost;
    if (path.empty() || !ReadGhostFile(path, ghost, problem)) {
        if (!problem.empty()) {
            LogMessage("Ghost: %s %s; the round is flown without it", path.c_str(), problem.c_str());
        }
        return false;
    }
    if (ghost.m_Layout != layout || ghost.m_Rules != rules) {
        LogMessage("Ghost: %s was flown on layout %d under rules %d, not layout %d under rules %d; "
                   "the round is flown without it",
                   path.c_str(), ghost.m_Layout, ghost.m_Rules, layout, rules);
        return false;
    }
    outGhost.m_Layout = ghost.m_Layout;
    outGhost.m_Rules = ghost.m_Rules;
    outGhost.m_Poses.swap(ghost.m_Poses);
    return true;
}

bool KeepGhost(const std::string& path, const Ghost& ghost, const std::atomic<bool>* giveUp)
{
    if (path.empty() || !MakeParentFolders(path)) {
        LogMessage("Ghost: no folder for %s (%s); the ghost is not kept", path.c_str(), strerror(errno));
        return false;
    }
    // One game at a time compares and writes: the folder itself is the lock.
    std::string folder = path.substr(0, path.rfind('/'));
    int lock = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lock < 0 || !LockWithin(lock, LOCK_WAIT_MS, giveUp)) {
        if (lock >= 0 && errno == EWOULDBLOCK) {
            LogMessage("Ghost: the ghost is not kept: %s is locked by another program", folder.c_str());
        } else {
            LogMessage("Ghost: %s cannot be written (%s); the ghost is not kept", path.c_str(), strerror(errno));
        }
        if (lock >= 0) {
            close(lock);
        }
        return false;
    }
    Ghost old;
    std::string problem;
    bool readable = ReadGhostFile(path, old, problem);
    // What the game would not fly on this layout is kept aside like a
    // damaged file: a good ghost of another layout or rules is not lost.
    if (readable && (old.m_Layout != ghost.m_Layout || old.m_Rules != ghost.m_Rules)) {
        problem = "was flown on layout " + std::to_string(old.m_Layout) + " under rules " +
                  std::to_string(old.m_Rules);
        readable = false;
    }
    bool faster = readable && old.m_Poses.size() <= ghost.m_Poses.size();
    std::string aside;
    bool kept = false;
    if (!faster) {
        kept = (readable || problem.empty() || KeepAside(path, aside)) && ReplaceFile(path, FormatGhost(ghost));
        if (!aside.empty()) {
            LogMessage("Ghost: %s %s; kept as %s", path.c_str(), problem.c_str(), aside.c_str());
        }
        if (!kept) {
            LogMessage("Ghost: %s cannot be written (%s); the ghost is not kept", path.c_str(), strerror(errno));
        }
    }
    flock(lock, LOCK_UN);
    close(lock);
    return kept;
}
