// The terrain, its patches, quadtree and sky, built from heightmaps made in
// the test, against a real context on Xvfb.
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <SDL/SDL.h>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "assets/Texture.h"
#include "scene/Frustum.h"
#include "terrain/Heightmap.h"
#include "terrain/Extensions.h"
#include "terrain/Sky.h"
#include "terrain/TerrainQuadtree.h"
#include "terrain/terrain.h"
#include "tests/support/GLWindow.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempDir.h"

// Saves a grey 24-bit BMP of width x height whose height at (x, y) is given.
static void SaveHeights(const char* path, int width, int height, int (*heightAt)(int x, int y))
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    ASSERT_TRUE(surface != NULL);
    for (int y = 0; y < height; ++y) {
        unsigned char* row = static_cast<unsigned char*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < width; ++x) {
            unsigned char value = static_cast<unsigned char>(heightAt(x, y));
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = value;
        }
    }
    ASSERT_EQ(SDL_SaveBMP(surface, path), 0);
    SDL_FreeSurface(surface);
}

static int Flat(int, int) { return 50; }
// A distinct height per grid point, to tell neighbours apart: 0..255.
static int Ramp(int x, int y) { return (x * 7 + y * 3) % 256; }

// The grid a terrain draws, as its buffer object (or client memory) holds it.
static std::vector<float> DrawnGrid(const Terrain& terrain)
{
    if (terrain.m_Buffer == 0) {
        return terrain.m_ClientGrid;
    }
    std::vector<float> grid(static_cast<size_t>(terrain.GetSideVertexCount()) * terrain.GetSideVertexCount() * 8);
    BindBuffer(GL_ARRAY_BUFFER_ARB, terrain.m_Buffer);
    GetBufferSubData(GL_ARRAY_BUFFER_ARB, 0, static_cast<long>(grid.size() * sizeof(float)), grid.data());
    BindBuffer(GL_ARRAY_BUFFER_ARB, 0);
    return grid;
}

// The colours of the 320 x 240 window with the whole terrain drawn.
static std::vector<unsigned char> RenderedPixels(Terrain& terrain)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    terrain.Render(NULL);
    std::vector<unsigned char> pixels(320 * 240 * 3);
    glReadPixels(0, 0, 320, 240, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// A window, a fresh directory and the two ground textures (1 x 1 placeholders).
class TerrainGL : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Window.IsOpen());
        m_Textures.push_back(new Texture("images/none1.tga"));
        m_Textures.push_back(new Texture("images/none2.tga"));
    }
    void TearDown() override
    {
        for (Texture* texture : m_Textures) {
            delete texture;
        }
    }
    TempDir m_Dir;
    GLWindow m_Window;
    std::vector<Texture*> m_Textures;
};

TEST_F(TerrainGL, HeightmapReadsOneSamplePerPixel)
{
    SaveHeights("map.bmp", 5, 5, Ramp);
    Heightmap map("map.bmp");
    EXPECT_TRUE(map.IsValid());
    EXPECT_EQ(map.GetSize(), 5);
    EXPECT_EQ(map.GetMaxIndex(), 4);
    EXPECT_EQ(map.GetHeight(2, 3), Ramp(2, 3));
    EXPECT_EQ(map.GetHeight(4, 4), Ramp(4, 4));
    EXPECT_EQ(map.GetHeight(-1, 0), 0.0f);
    EXPECT_EQ(map.GetHeight(0, -1), 0.0f);
    EXPECT_EQ(map.GetHeight(5, 0), 0.0f);
    EXPECT_EQ(map.GetHeight(0, 5), 0.0f);
    EXPECT_EQ(m_Dir.ReadFile("vellmora.log").substr(m_Dir.ReadFile("vellmora.log").find("Heightmap generation")),
              "Heightmap generation; heightmap pixelcount: 5\nHeightmap filename: map.bmp\n");
}

TEST_F(TerrainGL, GridOfA257MapFollowsTheMapping)
{
    SaveHeights("map.bmp", 257, 257, Flat);
    Terrain terrain("map.bmp", &m_Textures, 32);
    EXPECT_EQ(terrain.GetSideVertexCount(), 257);
    EXPECT_EQ(terrain.GetWorldSize(), 16384);
    EXPECT_EQ(terrain.m_CellsPerPatch, 8);
    EXPECT_EQ(terrain.m_Quadtree->m_Root->m_Level, 5);
    Vector3 first = terrain.GetVertex(0, 0).m_Position;
    EXPECT_FLOAT_EQ(first.x, -8192.0f);
    EXPECT_FLOAT_EQ(first.z, 8192.0f);
    EXPECT_FLOAT_EQ(first.y, 50.0f);
    Vector3 last = terrain.GetVertex(256, 256).m_Position;
    EXPECT_FLOAT_EQ(last.x, 8192.0f);
    EXPECT_FLOAT_EQ(last.z, -8192.0f);
    // The drawn grid, in a buffer object on this context: each record the
    // position, the normal, then the texture coordinates, (0, 4) at the
    // first corner and (4, 0) in the middle.
    EXPECT_NE(terrain.m_Buffer, 0u);
    EXPECT_TRUE(terrain.m_ClientGrid.empty());
    std::vector<float> grid = DrawnGrid(terrain);
    EXPECT_FLOAT_EQ(grid[6], 0.0f);
    EXPECT_FLOAT_EQ(grid[7], 4.0f);
    size_t middle = (128 * 257 + 128) * 8;
    EXPECT_FLOAT_EQ(grid[middle + 6], 4.0f);
    EXPECT_NEAR(grid[middle + 7], 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(grid[(256 * 257 + 256) * 8], 8192.0f);
    EXPECT_FLOAT_EQ(grid[(200 * 257 + 3) * 8 + 4], terrain.GetVertex(3, 200).m_Normal.y);
    // Built ahead, as on the start-up's helper, it logs nothing; finished,
    // it has logged what the constructor logs and draws the same grid.
    std::string log = m_Dir.ReadFile("vellmora.log");
    Terrain* ahead = Terrain::BuildAhead("map.bmp", 32);
    ASSERT_TRUE(ahead != NULL);
    EXPECT_EQ(m_Dir.ReadFile("vellmora.log"), log);
    ahead->Finish("map.bmp", &m_Textures);
    EXPECT_EQ(m_Dir.ReadFile("vellmora.log"),
              log + "Heightmap generation; heightmap pixelcount: 257\nHeightmap filename: map.bmp\n");
    EXPECT_TRUE(DrawnGrid(*ahead) == grid);
    delete ahead;
}

TEST_F(TerrainGL, FlatMapNormalsPointUpExceptAtTheFarEdges)
{
    SaveHeights("map.bmp", 33, 33, Flat);
    Terrain terrain("map.bmp", &m_Textures, 4);
    for (int row = 0; row < 32; ++row) {
        for (int column = 0; column < 32; ++column) {
            Vector3 n = terrain.GetVertex(column, row).m_Normal;
            ASSERT_NEAR(n.y, 1.0f, 1e-6f) << column << ", " << row;
        }
    }
    // The last column's cells slope down to 0 beyond the grid: tilted to +x.
    Vector3 edge = terrain.GetVertex(32, 10).m_Normal;
    EXPECT_GT(edge.x, 0.1f);
    EXPECT_NEAR(edge.Magnitude(), 1.0f, 1e-4f);
    // The same slope seen at the last row tilts to -z (rows run towards -z).
    EXPECT_LT(terrain.GetVertex(10, 32).m_Normal.z, -0.1f);
}

TEST_F(TerrainGL, FaceNormalOfASlopeLeansDownhill)
{
    SaveHeights("map.bmp", 33, 33, Ramp);
    Terrain terrain("map.bmp", &m_Textures, 4);
    // Height grows 7 per column (+x) and 3 per row (-z): the normal leans to
    // -x and to +z, i.e. (-7, 64, 3) normalised.
    Vector3 n = terrain.GetFaceNormal(3, 3);
    float length = std::sqrt(7.0f * 7.0f + 64.0f * 64.0f + 3.0f * 3.0f);
    EXPECT_NEAR(n.x, -7.0f / length, 1e-4f);
    EXPECT_NEAR(n.y, 64.0f / length, 1e-4f);
    EXPECT_NEAR(n.z, 3.0f / length, 1e-4f);
}

TEST_F(TerrainGL, GroundHeightReadsTheNearestDrawnGridPoint)
{
    SaveHeights("map.bmp", 257, 257, Ramp);
    Terrain terrain("map.bmp", &m_Textures, 32);
    EXPECT_EQ(terrain.GetGroundHeight(0.0f, 0.0f), Ramp(128, 128));
    // 31 units east of the centre is still nearest the centre; 33 is not.
    EXPECT_EQ(terrain.GetGroundHeight(31.0f, 0.0f), Ramp(128, 128));
    EXPECT_EQ(terrain.GetGroundHeight(33.0f, 0.0f), Ramp(129, 128));
    // z grows towards row 0.
    EXPECT_EQ(terrain.GetGroundHeight(0.0f, 8192.0f), Ramp(128, 0));
    EXPECT_EQ(terrain.GetGroundHeight(0.0f, -8192.0f), Ramp(128, 256));
    // Just outside the western edge the truncation still reads column 0.
    EXPECT_EQ(terrain.GetGroundHeight(-8250.0f, 0.0f), Ramp(0, 128));
    EXPECT_EQ(terrain.GetGroundHeight(-8300.0f, 0.0f), 0.0f);
    EXPECT_EQ(terrain.GetGroundHeight(1e30f, 0.0f), 0.0f);
    EXPECT_EQ(terrain.GetGroundHeight(NAN, 0.0f), 0.0f);
    EXPECT_EQ(terrain.GetHeight(300, 0), 0.0f);
}

TEST_F(TerrainGL, PatchIndicesZigZagBetweenRows)
{
    SaveHeights("map.bmp", 257, 257, Ramp);
    Terrain terrain("map.bmp", &m_Textures, 32);
    TerrainPatch patch(&terrain, 0, 0, 9);
    const unsigned int expectedStart[] = {257, 0, 258, 1, 259, 2};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(patch.m_Indices[i], expectedStart[i]);
    }
    EXPECT_EQ(patch.m_Indices[16], 265u);
    EXPECT_EQ(patch.m_Indices[17], 8u);
    // The next strip is joined on by repeating the last index and its own first.
    EXPECT_EQ(patch.m_Indices[18], 8u);
    EXPECT_EQ(patch.m_Indices[19], 2u * 257);
    EXPECT_EQ(patch.m_Indices[20], 2u * 257);
    EXPECT_EQ(patch.m_Indices[21], 257u);
    // 8 strips of 18 and 7 joins: the last strip runs between rows 8 and 7.
    ASSERT_EQ(patch.m_IndexCount, 158);
    EXPECT_EQ(patch.m_Indices[157], 7u * 257 + 8);
    EXPECT_EQ(patch.m_Indices[156], 8u * 257 + 8);
    EXPECT_EQ(patch.m_LastIndex, 8u * 257 + 8);
}

TEST_F(TerrainGL, PatchBoxAlwaysReachesZero)
{
    SaveHeights("map.bmp", 33, 33, Flat);
    Terrain terrain("map.bmp", &m_Textures, 4);
    TerrainPatch east(&terrain, 24, 0, 9);  // all vertices at x > 0, z > 0
    EXPECT_FLOAT_EQ(east.m_Box.m_Min.x, 0.0f);
    EXPECT_FLOAT_EQ(east.m_Box.m_Max.x, 16.0f * 64.0f);
    EXPECT_FLOAT_EQ(east.m_Box.m_Min.y, 0.0f);
    EXPECT_FLOAT_EQ(east.m_Box.m_Max.y, 50.0f);
    EXPECT_FLOAT_EQ(east.m_Box.m_Min.z, 0.0f);
}

TEST_F(TerrainGL, PatchChecksFireAtTheGridsEdge)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    SaveHeights("map.bmp", 33, 33, Flat);
    Terrain terrain("map.bmp", &m_Textures, 4);
    TerrainPatch lastFits(&terrain, 24, 24, 9);  // I + S - 1 = side - 1
    EXPECT_DEATH(TerrainPatch(&terrain, 25, 0, 9),
                 "terrain.*I \\+ m_SizeVertices - 1 < m_Terrain->GetSideVertexCount\\(\\)");
    EXPECT_DEATH(TerrainPatch(&terrain, 0, 25, 9),
                 "terrain.*J \\+ m_SizeVertices - 1 < m_Terrain->GetSideVertexCount\\(\\)");
    EXPECT_DEATH(TerrainPatch(&terrain, -1, 0, 9), "terrain.*I >= 0");
    EXPECT_DEATH(TerrainPatch(&terrain, 0, -1, 9), "terrain.*J >= 0");
}

TEST_F(TerrainGL, QuadtreeOfDepthZeroIsOneLeafWithTheWholeGrid)
{
    SaveHeights("map.bmp", 33, 33, Flat);
    Terrain terrain("map.bmp", &m_Textures, 1);
    QuadtreeNode* root = terrain.m_Quadtree->m_Root;
    EXPECT_FALSE(root->m_HasChildren);
    ASSERT_EQ(root->m_Patches.size(), 1u);
    EXPECT_EQ(root->m_Patches[0]->m_SizeVertices, 33);
    EXPECT_FLOAT_EQ(root->m_Box.m_Max.y, 50.0f);
}

// A placed object with a sphere of the given centre and radius.
static SceneObject* Ball(float x, float y, float z, float radius)
{
    SceneObject* ball = new SceneObject();
    ball->m_BoundingSphere.m_Center = Vector3(x, y, z);
    ball->m_BoundingSphere.m_Radius = radius;
    return ball;
}

TEST_F(TerrainGL, QuadtreeFilesSpheresInEveryChildTheyReach)
{
    SaveHeights("map.bmp", 33, 33, Flat);
    Terrain terrain("map.bmp", &m_Textures, 2);  // root with four leaves
    QuadtreeNode* root = terrain.m_Quadtree->m_Root;
    ASSERT_TRUE(root->m_HasChildren);
    SceneObject* onMidX = Ball(0.0f, 50.0f, 300.0f, 10.0f);     // +z half, on x = 0
    SceneObject* straddling = Ball(0.0f, 50.0f, 5.0f, 10.0f);   // across both midlines
    SceneObject* tall = Ball(-400.0f, 300.0f, -400.0f, 50.0f);  // in slot 3, reaching y 350
    terrain.AddObject(onMidX);
    terrain.AddObject(straddling);
    terrain.AddObject(tall);
    terrain.AddObject(onMidX);  // twice: still one entry per leaf
    std::vector<SceneObject*>* slots[4];
    for (int i = 0; i < 4; ++i) {
        slots[i] = &root->m_Children[i]->m_Objects;
    }
    EXPECT_EQ(std::count(slots[0]->begin(), slots[0]->end(), onMidX), 1);
    EXPECT_EQ(std::count(slots[1]->begin(), slots[1]->end(), onMidX), 1);
    EXPECT_EQ(std::count(slots[2]->begin(), slots[2]->end(), onMidX), 0);
    EXPECT_EQ(std::count(slots[3]->begin(), slots[3]->end(), onMidX), 0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(std::count(slots[i]->begin(), slots[i]->end(), straddling), 1) << "slot " << i + 1;
    }
    EXPECT_EQ(slots[2]->back(), tall);
    EXPECT_EQ(slots[2]->size(), 2u);
    // The tall object raised its leaf and the root, not the other leaves.
    EXPECT_FLOAT_EQ(root->m_Children[2]->m_Box.m_Max.y, 350.0f);
    EXPECT_FLOAT_EQ(root->m_Box.m_Max.y, 350.0f);
    EXPECT_FLOAT_EQ(root->m_Children[1]->m_Box.m_Max.y, 60.0f);
    delete onMidX;
    delete straddling;
    delete tall;
}

TEST_F(TerrainGL, CullingDrawsOnlyThePatchesInView)
{
    SaveHeights("map.bmp", 257, 257, Flat);
    SaveHeights("rough.bmp", 257, 257, Ramp);
    Terrain terrain("map.bmp", &m_Textures, 32);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 4.0 / 3.0, 4.0, 8000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // From the craft's start, looking north (-z) over the land.
    gluLookAt(0.0, 150.0, 500.0, 0.0, 150.0, 0.0, 0.0, 1.0, 0.0);
    Frustum frustum;
    frustum.Update();
    terrain.Render(&frustum);
    int ahead = terrain.m_PatchesDrawn;
    // Straight up: only the patches round the craft's feet can show.
    glLoadIdentity();
    gluLookAt(0.0, 150.0, 500.0, 0.0, 1000.0, 500.0, 0.0, 0.0, -1.0);
    frustum.Update();
    terrain.Render(&frustum);
    int up = terrain.m_PatchesDrawn;
    terrain.Render(NULL);
    int all = terrain.m_PatchesDrawn;
    EXPECT_EQ(all, 1024);
    EXPECT_GT(ahead, 50);
    EXPECT_LT(ahead, 700);
    EXPECT_LT(up, ahead / 4);
    // The same lit picture from the buffer object as from client arrays,
    // the way a context without buffer objects draws it.
    glLoadIdentity();
    gluLookAt(0.0, 150.0, 500.0, 0.0, 150.0, 0.0, 0.0, 1.0, 0.0);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    std::vector<unsigned char> fromBuffer = RenderedPixels(terrain);
    EXPECT_GT(std::count(fromBuffer.begin(), fromBuffer.end(), 0), 0);
    EXPECT_LT(std::count(fromBuffer.begin(), fromBuffer.end(), 0), static_cast<long>(fromBuffer.size()));
    terrain.m_ClientGrid = DrawnGrid(terrain);
    terrain.m_Buffer = 0;
    EXPECT_TRUE(RenderedPixels(terrain) == fromBuffer);
    // Over rough ground in linear fog, the patches wholly beyond its end
    // drawn in its colour alone give the same picture as drawn in full.
    Terrain rough("rough.bmp", &m_Textures, 32);
    const GLfloat fogColour[4] = {0.2f, 0.4f, 0.6f, 1.0f};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 200.0f);
    glFogf(GL_FOG_END, 1500.0f);
    glFogfv(GL_FOG_COLOR, fogColour);
    glEnable(GL_FOG);
    glColor3f(0.9f, 0.8f, 0.7f);
    glLoadIdentity();
    gluLookAt(0.0, 600.0, 500.0, 0.0, 300.0, -1000.0, 0.0, 1.0, 0.0);
    std::vector<unsigned char> flat = RenderedPixels(rough);
    int inFog = rough.m_PatchesInFog;
    rough.m_FlatBeyondFog = false;
    EXPECT_TRUE(RenderedPixels(rough) == flat);
    EXPECT_EQ(rough.m_PatchesInFog, 0);
    EXPECT_GT(inFog, 100);
    EXPECT_LT(inFog, rough.m_PatchesDrawn);
    const unsigned char fogPixel[3] = {51, 102, 153};
    EXPECT_GT(std::search(flat.begin(), flat.end(), fogPixel, fogPixel + 3) - flat.begin(), 0);
    // ... and the colour, lighting and fog are left as they were.
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[1], 0.8f);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    // Render leaves unit 0 active with texturing off and no client arrays.
    GLint unit = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &unit);
    EXPECT_EQ(unit, GL_TEXTURE0_ARB);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TerrainGL, SkyDomeHasItsRecordsAndLeavesTheFramesState)
{
    Sky sky;
    EXPECT_EQ(sky.m_VertexCount, 5184);
    const Vertex& pole = sky.m_Vertices[0];
    EXPECT_NEAR(pole.m_Position.z, 6000.0f, 1e-2f);
    EXPECT_NEAR(pole.m_Position.x, 0.0f, 1e-3f);
    EXPECT_NEAR(pole.m_U, 0.5f, 1e-6f);
    EXPECT_NEAR(pole.m_V, 0.5f, 1e-6f);
    // The second record of the last ring reaches the rim at phi = 90.
    EXPECT_NEAR(sky.m_Vertices[5184 - 4 + 1].m_Position.z, 0.0f, 1e-2f);
    // No triangle's texture coordinates jump across the picture's seam.
    for (int i = 0; i + 2 < sky.m_VertexCount; ++i) {
        for (int k = 1; k < 3; ++k) {
            ASSERT_LE(sky.m_Vertices[i].m_U - sky.m_Vertices[i + k].m_U, 0.9f + 1e-4f) << i;
        }
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glEnable(GL_TEXTURE_2D);
    sky.Render(NULL);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

// SDL's lookup on GLX finds any name at all, so the context's own version
// and extension list decide whether the ground can be drawn.
TEST_F(TerrainGL, MultitextureIsJudgedByTheContext)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_TRUE(HasMultitexture("1.3", NULL));
    EXPECT_TRUE(HasMultitexture("4.5 (Compatibility Profile) Mesa 22.3.6", ""));
    EXPECT_TRUE(HasMultitexture("1.2.1", "GL_EXT_bgra GL_ARB_multitexture"));
    EXPECT_FALSE(HasMultitexture("1.2.1", "GL_ARB_multitexture_extra GL_EXT_bgra"));
    EXPECT_FALSE(HasMultitexture(NULL, NULL));
    EXPECT_EXIT(LoadMultitextureExtensions("1.2.1", "GL_EXT_bgra"), testing::ExitedWithCode(255),
                "Multitexture Extensions not present: Multitexture Extensions not present");
    // The real context has it, and the ground's units answer.
    LoadMultitextureExtensions();
    ActiveTexture(GL_TEXTURE1_ARB);
    GLint unit = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &unit);
    ActiveTexture(GL_TEXTURE0_ARB);
    EXPECT_EQ(unit, GL_TEXTURE1_ARB);
}

// Bad heightmaps end start-up with a message and status 1.
class BadHeightmap : public TerrainGL {};

TEST_F(BadHeightmap, SizesThePatchesCannotUseEndStartup)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    SaveHeights("oblong.bmp", 33, 17, Flat);
    SaveHeights("hundred.bmp", 100, 100, Flat);
    EXPECT_EXIT(Terrain("oblong.bmp", &m_Textures, 4), testing::ExitedWithCode(1),
                "cannot be built from oblong.bmp: the picture is not square");
    EXPECT_EXIT(Terrain("hundred.bmp", &m_Textures, 4), testing::ExitedWithCode(1),
                "cannot be built from hundred.bmp: its side is not a power of two plus one");
    // A missing picture: first the image's own box, then the reason.
    EXPECT_EXIT(Terrain("missing.bmp", &m_Textures, 4), testing::ExitedWithCode(1),
                "Couldn't load image(.|\n)*cannot be built from missing.bmp: the picture could not be loaded");
    // 17 x 17 is 2^4 + 1, but 32 patches cannot divide its 16 cells.
    SaveHeights("small.bmp", 17, 17, Flat);
    EXPECT_EXIT(Terrain("small.bmp", &m_Textures, 32), testing::ExitedWithCode(1),
                "cannot be built from small.bmp: its cells cannot be divided");
    // Built ahead, each gives no terrain, and says nothing: the constructor
    // says why on the main thread.
    std::string log = m_Dir.ReadFile("vellmora.log");
    for (const char* name : {"oblong.bmp", "hundred.bmp", "missing.bmp", "small.bmp"}) {
        EXPECT_TRUE(Terrain::BuildAhead(name, name[0] == 's' ? 32 : 4) == NULL) << name;
    }
    EXPECT_EQ(m_Dir.ReadFile("vellmora.log"), log);
    // The refusal is in the log too, naming the file.
    Heightmap oblong("oblong.bmp");
    EXPECT_FALSE(oblong.IsValid());
    EXPECT_NE(m_Dir.ReadFile("vellmora.log").find("Heightmap oblong.bmp is 33 x 17: the picture is not square"),
              std::string::npos);
}
