// Building the patches' triangle lists level by level, and measuring what
// each level leaves out.
#include "terrain/PatchLevels.h"

#include <algorithm>
#include <cmath>

#include "terrain/TerrainGrid.h"

PatchLevels::PatchLevels(int cells, int side) : m_Cells(cells), m_Side(side), m_LevelCount(1), m_First(), m_Count()
{
    while (m_LevelCount < MOST_LEVELS && (1 << m_LevelCount) <= cells) {
        ++m_LevelCount;
    }
    for (int level = 0; level < m_LevelCount; ++level) {
        for (int edges = 0; edges < EDGE_SETS; ++edges) {
            m_First[level][edges] = static_cast<int>(m_Indices.size());
            for (const Point& point : Triangulate(level, edges)) {
                m_Indices.push_back(static_cast<unsigned int>(point.m_Row * m_Side + point.m_Column));
            }
            m_Count[level][edges] = static_cast<int>(m_Indices.size()) - m_First[level][edges];
        }
    }
}

// Seen from above (y up, x with the columns, z against the rows), whether
// a, b, c turn counter-clockwise: the front faces' winding.
static bool TurnsLeft(int ar, int ac, int br, int bc, int cr, int cc)
{
    return (bc - ac) * (cr - ar) - (br - ar) * (cc - ac) > 0;
}

std::vector<PatchLevels::Point> PatchLevels::Triangulate(int level, int coarserEdges) const
{
    std::vector<Point> triangles;
    auto add = [&triangles](Point a, Point b, Point c) {
        if (!TurnsLeft(a.m_Row, a.m_Column, b.m_Row, b.m_Column, c.m_Row, c.m_Column)) {
            std::swap(b, c);
        }
        triangles.push_back(a);
        triangles.push_back(b);
        triangles.push_back(c);
    };
    int step = 1 << level;
    if (2 * step > m_Cells) {
        // One cell, split along the same diagonal as the full grid's cells.
        Point corners[4] = {{0, 0}, {0, step}, {step, step}, {step, 0}};
        add(corners[0], corners[3], corners[2]);
        add(corners[0], corners[2], corners[1]);
        return triangles;
    }
    for (int r = 0; r < m_Cells; r += 2 * step) {
        for (int c = 0; c < m_Cells; c += 2 * step) {
            bool onCoarserEdge = (r == 0 && (coarserEdges & EDGE_NORTH)) ||
                                 (c + 2 * step == m_Cells && (coarserEdges & EDGE_EAST)) ||
                                 (r + 2 * step == m_Cells && (coarserEdges & EDGE_SOUTH)) ||
                                 (c == 0 && (coarserEdges & EDGE_WEST));
            if (!onCoarserEdge) {
                // Four cells split as the full grid's are, from north-west to south-east.
                for (int cr = r; cr < r + 2 * step; cr += step) {
                    for (int cc = c; cc < c + 2 * step; cc += step) {
                        Point nw = {cr, cc};
                        Point ne = {cr, cc + step};
                        Point se = {cr + step, cc + step};
                        Point sw = {cr + step, cc};
                        add(sw, nw, se);
                        add(nw, ne, se);
                    }
                }
                continue;
            }
            Point centre = {r + step, c + step};
            // The square's border, round from its north-west corner; an edge's
            // middle point is left out where it lies on a coarser neighbour's edge.
            const Point ring[8] = {{r, c},
                                   {r, c + step},
                                   {r, c + 2 * step},
                                   {r + step, c + 2 * step},
                                   {r + 2 * step, c + 2 * step},
                                   {r + 2 * step, c + step},
                                   {r + 2 * step, c},
                                   {r + step, c}};
            const bool dropped[8] = {false, r == 0 && (coarserEdges & EDGE_NORTH),
                                     false, c + 2 * step == m_Cells && (coarserEdges & EDGE_EAST),
                                     false, r + 2 * step == m_Cells && (coarserEdges & EDGE_SOUTH),
                                     false, c == 0 && (coarserEdges & EDGE_WEST)};
            std::vector<Point> kept;
            for (int i = 0; i < 8; ++i) {
                if (!dropped[i]) {
                    kept.push_back(ring[i]);
                }
            }
            for (size_t i = 0; i < kept.size(); ++i) {
                add(centre, kept[i], kept[(i + 1) % kept.size()]);
            }
        }
    }
    return triangles;
}

// The largest distance between the heights of the grid points inside the
// triangle a, b, c and the plane through its corners' heights.
template <typename Height>
static float TriangleError(const Height& height, int ar, int ac, int br, int bc, int cr, int cc)
{
    float area = static_cast<float>((bc - ac) * (cr - ar) - (br - ar) * (cc - ac));
    float error = 0.0f;
    for (int r = std::min({ar, br, cr}); r <= std::max({ar, br, cr}); ++r) {
        for (int k = std::min({ac, bc, cc}); k <= std::max({ac, bc, cc}); ++k) {
            // Barycentric weights of the grid point in the triangle.
            float wb = ((k - ac) * (cr - ar) - (r - ar) * (cc - ac)) / area;
            float wc = ((bc - ac) * (r - ar) - (br - ar) * (k - ac)) / area;
            if (wb < 0.0f || wc < 0.0f || wb + wc > 1.0f) {
                continue;
            }
            float plane = (1.0f - wb - wc) * height(ar, ac) + wb * height(br, bc) + wc * height(cr, cc);
            error = std::max(error, std::fabs(plane - height(r, k)));
        }
    }
    return error;
}

void PatchLevels::MeasureErrors(const TerrainGrid& grid, int column, int row, float outErrors[MOST_LEVELS]) const
{
    auto height = [&grid, column, row](int r, int c) { return grid.GetPosition(column + c, row + r).y; };
    outErrors[0] = 0.0f;
    for (int level = 1; level < MOST_LEVELS; ++level) {
        if (level >= m_LevelCount) {
            outErrors[level] = INFINITY;  // no such level: never chosen
            continue;
        }
        // The level's own triangles, no edge following a neighbour.
        float error = outErrors[level - 1];
        const unsigned int* corner = m_Indices.data() + m_First[level][0];
        for (int t = 0; t < m_Count[level][0]; t += 3, corner += 3) {
            int a = static_cast<int>(corner[0]);
            int b = static_cast<int>(corner[1]);
            int c = static_cast<int>(corner[2]);
            error = std::max(error, TriangleError(height, a / m_Side, a % m_Side, b / m_Side, b % m_Side, c / m_Side,
                                                  c % m_Side));
        }
        outErrors[level] = error;
    }
}
