// Scripted play: the autopilot flies the real game with mouse and keys.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

#include "game/Ghost.h"
#include "game/GhostCraft.h"
#include "game/Layout.h"
#include "game/Records.h"
#include "game/RoundFiles.h"
#include "game/Round.h"
#include "game/Skimmer.h"
#include "game/World.h"
#include "terrain/Scene.h"
#include "terrain/TerrainGrid.h"
#include "terrain/terrain.h"
#include "tests/support/Autopilot.h"
#include "tests/support/GameDriver.h"
#include "tests/support/RecordedSound.h"

// The world's rules run at the start of a frame, before the craft's own step:
// undoing that step from where the frame left the craft gives where the rules
// left it, which must be at least 100 above the ground under the frame's
// starting point (or at the 1500 ceiling) and inside the square.
static void ExpectRulesHeld(Game& game, const Vector3& start, int frame)
{
    const Skimmer& craft = *game.m_Skimmer;
    const Terrain& terrain = *game.m_Scene->GetTerrain();
    Vector3 ruled = craft.m_Position - craft.m_Forward * craft.m_Speed;
    float floor = terrain.m_Grid->GetGroundHeight(start.x, start.z) + 100.0f;
    float half = terrain.m_Grid->GetWorldSize() / 2.0f;
    ASSERT_GE(ruled.y, std::min(floor, 1500.0f) - 0.01f) << "frame " << frame;
    ASSERT_LE(ruled.y, std::max(start.y, 1500.0f) + 0.01f) << "frame " << frame;
    ASSERT_LE(std::fabs(ruled.x), half + 0.01f) << "frame " << frame;
    ASSERT_LE(std::fabs(ruled.z), half + 0.01f) << "frame " << frame;
}

// Best times already kept: a slower one on this layout, with its ghost, a
// quicker one on another, and a quicker one under other rules, which is not
// compared.
static void WriteEarlierRecords()
{
    std::string folder = std::string(getenv("XDG_DATA_HOME")) + "/vellmora";
    ASSERT_EQ(system(("mkdir -p " + folder).c_str()), 0);
    FILE* file = fopen((folder + "/records").c_str(), "w");
    ASSERT_TRUE(file != NULL);
    fputs("vellmora records 1\n1 4242 999999 2026-01-02\n1 7 100 2026-01-01\n2 4242 10 2026-01-01\n", file);
    fclose(file);
    Ghost slow;
    slow.m_Layout = 4242;
    slow.m_Rules = RULES_NUMBER;
    slow.m_Poses.assign(5000, GhostPose{Vector3(0.0f, 300.0f, 0.0f), Quat()});
    ASSERT_TRUE(KeepGhost(GhostPath(RecordsPath(), 4242), slow));
}

// The round ends the tick the last box is collected: its clock stops, the
// time is logged and kept, and the finish screen says what it was worth.
TEST(ScriptedPlay, AutopilotCollectsEveryBox)
{
    GameDriver driver(WriteEarlierRecords, "layout = 4242\n");
    Game& game = driver.GetGame();
    Autopilot pilot(game);
    ASSERT_TRUE(pilot.IsReady());
    // Palms out of the way: crashing is another test's business.
    for (SceneObject* object : game.m_World->m_Objects) {
        if (object->kind == 1) {
            object->SetPosition(9000.0f, 0.0f, 9000.0f);
        }
    }
    ForgetPlayedSounds();
    int frames = 0;
    int collected = 0;
    int boxesBefore = game.m_World->m_BoxesToCollect;
    int lowestCharge = 100;
    int sameBoxFrames = 0;
    SceneObject* previous = NULL;
    for (SceneObject* box = pilot.NearestBox(); box != NULL && frames < 12000; box = pilot.NearestBox()) {
        sameBoxFrames = box == previous ? sameBoxFrames + 1 : 0;
        previous = box;
        if (sameBoxFrames % 1000 == 999) {
            const Vector3& at = game.m_Skimmer->m_Position;
            printf("still after box at (%.0f, %.0f, %.0f) from (%.0f, %.0f, %.0f), speed %.1f\n", box->m_Position.x,
                   box->m_Position.y, box->m_Position.z, at.x, at.y, at.z, game.m_Skimmer->m_Speed);
        }
        pilot.Steer(box->m_Position);
        Vector3 start = game.m_Skimmer->m_Position;
        game.RunFrame();
        ++frames;
        lowestCharge = std::min(lowestCharge, game.m_Round.m_AfterburnerCharge);
        ExpectRulesHeld(game, start, frames);
        if (game.m_World->m_BoxesToCollect < boxesBefore) {
            collected += boxesBefore - game.m_World->m_BoxesToCollect;
            boxesBefore = game.m_World->m_BoxesToCollect;
            EXPECT_FALSE(box->visible && pilot.NearestBox() == box);
        }
    }
    pilot.ReleaseKeys();
    EXPECT_EQ(game.m_World->m_BoxesToCollect, 0) << "after " << frames << " frames";
    EXPECT_EQ(collected, 20);
    int gotbox = static_cast<int>(std::count(PlayedEffects().begin(), PlayedEffects().end(), "gotbox.wav"));
    EXPECT_EQ(gotbox, 20);
    for (SceneObject* object : game.m_World->m_Objects) {
        if (object->kind == 3) {
            EXPECT_FALSE(object->visible);
        }
    }
    // The overlay's count line said so in the last frame.
    driver.Frames(1);
    game.m_World->Update();
    EXPECT_STREQ(game.m_World->m_Messages[0], "Boxes to collect: 0");
    for (char* message : game.m_World->m_Messages) {
        free(message);
    }
    game.m_World->m_Messages.clear();
    // The long legs used the afterburner.
    EXPECT_LT(lowestCharge, 10);
    ASSERT_TRUE(game.m_Round.m_Finished);
    const long long ticks = game.m_Round.m_Ticks;
    EXPECT_LE(ticks, frames + 2);
    driver.Frames(30);
    WaitForRoundFiles();
    driver.Frames(1);
    EXPECT_EQ(game.m_Round.m_Ticks, ticks) << "the clock ran on after the finish";
    std::string time = ClockText(ticks);
    std::string log = driver.Dir().ReadFile("vellmora.log");
    EXPECT_NE(log.find("Round: layout 4242, 20 boxes in " + time + ", a new best on this layout\n"),
              std::string::npos) << log;
    ASSERT_EQ(game.m_Round.m_FinishLines.size(), 4u);
    EXPECT_EQ(game.m_Round.m_FinishLines[0], "Layout 4242: 20 boxes in " + time);
    EXPECT_EQ(game.m_Round.m_FinishLines[1], "A new best on this layout!");
    EXPECT_EQ(game.m_Round.m_FinishLines[2], "Best on layout 4242: " + time);
    EXPECT_EQ(game.m_Round.m_FinishLines[3], "Best of all layouts: 0:01.66 (layout 7)");
    std::string records = driver.Dir().ReadFile("data/vellmora/records");
    EXPECT_EQ(records.substr(0, 19), "vellmora records 1\n");
    size_t mine = records.find("\n1 4242 " + std::to_string(ticks) + " 20");
    EXPECT_TRUE(mine != std::string::npos && records.find("\n2 4242 10 2026-01-01\n") < mine &&
                records.find("\n1 7 100 2026-01-01\n") < mine && mine < records.find("\n1 4242 999999 "))
        << records;
    // The round flew against the slower ghost and took its place; a retry
    // flies against this one, from its first tick.
    EXPECT_NE(log.find("Ghost: " + GhostPath(RecordsPath(), 4242) + ", 1:23.33\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Ghost: " + GhostPath(RecordsPath(), 4242) + " is this round's\n"), std::string::npos) << log;
    driver.PushKey('r', true);
    driver.Frames(1);
    WaitForRoundFiles();
    driver.Frames(1);
    ASSERT_EQ(game.m_Round.m_Ghost.m_Poses.size(), static_cast<size_t>(ticks));
    EXPECT_EQ(game.m_GhostCraft->m_Position.x, game.m_Round.m_Ghost.m_Poses[1].m_Position.x);
    EXPECT_TRUE(game.m_GhostCraft->visible);
    printf("collected 20 boxes in %d frames\n", frames);
}

TEST(ScriptedPlay, FlyingIntoAPalmThrowsTheCraftBack)
{
    GameDriver driver;
    Game& game = driver.GetGame();
    Skimmer& craft = *game.m_Skimmer;
    // A palm 600 ahead of the craft on its line of flight.
    SceneObject* palm = game.m_World->m_Objects[0];
    palm->SetPosition(craft.m_Position.x, 0.0f, craft.m_Position.z - 600.0f);
    ForgetPlayedSounds();
    driver.PushKey('w', true);
    int frames = 0;
    while (craft.m_Speed >= 0.0f && frames < 400) {
        driver.Frames(1);
        ++frames;
    }
    EXPECT_EQ(craft.m_Speed < 0.0f, true) << "no crash after " << frames << " frames";
    ASSERT_FALSE(PlayedEffects().empty());
    EXPECT_EQ(PlayedEffects()[0], "crash.wav");
    // The crash set the speed to -5 before this frame's steering acted on it.
    EXPECT_NEAR(craft.m_Speed, -5.0f + 0.18f, 1e-4f);
}

TEST(ScriptedPlay, AfterburnerDrainsAndRefills)
{
    GameDriver driver;
    Game& game = driver.GetGame();
    driver.Frames(100);
    ASSERT_EQ(game.m_Round.m_AfterburnerCharge, 100);
    driver.PushKey('w', true);
    driver.PushKey(KEY_TAB, true);
    driver.Frames(40);
    EXPECT_EQ(game.m_Round.m_AfterburnerCharge, 0);
    EXPECT_GT(game.m_Skimmer->m_Speed, 20.0f);
    driver.PushKey(KEY_TAB, false);
    driver.Frames(50);
    EXPECT_EQ(game.m_Round.m_AfterburnerCharge, 50);  // the frame taking the release refills too
    // Until the charge is full the fast craft is slowed back under 20.
    driver.Frames(60);
    EXPECT_EQ(game.m_Round.m_AfterburnerCharge, 100);
    EXPECT_LT(game.m_Skimmer->m_Speed, 20.18f);
}
