// The desktop's scale: on a screen scaled to 200 % the game's window is
// twice as large and shows the same 800 x 600 picture scaled up, as long as
// so large a window fits the screen. Backed by the X server's resources and
// the window manager's work area; nothing here needs the X headers.
#ifndef APP_DESKTOP_SCALE_H
#define APP_DESKTOP_SCALE_H

// The whole factor the desktop is scaled by, from GDK_SCALE's value, else
// from the X resource Xft.dpi over 96 rounded down, else 1 (either text may
// be NULL; the resources are the X server's, as lines "name:\tvalue").
int ScaleFrom(const char* gdkScale, const char* resources);

// The factor the game's window of width x height is scaled by: the largest
// whole one up to the desktop's whose window fits the usable area (the
// window manager's _NET_WORKAREA, else the screen), and 1 when none does.
// Logs the factor, and why it is smaller than the desktop's when it is.
int WindowScale(int width, int height);

// The rule itself: the largest factor from desktopScale down to 2 at which
// width x height fits areaWidth x areaHeight, else 1.
int FittingScale(int desktopScale, int width, int height, int areaWidth, int areaHeight);

#endif
