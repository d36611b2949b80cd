// Building the overlay font's glyph texture (or the X server's bitmap lists),
// and printing with it.
#include "app/text/Font.h"

#include <GL/gl.h>
#include <algorithm>
#include <cstring>
#include <vector>

#include "base/EarlyWork.h"
#include "app/text/GlyphSource.h"
#include "base/Logger.h"
#include "app/text/XFontLists.h"

static const char* const FONT_PATTERN = "Arial:bold";
static const int FONT_PIXEL_SIZE = 25;
static const int GLYPH_TEXTURE_WIDTH = 512;

// The face found and its glyphs rendered, on the start-up's helper thread
// when the start-up queued them there.
struct GlyphLoad {
    GlyphBitmap glyphs[GLYPH_COUNT];
    char faceFile[1024];
    bool loaded;
};
static GlyphLoad* s_EarlyLoad = NULL;

static void LoadGlyphs(void* data)
{
    GlyphLoad* load = static_cast<GlyphLoad*>(data);
    load->loaded = LoadGlyphBitmaps(FONT_PATTERN, FONT_PIXEL_SIZE, load->glyphs, load->faceFile,
                                    sizeof load->faceFile);
}

void StartLoadingFont()
{
    if (s_EarlyLoad == NULL) {
        s_EarlyLoad = new GlyphLoad();
        QueueEarlyJob(LoadGlyphs, s_EarlyLoad);
    }
}

Font::Font()
    : m_ListBase(glGenLists(GLYPH_COUNT)), m_Texture(0), m_GlyphTextureHeight(0)
{
    GlyphLoad* load = s_EarlyLoad;
    s_EarlyLoad = NULL;
    if (load == NULL) {
        load = new GlyphLoad();
        LoadGlyphs(load);
    } else {
        WaitForEarlyJob(load);
    }
    bool loaded = load->loaded;
    if (loaded) {
        LayOutGlyphs(load->glyphs);
        FreeGlyphBitmaps(load->glyphs);
    }
    delete load;
    if (loaded) {
        return;
    }
    if (BuildXFontLists(GLYPH_FIRST, GLYPH_COUNT, m_ListBase)) {
        LogMessage("No font matches \"%s\"; the overlay uses the X server's bitmap font", FONT_PATTERN);
    } else {
        LogMessage("No font matches \"%s\" and the X server has no bitmap font; the overlay stays empty",
                   FONT_PATTERN);
    }
}

Font::~Font()
{
}

// Where each glyph's bitmap goes in the texture: rows of glyphs left to
// right, a pixel apart, each row as tall as its tallest glyph. Returns the
// texture's height, the next power of two.
static int PlaceGlyphs(const GlyphBitmap glyphs[GLYPH_COUNT], int outX[GLYPH_COUNT], int outY[GLYPH_COUNT])
{
    int x = 0;
    int y = 0;
    int rowHeight = 0;
    for (int i = 0; i < GLYPH_COUNT; ++i) {
        if (x + glyphs[i].width > GLYPH_TEXTURE_WIDTH) {
            x = 0;
            y += rowHeight + 1;
            rowHeight = 0;
        }
        outX[i] = x;
        outY[i] = y;
        x += glyphs[i].width + 1;
        rowHeight = std::max(rowHeight, glyphs[i].height);
    }
    int height = 1;
    while (height < y + rowHeight) {
        height *= 2;
    }
    return height;
}

void Font::LayOutGlyphs(const GlyphBitmap glyphs[GLYPH_COUNT])
{
    int atX[GLYPH_COUNT];
    int atY[GLYPH_COUNT];
    int height = PlaceGlyphs(glyphs, atX, atY);
    std::vector<unsigned char> alpha(static_cast<size_t>(GLYPH_TEXTURE_WIDTH) * height, 0);
    for (int i = 0; i < GLYPH_COUNT; ++i) {
        const GlyphBitmap& glyph = glyphs[i];
        for (int row = 0; row < glyph.height; ++row) {
            for (int column = 0; column < glyph.width; ++column) {
                bool set = (glyph.rows[row * glyph.rowBytes + column / 8] >> (7 - column % 8)) & 1;
                alpha[static_cast<size_t>(atY[i] + row) * GLYPH_TEXTURE_WIDTH + atX[i] + column] = set ? 255 : 0;
            }
        }
    }
    m_GlyphPixels.swap(alpha);
    m_GlyphTextureHeight = height;
    // A glyph is a quad over its texels, placed as glBitmap places its
    // bitmap (the origin back from the pen).
    for (int i = 0; i < GLYPH_COUNT; ++i) {
        const GlyphBitmap& glyph = glyphs[i];
        float left = static_cast<float>(-glyph.xOrigin);
        float bottom = static_cast<float>(-glyph.yOrigin);
        GlyphQuad quad = {left, bottom, left + glyph.width, bottom + glyph.height,
                          static_cast<float>(atX[i]) / GLYPH_TEXTURE_WIDTH, static_cast<float>(atY[i]) / height,
                          static_cast<float>(atX[i] + glyph.width) / GLYPH_TEXTURE_WIDTH,
                          static_cast<float>(atY[i] + glyph.height) / height, static_cast<float>(glyph.advance)};
        m_Quads.push_back(quad);
    }
}

// The glyphs' texture is made at the first print rather than with the font:
// the game's own textures, made in between, keep the names the log lists.
void Font::UploadGlyphs() const
{
    glGenTextures(1, &m_Texture);
    glPushAttrib(GL_TEXTURE_BIT);
    glBindTexture(GL_TEXTURE_2D, m_Texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, GLYPH_TEXTURE_WIDTH, m_GlyphTextureHeight, 0, GL_ALPHA,
                 GL_UNSIGNED_BYTE, m_GlyphPixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPopAttrib();
    std::vector<unsigned char>().swap(m_GlyphPixels);
}

void Font::Print(const char* text, int x, int y) const
{
    const TextLine line = {text, x, y};
    Draw(&line, 1);
}

void Font::PrintLines(const std::vector<TextLine>& lines) const
{
    if (!lines.empty()) {
        Draw(lines.data(), lines.size());
    }
}

void Font::Draw(const TextLine* lines, size_t count) const
{
    if (m_Texture == 0 && !m_GlyphPixels.empty()) {
        UploadGlyphs();
    }
    glPushMatrix();
        glLoadIdentity();
        glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
        glDisable(GL_LIGHTING);
        glDisable(GL_FOG);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glColor3f(1.0f, 0.0f, 0.0f);
        if (m_Texture != 0) {
            // Red wherever the glyph's texel is set, and nothing elsewhere;
            // every line in one draw.
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, m_Texture);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
            glEnable(GL_ALPHA_TEST);
            glAlphaFunc(GL_GREATER, 0.5f);
            m_LineVertices.clear();
            for (size_t i = 0; i < count; ++i) {
                AddQuads(lines[i]);
            }
            DrawQuads();
        } else {
            // The X server's bitmaps take their colour, texturing and fog
            // from the state in force at glRasterPos.
            glDisable(GL_TEXTURE_2D);
            glListBase(m_ListBase - GLYPH_FIRST);
            for (size_t i = 0; i < count; ++i) {
                glRasterPos2f(static_cast<float>(lines[i].m_X), static_cast<float>(lines[i].m_Y));
                glCallLists(static_cast<GLsizei>(strlen(lines[i].m_Text)), GL_UNSIGNED_BYTE, lines[i].m_Text);
            }
        }
        glPopAttrib();
        glEnable(GL_DEPTH_TEST);
    glPopMatrix();
    glColor3f(1.0f, 1.0f, 1.0f);
}

void Font::AddQuads(const TextLine& line) const
{
    float pen = static_cast<float>(line.m_X);
    const float base = static_cast<float>(line.m_Y);
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(line.m_Text); *c != '\0'; ++c) {
        if (*c < GLYPH_FIRST || *c >= GLYPH_FIRST + GLYPH_COUNT) {
            continue;
        }
        const GlyphQuad& q = m_Quads[*c - GLYPH_FIRST];
        const float corners[16] = {q.m_U0, q.m_V0, pen + q.m_Left,  base + q.m_Bottom,
                                   q.m_U1, q.m_V0, pen + q.m_Right, base + q.m_Bottom,
                                   q.m_U1, q.m_V1, pen + q.m_Right, base + q.m_Top,
                                   q.m_U0, q.m_V1, pen + q.m_Left,  base + q.m_Top};
        m_LineVertices.insert(m_LineVertices.end(), corners, corners + 16);
        pen += q.m_Advance;
    }
}

void Font::DrawQuads() const
{
    if (m_LineVertices.empty()) {
        return;
    }
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glInterleavedArrays(GL_T2F_V3F, 0, NULL);  // every other array off
    glTexCoordPointer(2, GL_FLOAT, 4 * sizeof(float), m_LineVertices.data());
    glVertexPointer(2, GL_FLOAT, 4 * sizeof(float), m_LineVertices.data() + 2);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(m_LineVertices.size() / 4));
    glPopClientAttrib();
}
