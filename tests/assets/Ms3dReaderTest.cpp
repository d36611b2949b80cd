// Parsing MS3D bytes: what is accepted, and what is refused without reading
// or writing outside the buffers.
#include "assets/Ms3dReader.h"

#include <gtest/gtest.h>

#include "assets/Model.h"
#include "tests/support/Ms3dBuilder.h"

// One triangle over three vertices, one group, no materials.
static Ms3dBuilder Minimal(int version = 4)
{
    Ms3dBuilder file;
    file.Header(version).U16(3).Vertex(-1, 0, 0).Vertex(1, 2, 0).Vertex(0, 0, 1);
    file.U16(1).Triangle(0, 1, 2);
    file.U16(1).Group({0}, -1);
    file.U16(0);
    return file;
}

static Ms3dResult Read(const Ms3dBuilder& file, Model& model, std::string* reason = NULL)
{
    char text[200];
    Ms3dResult result = ReadMs3d(file.bytes.data(), file.bytes.size(), model, text, sizeof text);
    if (reason != NULL) {
        *reason = text;
    }
    return result;
}

static void ExpectEmpty(const Model& model)
{
    EXPECT_EQ(model.m_VertexCount, 0);
    EXPECT_EQ(model.m_TriangleCount, 0);
    EXPECT_EQ(model.m_GroupCount, 0);
    EXPECT_EQ(model.m_MaterialCount, 0);
    EXPECT_TRUE(model.m_Vertices == NULL);
    EXPECT_TRUE(model.m_Groups == NULL);
}

TEST(Ms3dHeader, AcceptsVersionsThreeAndFourOnly)
{
    for (int version : {3, 4}) {
        Model model;
        EXPECT_EQ(Read(Minimal(version), model), MS3D_OK) << "version " << version;
        EXPECT_EQ(model.m_VertexCount, 3);
    }
    for (int version : {2, 5}) {
        Model model;
        EXPECT_EQ(Read(Minimal(version), model), MS3D_NOT_MS3D) << "version " << version;
        ExpectEmpty(model);
    }
    Ms3dBuilder wrongId;
    wrongId.Header(4, "MS3D000001").U16(0).U16(0).U16(0).U16(0);
    Model model;
    EXPECT_EQ(Read(wrongId, model), MS3D_NOT_MS3D);
}

TEST(Ms3dRecords, AreReadFieldByField)
{
    Ms3dBuilder file;
    file.Header().U16(3).Vertex(-1, 0, 0).Vertex(1, 2, 0).Vertex(0, 0, 1);
    file.U16(1).Triangle(2, 0, 1, 0.25f, 0.75f);
    file.U16(1).Group({0}, 0, "hull");
    file.U16(1).Material(".\\skins\\craft.bmp", "paint");
    Model model;
    ASSERT_EQ(Read(file, model), MS3D_OK);
    EXPECT_FLOAT_EQ(model.m_Vertices[1].position[1], 2.0f);
    EXPECT_EQ(model.m_Vertices[1].boneId, -1);
    EXPECT_EQ(model.m_Triangles[0].vertexIndices[0], 2);
    EXPECT_FLOAT_EQ(model.m_Triangles[0].vertexNormals[2][1], 1.0f);
    EXPECT_FLOAT_EQ(model.m_Triangles[0].s[0], 0.25f);
    EXPECT_FLOAT_EQ(model.m_Triangles[0].t[0], 0.75f);
    EXPECT_STREQ(model.m_Groups[0].name, "hull");
    EXPECT_EQ(model.m_Groups[0].materialIndex, 0);
    EXPECT_STREQ(model.m_Materials[0].textureFileName, ".\\skins\\craft.bmp");
    EXPECT_FLOAT_EQ(model.m_Materials[0].shininess, 10.0f);
    EXPECT_TRUE(model.m_Materials[0].texture == NULL);
}

TEST(Ms3dMalformed, TruncationAnywhereIsRefused)
{
    Ms3dBuilder full = Minimal();
    full.bytes.resize(full.bytes.size() - 2);  // replace the empty material list
    full.U16(1).Material("");
    // Cut the file at every length after the header: never accepted, never
    // read past the end (AddressSanitizer builds check the latter).
    int refused = 0;
    for (size_t length = 14; length < full.bytes.size(); ++length) {
        Ms3dBuilder cut;
        cut.bytes.assign(full.bytes.begin(), full.bytes.begin() + length);
        Model model;
        std::string reason;
        if (Read(cut, model, &reason) == MS3D_MALFORMED) {
            ++refused;
            ExpectEmpty(model);
            EXPECT_NE(reason.find("truncated"), std::string::npos) << reason;
        }
    }
    EXPECT_EQ(refused, static_cast<int>(full.bytes.size() - 14));
}

TEST(Ms3dMalformed, CountsBeyondTheDataAreRefusedBeforeAllocating)
{
    Ms3dBuilder file;
    file.Header().U16(60000).Vertex(0, 0, 0);
    Model model;
    std::string reason;
    EXPECT_EQ(Read(file, model, &reason), MS3D_MALFORMED);
    EXPECT_NE(reason.find("60000 vertices"), std::string::npos) << reason;
    ExpectEmpty(model);
}

TEST(Ms3dMalformed, IndicesOutsideTheirArraysAreRefused)
{
    Ms3dBuilder badVertex;
    badVertex.Header().U16(3).Vertex(0, 0, 0).Vertex(1, 0, 0).Vertex(0, 0, 1);
    badVertex.U16(1).Triangle(0, 1, 3).U16(0).U16(0);
    Model a;
    std::string reason;
    EXPECT_EQ(Read(badVertex, a, &reason), MS3D_MALFORMED);
    EXPECT_EQ(reason, "has triangle 0 naming vertex 3 of 3");

    Ms3dBuilder badTriangle = Minimal();
    badTriangle.bytes.resize(badTriangle.bytes.size() - 42);  // drop the groups and materials
    badTriangle.U16(1).Group({1}, -1).U16(0);
    Model b;
    EXPECT_EQ(Read(badTriangle, b, &reason), MS3D_MALFORMED);
    EXPECT_EQ(reason, "has group 0 naming triangle 1 of 1");

    Ms3dBuilder badMaterial = Minimal();
    badMaterial.bytes.resize(badMaterial.bytes.size() - 42);
    badMaterial.U16(1).Group({0}, 1).U16(1).Material("");
    Model c;
    EXPECT_EQ(Read(badMaterial, c, &reason), MS3D_MALFORMED);
    EXPECT_EQ(reason, "has group 0 naming material 1 of 1");
    ExpectEmpty(c);
}

TEST(Ms3dMalformed, UnterminatedTextureNameIsRefused)
{
    Ms3dBuilder file = Minimal();
    file.bytes.pop_back();
    file.bytes.pop_back();
    file.U16(1).Material(std::string(128, 'x'));
    Model model;
    std::string reason;
    EXPECT_EQ(Read(file, model, &reason), MS3D_MALFORMED);
    EXPECT_EQ(reason, "has material 0 whose texture name is not terminated");
}
