// TerrainQuadtree: a complete quadtree of fixed depth over the terrain's
// square; each leaf owns one patch. Node boxes span the node's square and,
// vertically, the ground under it and the objects filed through it, so a
// tall palm on low ground keeps its cell visible. Each frame the tree culls
// patches and objects against the frustum from the root down.
#ifndef TERRAIN_TERRAIN_QUADTREE_H
#define TERRAIN_TERRAIN_QUADTREE_H

#include <vector>

#include "scene/BoundingBox.h"

class Frustum;
class SceneObject;
class TerrainGrid;
class TerrainPatch;

class QuadtreeNode {
public:
    int m_CenterX;
    int m_CenterZ;
    int m_HalfSize;
    bool m_HasChildren;
    int m_Level;                              // remaining depth; 0 for leaves
    BoundingBox m_Box;
    QuadtreeNode* m_Children[4];              // owned; slots 1..4 at indices 0..3
    std::vector<SceneObject*> m_Objects;      // leaves: not owned
    std::vector<TerrainPatch*> m_Patches;     // leaves: owned, exactly one

    QuadtreeNode(int centerX, int centerZ, int halfSize);
    virtual ~QuadtreeNode();

private:
    QuadtreeNode(const QuadtreeNode&);
    QuadtreeNode& operator=(const QuadtreeNode&);
};

class TerrainQuadtree {
public:
    QuadtreeNode* m_Root;       // owned
    const TerrainGrid* m_Grid;  // not owned
    int m_WorldSize;

    // Builds the whole tree and its patches; depth 0 is a single leaf.
    TerrainQuadtree(int depth, const TerrainGrid* grid);
    virtual ~TerrainQuadtree();

    // Files the object in every leaf its bounding sphere may reach, widening
    // the height of every node on the way. An object is filed once per leaf.
    void AddObject(SceneObject* object);
    // Takes every object out, each box back to the height of its ground.
    void ClearObjects();
    // Appends the leaves in view to leaves; without a frustum, every leaf.
    void CollectLeaves(const Frustum* frustum, std::vector<const QuadtreeNode*>& leaves) const;
    // Draws the visible objects of the visible leaves (an object in several
    // visible leaves is drawn once for each).
    void DrawObjects(const Frustum* frustum);
    // Logs every node's level and box extent (a diagnostic).
    void Dump() const;

private:
    BoundingBox Build(QuadtreeNode* node, int depth);
    BoundingBox ClearObjects(QuadtreeNode* node);
    // An inner node's height: its children's, whole units outwards.
    static BoundingBox SpanChildren(QuadtreeNode* node, const BoundingBox (&boxes)[4]);
    void Insert(QuadtreeNode* node, SceneObject* object);
    void CollectLeaves(const QuadtreeNode* node, const Frustum* frustum,
                       std::vector<const QuadtreeNode*>& leaves) const;
    void DrawObjects(QuadtreeNode* node, const Frustum* frustum);
    void Dump(const QuadtreeNode* node) const;

    TerrainQuadtree(const TerrainQuadtree&);
    TerrainQuadtree& operator=(const TerrainQuadtree&);
};

#endif
