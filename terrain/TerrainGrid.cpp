// The terrain's grid: heights, positions, normals and the drawing's
// records, all worked out without OpenGL (on the start-up's helper thread).
#include "terrain/TerrainGrid.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "terrain/Heightmap.h"

static const int GRID_SPACING = 64;

TerrainGrid::TerrainGrid(Heightmap* heightmap, int patchesPerSide)
    : m_Heightmap(heightmap), m_WorldSize(0), m_PatchesPerSide(patchesPerSide), m_Side(0), m_CellsPerPatch(0),
      m_Spacing(GRID_SPACING)
{
    if (HeightmapProblem() == NULL) {
        m_WorldSize = m_Heightmap->GetMaxIndex() * m_Spacing;
        m_Side = m_Heightmap->GetSize();
        m_CellsPerPatch = m_Heightmap->GetMaxIndex() / m_PatchesPerSide;
    }
}

TerrainGrid::~TerrainGrid()
{
    delete m_Heightmap;
}

// The grid must be 2^k + 1 samples on a side with the patches dividing the
// cells evenly; anything else would build patches outside the grid.
const char* TerrainGrid::HeightmapProblem() const
{
    const char* problem = m_Heightmap->m_Problem;
    int cells = m_Heightmap->GetMaxIndex();
    if (problem == NULL && (cells < 1 || (cells & (cells - 1)) != 0)) {
        problem = "its side is not a power of two plus one";
    } else if (problem == NULL && (m_PatchesPerSide < 1 || cells % m_PatchesPerSide != 0 ||
                                   cells / m_PatchesPerSide < 1)) {
        problem = "its cells cannot be divided into the terrain's patches";
    }
    return problem;
}

Vector3 TerrainGrid::GetPosition(int column, int row) const
{
    int half = (m_Side - 1) / 2;
    return Vector3(static_cast<float>(m_Spacing * (column - half)), static_cast<float>(static_cast<int>(GetHeight(column, row))),
                   static_cast<float>(m_Spacing * (half - row)));
}

Vector3 TerrainGrid::GetFaceNormal(int column, int row) const
{
    int half = (m_Side - 1) / 2;
    Vector3 p0(static_cast<float>(m_Spacing * (column - half)), GetHeight(column, row),
               static_cast<float>(m_Spacing * (half - row)));
    Vector3 p1(static_cast<float>(m_Spacing * (column + 1 - half)), GetHeight(column + 1, row),
               static_cast<float>(m_Spacing * (half - row)));
    Vector3 p2(static_cast<float>(m_Spacing * (column - half)), GetHeight(column, row + 1),
               static_cast<float>(m_Spacing * (half - row - 1)));
    Vector3 normal = Cross(p1 - p0, p2 - p0);
    normal.Normalize();
    return normal;
}

// A grid point's normal from the normals of the cells that share it, given
// by face(column, row). The bounds are 2, not 1: the cells of column 0 and
// row 0 only shade the vertices of their own column or row.
template <typename Faces>
static Vector3 SmoothNormal(const Faces& face, int column, int row)
{
    Vector3 sum;
    if (column >= 2 && row >= 2) {
        sum += face(column - 1, row - 1);
    }
    if (column >= 2) {
        sum += face(column - 1, row);
    }
    sum += face(column, row);
    if (row >= 2) {
        sum += face(column, row - 1);
    }
    sum.Normalize();
    return sum;
}

std::vector<float> TerrainGrid::BuildRecords() const
{
    // Each cell's normal once, then up to four of them per vertex.
    std::vector<Vector3> faces(static_cast<size_t>(m_Side) * m_Side);
    for (int row = 0; row < m_Side; ++row) {
        for (int column = 0; column < m_Side; ++column) {
            faces[static_cast<size_t>(row) * m_Side + column] = GetFaceNormal(column, row);
        }
    }
    auto face = [&faces, this](int column, int row) { return faces[static_cast<size_t>(row) * m_Side + column]; };
    std::vector<float> grid(static_cast<size_t>(m_Side) * m_Side * GRID_FLOATS);
    int halfSide = static_cast<int>(std::sqrt(static_cast<double>(m_Side * m_Side / 4)));
    float step = 2.0f / halfSide;
    float* next = grid.data();
    for (int row = 0; row < m_Side; ++row) {
        for (int column = 0; column < m_Side; ++column) {
            Vector3 position = GetPosition(column, row);
            Vector3 normal = SmoothNormal(face, column, row);
            const float record[GRID_FLOATS] = {position.x, position.y, position.z, normal.x, normal.y, normal.z,
                                               4.0f * (column * step * 0.5f), 4.0f * (1.0f - row * step * 0.5f)};
            next = std::copy(record, record + GRID_FLOATS, next);
        }
    }
    return grid;
}

float TerrainGrid::GetHeight(int column, int row) const
{
    return m_Heightmap->GetHeight(column, row);
}

float TerrainGrid::GetGroundHeight(float x, float z) const
{
    float centre = m_Side * 0.5f;
    float gx = x / m_Spacing + centre;
    float gz = centre - z / m_Spacing;
    // Far outside (or not a number) there is no ground; converting such a
    // value to an integer would not be defined.
    if (!(gx > -1.0f && gx < m_Side + 1.0f && gz > -1.0f && gz < m_Side + 1.0f)) {
        return 0.0f;
    }
    return GetHeight(static_cast<int>(gx), static_cast<int>(gz));
}

Vertex TerrainGrid::GetVertex(int column, int row) const
{
    Vertex vertex;
    vertex.m_Position = GetPosition(column, row);
    auto face = [this](int faceColumn, int faceRow) { return GetFaceNormal(faceColumn, faceRow); };
    vertex.m_Normal = SmoothNormal(face, column, row);
    return vertex;
}
