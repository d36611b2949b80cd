// The terrain's making: its grid from the heightmap, its patches in a
// quadtree with their levels of detail, and the objects filed in it. Its
// drawing is TerrainDrawing.cpp's.
#include "terrain/terrain.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "assets/Image.h"
#include "base/Fatal.h"
#include "base/Logger.h"
#include "terrain/Heightmap.h"
#include "terrain/PatchLevels.h"
#include "terrain/TerrainGrid.h"
#include "terrain/TerrainPatch.h"
#include "terrain/TerrainQuadtree.h"

Terrain::Terrain(const std::vector<Texture*>* textures)
    : m_Buffer(0), m_Grid(NULL), m_Textures(textures), m_Quadtree(NULL),
      m_PatchesDrawn(0), m_PatchesInFog(0), m_FlatBeyondFog(true), m_FullDetail(false), m_Levels(NULL),
      m_LevelBuffer(0), m_LevelBufferBound(false), m_TrianglesDrawn(0), m_PointedAt(0)
{
}

Terrain* Terrain::BuildAhead(const char* heightmapFile, int patchesPerSide)
{
    Image image(heightmapFile, false);
    Terrain* terrain = new Terrain(NULL);
    terrain->m_Grid = new TerrainGrid(new Heightmap(heightmapFile, image, false), patchesPerSide);
    if (terrain->m_Grid->HeightmapProblem() != NULL) {
        delete terrain;
        return NULL;
    }
    terrain->Shape();
    return terrain;
}

// The quadtree with its patches, and the grid in client memory.
void Terrain::Shape()
{
    const TerrainGrid& grid = *m_Grid;
    int depth = static_cast<int>(std::log(static_cast<double>(grid.m_Side - 1)) / std::log(2.0) -
                                 std::log(static_cast<double>(grid.m_CellsPerPatch)) / std::log(2.0));
    m_Quadtree = new TerrainQuadtree(depth, m_Grid);
    MeasureLevels();
    m_ClientGrid = grid.BuildRecords();
}

// The patches in a grid of their own, each with the error of every level.
void Terrain::MeasureLevels()
{
    const int cells = m_Grid->m_CellsPerPatch;
    const int patchesPerSide = m_Grid->m_PatchesPerSide;
    m_Levels = new PatchLevels(cells, m_Grid->m_Side);
    m_PatchGrid.assign(static_cast<size_t>(patchesPerSide) * patchesPerSide, NULL);
    std::vector<const QuadtreeNode*> leaves;
    m_Quadtree->CollectLeaves(NULL, leaves);
    for (const QuadtreeNode* leaf : leaves) {
        for (TerrainPatch* patch : leaf->m_Patches) {
            size_t place = static_cast<size_t>(patch->m_Row / cells) * patchesPerSide + patch->m_Column / cells;
            m_PatchGrid[place] = patch;
            m_Levels->MeasureErrors(*m_Grid, patch->m_Column, patch->m_Row, patch->m_LevelErrors);
        }
    }
}

Terrain::~Terrain()
{
    delete m_Levels;
    delete m_Quadtree;
    delete m_Grid;
}

void Terrain::CheckHeightmap(const char* heightmapFile) const
{
    const char* problem = m_Grid->HeightmapProblem();
    if (problem == NULL) {
        return;
    }
    if (m_Grid->m_Heightmap->IsValid()) {
        LogMessage("Heightmap %s is %d x %d: %s", heightmapFile, m_Grid->m_Heightmap->GetSize(), m_Grid->m_Heightmap->GetSize(),
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

void Terrain::AddObject(SceneObject* object)
{
    m_Quadtree->AddObject(object);
}

void Terrain::ClearObjects()
{
    m_Quadtree->ClearObjects();
}
