#include "scene/BoundingBox.h"
#include "scene/BoundingSphere.h"

#include <cmath>
#include <gtest/gtest.h>

static BoundingSphere Sphere(float x, float y, float z, float radius)
{
    BoundingSphere sphere;
    sphere.m_Center = Vector3(x, y, z);
    sphere.m_Radius = radius;
    return sphere;
}

TEST(SphereIntersects, TouchingCountsAndAGapDoesNot)
{
    EXPECT_TRUE(Sphere(0, 0, 0, 1).Intersects(Sphere(2, 0, 0, 1)));
    EXPECT_FALSE(Sphere(0, 0, 0, 1).Intersects(Sphere(2.0001f, 0, 0, 1)));
    EXPECT_TRUE(Sphere(0, 0, 0, 1).Intersects(Sphere(0, 0, 0, 1)));
}

TEST(SphereIntersects, PointSphereIntersectsWhenInsideOrOn)
{
    BoundingSphere big = Sphere(10, 0, 0, 5);
    EXPECT_TRUE(Sphere(14, 0, 0, 0).Intersects(big));
    EXPECT_TRUE(Sphere(10, 5, 0, 0).Intersects(big));
    EXPECT_FALSE(Sphere(10, 0, 5.01f, 0).Intersects(big));
}

TEST(SphereIntersects, NotANumberNeverIntersects)
{
    EXPECT_FALSE(Sphere(NAN, 0, 0, 1).Intersects(Sphere(0, 0, 0, 1)));
    EXPECT_FALSE(Sphere(0, 0, 0, NAN).Intersects(Sphere(0, 0, 0, 1)));
}

TEST(BoxContains, IncludesSharedFacesAndItself)
{
    BoundingBox outer(Vector3(0, 0, 0), Vector3(10, 10, 10));
    EXPECT_TRUE(outer.Contains(outer));
    EXPECT_TRUE(outer.Contains(BoundingBox(Vector3(0, 2, 3), Vector3(10, 4, 5))));
    EXPECT_FALSE(outer.Contains(BoundingBox(Vector3(-0.1f, 2, 3), Vector3(5, 4, 5))));
    EXPECT_FALSE(outer.Contains(BoundingBox(Vector3(1, 2, 3), Vector3(5, 4, 10.1f))));

    BoundingBox moved;
    moved.SetCorners(Vector3(1, 1, 1), Vector3(2, 2, 2));
    EXPECT_TRUE(outer.Contains(moved));
    EXPECT_FALSE(moved.Contains(outer));
}
