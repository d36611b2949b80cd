// Font: the overlay's bold 25-pixel sans-serif text as OpenGL bitmaps, one
// display list per printable character (codes 32 to 127, list base + code - 32).
// Needs the current OpenGL context at construction; the lists live until the
// process ends.
#ifndef APP_FONT_H
#define APP_FONT_H

// Starts finding the face and rendering its glyphs on a thread of their own,
// so that the work overlaps the opening of the window; the next Font takes
// the result. Needs no OpenGL context. Optional: without it, or when no
// thread can be started, Font does the work itself.
void StartLoadingFont();

class Font {
public:
    unsigned int m_ListBase;  // first of 96 consecutive display lists

    Font();
    virtual ~Font();

    // Draws text in red with its first character's baseline origin at (x, y),
    // in a projection of one unit per pixel from the lower-left corner. Bytes
    // outside 32..127 draw nothing. Leaves depth testing on and the colour
    // white; every other enable is as it was. Virtual so that a test can
    // record the lines of a frame as well as draw them.
    virtual void Print(const char* text, int x, int y) const;

private:
    Font(const Font&);
    Font& operator=(const Font&);
};

#endif
