// A patch's strips and box.
#include "terrain/TerrainPatch.h"

#include <cmath>

#include "terrain/TerrainGrid.h"

// The patch checks stay on in every build type.
#undef NDEBUG
#include <cassert>

TerrainPatch::TerrainPatch(const TerrainGrid* grid, int I, int J, int S)
    : m_Indices(NULL), m_IndexCount(0), m_FirstIndex(0), m_LastIndex(0), m_SizeVertices(S), m_Grid(grid),
      m_Column(I), m_Row(J), m_LevelErrors(), m_Level(0)
{
    assert(I >= 0);
    assert(J >= 0);
    assert(I + m_SizeVertices - 1 < m_Grid->GetSideVertexCount());
    assert(J + m_SizeVertices - 1 < m_Grid->GetSideVertexCount());

    // The box starts at zero on every axis, so it always reaches the ground
    // plane y = 0 (and the axes) whatever the vertices are.
    Vector3 min;
    Vector3 max;
    for (int row = J; row < J + S; ++row) {
        for (int column = I; column < I + S; ++column) {
            Vector3 p = m_Grid->GetPosition(column, row);
            min = Vector3(std::fmin(min.x, p.x), std::fmin(min.y, p.y), std::fmin(min.z, p.z));
            max = Vector3(std::fmax(max.x, p.x), std::fmax(max.y, p.y), std::fmax(max.z, p.z));
        }
    }
    m_Box.SetCorners(min, max);

    int side = m_Grid->GetSideVertexCount();
    unsigned int base = static_cast<unsigned int>(J * side + I);
    m_IndexCount = 2 * S * (S - 1) + 2 * (S - 2);
    m_Indices = new unsigned int[m_IndexCount];
    unsigned int* next = m_Indices;
    for (int k = 0; k < S - 1; ++k) {
        if (k > 0) {
            // Two repeated indices join the strips: the triangles between
            // them have no area and draw nothing, and each strip still
            // starts at an even place, so its faces keep their winding.
            next[0] = next[-1];
            next[1] = base + (k + 1) * side;
            next += 2;
        }
        for (int l = 0; l < S; ++l) {
            *next++ = base + l + (k + 1) * side;
            *next++ = base + l + k * side;
        }
    }
    m_FirstIndex = base;
    m_LastIndex = base + (S - 1) * side + (S - 1);
}

TerrainPatch::~TerrainPatch()
{
    delete[] m_Indices;
}
