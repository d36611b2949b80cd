// The display's refresh rate through XRandR, on the X display SDL opened.
#include "app/display/DisplayRate.h"

#include <SDL/SDL.h>
#include <SDL/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <cmath>

double ModeRefreshHz(unsigned long dotClockHz, unsigned int hTotal, unsigned int vTotal, bool doubleScan,
                     bool interlaced)
{
    if (dotClockHz == 0 || hTotal == 0 || vTotal == 0) {
        return 0.0;
    }
    double lines = vTotal;
    if (doubleScan) {
        lines *= 2.0;
    }
    if (interlaced) {
        lines /= 2.0;
    }
    return dotClockHz / (hTotal * lines);
}

static double RateOfMode(const XRRScreenResources& resources, RRMode id)
{
    for (int i = 0; i < resources.nmode; ++i) {
        const XRRModeInfo& mode = resources.modes[i];
        if (mode.id == id) {
            return ModeRefreshHz(mode.dotClock, mode.hTotal, mode.vTotal, (mode.modeFlags & RR_DoubleScan) != 0,
                                 (mode.modeFlags & RR_Interlace) != 0);
        }
    }
    return 0.0;
}

// The rate of the active output whose area holds the point (x, y) of the
// root window.
static double RateAt(Display* display, Window root, int x, int y)
{
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (resources == NULL) {
        return 0.0;
    }
    double rate = 0.0;
    for (int i = 0; i < resources->ncrtc && rate == 0.0; ++i) {
        XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
        if (crtc == NULL) {
            continue;
        }
        bool holds = crtc->mode != None && x >= crtc->x && y >= crtc->y &&
                     x < crtc->x + static_cast<int>(crtc->width) && y < crtc->y + static_cast<int>(crtc->height);
        if (holds) {
            rate = RateOfMode(*resources, crtc->mode);
        }
        XRRFreeCrtcInfo(crtc);
    }
    XRRFreeScreenResources(resources);
    return rate;
}

int DisplayRefreshHz()
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11) {
        return 0;
    }
    Display* display = info.info.x11.display;
    Window window = info.info.x11.window;
    if (display == NULL || window == 0) {
        return 0;
    }
    if (info.info.x11.lock_func != NULL) {
        info.info.x11.lock_func();
    }
    double rate = 0.0;
    int eventBase = 0;
    int errorBase = 0;
    XWindowAttributes attributes;
    if (XRRQueryExtension(display, &eventBase, &errorBase) && XGetWindowAttributes(display, window, &attributes)) {
        int x = 0;
        int y = 0;
        Window child = 0;
        XTranslateCoordinates(display, window, attributes.root, attributes.width / 2, attributes.height / 2, &x, &y,
                              &child);
        rate = RateAt(display, attributes.root, x, y);
    }
    if (info.info.x11.unlock_func != NULL) {
        info.info.x11.unlock_func();
    }
    return static_cast<int>(std::lround(rate));
}
