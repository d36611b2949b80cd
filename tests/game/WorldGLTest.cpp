// The world's set-up and rules in the running game (in-process, on Xvfb).
#include "game/World.h"

#include <GL/gl.h>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

#include "game/Skimmer.h"
#include "terrain/Scene.h"
#include "terrain/TerrainQuadtree.h"
#include "terrain/TerrainGrid.h"
#include "terrain/terrain.h"
#include "tests/support/GameDriver.h"
#include "tests/support/RecordedSound.h"

class WorldRules : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Game = &m_Driver.GetGame();
        m_World = m_Game->m_World;
        m_Craft = m_Game->m_Skimmer;
        m_Terrain = m_Game->m_Scene->GetTerrain();
        // Everything far away, so only what a test places can be touched.
        for (SceneObject* object : m_World->m_Objects) {
            object->SetPosition(-8000.0f, 0.0f, -8000.0f);
        }
        m_Craft->SetPosition(1000.0f, 500.0f, 1000.0f);
        m_Craft->SetSpeed(0.0f);
        m_Craft->Update();  // the sphere follows the craft
        ForgetPlayedSounds();
        FreeMessages();
    }
    void TearDown() override { FreeMessages(); }
    void FreeMessages()
    {
        for (char* message : m_World->m_Messages) {
            free(message);
        }
        m_World->m_Messages.clear();
    }
    SceneObject* Object(int kind, int which)
    {
        int seen = 0;
        for (SceneObject* object : m_World->m_Objects) {
            if (object->kind == kind && seen++ == which) {
                return object;
            }
        }
        return NULL;
    }
    // Puts the object so that its sphere's centre is at the craft's centre
    // plus offset.
    void PlaceNearCraft(SceneObject* object, float dx, float dy, float dz)
    {
        const Vector3& craft = m_Craft->m_BoundingSphere.m_Center;
        Vector3 offset = object->m_BoundingSphere.m_Center - object->m_Position;
        object->SetPosition(craft.x + dx - offset.x, craft.y + dy - offset.y, craft.z + dz - offset.z);
    }

    GameDriver m_Driver;
    Game* m_Game;
    World* m_World;
    Skimmer* m_Craft;
    const Terrain* m_Terrain;
};

TEST_F(WorldRules, LevelHasTwentyPalmsThenTwentyBoxes)
{
    ASSERT_EQ(m_World->m_Objects.size(), 40u);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(m_World->m_Objects[i]->kind, i < 20 ? 1 : 3) << i;
    }
    EXPECT_EQ(m_World->m_BoxesToCollect, 20);
    EXPECT_EQ(m_Game->m_Scene->m_Objects.size(), 40u);
}

// Placing a layout again, after play moved and collected things, gives the
// level the layout gave at first, every box back and filed where it stands.
TEST_F(WorldRules, TheSameLayoutPlacesTheSameLevel)
{
    World first(m_Game->m_Scene, 4242);
    World again(m_Game->m_Scene, 4242);
    World other(m_Game->m_Scene, 4243);
    ASSERT_EQ(again.m_Objects.size(), 40u);
    int moved = 0;
    for (int i = 0; i < 40; ++i) {
        const Vector3& a = first.m_Objects[i]->m_Position;
        const Vector3& b = again.m_Objects[i]->m_Position;
        EXPECT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z) << i;
        EXPECT_NE(a.x, first.m_Objects[(i + 1) % 40]->m_Position.x) << i;
        moved += other.m_Objects[i]->m_Position.x != a.x ? 1 : 0;
    }
    EXPECT_GT(moved, 30);
    other.m_Objects[25]->visible = false;
    other.m_BoxesToCollect = 19;
    other.PlaceLayout(4242);
    EXPECT_EQ(other.m_BoxesToCollect, 20);
    for (int i = 0; i < 40; ++i) {
        const Vector3& a = first.m_Objects[i]->m_Position;
        const Vector3& b = other.m_Objects[i]->m_Position;
        EXPECT_TRUE(a.x == b.x && a.z == b.z && other.m_Objects[i]->visible) << i;
    }
    // Filed again: every object of the scene in the leaf under it, once.
    std::vector<const QuadtreeNode*> leaves;
    m_Terrain->m_Quadtree->CollectLeaves(NULL, leaves);
    size_t filed = 0;
    for (const QuadtreeNode* leaf : leaves) {
        filed += leaf->m_Objects.size();
        for (const SceneObject* object : leaf->m_Objects) {
            const BoundingSphere& sphere = object->m_BoundingSphere;
            EXPECT_LE(std::fabs(sphere.m_Center.x - leaf->m_CenterX), leaf->m_HalfSize + sphere.m_Radius + 1.0f);
            EXPECT_LE(std::fabs(sphere.m_Center.z - leaf->m_CenterZ), leaf->m_HalfSize + sphere.m_Radius + 1.0f);
        }
    }
    EXPECT_GE(filed, 160u);
}

TEST_F(WorldRules, FloorLiftsTheCraftToExactlyOneHundredAboveTheGround)
{
    float ground = m_Terrain->m_Grid->GetGroundHeight(1000.0f, 1000.0f);
    const float heights[] = {30.0f, 99.9f, 100.0f, 250.0f};
    const float expected[] = {100.0f, 100.0f, 100.0f, 250.0f};
    for (int i = 0; i < 4; ++i) {
        m_Craft->m_Position.y = ground + heights[i];
        m_World->Update();
        EXPECT_FLOAT_EQ(m_Craft->m_Position.y, ground + expected[i]) << heights[i];
    }
}

TEST_F(WorldRules, CeilingAndBordersHoldTheCraftIn)
{
    m_Craft->m_Position.y = 1600.0f;
    m_World->Update();
    EXPECT_FLOAT_EQ(m_Craft->m_Position.y, 1500.0f);
    float half = m_Terrain->m_Grid->GetWorldSize() / 2.0f;
    m_Craft->m_Position = Vector3(half + 10.0f, 800.0f, -half - 3.0f);
    m_World->Update();
    EXPECT_FLOAT_EQ(m_Craft->m_Position.x, half);
    EXPECT_FLOAT_EQ(m_Craft->m_Position.z, -half);
    m_Craft->m_Position.x = -half;
    m_World->Update();
    EXPECT_FLOAT_EQ(m_Craft->m_Position.x, -half);
}

TEST_F(WorldRules, PalmThrowsTheCraftBackEveryFrameItIsInside)
{
    SceneObject* palm = Object(1, 0);
    float reach = m_Craft->m_BoundingSphere.m_Radius + palm->m_BoundingSphere.m_Radius;
    // Exactly touching counts.
    PlaceNearCraft(palm, reach, 0.0f, 0.0f);
    m_Craft->SetSpeed(12.0f);
    m_World->Update();
    EXPECT_EQ(m_Craft->m_Speed, -5.0f);
    m_Craft->SetSpeed(3.0f);
    m_World->Update();
    EXPECT_EQ(m_Craft->m_Speed, -5.0f);
    ASSERT_EQ(PlayedEffects().size(), 2u);
    EXPECT_EQ(PlayedEffects()[0], "crash.wav");
    EXPECT_EQ(PlayedEffects()[1], "crash.wav");
    EXPECT_EQ(m_World->m_BoxesToCollect, 20);
    // A hair further away nothing happens.
    PlaceNearCraft(palm, reach * 1.001f, 0.0f, 0.0f);
    m_Craft->SetSpeed(3.0f);
    m_World->Update();
    EXPECT_EQ(m_Craft->m_Speed, 3.0f);
}

TEST_F(WorldRules, BoxesAreCollectedOnceEach)
{
    SceneObject* first = Object(3, 0);
    SceneObject* second = Object(3, 1);
    PlaceNearCraft(first, 10.0f, 0.0f, 0.0f);
    PlaceNearCraft(second, -10.0f, 0.0f, 0.0f);
    m_World->Update();
    EXPECT_EQ(m_World->m_BoxesToCollect, 18);
    EXPECT_FALSE(first->visible);
    EXPECT_FALSE(second->visible);
    ASSERT_EQ(PlayedEffects().size(), 2u);
    EXPECT_EQ(PlayedEffects()[0], "gotbox.wav");
    EXPECT_EQ(PlayedEffects()[1], "gotbox.wav");
    m_World->Update();
    EXPECT_EQ(m_World->m_BoxesToCollect, 18);
    EXPECT_EQ(PlayedEffects().size(), 2u);
    EXPECT_EQ(m_Craft->m_Speed, 0.0f);
}

TEST_F(WorldRules, MessageLinesShowTheCountAndTheRate)
{
    m_World->Update();
    ASSERT_EQ(m_World->m_Messages.size(), 2u);
    EXPECT_STREQ(m_World->m_Messages[0], "Boxes to collect: 20");
    EXPECT_NE(strstr(m_World->m_Messages[1], " FPS"), static_cast<char*>(NULL));
    // With every box collected the count reads 0 and the game goes on.
    FreeMessages();
    for (int i = 0; i < 20; ++i) {
        PlaceNearCraft(Object(3, i), 0.0f, 5.0f, 0.0f);
    }
    m_World->Update();
    EXPECT_EQ(m_World->m_BoxesToCollect, 0);
    ASSERT_EQ(m_World->m_Messages.size(), 2u);
    EXPECT_STREQ(m_World->m_Messages[0], "Boxes to collect: 0");
    m_World->Update();
    EXPECT_EQ(m_World->m_BoxesToCollect, 0);
}


TEST_F(WorldRules, SkimmerShowsOnlyInTheOutsideViewAndTogglesItsLight)
{
    EXPECT_EQ(m_Craft->m_Shown, 0);
    m_Driver.PushKey('o', true);
    m_Driver.PushKey('o', false);
    m_Driver.Frames(2);
    EXPECT_EQ(m_Craft->m_Shown, 1);
    m_Driver.PushKey('c', true);
    m_Driver.PushKey('c', false);
    m_Driver.Frames(2);
    EXPECT_EQ(m_Craft->m_Shown, 0);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    m_Craft->ToggleLight();
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    m_Craft->ToggleLight();
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    GLfloat cutoff = 0.0f;
    glGetLightfv(GL_LIGHT1, GL_SPOT_CUTOFF, &cutoff);
    EXPECT_FLOAT_EQ(cutoff, 45.0f);
}

// Counts pixels that differ from black over the whole window.
static int LitPixels()
{
    std::vector<unsigned char> pixels(800 * 600 * 4);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int lit = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        lit += (pixels[i] | pixels[i + 1] | pixels[i + 2]) != 0 ? 1 : 0;
    }
    return lit;
}

TEST_F(WorldRules, HiddenSkimmerIsNotDrawn)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -200.0f);
    m_Craft->SetPosition(0.0f, 0.0f, 0.0f);
    const int shownValues[] = {0, 2, 1};
    int lit[3];
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);  // the craft on black
    for (int i = 0; i < 3; ++i) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        m_Craft->SetShown(shownValues[i]);
        m_Craft->Render(NULL);
        lit[i] = LitPixels();
    }
    EXPECT_EQ(lit[0], 0);
    EXPECT_EQ(lit[1], 0);
    EXPECT_GT(lit[2], 500);
}
