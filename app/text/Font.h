// Font: the overlay's bold 25-pixel sans-serif text. The 96 glyphs FreeType
// renders are packed into one alpha texture, and a line of text is one draw
// of its glyphs' textured quads, each where glBitmap would put its bitmap,
// pixel for pixel. The X server's bitmap font, the fallback without a face,
// is 96 bitmap display lists (list base + code - 32). Needs the current
// OpenGL context at construction; the lists and the texture live until the
// process ends.
#ifndef APP_FONT_H
#define APP_FONT_H

#include <cstddef>
#include <vector>

struct GlyphBitmap;

// Queues finding the face and rendering its glyphs as early work (see
// EarlyWork.h), so that it overlaps the opening of the window; the next Font
// takes the result. Needs no OpenGL context. Optional: without it, Font does
// the work itself.
void StartLoadingFont();

class Font {
public:
    unsigned int m_ListBase;  // first of 96 consecutive display lists, for the X server's bitmaps
    // The glyphs' alpha texture, made at the first print from the pixels laid
    // out with the font; 0 before that, and with the X server's bitmaps.
    mutable unsigned int m_Texture;
    mutable std::vector<unsigned char> m_GlyphPixels;  // until the texture is made
    int m_GlyphTextureHeight;
    // Each glyph's quad: its corners from the pen, its place in the texture,
    // and how far the pen then moves on. Empty with the X server's bitmaps.
    struct GlyphQuad {
        float m_Left, m_Bottom, m_Right, m_Top;
        float m_U0, m_V0, m_U1, m_V1;
        float m_Advance;
    };
    std::vector<GlyphQuad> m_Quads;
    mutable std::vector<float> m_LineVertices;  // the lines being printed

    Font();
    virtual ~Font();

    // Draws text in red with its first character's baseline origin at (x, y),
    // in a projection of one unit per pixel from the lower-left corner. Bytes
    // outside 32..127 draw nothing. Leaves depth testing on and the colour
    // white; every other enable is as it was. Virtual so that a test can
    // record the lines of a frame as well as draw them.
    virtual void Print(const char* text, int x, int y) const;
    // A line of text where Print would put it.
    struct TextLine {
        const char* m_Text;
        int m_X;
        int m_Y;
    };
    // Many lines as Print draws them, in one draw: the menu's dozens of
    // lines cost a renderer without a GPU about what one does.
    virtual void PrintLines(const std::vector<TextLine>& lines) const;

private:
    void LayOutGlyphs(const GlyphBitmap glyphs[]);
    void UploadGlyphs() const;
    void Draw(const TextLine* lines, size_t count) const;
    // Adds a line's glyph quads to m_LineVertices, in window pixels.
    void AddQuads(const TextLine& line) const;
    void DrawQuads() const;

    Font(const Font&);
    Font& operator=(const Font&);
};

#endif
