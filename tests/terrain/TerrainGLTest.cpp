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
#include "base/Extensions.h"
#include "terrain/Heightmap.h"
#include "terrain/Sky.h"
#include "terrain/TerrainQuadtree.h"
#include "terrain/TerrainGrid.h"
#include "terrain/terrain.h"
#include "tests/support/GLWindow.h"
#include "tests/support/Heightmaps.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempDir.h"

// The grid a terrain draws, as its buffer object (or client memory) holds it.
static std::vector<float> DrawnGrid(const Terrain& terrain)
{
    if (terrain.m_Buffer == 0) {
        return terrain.m_ClientGrid;
    }
    std::vector<float> grid(static_cast<size_t>(terrain.m_Grid->GetSideVertexCount()) * terrain.m_Grid->GetSideVertexCount() * 8);
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

TEST_F(TerrainGL, TheGridIsDrawnFromABufferAndBuiltAheadTheSame)
{
    SaveHeights("map.bmp", 257, 257, Flat);
    Terrain terrain("map.bmp", &m_Textures, 32);
    EXPECT_EQ(terrain.m_Quadtree->m_Root->m_Level, 5);
    // The grid's records, in a buffer object on this context.
    EXPECT_NE(terrain.m_Buffer, 0u);
    EXPECT_TRUE(terrain.m_ClientGrid.empty());
    std::vector<float> grid = DrawnGrid(terrain);
    EXPECT_TRUE(grid == terrain.m_Grid->BuildRecords());
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
