// Display lists from an X server bitmap font.
#include "app/text/XFontLists.h"

#include <GL/glx.h>

static const char* const X_FONT = "-*-helvetica-bold-r-normal--24-*-*-*-*-*-iso8859-1";

bool BuildXFontLists(int first, int count, unsigned int listBase)
{
    Display* display = glXGetCurrentDisplay();
    if (display == NULL) {
        return false;
    }
    XFontStruct* font = XLoadQueryFont(display, X_FONT);
    if (font == NULL) {
        font = XLoadQueryFont(display, "fixed");
    }
    if (font == NULL) {
        return false;
    }
    glXUseXFont(font->fid, first, count, listBase);
    XFreeFont(display, font);
    return true;
}
