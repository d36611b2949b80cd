// The desktop's scale from GDK_SCALE or the X server's Xft.dpi resource, and
// the window's, from the usable area of the screen.
#include "app/display/DesktopScale.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cstdlib>
#include <cstring>

#include "base/Logger.h"

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

int FittingScale(int desktopScale, int width, int height, int areaWidth, int areaHeight)
{
    for (int scale = desktopScale; scale > 1; --scale) {
        if (width * scale <= areaWidth && height * scale <= areaHeight) {
            return scale;
        }
    }
    return 1;
}

// The usable area of the screen: the work area of the current desktop as
// the window manager gives it (without its panels), else the whole screen.
static void UsableArea(Display* display, int* outWidth, int* outHeight, const char** outWhose)
{
    Window root = DefaultRootWindow(display);
    *outWidth = DisplayWidth(display, DefaultScreen(display));
    *outHeight = DisplayHeight(display, DefaultScreen(display));
    *outWhose = "the screen";
    long desktop = 0;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = NULL;
    if (XGetWindowProperty(display, root, XInternAtom(display, "_NET_CURRENT_DESKTOP", False), 0, 1, False,
                           XA_CARDINAL, &type, &format, &count, &after, &data) == Success && data != NULL) {
        desktop = count == 1 && format == 32 ? reinterpret_cast<long*>(data)[0] : 0;
        XFree(data);
        data = NULL;
    }
    // Four values a desktop: x, y, width, height.
    if (desktop < 0 || desktop > 64 ||
        XGetWindowProperty(display, root, XInternAtom(display, "_NET_WORKAREA", False), desktop * 4, 4, False,
                           XA_CARDINAL, &type, &format, &count, &after, &data) != Success || data == NULL) {
        return;
    }
    const long* area = reinterpret_cast<long*>(data);
    if (format == 32 && count == 4 && area[2] > 0 && area[3] > 0) {
        *outWidth = static_cast<int>(area[2]);
        *outHeight = static_cast<int>(area[3]);
        *outWhose = "the work area";
    }
    XFree(data);
}

int WindowScale(int width, int height)
{
    Display* display = XOpenDisplay(NULL);
    int desktop = ScaleFrom(getenv("GDK_SCALE"), display != NULL ? XResourceManagerString(display) : NULL);
    if (display == NULL || desktop == 1) {
        if (display != NULL) {
            XCloseDisplay(display);
        }
        return desktop;
    }
    int areaWidth = 0;
    int areaHeight = 0;
    const char* whose = NULL;
    UsableArea(display, &areaWidth, &areaHeight, &whose);
    XCloseDisplay(display);
    int scale = FittingScale(desktop, width, height, areaWidth, areaHeight);
    if (scale == desktop) {
        LogMessage("Window scale: %d, the desktop's", scale);
    } else {
        LogMessage("Window scale: %d, not the desktop's %d: a window of %d x %d does not fit %s, %d x %d", scale,
                   desktop, width * desktop, height * desktop, whose, areaWidth, areaHeight);
    }
    return scale;
}
