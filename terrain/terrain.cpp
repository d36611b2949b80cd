// The terrain's grid, its heights and normals, and its patches' shapes and
// levels of detail: everything the landscape is, worked out without OpenGL
// (on the start-up's helper thread). Its drawing is TerrainDrawing.cpp's.
#include "terrain/terrain.h"

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/Fatal.h"
#include "app/Logger.h"
#include "assets/Image.h"
#include "terrain/Heightmap.h"
#include "terrain/PatchLevels.h"
#include "terrain/TerrainQuadtree.h"

// The patch checks stay on in every build type.
#undef NDEBUG
#include <cassert>

static const int GRID_SPACING = 64;

Terrain::Terrain(const std::vector<Texture*>* textures, int patchesPerSide)
    : m_Buffer(0), m_Heightmap(NULL), m_WorldSize(0),
      m_PatchesPerSide(patchesPerSide), m_Side(0), m_CellsPerPatch(0), m_Textures(textures), m_Quadtree(NULL),
      m_Spacing(GRID_SPACING), m_PatchesDrawn(0), m_PatchesInFog(0),
      m_FlatBeyondFog(true), m_FullDetail(false), m_Levels(NULL), m_LevelBuffer(0),
      m_LevelBufferBound(false), m_TrianglesDrawn(0), m_PointedAt(0)
{
}

Terrain* Terrain::BuildAhead(const char* heightmapFile, int patchesPerSide)
{
    Image image(heightmapFile, false);
    Terrain* terrain = new Terrain(NULL, patchesPerSide);
    terrain->m_Heightmap = new Heightmap(heightmapFile, image, false);
    if (terrain->HeightmapProblem() != NULL) {
        delete terrain;
        return NULL;
    }
    terrain->Shape();
    return terrain;
}

// The sizes, the quadtree with its patches, and the grid in client memory.
void Terrain::Shape()
{
    m_WorldSize = m_Heightmap->GetMaxIndex() * m_Spacing;
    m_Side = m_Heightmap->GetSize();
    m_CellsPerPatch = m_Heightmap->GetMaxIndex() / m_PatchesPerSide;
    int depth = static_cast<int>(std::log(static_cast<double>(m_Side - 1)) / std::log(2.0) -
                                 std::log(static_cast<double>(m_CellsPerPatch)) / std::log(2.0));
    m_Quadtree = new TerrainQuadtree(depth, this);
    MeasureLevels();
    BuildGrid();
}

// The patches in a grid of their own, each with the error of every level.
void Terrain::MeasureLevels()
{
    m_Levels = new PatchLevels(m_CellsPerPatch, m_Side);
    m_PatchGrid.assign(static_cast<size_t>(m_PatchesPerSide) * m_PatchesPerSide, NULL);
    std::vector<const QuadtreeNode*> leaves;
    m_Quadtree->CollectLeaves(NULL, leaves);
    for (const QuadtreeNode* leaf : leaves) {
        for (TerrainPatch* patch : leaf->m_Patches) {
            size_t place = static_cast<size_t>(patch->m_Row / m_CellsPerPatch) * m_PatchesPerSide +
                           patch->m_Column / m_CellsPerPatch;
            m_PatchGrid[place] = patch;
            m_Levels->MeasureErrors(*this, patch->m_Column, patch->m_Row, patch->m_LevelErrors);
        }
    }
}

Terrain::~Terrain()
{
    delete m_Levels;
    delete m_Quadtree;
    delete m_Heightmap;
}

// The grid must be 2^k + 1 samples on a side with the patches dividing the
// cells evenly; anything else would build patches outside the grid.
const char* Terrain::HeightmapProblem() const
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

void Terrain::CheckHeightmap(const char* heightmapFile) const
{
    const char* problem = HeightmapProblem();
    if (problem == NULL) {
        return;
    }
    if (m_Heightmap->IsValid()) {
        LogMessage("Heightmap %s is %d x %d: %s", heightmapFile, m_Heightmap->GetSize(), m_Heightmap->GetSize(),
                   problem);
    }
    char message[1200];
    snprintf(message, sizeof message,
             "The landscape cannot be built from %s: %s.\n"
             "It must be a square picture of 2^k + 1 pixels a side, k at least 5 (257 x 257 is usual);\n"
             "the game looked for it in %s.",
             heightmapFile, problem, WorkingDirectory());
    ExitWithMessage(message, "Vellmora", 1);
}

Vector3 Terrain::GetPosition(int column, int row) const
{
    int half = (m_Side - 1) / 2;
    return Vector3(static_cast<float>(m_Spacing * (column - half)), static_cast<float>(static_cast<int>(GetHeight(column, row))),
                   static_cast<float>(m_Spacing * (half - row)));
}

Vector3 Terrain::GetFaceNormal(int column, int row) const
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


void Terrain::BuildGrid()
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
    m_ClientGrid.swap(grid);
}

float Terrain::GetHeight(int column, int row) const
{
    return m_Heightmap->GetHeight(column, row);
}

float Terrain::GetGroundHeight(float x, float z) const
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

Vertex Terrain::GetVertex(int column, int row) const
{
    Vertex vertex;
    vertex.m_Position = GetPosition(column, row);
    auto face = [this](int faceColumn, int faceRow) { return GetFaceNormal(faceColumn, faceRow); };
    vertex.m_Normal = SmoothNormal(face, column, row);
    return vertex;
}

void Terrain::AddObject(SceneObject* object)
{
    m_Quadtree->AddObject(object);
}

void Terrain::ClearObjects()
{
    m_Quadtree->ClearObjects();
}

TerrainPatch::TerrainPatch(const Terrain* terrain, int I, int J, int S)
    : m_Indices(NULL), m_IndexCount(0), m_FirstIndex(0), m_LastIndex(0), m_SizeVertices(S), m_Terrain(terrain),
      m_Column(I), m_Row(J), m_LevelErrors(), m_Level(0)
{
    assert(I >= 0);
    assert(J >= 0);
    assert(I + m_SizeVertices - 1 < m_Terrain->GetSideVertexCount());
    assert(J + m_SizeVertices - 1 < m_Terrain->GetSideVertexCount());

    // The box starts at zero on every axis, so it always reaches the ground
    // plane y = 0 (and the axes) whatever the vertices are.
    Vector3 min;
    Vector3 max;
    for (int row = J; row < J + S; ++row) {
        for (int column = I; column < I + S; ++column) {
            Vector3 p = m_Terrain->GetPosition(column, row);
            min = Vector3(std::fmin(min.x, p.x), std::fmin(min.y, p.y), std::fmin(min.z, p.z));
            max = Vector3(std::fmax(max.x, p.x), std::fmax(max.y, p.y), std::fmax(max.z, p.z));
        }
    }
    m_Box.SetCorners(min, max);

    int side = m_Terrain->GetSideVertexCount();
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
