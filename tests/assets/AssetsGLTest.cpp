// Images, textures and models against a real context on Xvfb, with pictures
// made in the test and with the game's generated asset set.
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <dirent.h>
#include <vector>

#include "base/Logger.h"
#include "assets/Image.h"
#include "assets/Model.h"
#include "assets/Texture.h"
#include "fuzz/FuzzInputs.h"
#include "tests/support/GLWindow.h"
#include "tests/support/Ms3dBuilder.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempDir.h"

// Saves a 24-bit BMP whose pixel (x, y) has the given red, green and blue.
static void SaveBmp(const char* path, int width, int height, unsigned char (*colour)(int x, int y, int channel))
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    ASSERT_TRUE(surface != NULL);
    for (int y = 0; y < height; ++y) {
        unsigned char* row = static_cast<unsigned char*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < width; ++x) {
            row[3 * x + 0] = colour(x, y, 2);  // blue first in memory
            row[3 * x + 1] = colour(x, y, 1);
            row[3 * x + 2] = colour(x, y, 0);
        }
    }
    ASSERT_EQ(SDL_SaveBMP(surface, path), 0);
    SDL_FreeSurface(surface);
}

// Rows darken downwards; green is half the red; blue counts the columns.
static unsigned char RowShades(int x, int y, int channel)
{
    int red = 200 - 80 * y;
    int values[3] = {red, red / 2, 10 * x};
    return static_cast<unsigned char>(values[channel]);
}

static unsigned char RedCorner(int x, int y, int channel)
{
    return (x == 0 && y == 0) ? (channel == 0 ? 255 : 0) : static_cast<unsigned char>(10 * x + 40 * y + channel);
}

class AssetsGL : public ::testing::Test {
protected:
    TempDir m_Dir;
    GLWindow m_Window;
};

TEST_F(AssetsGL, GetPixelReadsRedGreenBlueAndRespectsThePitch)
{
    SaveBmp("three.bmp", 3, 2, RedCorner);
    Image image("three.bmp");
    ASSERT_TRUE(image.IsLoaded());
    EXPECT_EQ(image.GetBytesPerPixel(), 3);
    EXPECT_EQ(image.GetPitch(), 12);  // 9 bytes padded to 12
    Vector3 corner = image.GetPixel(0, 0);
    EXPECT_EQ(corner.x, 255.0f);
    EXPECT_EQ(corner.y, 0.0f);
    EXPECT_EQ(corner.z, 0.0f);
    Vector3 below = image.GetPixel(1, 1);  // row 1 starts a whole pitch later
    EXPECT_EQ(below.x, 50.0f);
    EXPECT_EQ(below.y, 51.0f);
    EXPECT_EQ(below.z, 52.0f);
    Vector3 outside = image.GetPixel(3, 0);
    EXPECT_EQ(outside.x, 0.0f);
}

TEST_F(AssetsGL, NarrowPictureUploadsWithoutSkew)
{
    // 3 pixels wide: rows of 9 bytes padded to 12. (3 x 3 rather than 3 x 2:
    // GLU's rescaler on this platform drops the last row when one side is
    // scaled and the other is not, which has nothing to do with the rows.)
    SaveBmp("three.bmp", 3, 3, RowShades);
    Texture texture("three.bmp");
    EXPECT_EQ(texture.m_Width, 3);
    EXPECT_EQ(texture.m_Height, 3);
    EXPECT_STREQ(texture.m_Name, "three.bmp");
    texture.Bind();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    ASSERT_EQ(width, 4);
    ASSERT_EQ(height, 4);
    unsigned char texels[4 * 4 * 3];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    // Rows read 9 bytes apart instead of 12 would pull the padding in as
    // black texels and shift every later row by a pixel.
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const unsigned char* texel = &texels[(y * 4 + x) * 3];
            EXPECT_GE(texel[0], 30) << x << ", " << y;
            EXPECT_NEAR(texel[1], texel[0] / 2, 3) << x << ", " << y;
        }
        // The picture's top row is the texture's first row: rows darken.
        if (y > 0) {
            EXPECT_LT(texels[(y * 4) * 3], texels[((y - 1) * 4) * 3]) << "row " << y;
        }
    }
}

TEST_F(AssetsGL, SamePathTwiceMakesTwoTexturesListedInIdOrder)
{
    SaveBmp("three.bmp", 3, 2, RedCorner);
    // Mesa hands out the lowest free names once a name at the top of the
    // range is taken; then a texture made later can take an older one's id.
    glBindTexture(GL_TEXTURE_2D, 0xFFFFFFFEu);
    glBindTexture(GL_TEXTURE_2D, 0);
    Texture* spacer = new Texture("three.bmp");
    Texture first("three.bmp");
    delete spacer;
    // Made last, it takes the spacer's freed id: below the first's.
    Texture second("three.bmp");
    ASSERT_LT(second.m_Id, first.m_Id) << "the driver did not reuse the freed texture name";
    LogReset();
    ListTextures();
    char lines[200];
    snprintf(lines, sizeof lines, "Texture id %u bound to three.bmp\nTexture id %u bound to three.bmp\n",
             second.m_Id, first.m_Id);
    EXPECT_NE(m_Dir.ReadFile("vellmora.log").find(lines), std::string::npos) << m_Dir.ReadFile("vellmora.log");
    EXPECT_EQ(FindTexture(first.m_Id), &first);
}

TEST_F(AssetsGL, DestroyedTextureLeavesAnEmptyEntry)
{
    SaveBmp("three.bmp", 3, 2, RedCorner);
    Texture* texture = new Texture("three.bmp");
    unsigned int id = texture->m_Id;
    delete texture;
    EXPECT_TRUE(FindTexture(id) == NULL);
    LogReset();
    ListTextures();
    char line[100];
    snprintf(line, sizeof line, "Texture id %u bound to nothing\n", id);
    EXPECT_NE(m_Dir.ReadFile("vellmora.log").find(line), std::string::npos);
}

TEST_F(AssetsGL, MissingPictureShowsTheBoxAndBecomesAPlaceholder)
{
    ForgetShownDialogs();
    Texture texture("images/nowhere.tga");
    ASSERT_EQ(ShownDialogs().size(), 1u);
    EXPECT_EQ(ShownDialogs()[0].text, "Couldn't load image");
    EXPECT_EQ(ShownDialogs()[0].caption, "images/nowhere.tga");
    EXPECT_EQ(texture.m_Width, 1);
    EXPECT_EQ(texture.m_Height, 1);
    EXPECT_NE(m_Dir.ReadFile("vellmora.log").find("images/nowhere.tga: using a 1 x 1 magenta placeholder"),
              std::string::npos);
}

static std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::vector<unsigned char> bytes;
    FILE* file = fopen(path.c_str(), "rb");
    for (int c = file != NULL ? fgetc(file) : EOF; c != EOF; c = fgetc(file)) {
        bytes.push_back(static_cast<unsigned char>(c));
    }
    if (file != NULL) {
        fclose(file);
    }
    return bytes;
}

// The fuzz targets' seeds and every input they found a fault with, through
// the targets' own steps (AddressSanitizer watches in the sanitized run).
TEST_F(AssetsGL, FuzzSeedsAndFindingsLoadSafely)
{
    const char* const dirs[] = {"seeds/image", "findings/image", "seeds/ms3d", "findings/ms3d"};
    int inputs = 0;
    for (const char* dir : dirs) {
        std::string path = std::string(VELLMORA_SOURCE_DIR "/fuzz/") + dir;
        DIR* listing = opendir(path.c_str());
        if (listing == NULL) {
            // A target nothing was found for has no findings to keep.
            EXPECT_EQ(strncmp(dir, "findings/", 9), 0) << path;
            continue;
        }
        for (dirent* entry = readdir(listing); entry != NULL; entry = readdir(listing)) {
            if (entry->d_name[0] == '.' || strstr(entry->d_name, ".py") != NULL) {
                continue;
            }
            std::vector<unsigned char> bytes = ReadBytes(path + "/" + entry->d_name);
            bool safe = strstr(dir, "image") ? TryPicture(bytes.data(), bytes.size())
                                              : TryModel(bytes.data(), bytes.size());
            EXPECT_TRUE(safe) << dir << "/" << entry->d_name;
            ++inputs;
        }
        closedir(listing);
    }
    EXPECT_GE(inputs, 20);

    // A header asking for 14855 x 60168 pixels is refused before decoding.
    std::vector<unsigned char> huge = ReadBytes(VELLMORA_SOURCE_DIR "/fuzz/findings/image/tga-declares-3-gigabytes");
    Image refused("huge.tga", huge.data() + 1, huge.size() - 1);
    EXPECT_FALSE(refused.IsLoaded());
    EXPECT_NE(m_Dir.ReadFile("vellmora.log").find("huge.tga could not be loaded: it says it is 14855 x 60168"),
              std::string::npos);
    // A picture with no pixels becomes the placeholder rather than an empty texture.
    std::vector<unsigned char> empty = ReadBytes(VELLMORA_SOURCE_DIR "/fuzz/findings/image/tga-zero-width");
    Image nothing("empty.tga", empty.data() + 1, empty.size() - 1);
    TexturePixels placeholder(nothing, "empty.tga");
    EXPECT_EQ(placeholder.m_Width * placeholder.m_Height, 1);
}

// Headers that each say 12000 x 12000 (a real PNG of that size is about
// 140 kB and took the game to 823 MB). The formats the game decodes are
// refused at that size before a decoder allocates a thing; every other
// format is refused by its bytes, whatever the file's name says, and no
// decoder sees it at all.
TEST_F(AssetsGL, OnlyTheGamesFormatsReachADecoderAndOnlyAtASaneSize)
{
    static const struct {
        const char* name;
        std::string bytes;
        const char* refusedAs;  // NULL: a format the game decodes
    } headers[] = {
        {"png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x2e\xe0\0\0\x2e\xe0\x08\0\0\0\0", 29), NULL},
        {"jpeg", std::string("\xff\xd8\xff\xe0\0\x04\0\0\xff\xc0\0\x0b\x08\x2e\xe0\x2e\xe0\x01\x01\x11\0\xff\xd9", 23), NULL},
        {"bmp", std::string("BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\xe0\x2e\0\0\xe0\x2e\0\0\x01\0\x18\0", 30), NULL},
        {"gif", std::string("GIF89a\x01\0\x01\0\0\0\0,\0\0\0\0\xe0\x2e\xe0\x2e\0\x02\x02\x44\x01\0;", 28), "a GIF"},
        {"pcx", std::string("\x0a\x05\x01\x08\0\0\0\0\xdf\x2e\xdf\x2e", 12) + std::string(116, '\0'), "a PCX"},
        {"pnm", "P5\n# big\n12000 12000\n255\n", "a PNM"},
        {"tiff", std::string("II*\0\x08\0\0\0\x02\0\0\x01\x03\0\x01\0\0\0\xe0\x2e\0\0", 22), "a TIFF"},
        {"xpm", "/* XPM */\nstatic char *big[] = {\n\"12000 12000 1 1\",\n", "an XPM"},
        {"xv", "P7 332\n#END_OF_COMMENTS\n12000 12000 255\n", "an XV thumbnail"},
        {"lbm", std::string("FORM\0\0\0\x20PBM BMHD\0\0\0\x14\x2e\xe0\x2e\xe0", 24), "an IFF (LBM)"},
        {"webp", std::string("RIFF\x16\0\0\0WEBPVP8 \x0a\0\0\0\0\0\0\x9d\x01\x2a\xe0\x2e\xe0\x2e", 30), "a WebP"},
        {"ico", std::string("\0\0\x01\0\x01\0\0\0\0\0\x01\0\x18\0\x28\0\0\0\x16\0\0\0", 22), "an ICO"},
        {"xcf", std::string("gimp xcf file\0\0\0\x2e\xe0\0\0\x2e\xe0", 22), "a GIMP (XCF)"},
    };
    for (const auto& header : headers) {
        ForgetShownDialogs();
        std::string name = std::string("big-") + header.name + ".bmp";
        Image refused(name.c_str(), header.bytes.data(), header.bytes.size());
        EXPECT_FALSE(refused.IsLoaded()) << header.name;
        std::string line = header.refusedAs != NULL
                               ? name + " is " + header.refusedAs + " picture, which the game does not read\n"
                               : name + " could not be loaded: it says it is 12000 x 12000";
        EXPECT_NE(m_Dir.ReadFile("vellmora.log").find(line), std::string::npos) << header.name;
        EXPECT_EQ(ShownDialogs().size(), 1u) << header.name;
    }
    // A TGA has no signature: its name says what it is. A header cut before
    // its size is refused too.
    std::string tga("\0\0\x02\0\0\0\0\0\0\0\0\0\xe0\x2e\xe0\x2e\x18\0", 18);
    Image bigTga("big.tga", tga.data(), tga.size());
    Image cut("cut.bmp", headers[0].bytes.data(), 20);
    std::string log = m_Dir.ReadFile("vellmora.log");
    EXPECT_NE(log.find("big.tga could not be loaded: it says it is 12000 x 12000"), std::string::npos);
    EXPECT_NE(log.find("cut.bmp could not be loaded: its header ends"), std::string::npos);
    std::string seeds = VELLMORA_SOURCE_DIR "/fuzz/seeds/image/";
    for (const char* seed : {"png8-grey-5x5", "png24-interlaced-7x3", "jpeg-8x8", "jpeg-progressive-grey-9x4"}) {
        std::vector<unsigned char> bytes = ReadBytes(seeds + seed);
        ASSERT_GT(bytes.size(), 1u) << seed;
        Image image("seed.bmp", bytes.data() + 1, bytes.size() - 1);
        int width = 0;
        int height = 0;
        sscanf(strrchr(seed, '-') + 1, "%dx%d", &width, &height);
        EXPECT_TRUE(image.IsLoaded() && image.GetWidth() == width && image.GetHeight() == height)
            << seed << ": " << image.GetWidth() << " x " << image.GetHeight();
    }
}

TEST_F(AssetsGL, PicturesOfOtherDepthsAreConverted)
{
    // An 8-bit grey picture with a palette: stored one byte a pixel.
    SDL_Surface* grey = SDL_CreateRGBSurface(SDL_SWSURFACE, 5, 3, 8, 0, 0, 0, 0);
    ASSERT_TRUE(grey != NULL);
    SDL_Color palette[256];
    for (int i = 0; i < 256; ++i) {
        palette[i].r = palette[i].g = palette[i].b = static_cast<Uint8>(i);
    }
    SDL_SetColors(grey, palette, 0, 256);
    memset(grey->pixels, 200, static_cast<size_t>(grey->pitch) * grey->h);
    ASSERT_EQ(SDL_SaveBMP(grey, "grey.bmp"), 0);
    SDL_FreeSurface(grey);

    Image image("grey.bmp");
    ASSERT_TRUE(image.IsLoaded());
    EXPECT_EQ(image.GetBytesPerPixel(), 1);
    EXPECT_EQ(image.GetPixel(4, 2).x, 200.0f);  // the index is the first value

    Texture texture("grey.bmp");
    texture.Bind();
    unsigned char texels[8 * 4 * 4];
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    EXPECT_NEAR(texels[0], 200, 2);
    EXPECT_NEAR(texels[1], 200, 2);
    EXPECT_NEAR(texels[2], 200, 2);
}

TEST_F(AssetsGL, MaterialsMakeTheirOwnTexturesAndDrawingKeepsTheLastBinding)
{
    mkdir("images", 0755);
    SaveBmp("images/craft.bmp", 3, 2, RedCorner);
    Ms3dBuilder file;
    file.Header().U16(3).Vertex(0, 0, 0).Vertex(1, 0, 0).Vertex(0, 1, 0);
    file.U16(1).Triangle(0, 1, 2);
    // Two materials naming the same picture, a third with none.
    file.U16(3).Group({0}, 0).Group({0}, -1).Group({0}, 2);
    file.U16(3).Material(".\\skins\\craft.bmp").Material("C:\\art\\craft.bmp").Material("");
    Model model;
    ASSERT_TRUE(model.LoadFromMemory("models/craft.ms3d", file.bytes.data(), file.bytes.size()));
    ASSERT_TRUE(model.m_Materials[0].texture != NULL);
    ASSERT_TRUE(model.m_Materials[1].texture != NULL);
    EXPECT_TRUE(model.m_Materials[2].texture == NULL);
    EXPECT_NE(model.m_Materials[0].texture->m_Id, model.m_Materials[1].texture->m_Id);
    EXPECT_STREQ(model.m_Materials[0].texture->m_Name, "images/craft.bmp");

    glBindTexture(GL_TEXTURE_2D, 0);
    model.Render(NULL);
    // The untextured groups leave the first group's texture bound.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<unsigned int>(bound), model.m_Materials[0].texture->m_Id);
    GLfloat shininess = 0.0f;
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_FLOAT_EQ(shininess, 10.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(AssetsGL, GeneratedAssetsLoadWithoutErrors)
{
    ASSERT_EQ(chdir(VELLMORA_ASSET_DIR), 0);
    ForgetShownDialogs();
    const char* paths[] = {"models/skimmer.ms3d", "models/palm.ms3d", "models/box.ms3d"};
    for (const char* path : paths) {
        Model model;
        EXPECT_TRUE(model.Load(path)) << path;
        EXPECT_GT(model.m_TriangleCount, 0) << path;
        for (int i = 0; i < model.m_MaterialCount; ++i) {
            const Texture* texture = model.m_Materials[i].texture;
            if (texture != NULL) {
                EXPECT_GT(texture->m_Width, 1) << texture->m_Name;
            }
        }
    }
    const char* pictures[] = {"images/terrain.tga", "images/sand1.tga", "images/sand2.tga", "images/clouds.bmp"};
    for (const char* path : pictures) {
        Image image(path);
        EXPECT_TRUE(image.IsLoaded()) << path;
        EXPECT_EQ(image.GetBytesPerPixel(), 3) << path;
    }
    EXPECT_EQ(Image("images/terrain.tga").GetWidth(), 257);
    EXPECT_TRUE(ShownDialogs().empty());
    ASSERT_EQ(chdir(m_Dir.Path().c_str()), 0);
}

TEST_F(AssetsGL, GeneratedModelsAreScaledForTheRules)
{
    ASSERT_EQ(chdir(VELLMORA_ASSET_DIR), 0);
    Model craft("models/skimmer.ms3d");
    Model palm("models/palm.ms3d");
    Model box("models/box.ms3d");
    ASSERT_EQ(chdir(m_Dir.Path().c_str()), 0);
    // The craft is held 100 above the ground and its sphere is centred on its
    // position; a box stands on its origin. Flying straight over a box must
    // touch it, and flying through a palm's crown (at the crown's height)
    // must too.
    float craftRadius = craft.m_BoundingSphere.m_Radius;
    float overBox = 100.0f - box.m_BoundingSphere.m_Center.y;
    EXPECT_LE(overBox, craftRadius + box.m_BoundingSphere.m_Radius);
    EXPECT_GT(palm.m_BoundingSphere.m_Center.y + palm.m_BoundingSphere.m_Radius, 200.0f);
    // The crate is a cube standing on the ground.
    EXPECT_NEAR(box.m_BoundingSphere.m_Center.y, 30.0f, 0.01f);
}
