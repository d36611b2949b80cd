// Loading models without textures: bounding spheres, the log report, copies
// and failures. (Textured models need a context: see AssetsGLTest.)
#include "assets/Model.h"

#include <cstdio>
#include <gtest/gtest.h>

#include "tests/support/Ms3dBuilder.h"
#include "tests/support/TempDir.h"

static Ms3dBuilder WithVertices(const std::vector<Vector3>& vertices)
{
    Ms3dBuilder file;
    file.Header().U16(static_cast<unsigned>(vertices.size()));
    for (const Vector3& v : vertices) {
        file.Vertex(v.x, v.y, v.z);
    }
    file.U16(0).U16(0).U16(0);
    return file;
}

static bool Load(Model& model, const Ms3dBuilder& file, const char* name = "models/test.ms3d")
{
    return model.LoadFromMemory(name, file.bytes.data(), file.bytes.size());
}

TEST(ModelBounds, SphereEnclosesTheVertexBox)
{
    TempDir dir;
    Model model;
    ASSERT_TRUE(Load(model, WithVertices({Vector3(-1, 0, 0), Vector3(1, 2, 0)})));
    EXPECT_NEAR(model.m_BoundingSphere.m_Center.x, 0.0f, 1e-6f);
    EXPECT_NEAR(model.m_BoundingSphere.m_Center.y, 1.0f, 1e-6f);
    EXPECT_NEAR(model.m_BoundingSphere.m_Radius, 1.4142136f, 1e-5f);
    EXPECT_EQ(dir.ReadFile("vellmora.log"),
              "min/max y: 0.00, 2.00\n"
              "bounding sphere center: (0.00, 1.00, 0.00)\n"
              "bounding sphere radius: 1.41\n"
              "***\n"
              "Model: models/test.ms3d\n");
}

TEST(ModelBounds, SingleVertexAndEmptyModel)
{
    TempDir dir;
    Model single;
    ASSERT_TRUE(Load(single, WithVertices({Vector3(1, 2, 3)})));
    EXPECT_FLOAT_EQ(single.m_BoundingSphere.m_Center.z, 3.0f);
    EXPECT_FLOAT_EQ(single.m_BoundingSphere.m_Radius, 0.0f);

    // No vertices: the box keeps its starting corners.
    Model empty;
    ASSERT_TRUE(Load(empty, WithVertices({}), "models/empty.ms3d"));
    EXPECT_NEAR(empty.m_BoundingSphere.m_Radius, 17320.51f, 0.01f);
    EXPECT_NE(dir.ReadFile("vellmora.log").find("min/max y: 10000.00, -10000.00\n"), std::string::npos);

    // Coordinates beyond 10000 never lower the starting minimum.
    Model far;
    ASSERT_TRUE(Load(far, WithVertices({Vector3(20000, 0, 0), Vector3(30000, 0, 0)})));
    EXPECT_FLOAT_EQ(far.m_BoundingSphere.m_Center.x, (10000.0f + 30000.0f) / 2.0f);
}

TEST(ModelCopy, SharesGeometryAndSphereButNotPlacement)
{
    TempDir dir;
    Model source;
    ASSERT_TRUE(Load(source, WithVertices({Vector3(-1, 0, 0), Vector3(1, 2, 0)})));
    source.SetPosition(50, 60, 70);
    Model copy(source);
    EXPECT_EQ(copy.m_Vertices, source.m_Vertices);
    EXPECT_EQ(copy.m_VertexCount, source.m_VertexCount);
    EXPECT_EQ(copy.m_FileName, source.m_FileName);
    EXPECT_FLOAT_EQ(copy.m_BoundingSphere.m_Radius, source.m_BoundingSphere.m_Radius);
    EXPECT_FLOAT_EQ(copy.m_BoundingSphere.m_Center.y, source.m_BoundingSphere.m_Center.y);
    EXPECT_FLOAT_EQ(copy.m_Position.x, 0.0f);
}

TEST(ModelLoad, FailuresLogOneLineAndLeaveAnEmptyModel)
{
    TempDir dir;
    Model missing("models/missing.ms3d");
    EXPECT_EQ(missing.m_VertexCount, 0);
    Ms3dBuilder wrongVersion;
    wrongVersion.Header(5).U16(0).U16(0).U16(0).U16(0);
    FILE* file = fopen("old.ms3d", "wb");
    ASSERT_TRUE(file != NULL);
    fwrite(wrongVersion.bytes.data(), 1, wrongVersion.bytes.size(), file);
    fclose(file);
    Model old;
    EXPECT_FALSE(old.Load("old.ms3d"));
    Ms3dBuilder truncated;
    truncated.Header().U16(2).Vertex(0, 0, 0);
    Model cut;
    EXPECT_FALSE(Load(cut, truncated, "models/cut.ms3d"));
    EXPECT_EQ(cut.m_VertexCount, 0);
    EXPECT_EQ(dir.ReadFile("vellmora.log"),
              "Could not load models/missing.ms3d correctly\n"
              "old.ms3d is not a valid .ms3d\n"
              "models/cut.ms3d is truncated: 2 vertices need more than the 15 bytes left at byte 16\n");
}

TEST(TexturePaths, TakeTheBaseNameUnderImages)
{
    char path[200];
    const char* names[] = {".\\skins\\craft.bmp", "C:\\art\\craft.bmp", "skins/craft.bmp", "craft.bmp",
                           "mixed/dir\\craft.bmp"};
    for (const char* name : names) {
        TexturePathFor(name, path, sizeof path);
        EXPECT_STREQ(path, "images/craft.bmp") << name;
    }
    TexturePathFor("trailing\\", path, sizeof path);
    EXPECT_STREQ(path, "images/");
}
