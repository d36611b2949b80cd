// TerrainPatch: a square block of S x S grid points with its first point
// at column I, row J, as S - 1 triangle strips joined into one by
// degenerate triangles, through indices into the grid; and its box.
// Neighbouring patches share their border points. No OpenGL: the terrain
// draws it.
#ifndef TERRAIN_TERRAIN_PATCH_H
#define TERRAIN_TERRAIN_PATCH_H

#include "scene/BoundingBox.h"
#include "terrain/PatchLevels.h"

class TerrainGrid;

class TerrainPatch {
public:
    unsigned int* m_Indices;          // owned: strip after strip, each joined to the next by two repeats
    int m_IndexCount;                 // 2 S (S - 1) + 2 (S - 2)
    unsigned int m_FirstIndex;        // the lowest and highest grid index used
    unsigned int m_LastIndex;
    int m_SizeVertices;               // S
    const TerrainGrid* m_Grid;        // not owned
    BoundingBox m_Box;                // the points' extent, always reaching 0
    int m_Column;                     // I and J: the grid point of its north-west corner
    int m_Row;
    float m_LevelErrors[PatchLevels::MOST_LEVELS];  // per level of detail, what it leaves out
    int m_Level;                      // the level of the latest Render

    TerrainPatch(const TerrainGrid* grid, int I, int J, int S);
    ~TerrainPatch();

private:
    TerrainPatch(const TerrainPatch&);
    TerrainPatch& operator=(const TerrainPatch&);
};

#endif
