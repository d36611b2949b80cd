// Building the patches' triangle lists level by level, and measuring what
// each level leaves out.
#include "terrain/PatchLevels.h"

#include <algorithm>
#include <cmath>

#include "terrain/terrain.h"

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

void PatchLevels::MeasureErrors(const Terrain& terrain, int column, int row, float outErrors[MOST_LEVELS]) const
{
    auto height = [&terrain, column, row](int r, int c) { return terrain.GetPosition(column + c, row + r).y; };
    for (int level = 0; level < MOST_LEVELS; ++level) {
        float error = level > 0 ? outErrors[level - 1] : 0.0f;
        if (level > 0 && level < m_LevelCount) {
            std::vector<Point> triangles = Triangulate(level, 0);
            for (size_t t = 0; t < triangles.size(); t += 3) {
                const Point& a = triangles[t];
                const Point& b = triangles[t + 1];
                const Point& c = triangles[t + 2];
                float area = static_cast<float>((b.m_Column - a.m_Column) * (c.m_Row - a.m_Row) -
                                                (b.m_Row - a.m_Row) * (c.m_Column - a.m_Column));
                int rowLow = std::min({a.m_Row, b.m_Row, c.m_Row});
                int rowHigh = std::max({a.m_Row, b.m_Row, c.m_Row});
                int columnLow = std::min({a.m_Column, b.m_Column, c.m_Column});
                int columnHigh = std::max({a.m_Column, b.m_Column, c.m_Column});
                for (int r = rowLow; r <= rowHigh; ++r) {
                    for (int k = columnLow; k <= columnHigh; ++k) {
                        // Barycentric weights of the grid point in the triangle.
                        float wb = ((k - a.m_Column) * (c.m_Row - a.m_Row) - (r - a.m_Row) * (c.m_Column - a.m_Column)) / area;
                        float wc = ((b.m_Column - a.m_Column) * (r - a.m_Row) - (b.m_Row - a.m_Row) * (k - a.m_Column)) / area;
                        if (wb < 0.0f || wc < 0.0f || wb + wc > 1.0f) {
                            continue;
                        }
                        float surface = (1.0f - wb - wc) * height(a.m_Row, a.m_Column) +
                                        wb * height(b.m_Row, b.m_Column) + wc * height(c.m_Row, c.m_Column);
                        error = std::max(error, std::fabs(surface - height(r, k)));
                    }
                }
            }
        } else if (level >= m_LevelCount) {
            error = INFINITY;  // no such level: never chosen
        }
        outErrors[level] = error;
    }
}
