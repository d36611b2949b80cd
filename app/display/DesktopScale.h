// The desktop's scale: on a screen scaled to 200 % the game's window is
// twice as large and shows the same 800 x 600 picture scaled up. Backed by
// the X server's resources; nothing here needs the X headers.
#ifndef APP_DESKTOP_SCALE_H
#define APP_DESKTOP_SCALE_H

// The whole factor the desktop is scaled by, from the environment's
// GDK_SCALE, else from the X resource Xft.dpi over 96 rounded down, else 1.
int DesktopScale();

// The same from GDK_SCALE's value and the X resources' text (either may be
// NULL): the rule itself.
int ScaleFrom(const char* gdkScale, const char* resources);

#endif
