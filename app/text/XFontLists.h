// The overlay font's fallback: display lists built from the X server's own
// bitmap fonts through GLX, for when no outline face can be found.
#ifndef APP_X_FONT_LISTS_H
#define APP_X_FONT_LISTS_H

// Fills count display lists from listBase with the glyphs first..first+count-1
// of a bold X bitmap font (or "fixed"). Needs the current GLX context.
// Returns false when the X server offers no such font.
bool BuildXFontLists(int first, int count, unsigned int listBase);

#endif
