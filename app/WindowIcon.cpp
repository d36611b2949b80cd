// The window icon through SDL, and all its sizes through Xlib.
#include "app/WindowIcon.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <SDL/SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cstring>
#include <vector>

#include "assets/Image.h"

static SDL_Surface* DecodeIcon(const EmbeddedIcon& icon)
{
    SDL_RWops* bytes = SDL_RWFromConstMem(icon.png, static_cast<int>(icon.bytes));
    DecodingTurn turn;
    return bytes != NULL ? IMG_Load_RW(bytes, 1) : NULL;
}

void SetIconBeforeMode()
{
    if (EMBEDDED_ICON_COUNT == 0) {
        return;
    }
    SDL_Surface* icon = DecodeIcon(EMBEDDED_ICONS[EMBEDDED_ICON_COUNT - 1]);
    if (icon != NULL) {
        SDL_WM_SetIcon(icon, NULL);
        SDL_FreeSurface(icon);
    }
}

// Appends width, height and the pixels as ARGB, one per long, as the
// property's format of 32 asks on every architecture.
static void AppendArgb(SDL_Surface* icon, std::vector<unsigned long>& out)
{
    out.push_back(static_cast<unsigned long>(icon->w));
    out.push_back(static_cast<unsigned long>(icon->h));
    SDL_LockSurface(icon);
    for (int y = 0; y < icon->h; ++y) {
        const Uint8* row = static_cast<const Uint8*>(icon->pixels) + y * icon->pitch;
        for (int x = 0; x < icon->w; ++x) {
            Uint32 pixel = 0;
            memcpy(&pixel, row + x * icon->format->BytesPerPixel, icon->format->BytesPerPixel);
            Uint8 r = 0, g = 0, b = 0, a = 0;
            SDL_GetRGBA(pixel, icon->format, &r, &g, &b, &a);
            out.push_back((static_cast<unsigned long>(a) << 24) | (r << 16) | (g << 8) | b);
        }
    }
    SDL_UnlockSurface(icon);
}

void SetIconSizesAfterMode()
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11) {
        return;
    }
    std::vector<unsigned long> data;
    for (int i = 0; i < EMBEDDED_ICON_COUNT; ++i) {
        SDL_Surface* icon = DecodeIcon(EMBEDDED_ICONS[i]);
        if (icon != NULL) {
            AppendArgb(icon, data);
            SDL_FreeSurface(icon);
        }
    }
    if (data.empty()) {
        return;
    }
    // SDL 1.2 has a frame window around the drawing one; over SDL 2 the
    // drawing window is the top-level one and the frame is left empty.
    Window window = info.info.x11.wmwindow != 0 ? info.info.x11.wmwindow : info.info.x11.window;
    Display* display = info.info.x11.display;
    if (window == 0 || display == NULL) {
        return;
    }
    if (info.info.x11.lock_func != NULL) {
        info.info.x11.lock_func();
    }
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
    XFlush(display);
    if (info.info.x11.unlock_func != NULL) {
        info.info.x11.unlock_func();
    }
}
