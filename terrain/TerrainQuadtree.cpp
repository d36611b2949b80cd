// Building, filling and culling the terrain quadtree.
#include "terrain/TerrainQuadtree.h"

#include <algorithm>

#include "base/Logger.h"
#include "scene/Frustum.h"
#include "scene/SceneObject.h"
#include "terrain/TerrainGrid.h"
#include "terrain/TerrainPatch.h"

QuadtreeNode::QuadtreeNode(int centerX, int centerZ, int halfSize)
    : m_CenterX(centerX), m_CenterZ(centerZ), m_HalfSize(halfSize), m_HasChildren(false), m_Level(0),
      m_Box(Vector3(static_cast<float>(centerX - halfSize), 0.0f, static_cast<float>(centerZ - halfSize)),
            Vector3(static_cast<float>(centerX + halfSize), 0.0f, static_cast<float>(centerZ + halfSize))),
      m_Children{NULL, NULL, NULL, NULL}
{
}

QuadtreeNode::~QuadtreeNode()
{
    for (QuadtreeNode* child : m_Children) {
        delete child;
    }
    for (TerrainPatch* patch : m_Patches) {
        delete patch;
    }
}

TerrainQuadtree::TerrainQuadtree(int depth, const TerrainGrid* grid)
    : m_Root(NULL), m_Grid(grid), m_WorldSize(grid->GetWorldSize())
{
    m_Root = new QuadtreeNode(0, 0, m_WorldSize / 2);
    Build(m_Root, depth);
}

TerrainQuadtree::~TerrainQuadtree()
{
    delete m_Root;
}

BoundingBox TerrainQuadtree::Build(QuadtreeNode* node, int depth)
{
    node->m_Level = depth;
    if (depth == 0) {
        int spacing = m_Grid->GetSpacing();
        int size = 2 * node->m_HalfSize / spacing + 1;
        // The patch's first grid point: the node's west and north (+z) edges.
        int column = (node->m_CenterX - node->m_HalfSize + m_WorldSize / 2) / spacing;
        int row = -((node->m_CenterZ + node->m_HalfSize - m_WorldSize / 2) / spacing);
        TerrainPatch* patch = new TerrainPatch(m_Grid, column, row, size);
        node->m_Box.m_Min.y = std::min(node->m_Box.m_Min.y, patch->m_Box.m_Min.y);
        node->m_Box.m_Max.y = std::max(node->m_Box.m_Max.y, patch->m_Box.m_Max.y);
        node->m_Patches.push_back(patch);
        return node->m_Box;
    }
    int r = static_cast<int>(node->m_HalfSize / 2.0);
    node->m_Children[0] = new QuadtreeNode(node->m_CenterX - r, node->m_CenterZ + r, r);
    node->m_Children[1] = new QuadtreeNode(node->m_CenterX + r, node->m_CenterZ + r, r);
    node->m_Children[2] = new QuadtreeNode(node->m_CenterX - r, node->m_CenterZ - r, r);
    node->m_Children[3] = new QuadtreeNode(node->m_CenterX + r, node->m_CenterZ - r, r);
    node->m_HasChildren = true;
    BoundingBox boxes[4];
    for (int i = 0; i < 4; ++i) {
        boxes[i] = Build(node->m_Children[i], depth - 1);
    }
    return SpanChildren(node, boxes);
}

BoundingBox TerrainQuadtree::SpanChildren(QuadtreeNode* node, const BoundingBox (&boxes)[4])
{
    int high = -100000;
    int low = 100000;
    for (const BoundingBox& box : boxes) {
        if (high < box.m_Max.y) {
            high = static_cast<int>(box.m_Max.y);
        }
    }
    for (const BoundingBox& box : boxes) {
        if (low > box.m_Min.y) {
            low = static_cast<int>(box.m_Min.y);
        }
    }
    node->m_Box.m_Min.y = static_cast<float>(low);
    node->m_Box.m_Max.y = static_cast<float>(high);
    return node->m_Box;
}

void TerrainQuadtree::ClearObjects()
{
    ClearObjects(m_Root);
}

BoundingBox TerrainQuadtree::ClearObjects(QuadtreeNode* node)
{
    if (!node->m_HasChildren) {
        // As built: from the height 0 a node starts with to its patch's.
        node->m_Objects.clear();
        node->m_Box.m_Min.y = std::min(0.0f, node->m_Patches[0]->m_Box.m_Min.y);
        node->m_Box.m_Max.y = std::max(0.0f, node->m_Patches[0]->m_Box.m_Max.y);
        return node->m_Box;
    }
    BoundingBox boxes[4];
    for (int i = 0; i < 4; ++i) {
        boxes[i] = ClearObjects(node->m_Children[i]);
    }
    return SpanChildren(node, boxes);
}

void TerrainQuadtree::AddObject(SceneObject* object)
{
    Insert(m_Root, object);
}

void TerrainQuadtree::Insert(QuadtreeNode* node, SceneObject* object)
{
    const BoundingSphere& sphere = object->GetBoundingSphere();
    const Vector3& c = sphere.m_Center;
    float radius = sphere.m_Radius;
    node->m_Box.m_Min.y = std::min(node->m_Box.m_Min.y, c.y - radius);
    node->m_Box.m_Max.y = std::max(node->m_Box.m_Max.y, c.y + radius);
    if (!node->m_HasChildren) {
        if (std::find(node->m_Objects.begin(), node->m_Objects.end(), object) == node->m_Objects.end()) {
            node->m_Objects.push_back(object);
        }
        return;
    }
    Vector3 lo = c - Vector3(radius, radius, radius);
    Vector3 hi = c + Vector3(radius, radius, radius);
    float midX = (node->m_Box.m_Min.x + node->m_Box.m_Max.x) * 0.5f;
    float midZ = (node->m_Box.m_Min.z + node->m_Box.m_Max.z) * 0.5f;
    // Every child the sphere's extent reaches, touching the midline included.
    if (lo.x <= midX && hi.z >= midZ) {
        Insert(node->m_Children[0], object);
    }
    if (hi.x >= midX && hi.z >= midZ) {
        Insert(node->m_Children[1], object);
    }
    if (hi.x >= midX && lo.z <= midZ) {
        Insert(node->m_Children[3], object);
    }
    if (lo.x <= midX && lo.z <= midZ) {
        Insert(node->m_Children[2], object);
    }
}

void TerrainQuadtree::CollectLeaves(const Frustum* frustum, std::vector<const QuadtreeNode*>& leaves) const
{
    CollectLeaves(m_Root, frustum, leaves);
}

void TerrainQuadtree::CollectLeaves(const QuadtreeNode* node, const Frustum* frustum,
                                    std::vector<const QuadtreeNode*>& leaves) const
{
    if (frustum != NULL && !frustum->BoxVisible(node->m_Box)) {
        return;
    }
    if (!node->m_HasChildren) {
        leaves.push_back(node);
        return;
    }
    for (const QuadtreeNode* child : node->m_Children) {
        CollectLeaves(child, frustum, leaves);
    }
}

void TerrainQuadtree::DrawObjects(const Frustum* frustum)
{
    DrawObjects(m_Root, frustum);
}

void TerrainQuadtree::DrawObjects(QuadtreeNode* node, const Frustum* frustum)
{
    if (frustum != NULL && !frustum->BoxVisible(node->m_Box)) {
        return;
    }
    if (node->m_HasChildren) {
        for (QuadtreeNode* child : node->m_Children) {
            DrawObjects(child, frustum);
        }
        return;
    }
    for (SceneObject* object : node->m_Objects) {
        if (object->visible) {
            object->Render(NULL);
        }
    }
}

void TerrainQuadtree::Dump() const
{
    Dump(m_Root);
}

void TerrainQuadtree::Dump(const QuadtreeNode* node) const
{
    LogMessage("Current level: %d", node->m_Level);
    LogMessage("BB extent: min (%f, %f), max (%f, %f)", node->m_Box.m_Min.x, node->m_Box.m_Min.z,
               node->m_Box.m_Max.x, node->m_Box.m_Max.z);
    if (node->m_HasChildren) {
        for (const QuadtreeNode* child : node->m_Children) {
            Dump(child);
        }
    }
}
