// Terrain: the landscape as drawn. It owns the grid (see TerrainGrid.h)
// and holds its records for drawing in one buffer object (or, on a context
// without them, in client memory), cut into square patches that a quadtree
// culls, each drawn at its level of detail. Height questions are the
// grid's. The terrain stays at the origin.
#ifndef TERRAIN_TERRAIN_H
#define TERRAIN_TERRAIN_H

#include <utility>
#include <vector>

#include "scene/SceneObject.h"

class PatchLevels;
class QuadtreeNode;
class Texture;
class TerrainGrid;
class TerrainPatch;
class TerrainQuadtree;

class Terrain : public SceneObject {
public:
    // The grid for drawing: per point, row-major, its position (3 floats),
    // normal (3) and texture coordinates (2, shared by both texture units).
    unsigned int m_Buffer;            // the buffer object holding it; 0 without one
    std::vector<float> m_ClientGrid;  // the same in client memory, only without a buffer (or until uploaded)
    TerrainGrid* m_Grid;              // owned: heights, positions, normals, sizes
    const std::vector<Texture*>* m_Textures;  // not owned: base, then detail
    TerrainQuadtree* m_Quadtree;      // owned
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
    explicit Terrain(const std::vector<Texture*>* textures);
    void CheckHeightmap(const char* heightmapFile) const;
    void Shape();
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

#endif
