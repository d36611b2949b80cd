// The levels of detail of the ground's patches, without a window: what each
// level's triangles cover, how an edge follows a coarser neighbour, and the
// error each level is measured to leave out.
#include <cstdio>
#include <gtest/gtest.h>
#include <set>
#include <utility>

#include "terrain/PatchLevels.h"
#include "terrain/TerrainPatch.h"
#include "terrain/terrain.h"
#include "tests/support/TempDir.h"

// Every level and every set of coarser edges tiles the whole patch with
// front-facing triangles of its own grid points; a coarser edge keeps only
// its even points.
TEST(PatchLevels, EachLevelTilesThePatchAndCoarserEdgesSkipTheirOddPoints)
{
    const int side = 257;
    PatchLevels levels(8, side);
    ASSERT_EQ(levels.GetLevelCount(), 4);
    const std::vector<unsigned int>& indices = levels.GetIndices();
    for (int level = 0; level < 4; ++level) {
        for (int edges = 0; edges < EDGE_SETS; ++edges) {
            int twiceArea = 0;
            std::set<std::pair<int, int> > northPoints;
            for (int i = levels.GetFirst(level, edges); i < levels.GetFirst(level, edges) + levels.GetCount(level, edges);
                 i += 3) {
                int r[3], c[3];
                for (int k = 0; k < 3; ++k) {
                    r[k] = static_cast<int>(indices[i + k]) / side;
                    c[k] = static_cast<int>(indices[i + k]) % side;
                    EXPECT_EQ(r[k] % (1 << level) + c[k] % (1 << level), 0) << level << " " << edges;
                    if (r[k] == 0) {
                        northPoints.insert(std::make_pair(r[k], c[k]));
                    }
                }
                // Counter-clockwise seen from above: x with the columns, z against the rows.
                int turn = (c[1] - c[0]) * (r[2] - r[0]) - (r[1] - r[0]) * (c[2] - c[0]);
                EXPECT_GT(turn, 0) << level << " " << edges;
                twiceArea += turn;
            }
            EXPECT_EQ(twiceArea, 2 * 64) << level << " " << edges;
            // The coarsest level has no coarser neighbour to follow.
            size_t expected = 8 / (1 << level) / ((edges & EDGE_NORTH) && level < 3 ? 2 : 1) + 1;
            EXPECT_EQ(northPoints.size(), expected) << level << " " << edges;
        }
    }
}

// On a tilted plane no level leaves anything out; a bump at one grid point
// that only the full grid has is each coarser level's error.
TEST(PatchLevels, ErrorsAreWhatACoarserSurfaceLeavesOut)
{
    TempDir dir;
    unsigned char tga[18 + 33 * 33] = {0, 0, 3};
    tga[12] = tga[14] = 33;
    tga[16] = 8;
    tga[17] = 0x20;  // the top row first
    for (int i = 0; i < 33 * 33; ++i) {
        tga[18 + i] = static_cast<unsigned char>(4 * (i % 33) + 2 * (i / 33));
    }
    tga[18 + 5 * 33 + 3] += 40;  // column 3, row 5: in the first patch, on no coarser level
    FILE* file = fopen("h.tga", "wb");
    ASSERT_TRUE(file != NULL);
    fwrite(tga, 1, sizeof tga, file);
    fclose(file);
    Terrain* terrain = Terrain::BuildAhead("h.tga", 4);
    ASSERT_TRUE(terrain != NULL);
    ASSERT_EQ(terrain->m_PatchGrid.size(), 16u);
    for (int level = 0; level < 4; ++level) {
        EXPECT_EQ(terrain->m_PatchGrid[1]->m_LevelErrors[level], 0.0f) << level;
        EXPECT_EQ(terrain->m_PatchGrid[0]->m_LevelErrors[level], level == 0 ? 0.0f : 40.0f) << level;
    }
    delete terrain;
}
