// The overlay font's glyph source: renders the printable ASCII glyphs 32 to
// 127 of a system face as 1-bit bitmaps laid out the way glBitmap takes them.
// The Font packs them into its one glyph texture; nothing here touches OpenGL.
#ifndef APP_GLYPH_SOURCE_H
#define APP_GLYPH_SOURCE_H

static const int GLYPH_FIRST = 32;
static const int GLYPH_COUNT = 96;

struct GlyphBitmap {
    int width;             // pixels
    int height;            // pixels
    int rowBytes;          // bytes per row, a multiple of 4 (OpenGL's default unpack alignment)
    float xOrigin;         // glBitmap origin: the pen position relative to the lower-left corner
    float yOrigin;
    float advance;         // pixels to the next pen position
    unsigned char* rows;   // height rows from the bottom up, most significant bit leftmost; owned
};

// Finds the face matching a fontconfig pattern (e.g. "Arial:bold") and renders
// the 96 glyphs at pixelSize pixels per em into outGlyphs. Returns false, with
// every glyph empty, when no face can be found or loaded; outFaceFile then
// stays empty. outFaceFile receives the path of the face used.
bool LoadGlyphBitmaps(const char* pattern, int pixelSize, GlyphBitmap outGlyphs[GLYPH_COUNT],
                      char* outFaceFile, int faceFileSize);

// Releases the bitmaps of LoadGlyphBitmaps.
void FreeGlyphBitmaps(GlyphBitmap glyphs[GLYPH_COUNT]);

#endif
