// The desktop's scale from GDK_SCALE or the X server's Xft.dpi resource.
#include "app/display/DesktopScale.h"

#include <X11/Xlib.h>
#include <cstdlib>
#include <cstring>

static const double STANDARD_DPI = 96.0;
// Beyond this a value is a misreading, not a screen.
static const int LARGEST_SCALE = 8;

// A whole number from 1 to LARGEST_SCALE, or 0.
static int Plausible(double value)
{
    int scale = static_cast<int>(value);
    return scale >= 1 && scale <= LARGEST_SCALE ? scale : 0;
}

int ScaleFrom(const char* gdkScale, const char* resources)
{
    if (gdkScale != NULL && *gdkScale != '\0') {
        char* end = NULL;
        long scale = strtol(gdkScale, &end, 10);
        if (*end == '\0' && Plausible(static_cast<double>(scale)) != 0) {
            return static_cast<int>(scale);
        }
    }
    // The resources are lines of "name:\tvalue".
    for (const char* line = resources; line != NULL && *line != '\0';) {
        if (strncmp(line, "Xft.dpi:", 8) == 0) {
            int scale = Plausible(strtod(line + 8, NULL) / STANDARD_DPI);
            return scale != 0 ? scale : 1;
        }
        line = strchr(line, '\n');
        line = line != NULL ? line + 1 : NULL;
    }
    return 1;
}

int DesktopScale()
{
    const char* gdkScale = getenv("GDK_SCALE");
    Display* display = XOpenDisplay(NULL);
    int scale = ScaleFrom(gdkScale, display != NULL ? XResourceManagerString(display) : NULL);
    if (display != NULL) {
        XCloseDisplay(display);
    }
    return scale;
}
