// The landscape's grid, its patches and quadtree, built from heightmaps
// made in the test: arithmetic that needs no window.
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#include "scene/SceneObject.h"
#include "terrain/Heightmap.h"
#include "terrain/TerrainGrid.h"
#include "terrain/TerrainPatch.h"
#include "terrain/TerrainQuadtree.h"
#include "tests/support/Heightmaps.h"
#include "tests/support/TempDir.h"

// A fresh directory, where the heightmaps are made and the log written.
class GroundGrid : public ::testing::Test {
protected:
    TempDir m_Dir;
};

TEST_F(GroundGrid, HeightmapReadsOneSamplePerPixel)
{
    SaveHeights("map.bmp", 5, 5, Ramp);
    Heightmap map("map.bmp");
    EXPECT_TRUE(map.IsValid());
    EXPECT_EQ(map.GetSize(), 5);
    EXPECT_EQ(map.GetMaxIndex(), 4);
    EXPECT_EQ(map.GetHeight(2, 3), Ramp(2, 3));
    EXPECT_EQ(map.GetHeight(4, 4), Ramp(4, 4));
    EXPECT_EQ(map.GetHeight(-1, 0), 0.0f);
    EXPECT_EQ(map.GetHeight(0, -1), 0.0f);
    EXPECT_EQ(map.GetHeight(5, 0), 0.0f);
    EXPECT_EQ(map.GetHeight(0, 5), 0.0f);
    EXPECT_EQ(m_Dir.ReadFile("vellmora.log").substr(m_Dir.ReadFile("vellmora.log").find("Heightmap generation")),
              "Heightmap generation; heightmap pixelcount: 5\nHeightmap filename: map.bmp\n");
}

TEST_F(GroundGrid, GridOfA257MapFollowsTheMapping)
{
    SaveHeights("map.bmp", 257, 257, Flat);
    TerrainGrid grid(new Heightmap("map.bmp"), 32);
    EXPECT_EQ(grid.GetSideVertexCount(), 257);
    EXPECT_EQ(grid.GetWorldSize(), 16384);
    EXPECT_EQ(grid.m_CellsPerPatch, 8);
    Vector3 first = grid.GetVertex(0, 0).m_Position;
    EXPECT_FLOAT_EQ(first.x, -8192.0f);
    EXPECT_FLOAT_EQ(first.z, 8192.0f);
    EXPECT_FLOAT_EQ(first.y, 50.0f);
    Vector3 last = grid.GetVertex(256, 256).m_Position;
    EXPECT_FLOAT_EQ(last.x, 8192.0f);
    EXPECT_FLOAT_EQ(last.z, -8192.0f);
    // Each record the position, the normal, then the texture coordinates,
    // (0, 4) at the first corner and (4, 0) in the middle.
    std::vector<float> records = grid.BuildRecords();
    ASSERT_EQ(records.size(), 257u * 257u * 8u);
    EXPECT_FLOAT_EQ(records[6], 0.0f);
    EXPECT_FLOAT_EQ(records[7], 4.0f);
    size_t middle = (128 * 257 + 128) * 8;
    EXPECT_FLOAT_EQ(records[middle + 6], 4.0f);
    EXPECT_NEAR(records[middle + 7], 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(records[(256 * 257 + 256) * 8], 8192.0f);
    EXPECT_FLOAT_EQ(records[(200 * 257 + 3) * 8 + 4], grid.GetVertex(3, 200).m_Normal.y);
}

TEST_F(GroundGrid, FlatMapNormalsPointUpExceptAtTheFarEdges)
{
    SaveHeights("map.bmp", 33, 33, Flat);
    TerrainGrid grid(new Heightmap("map.bmp"), 4);
    for (int row = 0; row < 32; ++row) {
        for (int column = 0; column < 32; ++column) {
            Vector3 n = grid.GetVertex(column, row).m_Normal;
            ASSERT_NEAR(n.y, 1.0f, 1e-6f) << column << ", " << row;
        }
    }
    // The last column's cells slope down to 0 beyond the grid: tilted to +x.
    Vector3 edge = grid.GetVertex(32, 10).m_Normal;
    EXPECT_GT(edge.x, 0.1f);
    EXPECT_NEAR(edge.Magnitude(), 1.0f, 1e-4f);
    // The same slope seen at the last row tilts to -z (rows run towards -z).
    EXPECT_LT(grid.GetVertex(10, 32).m_Normal.z, -0.1f);
}

TEST_F(GroundGrid, FaceNormalOfASlopeLeansDownhill)
{
    SaveHeights("map.bmp", 33, 33, Ramp);
    TerrainGrid grid(new Heightmap("map.bmp"), 4);
    // Height grows 7 per column (+x) and 3 per row (-z): the normal leans to
    // -x and to +z, i.e. (-7, 64, 3) normalised.
    Vector3 n = grid.GetFaceNormal(3, 3);
    float length = std::sqrt(7.0f * 7.0f + 64.0f * 64.0f + 3.0f * 3.0f);
    EXPECT_NEAR(n.x, -7.0f / length, 1e-4f);
    EXPECT_NEAR(n.y, 64.0f / length, 1e-4f);
    EXPECT_NEAR(n.z, 3.0f / length, 1e-4f);
}

TEST_F(GroundGrid, GroundHeightReadsTheNearestDrawnGridPoint)
{
    SaveHeights("map.bmp", 257, 257, Ramp);
    TerrainGrid grid(new Heightmap("map.bmp"), 32);
    EXPECT_EQ(grid.GetGroundHeight(0.0f, 0.0f), Ramp(128, 128));
    // 31 units east of the centre is still nearest the centre; 33 is not.
    EXPECT_EQ(grid.GetGroundHeight(31.0f, 0.0f), Ramp(128, 128));
    EXPECT_EQ(grid.GetGroundHeight(33.0f, 0.0f), Ramp(129, 128));
    // z grows towards row 0.
    EXPECT_EQ(grid.GetGroundHeight(0.0f, 8192.0f), Ramp(128, 0));
    EXPECT_EQ(grid.GetGroundHeight(0.0f, -8192.0f), Ramp(128, 256));
    // Just outside the western edge the truncation still reads column 0.
    EXPECT_EQ(grid.GetGroundHeight(-8250.0f, 0.0f), Ramp(0, 128));
    EXPECT_EQ(grid.GetGroundHeight(-8300.0f, 0.0f), 0.0f);
    EXPECT_EQ(grid.GetGroundHeight(1e30f, 0.0f), 0.0f);
    EXPECT_EQ(grid.GetGroundHeight(NAN, 0.0f), 0.0f);
    EXPECT_EQ(grid.GetHeight(300, 0), 0.0f);
}

TEST_F(GroundGrid, PatchIndicesZigZagBetweenRows)
{
    SaveHeights("map.bmp", 257, 257, Ramp);
    TerrainGrid grid(new Heightmap("map.bmp"), 32);
    TerrainPatch patch(&grid, 0, 0, 9);
    const unsigned int expectedStart[] = {257, 0, 258, 1, 259, 2};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(patch.m_Indices[i], expectedStart[i]);
    }
    EXPECT_EQ(patch.m_Indices[16], 265u);
    EXPECT_EQ(patch.m_Indices[17], 8u);
    // The next strip is joined on by repeating the last index and its own first.
    EXPECT_EQ(patch.m_Indices[18], 8u);
    EXPECT_EQ(patch.m_Indices[19], 2u * 257);
    EXPECT_EQ(patch.m_Indices[20], 2u * 257);
    EXPECT_EQ(patch.m_Indices[21], 257u);
    // 8 strips of 18 and 7 joins: the last strip runs between rows 8 and 7.
    ASSERT_EQ(patch.m_IndexCount, 158);
    EXPECT_EQ(patch.m_Indices[157], 7u * 257 + 8);
    EXPECT_EQ(patch.m_Indices[156], 8u * 257 + 8);
    EXPECT_EQ(patch.m_LastIndex, 8u * 257 + 8);
}

TEST_F(GroundGrid, PatchBoxAlwaysReachesZero)
{
    SaveHeights("map.bmp", 33, 33, Flat);
    TerrainGrid grid(new Heightmap("map.bmp"), 4);
    TerrainPatch east(&grid, 24, 0, 9);  // all vertices at x > 0, z > 0
    EXPECT_FLOAT_EQ(east.m_Box.m_Min.x, 0.0f);
    EXPECT_FLOAT_EQ(east.m_Box.m_Max.x, 16.0f * 64.0f);
    EXPECT_FLOAT_EQ(east.m_Box.m_Min.y, 0.0f);
    EXPECT_FLOAT_EQ(east.m_Box.m_Max.y, 50.0f);
    EXPECT_FLOAT_EQ(east.m_Box.m_Min.z, 0.0f);
}

TEST_F(GroundGrid, PatchChecksFireAtTheGridsEdge)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    SaveHeights("map.bmp", 33, 33, Flat);
    TerrainGrid grid(new Heightmap("map.bmp"), 4);
    TerrainPatch lastFits(&grid, 24, 24, 9);  // I + S - 1 = side - 1
    EXPECT_DEATH(TerrainPatch(&grid, 25, 0, 9),
                 "TerrainPatch.*I \\+ m_SizeVertices - 1 < m_Grid->GetSideVertexCount\\(\\)");
    EXPECT_DEATH(TerrainPatch(&grid, 0, 25, 9),
                 "TerrainPatch.*J \\+ m_SizeVertices - 1 < m_Grid->GetSideVertexCount\\(\\)");
    EXPECT_DEATH(TerrainPatch(&grid, -1, 0, 9), "TerrainPatch.*I >= 0");
    EXPECT_DEATH(TerrainPatch(&grid, 0, -1, 9), "TerrainPatch.*J >= 0");
}

TEST_F(GroundGrid, QuadtreeOfDepthZeroIsOneLeafWithTheWholeGrid)
{
    SaveHeights("map.bmp", 33, 33, Flat);
    TerrainGrid grid(new Heightmap("map.bmp"), 1);
    TerrainQuadtree quadtree(0, &grid);
    QuadtreeNode* root = quadtree.m_Root;
    EXPECT_FALSE(root->m_HasChildren);
    ASSERT_EQ(root->m_Patches.size(), 1u);
    EXPECT_EQ(root->m_Patches[0]->m_SizeVertices, 33);
    EXPECT_FLOAT_EQ(root->m_Box.m_Max.y, 50.0f);
}

// A placed object with a sphere of the given centre and radius.
static SceneObject* Ball(float x, float y, float z, float radius)
{
    SceneObject* ball = new SceneObject();
    ball->m_BoundingSphere.m_Center = Vector3(x, y, z);
    ball->m_BoundingSphere.m_Radius = radius;
    return ball;
}

TEST_F(GroundGrid, QuadtreeFilesSpheresInEveryChildTheyReach)
{
    SaveHeights("map.bmp", 33, 33, Flat);
    TerrainGrid grid(new Heightmap("map.bmp"), 2);
    TerrainQuadtree quadtree(1, &grid);  // root with four leaves
    QuadtreeNode* root = quadtree.m_Root;
    ASSERT_TRUE(root->m_HasChildren);
    SceneObject* onMidX = Ball(0.0f, 50.0f, 300.0f, 10.0f);     // +z half, on x = 0
    SceneObject* straddling = Ball(0.0f, 50.0f, 5.0f, 10.0f);   // across both midlines
    SceneObject* tall = Ball(-400.0f, 300.0f, -400.0f, 50.0f);  // in slot 3, reaching y 350
    quadtree.AddObject(onMidX);
    quadtree.AddObject(straddling);
    quadtree.AddObject(tall);
    quadtree.AddObject(onMidX);  // twice: still one entry per leaf
    std::vector<SceneObject*>* slots[4];
    for (int i = 0; i < 4; ++i) {
        slots[i] = &root->m_Children[i]->m_Objects;
    }
    EXPECT_EQ(std::count(slots[0]->begin(), slots[0]->end(), onMidX), 1);
    EXPECT_EQ(std::count(slots[1]->begin(), slots[1]->end(), onMidX), 1);
    EXPECT_EQ(std::count(slots[2]->begin(), slots[2]->end(), onMidX), 0);
    EXPECT_EQ(std::count(slots[3]->begin(), slots[3]->end(), onMidX), 0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(std::count(slots[i]->begin(), slots[i]->end(), straddling), 1) << "slot " << i + 1;
    }
    EXPECT_EQ(slots[2]->back(), tall);
    EXPECT_EQ(slots[2]->size(), 2u);
    // The tall object raised its leaf and the root, not the other leaves.
    EXPECT_FLOAT_EQ(root->m_Children[2]->m_Box.m_Max.y, 350.0f);
    EXPECT_FLOAT_EQ(root->m_Box.m_Max.y, 350.0f);
    EXPECT_FLOAT_EQ(root->m_Children[1]->m_Box.m_Max.y, 60.0f);
    delete onMidX;
    delete straddling;
    delete tall;
}
