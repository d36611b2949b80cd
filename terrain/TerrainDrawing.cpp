// Drawing the terrain: the grid uploaded once, the patches in view nearest
// first at their levels of detail, with two texture units.
//
// State after Render: texture unit 0 active (and client-active), 2D texturing
// off on both units, all client arrays off, no buffer bound. Unit 1 keeps its combine mode and
// its scaled texture matrix, which nothing else uses.
#include "terrain/terrain.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "assets/Texture.h"
#include "base/Extensions.h"
#include "terrain/Heightmap.h"
#include "terrain/PatchLevels.h"
#include "terrain/TerrainGrid.h"
#include "terrain/TerrainPatch.h"
#include "terrain/TerrainQuadtree.h"

static const float DETAIL_REPEAT = 16.0f;

Terrain::Terrain(const char* heightmapFile, const std::vector<Texture*>* textures, int patchesPerSide)
    : Terrain(textures)
{
    m_Grid = new TerrainGrid(new Heightmap(heightmapFile), patchesPerSide);
    CheckHeightmap(heightmapFile);
    Shape();
    UploadGrid();
}

void Terrain::Finish(const char* heightmapFile, const std::vector<Texture*>* textures)
{
    m_Textures = textures;
    m_Grid->m_Heightmap->LogSize(heightmapFile);
    UploadGrid();
}

// Uploaded once where the context has buffer objects; the driver then holds
// the only copy.
void Terrain::UploadGrid()
{
    if (!BufferObjectsLoaded()) {
        return;
    }
    GenBuffers(1, &m_Buffer);
    BindBuffer(GL_ARRAY_BUFFER_ARB, m_Buffer);
    BufferData(GL_ARRAY_BUFFER_ARB, static_cast<long>(m_ClientGrid.size() * sizeof(float)), m_ClientGrid.data(),
               GL_STATIC_DRAW_ARB);
    BindBuffer(GL_ARRAY_BUFFER_ARB, 0);
    std::vector<float>().swap(m_ClientGrid);
    const std::vector<unsigned int>& lists = m_Levels->GetIndices();
    GenBuffers(1, &m_LevelBuffer);
    BindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, m_LevelBuffer);
    BufferData(GL_ELEMENT_ARRAY_BUFFER_ARB, static_cast<long>(lists.size() * sizeof(unsigned int)), lists.data(),
               GL_STATIC_DRAW_ARB);
    BindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
}

static void SetTerrainMaterial()
{
    const GLfloat ambient[4] = {0.5f, 0.5f, 0.0f, 1.0f};
    const GLfloat diffuse[4] = {0.4f, 0.5f, 0.5f, 1.0f};
    const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0.0f);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
}

// How far past the fog's end a patch's nearest point must lie for every one
// of its pixels to be fog, whatever the rounding of the eye distance: a
// thousandth of the distance.
static const float FOG_MARGIN = 1.001f;

// Each patch in view with the eye's distance ahead to the nearest corner of
// its leaf's box, nearest first. The distance ahead is -z in eye space, the
// distance linear fog uses, and is least at the corner each axis picks.
void Terrain::OrderNearestFirst(const float m[16])
{
    m_DrawOrder.clear();
    for (const QuadtreeNode* leaf : m_LeavesInView) {
        const BoundingBox& box = leaf->m_Box;
        float ahead = -m[14] - m[2] * (m[2] > 0.0f ? box.m_Max.x : box.m_Min.x) -
                      m[6] * (m[6] > 0.0f ? box.m_Max.y : box.m_Min.y) -
                      m[10] * (m[10] > 0.0f ? box.m_Max.z : box.m_Min.z);
        for (TerrainPatch* patch : leaf->m_Patches) {
            m_DrawOrder.push_back(std::make_pair(ahead, patch));
        }
    }
    std::sort(m_DrawOrder.begin(), m_DrawOrder.end(),
              [](const std::pair<float, TerrainPatch*>& a, const std::pair<float, TerrainPatch*>& b) {
                  return a.first < b.first;
              });
}

// Where in the draw order the patches wholly in the fog begin: none while
// fog is off or not linear, since only linear fog reaches its colour.
static size_t FirstInFog(const std::vector<std::pair<float, TerrainPatch*> >& order)
{
    GLint mode = 0;
    glGetIntegerv(GL_FOG_MODE, &mode);
    GLfloat start = 0.0f;
    GLfloat end = 0.0f;
    glGetFloatv(GL_FOG_START, &start);
    glGetFloatv(GL_FOG_END, &end);
    if (!glIsEnabled(GL_FOG) || mode != GL_LINEAR || !(end > start) || end <= 0.0f) {
        return order.size();
    }
    float beyond = end * FOG_MARGIN;
    size_t first = order.size();
    while (first > 0 && order[first - 1].first > beyond) {
        --first;
    }
    return first;
}

// The grid's records as vertex arrays, from the buffer (offsets) or from
// client memory: positions, normals, and texture coordinates on both units.
void Terrain::BindGrid()
{
    if (m_Buffer != 0) {
        BindBuffer(GL_ARRAY_BUFFER_ARB, m_Buffer);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    m_PointedAt = 1;  // so that the arrays are pointed anew
    PointAt(0);
    SurfaceArrays(true);
}

// The arrays start at the grid point firstIndex, so that a patch's shared
// triangle lists, which count from its first point, reach its own points.
void Terrain::PointAt(unsigned int firstIndex)
{
    if (firstIndex == m_PointedAt) {
        return;
    }
    m_PointedAt = firstIndex;
    const GLsizei stride = GRID_FLOATS * sizeof(float);
    // Into the buffer the "pointers" are offsets, worked out as numbers.
    uintptr_t grid = m_Buffer != 0 ? 0 : reinterpret_cast<uintptr_t>(m_ClientGrid.data());
    grid += static_cast<uintptr_t>(firstIndex) * stride;
    glVertexPointer(3, GL_FLOAT, stride, reinterpret_cast<const void*>(grid));
    glNormalPointer(GL_FLOAT, stride, reinterpret_cast<const void*>(grid + 3 * sizeof(float)));
    for (GLenum unit : {GL_TEXTURE0_ARB, GL_TEXTURE1_ARB}) {
        ClientActiveTexture(unit);
        glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(grid + 6 * sizeof(float)));
    }
    ClientActiveTexture(GL_TEXTURE0_ARB);
}

// From the eye, a level's error of e units at distance d moves a pixel by
// e x PIXELS_PER_UNIT / d: half the view's 600 rows over tan(30 degrees).
static const float PIXELS_PER_UNIT = 300.0f / 0.57735027f;
// Nearer than this every patch keeps its full grid: close by, the light on
// larger triangles would show, whatever their shape's error.
static const float FULL_DETAIL_DISTANCE = 1500.0f;
// What a neighbour's edge fans reach into a patch: two cells, diagonally.
static const float FAN_REACH_CELLS = 3.0f;

// How far a value is outside [low, high]; 0 inside.
static float Outside(float value, float low, float high)
{
    return std::fmax(std::fmax(low - value, value - high), 0.0f);
}

void Terrain::ChooseLevels(const float m[16])
{
    // The eye in the world: the view's rotation undone on its translation.
    Vector3 eye(-(m[0] * m[12] + m[1] * m[13] + m[2] * m[14]), -(m[4] * m[12] + m[5] * m[13] + m[6] * m[14]),
                -(m[8] * m[12] + m[9] * m[13] + m[10] * m[14]));
    int levels = m_Levels->GetLevelCount();
    float fullDetail = FULL_DETAIL_DISTANCE + FAN_REACH_CELLS * m_Grid->m_Spacing;
    float half = static_cast<float>((m_Grid->m_Side - 1) / 2);
    float size = static_cast<float>(m_Grid->m_CellsPerPatch * m_Grid->m_Spacing);
    for (TerrainPatch* patch : m_PatchGrid) {
        // The nearest point of the patch's square and of its heights' span
        // (its box's x and z reach the axes, so only its y is taken).
        float west = m_Grid->m_Spacing * (patch->m_Column - half);
        float north = m_Grid->m_Spacing * (half - patch->m_Row);
        float dx = Outside(eye.x, west, west + size);
        float dy = Outside(eye.y, patch->m_Box.m_Min.y, patch->m_Box.m_Max.y);
        float dz = Outside(eye.z, north - size, north);
        float distance = std::sqrt(dx * dx + dy * dy + dz * dz);
        float reach = distance / PIXELS_PER_UNIT;
        int level = 0;
        while (!m_FullDetail && distance >= fullDetail && level + 1 < levels &&
               patch->m_LevelErrors[level + 1] <= reach) {
            ++level;
        }
        patch->m_Level = level;
    }
    // Neighbours keep within a level of each other, the finer one winning,
    // so that an edge need only follow a neighbour one level coarser.
    for (bool changed = true; changed;) {
        changed = false;
        for (TerrainPatch* patch : m_PatchGrid) {
            int row = patch->m_Row / m_Grid->m_CellsPerPatch;
            int column = patch->m_Column / m_Grid->m_CellsPerPatch;
            for (const TerrainPatch* near : {PatchAt(row - 1, column), PatchAt(row, column + 1),
                                             PatchAt(row + 1, column), PatchAt(row, column - 1)}) {
                if (near != NULL && patch->m_Level > near->m_Level + 1) {
                    patch->m_Level = near->m_Level + 1;
                    changed = true;
                }
            }
        }
    }
}

const TerrainPatch* Terrain::PatchAt(int row, int column) const
{
    if (row < 0 || row >= m_Grid->m_PatchesPerSide || column < 0 || column >= m_Grid->m_PatchesPerSide) {
        return NULL;
    }
    return m_PatchGrid[static_cast<size_t>(row) * m_Grid->m_PatchesPerSide + column];
}

// The edges of the patch that meet a neighbour one level coarser.
int Terrain::CoarserEdges(const TerrainPatch& patch) const
{
    int row = patch.m_Row / m_Grid->m_CellsPerPatch;
    int column = patch.m_Column / m_Grid->m_CellsPerPatch;
    const std::pair<const TerrainPatch*, int> near[4] = {
        {PatchAt(row - 1, column), EDGE_NORTH}, {PatchAt(row, column + 1), EDGE_EAST},
        {PatchAt(row + 1, column), EDGE_SOUTH}, {PatchAt(row, column - 1), EDGE_WEST}};
    int edges = 0;
    for (const auto& at : near) {
        if (at.first != NULL && at.first->m_Level > patch.m_Level) {
            edges |= at.second;
        }
    }
    return edges;
}

// At its full grid, with no coarser neighbour, a patch is its own strip;
// otherwise the shared list of its level and edges.
void Terrain::DrawPatch(TerrainPatch& patch)
{
    int edges = CoarserEdges(patch);
    // The strips' indices are the patch's own, in client memory; the lists
    // are the level buffer's.
    bool fromLevelBuffer = m_LevelBuffer != 0 && (patch.m_Level != 0 || edges != 0);
    if (fromLevelBuffer != m_LevelBufferBound) {
        BindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, fromLevelBuffer ? m_LevelBuffer : 0);
        m_LevelBufferBound = fromLevelBuffer;
    }
    if (patch.m_Level == 0 && edges == 0) {
        PointAt(0);
        // One strip for the whole patch, over a known range of the grid.
        glDrawRangeElements(GL_TRIANGLE_STRIP, patch.m_FirstIndex, patch.m_LastIndex, patch.m_IndexCount,
                            GL_UNSIGNED_INT, patch.m_Indices);
        m_TrianglesDrawn += 2 * (patch.m_SizeVertices - 1) * (patch.m_SizeVertices - 1);
        return;
    }
    int first = m_Levels->GetFirst(patch.m_Level, edges);
    int count = m_Levels->GetCount(patch.m_Level, edges);
    uintptr_t lists = m_LevelBuffer != 0 ? 0 : reinterpret_cast<uintptr_t>(m_Levels->GetIndices().data());
    PointAt(patch.m_FirstIndex);
    glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT,
                   reinterpret_cast<const void*>(lists + static_cast<uintptr_t>(first) * sizeof(unsigned int)));
    m_TrianglesDrawn += count / 3;
}

// The normal and texture-coordinate arrays on or off; positions stay.
void Terrain::SurfaceArrays(bool on) const
{
    void (*set)(GLenum) = on ? glEnableClientState : glDisableClientState;
    set(GL_NORMAL_ARRAY);
    ClientActiveTexture(GL_TEXTURE1_ARB);
    set(GL_TEXTURE_COORD_ARRAY);
    ClientActiveTexture(GL_TEXTURE0_ARB);
    set(GL_TEXTURE_COORD_ARRAY);
}

void Terrain::UnbindGrid()
{
    SurfaceArrays(false);
    glDisableClientState(GL_VERTEX_ARRAY);
    if (m_Buffer != 0) {
        BindBuffer(GL_ARRAY_BUFFER_ARB, 0);
    }
    if (m_LevelBufferBound) {
        BindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
        m_LevelBufferBound = false;
    }
}

void Terrain::Render(Frustum* frustum)
{
    m_LeavesInView.clear();
    m_Quadtree->CollectLeaves(frustum, m_LeavesInView);
    float modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    ChooseLevels(modelview);
    m_TrianglesDrawn = 0;
    // Nearest first, so that what lies behind a hill fails the depth test
    // before it is shaded.
    OrderNearestFirst(modelview);
    size_t inFog = m_FlatBeyondFog ? FirstInFog(m_DrawOrder) : m_DrawOrder.size();
    m_PatchesDrawn = static_cast<int>(m_DrawOrder.size());
    m_PatchesInFog = static_cast<int>(m_DrawOrder.size() - inFog);

    SetTerrainMaterial();
    // Unit 0: the base sand, modulated by the lit colour.
    ActiveTexture(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    (*m_Textures)[0]->Bind();
    // Unit 1: the detail texture, 16 times as dense, doubling unit 0's result
    // times the detail, so mid-grey detail leaves the base as it is.
    ActiveTexture(GL_TEXTURE1_ARB);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_RGB_SCALE_ARB, 2);
    (*m_Textures)[1]->Bind();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glScalef(DETAIL_REPEAT, DETAIL_REPEAT, 1.0f);
    glMatrixMode(GL_MODELVIEW);

    BindGrid();
    for (size_t i = 0; i < inFog; ++i) {
        DrawPatch(*m_DrawOrder[i].second);
    }
    if (inFog < m_DrawOrder.size()) {
        // The fog's colour with the alpha the lit, textured ground has.
        GLfloat colour[4];
        glGetFloatv(GL_FOG_COLOR, colour);
        SurfaceArrays(false);
        glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_LIGHTING_BIT);
        glDisable(GL_TEXTURE_2D);
        ActiveTexture(GL_TEXTURE0_ARB);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_LIGHTING);
        glDisable(GL_FOG);
        glShadeModel(GL_FLAT);
        glColor4f(colour[0], colour[1], colour[2], 1.0f);
        for (size_t i = inFog; i < m_DrawOrder.size(); ++i) {
            DrawPatch(*m_DrawOrder[i].second);
        }
        glPopAttrib();
    }
    UnbindGrid();

    ActiveTexture(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    // Back to the baseline: unit 0 for everything that follows.
    ActiveTexture(GL_TEXTURE0_ARB);
    glDisable(GL_TEXTURE_2D);

    m_Quadtree->DrawObjects(frustum);
}
