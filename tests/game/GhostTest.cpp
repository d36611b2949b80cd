// The ghost's file: what is refused before anything is allocated from it,
// and that only a faster round replaces the layout's ghost.
#include "game/Ghost.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <string>

#include "game/Layout.h"
#include "tests/support/TempDir.h"

static Ghost Flown(int layout, int ticks, float x = 10.0f)
{
    Ghost ghost;
    ghost.m_Layout = layout;
    ghost.m_Rules = RULES_NUMBER;
    for (int tick = 0; tick < ticks; ++tick) {
        ghost.m_Poses.push_back(GhostPose{Vector3(x + tick, 200.0f, -tick * 0.5f), Quat(0.0f, tick * 1.0f, 0.0f)});
    }
    return ghost;
}

static void PutFloatAt(std::string& bytes, size_t offset, float value)
{
    memcpy(&bytes[offset], &value, 4);  // the machines the game builds for are little-endian
}

static std::string Refusal(const std::string& bytes)
{
    Ghost ghost;
    std::string problem;
    EXPECT_FALSE(ParseGhost(bytes, ghost, problem));
    EXPECT_TRUE(ghost.m_Poses.empty());
    return problem;
}

TEST(GhostFile, ReadsBackWhatItWroteAndRefusesWhatNoRoundLeaves)
{
    const Ghost flown = Flown(42, 90);
    const std::string bytes = FormatGhost(flown);
    ASSERT_EQ(bytes.size(), 16u + 12u + 90u * 28u);
    EXPECT_EQ(bytes.substr(0, 16), "vellmora ghost 1");
    EXPECT_EQ(bytes[16], 42);  // little-endian
    Ghost read;
    std::string problem;
    ASSERT_TRUE(ParseGhost(bytes, read, problem)) << problem;
    EXPECT_EQ(read.m_Layout, 42);
    EXPECT_EQ(read.m_Rules, RULES_NUMBER);
    ASSERT_EQ(read.m_Poses.size(), 90u);
    EXPECT_EQ(read.m_Poses[89].m_Position.x, flown.m_Poses[89].m_Position.x);
    EXPECT_EQ(read.m_Poses[89].m_Orientation.w, flown.m_Poses[89].m_Orientation.w);

    EXPECT_EQ(Refusal(bytes.substr(0, bytes.size() - 1)), "does not hold the 90 ticks it counts");
    EXPECT_EQ(Refusal(bytes + "x"), "does not hold the 90 ticks it counts");
    EXPECT_EQ(Refusal(bytes.substr(0, 20)), "is cut short");
    EXPECT_EQ(Refusal("vellmora ghost 2" + bytes.substr(16)), "is of another version of the format");
    EXPECT_EQ(Refusal("GIF89a"), "is not a ghost");
    // A count of two billion in a small file: refused before any pose is made.
    std::string huge = bytes;
    huge[24] = huge[25] = huge[26] = '\xff';
    huge[27] = 0x7f;
    EXPECT_EQ(Refusal(huge), "holds no round of one tick to an hour");
    std::string wrongLayout = bytes;
    wrongLayout[16] = wrongLayout[17] = wrongLayout[18] = wrongLayout[19] = 0;
    EXPECT_EQ(Refusal(wrongLayout), "names no layout or rules");
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 3.0e6f};
    for (float value : bad) {
        std::string poses = bytes;
        PutFloatAt(poses, 28 + 28 * 50 + 4, value);  // tick 51's height
        EXPECT_EQ(Refusal(poses), "holds a pose no round could fly (tick 51)") << value;
    }
    std::string unturned = bytes;
    PutFloatAt(unturned, 28 + 24, 0.0f);  // the first orientation's w: no rotation is that short
    EXPECT_EQ(Refusal(unturned), "holds a pose no round could fly (tick 1)");
}

TEST(GhostFile, OnlyAFasterRoundReplacesItAndABadFileIsLoggedAndKept)
{
    TempDir dir;
    const std::string path = dir.Path() + "/data/vellmora/ghosts/7.ghost";
    Ghost ghost;
    EXPECT_FALSE(LoadGhost(path, 7, RULES_NUMBER, ghost));  // none yet, and nothing logged
    EXPECT_EQ(dir.ReadFile("vellmora.log").find("Ghost:"), std::string::npos);
    EXPECT_TRUE(KeepGhost(path, Flown(7, 300)));
    EXPECT_FALSE(KeepGhost(path, Flown(7, 300, 99.0f)));  // as fast is not faster
    EXPECT_FALSE(KeepGhost(path, Flown(7, 400)));
    EXPECT_EQ(dir.ReadFile("data/vellmora/ghosts/7.ghost"), FormatGhost(Flown(7, 300)));
    EXPECT_TRUE(KeepGhost(path, Flown(7, 250)));
    ASSERT_TRUE(LoadGhost(path, 7, RULES_NUMBER, ghost));
    EXPECT_EQ(ghost.m_Poses.size(), 250u);
    // Another layout's file under this name, or another rules': not flown.
    Ghost other;
    EXPECT_FALSE(LoadGhost(path, 8, RULES_NUMBER, other));
    EXPECT_FALSE(LoadGhost(path, 7, RULES_NUMBER + 1, other));
    EXPECT_NE(dir.ReadFile("vellmora.log").find("was flown on layout 7 under rules 1, not layout 8"), std::string::npos);
    // Damaged: one line naming it, and a new best keeps it aside before
    // taking its place.
    std::string damaged = FormatGhost(Flown(7, 250)).substr(0, 1000);
    FILE* file = fopen(path.c_str(), "w");
    fwrite(damaged.data(), 1, damaged.size(), file);
    fclose(file);
    EXPECT_FALSE(LoadGhost(path, 7, RULES_NUMBER, other));
    EXPECT_NE(dir.ReadFile("vellmora.log").find("Ghost: " + path + " does not hold the 250 ticks it counts; the "
                                                "round is flown without it"),
              std::string::npos);
    EXPECT_TRUE(KeepGhost(path, Flown(7, 500)));
    EXPECT_EQ(dir.ReadFile("data/vellmora/ghosts/7.ghost.damaged-1"), damaged);
    // A good ghost of another layout under this name blocks nothing: it is
    // kept aside like a damaged one, and this layout's round takes its place.
    const std::string eight = FormatGhost(Flown(8, 100));
    file = fopen(path.c_str(), "w");
    fwrite(eight.data(), 1, eight.size(), file);
    fclose(file);
    EXPECT_TRUE(KeepGhost(path, Flown(7, 600)));
    EXPECT_EQ(dir.ReadFile("data/vellmora/ghosts/7.ghost.damaged-2"), eight);
    EXPECT_TRUE(LoadGhost(path, 7, RULES_NUMBER, other));
    EXPECT_NE(dir.ReadFile("vellmora.log").find("Ghost: " + path + " was flown on layout 8 under rules 1; kept as " +
                                                path + ".damaged-2"),
              std::string::npos);
    EXPECT_FALSE(KeepGhost("/proc/vellmora/ghosts/7.ghost", Flown(7, 10)));
    EXPECT_NE(dir.ReadFile("vellmora.log").find("Ghost: no folder for /proc/vellmora/ghosts/7.ghost"),
              std::string::npos);
}
