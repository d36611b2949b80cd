// Building the overlay font's display lists, and printing with them.
#include "app/Font.h"

#include <GL/gl.h>
#include <cstring>
#include <pthread.h>

#include "app/GlyphSource.h"
#include "app/Logger.h"
#include "app/XFontLists.h"

static const char* const FONT_PATTERN = "Arial:bold";
static const int FONT_PIXEL_SIZE = 25;

// The face found and its glyphs rendered, on a thread of their own when the
// start-up began them early and a thread could be started.
struct GlyphLoad {
    GlyphBitmap glyphs[GLYPH_COUNT];
    char faceFile[1024];
    bool loaded;
    bool threaded;
    pthread_t thread;
};
static GlyphLoad* s_EarlyLoad = NULL;

static void LoadGlyphs(GlyphLoad* load)
{
    load->loaded = LoadGlyphBitmaps(FONT_PATTERN, FONT_PIXEL_SIZE, load->glyphs, load->faceFile,
                                    sizeof load->faceFile);
}

static void* LoadGlyphsOnThread(void* load)
{
    LoadGlyphs(static_cast<GlyphLoad*>(load));
    return NULL;
}

void StartLoadingFont()
{
    if (s_EarlyLoad == NULL) {
        s_EarlyLoad = new GlyphLoad();
        // Under a limit on processes or memory no thread may start; Font
        // then does the work itself.
        s_EarlyLoad->threaded = pthread_create(&s_EarlyLoad->thread, NULL, LoadGlyphsOnThread, s_EarlyLoad) == 0;
    }
}

Font::Font()
    : m_ListBase(glGenLists(GLYPH_COUNT))
{
    GlyphLoad* load = s_EarlyLoad;
    s_EarlyLoad = NULL;
    if (load == NULL) {
        load = new GlyphLoad();
    }
    if (load->threaded) {
        pthread_join(load->thread, NULL);
    } else {
        LoadGlyphs(load);
    }
    bool loaded = load->loaded;
    GlyphBitmap* glyphs = load->glyphs;
    if (loaded) {
        for (int i = 0; i < GLYPH_COUNT; ++i) {
            const GlyphBitmap& glyph = glyphs[i];
            glNewList(m_ListBase + i, GL_COMPILE);
                glBitmap(glyph.width, glyph.height, glyph.xOrigin, glyph.yOrigin, glyph.advance, 0.0f, glyph.rows);
            glEndList();
        }
        FreeGlyphBitmaps(glyphs);
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
