// The landscape: a grid of vertices 64 units apart made from the heightmap,
// with smooth normals and texture coordinates, held for drawing in one
// buffer object (or, on a context without them, in client memory), cut into
// square patches that a quadtree culls. The heightmap answers height
// questions; a grid point's position and normal are worked out on request.
// Column c maps to world x = 64 (c - half), row r to z = 64 (half - r), with
// half = (side - 1) / 2: row 0 is the most positive z. Heights are used as
// world y unscaled (0..255). The terrain stays at the origin.
#ifndef TERRAIN_TERRAIN_H
#define TERRAIN_TERRAIN_H

#include <utility>
#include <vector>

#include "scene/BoundingBox.h"
#include "scene/SceneObject.h"
#include "terrain/PatchLevels.h"

class Heightmap;
class QuadtreeNode;
class Texture;
class TerrainPatch;
class TerrainQuadtree;

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

class Terrain : public SceneObject {
public:
    // The grid for drawing: per point, row-major, its position (3 floats),
    // normal (3) and texture coordinates (2, shared by both texture units).
    unsigned int m_Buffer;            // the buffer object holding it; 0 without one
    std::vector<float> m_ClientGrid;  // the same in client memory, only without a buffer (or until uploaded)
    Heightmap* m_Heightmap;           // owned
    int m_WorldSize;                  // (side - 1) x spacing
    int m_PatchesPerSide;
    int m_Side;                       // vertices per side
    int m_CellsPerPatch;
    const std::vector<Texture*>* m_Textures;  // not owned: base, then detail
    TerrainQuadtree* m_Quadtree;      // owned
    int m_Spacing;                    // 64
    int m_PatchesDrawn;               // by the latest Render
    int m_PatchesInFog;               // of those, drawn in the fog's colour alone
    bool m_FlatBeyondFog;             // draw them so (true); false draws them in full
    // Each patch is drawn at the coarsest level of detail whose error would
    // move no pixel by more than one (see Render); true draws every patch
    // at its full grid instead, for comparison.
    bool m_FullDetail;
    PatchLevels* m_Levels;            // owned: the levels' triangle lists, shared by the patches
    unsigned int m_LevelBuffer;       // the buffer object holding the lists; 0 without one
    bool m_LevelBufferBound;          // while the grid is bound
    std::vector<TerrainPatch*> m_PatchGrid;  // not owned: the patches, row by row from the north-west
    int m_TrianglesDrawn;             // by the latest Render
    unsigned int m_PointedAt;         // the grid point the vertex arrays start at, while bound
    // The latest Render's leaves in view, and their patches by the nearest
    // distance ahead of the eye; kept to spare a frame's allocations.
    std::vector<const QuadtreeNode*> m_LeavesInView;
    std::vector<std::pair<float, TerrainPatch*> > m_DrawOrder;

    // Builds everything from the heightmap picture. A picture that is missing
    // or of a size the patches cannot divide ends start-up with a message.
    Terrain(const char* heightmapFile, const std::vector<Texture*>* textures, int patchesPerSide);
    ~Terrain() override;
    // The same in two steps, so that the work that needs no OpenGL can be
    // done on a helper thread while the window opens. BuildAhead writes
    // nothing to the log and shows nothing: for a picture the constructor
    // would refuse it gives NULL, so that the constructor can say why. Finish,
    // with the context current, writes the log lines the constructor writes
    // and uploads the grid.
    static Terrain* BuildAhead(const char* heightmapFile, int patchesPerSide);
    void Finish(const char* heightmapFile, const std::vector<Texture*>* textures);

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
    // Files the object in the quadtree for culled drawing.
    void AddObject(SceneObject* object);
    // Empties the quadtree of objects, its boxes back to the ground's.
    void ClearObjects();

    // Draws the visible patches nearest first, with both ground textures,
    // then the visible objects of the quadtree. Without a frustum nothing is
    // culled. A patch wholly beyond the end of linear fog would come out in
    // the fog's colour to the last pixel, so it is drawn in that colour
    // alone, untextured and unlit: the same picture for far less work.
    // Patches farther away are drawn with fewer triangles: each takes the
    // coarsest level whose error, seen from its nearest point with the
    // game's 60-degree view over 600 pixels, is at most a pixel, and keeps
    // within one level of its neighbours. Every vertex drawn is a grid
    // point, with its own normal.
    void Render(Frustum* frustum) override;

private:
    Terrain(const std::vector<Texture*>* textures, int patchesPerSide);
    const char* HeightmapProblem() const;
    void CheckHeightmap(const char* heightmapFile) const;
    void Shape();
    void BuildGrid();
    void UploadGrid();
    void OrderNearestFirst(const float modelview[16]);
    void MeasureLevels();
    void ChooseLevels(const float modelview[16]);
    // The patch at that place of the patches' grid; NULL outside it.
    const TerrainPatch* PatchAt(int row, int column) const;
    int CoarserEdges(const TerrainPatch& patch) const;
    void DrawPatch(TerrainPatch& patch);
    void PointAt(unsigned int firstIndex);
    void BindGrid();
    void SurfaceArrays(bool on) const;
    void UnbindGrid();

    Terrain(const Terrain&);
    Terrain& operator=(const Terrain&);
};

// A square block of S x S grid vertices with its first vertex at column I,
// row J, drawn as S - 1 triangle strips, joined into one by degenerate
// triangles, through indices into the terrain's grid. Neighbouring patches
// share their border vertices.
class TerrainPatch : public SceneObject {
public:
    unsigned int* m_Indices;          // owned: strip after strip, each joined to the next by two repeats
    int m_IndexCount;                 // 2 S (S - 1) + 2 (S - 2)
    unsigned int m_FirstIndex;        // the lowest and highest grid index used
    unsigned int m_LastIndex;
    int m_SizeVertices;               // S
    const Terrain* m_Terrain;         // not owned
    BoundingBox m_Box;                // the vertices' extent, always reaching 0
    int m_Column;                     // I and J: the grid point of its north-west corner
    int m_Row;
    float m_LevelErrors[PatchLevels::MOST_LEVELS];  // per level of detail, what it leaves out
    int m_Level;                      // the level of the latest Render

    TerrainPatch(const Terrain* terrain, int I, int J, int S);
    ~TerrainPatch() override;

    // Draws the strips; the terrain's grid must be bound.
    void DrawGeometry() override;

private:
    TerrainPatch(const TerrainPatch&);
    TerrainPatch& operator=(const TerrainPatch&);
};

#endif
