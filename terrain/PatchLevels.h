// The levels of detail of the ground's patches. Level 0 is the whole grid;
// each level after it keeps every other row and column of the one before
// (every 2nd, 4th, 8th grid point). A level's cells are split along the same
// diagonal as the full grid's; where a patch meets a neighbour one level
// coarser, each square of 2 x 2 cells along that edge is drawn instead as a
// fan round its centre that leaves out the edge's middle point, so the two
// edges are the same line and no crack opens between them. The triangle
// lists of every level and every set of such edges are built once, one
// after another in one array, and shared by all patches, as indices from a
// patch's first grid point (row x side + column). Nothing here draws.
#ifndef TERRAIN_PATCH_LEVELS_H
#define TERRAIN_PATCH_LEVELS_H

#include <vector>

class TerrainGrid;

// The patch edges that can meet a coarser neighbour, as bits.
enum PatchEdge { EDGE_NORTH = 1, EDGE_EAST = 2, EDGE_SOUTH = 4, EDGE_WEST = 8, EDGE_SETS = 16 };

class PatchLevels {
public:
    static const int MOST_LEVELS = 4;

    // For patches of cells x cells (a power of two) in a grid of side
    // points a row.
    PatchLevels(int cells, int side);

    int GetLevelCount() const { return m_LevelCount; }
    // Every list, one after another.
    const std::vector<unsigned int>& GetIndices() const { return m_Indices; }
    // Where in them the triangles of a level begin, with the edges in
    // coarserEdges following the coarser neighbour's, and how many indices
    // they take.
    int GetFirst(int level, int coarserEdges) const { return m_First[level][coarserEdges]; }
    int GetCount(int level, int coarserEdges) const { return m_Count[level][coarserEdges]; }
    // For each level, the largest vertical distance between the patch's grid
    // points (first point at column, row) and the level's surface over them,
    // never less than the finer levels'. Level 0's is 0.
    void MeasureErrors(const TerrainGrid& grid, int column, int row, float outErrors[MOST_LEVELS]) const;

private:
    struct Point {
        int m_Row;
        int m_Column;
    };
    // A level's triangles in patch coordinates, each wound counter-clockwise
    // seen from above; with coarserEdges leaving out those edges' odd points.
    std::vector<Point> Triangulate(int level, int coarserEdges) const;

    int m_Cells;
    int m_Side;
    int m_LevelCount;
    std::vector<unsigned int> m_Indices;
    int m_First[MOST_LEVELS][EDGE_SETS];
    int m_Count[MOST_LEVELS][EDGE_SETS];
};

#endif
