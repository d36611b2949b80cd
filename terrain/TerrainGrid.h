// TerrainGrid: the landscape's grid, worked out without OpenGL: a grid of
// points 64 units apart made from the heightmap, their heights, positions
// and smooth normals, and the records the drawing uploads. Column c maps to
// world x = 64 (c - half), row r to z = 64 (half - r), with
// half = (side - 1) / 2: row 0 is the most positive z. Heights are used as
// world y unscaled (0..255). The grid stays at the origin.
#ifndef TERRAIN_TERRAIN_GRID_H
#define TERRAIN_TERRAIN_GRID_H

#include <vector>

#include "math/Vector3.h"

class Heightmap;

// One terrain grid point or sky-dome point.
struct Vertex {
    Vector3 m_Position;
    float m_U;
    float m_V;
    Vector3 m_Normal;

    Vertex() : m_U(0.0f), m_V(0.0f) {}
    Vertex(float x, float y, float z) : m_Position(x, y, z), m_U(0.0f), m_V(0.0f) {}
};

// The floats of a grid point's record: position, normal, texture coordinates.
static const int GRID_FLOATS = 8;

class TerrainGrid {
public:
    Heightmap* m_Heightmap;           // owned
    int m_WorldSize;                  // (side - 1) x spacing
    int m_PatchesPerSide;
    int m_Side;                       // vertices per side
    int m_CellsPerPatch;
    int m_Spacing;                    // 64

    // Takes the heightmap, and its sizes when HeightmapProblem has none.
    TerrainGrid(Heightmap* heightmap, int patchesPerSide);
    ~TerrainGrid();

    // Why the heightmap cannot make a grid the patches divide: the
    // heightmap's own problem, a side that is not 2^k + 1, or cells the
    // patches cannot share; NULL when it can.
    const char* HeightmapProblem() const;

    int GetSideVertexCount() const { return m_Side; }
    // The stored sample at a grid point; 0 outside the grid.
    float GetHeight(int column, int row) const;
    // The sample at the grid point drawn nearest to (x, z), without
    // interpolation; 0 outside the grid.
    float GetGroundHeight(float x, float z) const;
    // The grid point: its position, and its normal smoothed over the cells
    // around it (as drawn); no texture coordinates.
    Vertex GetVertex(int column, int row) const;
    Vector3 GetPosition(int column, int row) const;
    int GetWorldSize() const { return m_WorldSize; }
    int GetSpacing() const { return m_Spacing; }
    // The up-facing normal of the cell whose first corner is (column, row).
    Vector3 GetFaceNormal(int column, int row) const;
    // The grid for drawing: per point, row-major, its position (3 floats),
    // normal (3) and texture coordinates (2, shared by both texture units).
    std::vector<float> BuildRecords() const;

private:
    TerrainGrid(const TerrainGrid&);
    TerrainGrid& operator=(const TerrainGrid&);
};

#endif
