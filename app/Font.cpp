// Building the overlay font's display lists, and printing with them.
#include "app/Font.h"

#include <GL/gl.h>
#include <cstring>

#include "app/GlyphSource.h"
#include "app/Logger.h"
#include "app/XFontLists.h"

static const char* const FONT_PATTERN = "Arial:bold";
static const int FONT_PIXEL_SIZE = 25;

Font::Font()
    : m_ListBase(glGenLists(GLYPH_COUNT))
{
    GlyphBitmap glyphs[GLYPH_COUNT];
    char faceFile[1024];
    if (LoadGlyphBitmaps(FONT_PATTERN, FONT_PIXEL_SIZE, glyphs, faceFile, sizeof faceFile)) {
        for (int i = 0; i < GLYPH_COUNT; ++i) {
            const GlyphBitmap& glyph = glyphs[i];
            glNewList(m_ListBase + i, GL_COMPILE);
                glBitmap(glyph.width, glyph.height, glyph.xOrigin, glyph.yOrigin, glyph.advance, 0.0f, glyph.rows);
            glEndList();
        }
        FreeGlyphBitmaps(glyphs);
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

void Font::Print(const char* text, int x, int y) const
{
    glPushMatrix();
        glLoadIdentity();
        // Bitmap text takes its colour, and its texturing and fog, from the
        // state in force at glRasterPos: with the frame's lighting on, a lit
        // material colour would be used and the red set after it ignored. So
        // the colour comes first, with lighting, texturing and fog off.
        glPushAttrib(GL_ENABLE_BIT);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_FOG);
        glColor3f(1.0f, 0.0f, 0.0f);
        glRasterPos2f(static_cast<float>(x), static_cast<float>(y));
        glDisable(GL_DEPTH_TEST);
        glColor3f(1.0f, 0.0f, 0.0f);
        glListBase(m_ListBase - GLYPH_FIRST);
        glCallLists(static_cast<GLsizei>(strlen(text)), GL_UNSIGNED_BYTE, text);
        glPopAttrib();
        glEnable(GL_DEPTH_TEST);
    glPopMatrix();
    glColor3f(1.0f, 1.0f, 1.0f);
}
