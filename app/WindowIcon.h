// The game window's icon: the installed icon's picture, rendered at build
// time at a few sizes and carried inside the program, so that docks, task
// bars and Alt-Tab show it whether or not a desktop entry is installed.
// Without it (a picture that will not decode) the window simply has none.
#ifndef APP_WINDOW_ICON_H
#define APP_WINDOW_ICON_H

struct EmbeddedIcon {
    int size;                   // pixels, square
    const unsigned char* png;   // the picture as a PNG file
    unsigned int bytes;
};

// Smallest first; generated at build time.
extern const EmbeddedIcon EMBEDDED_ICONS[];
extern const int EMBEDDED_ICON_COUNT;

// Hands the largest icon to SDL; call before the video mode is set.
void SetIconBeforeMode();
// Gives the window (once the mode is set) every size at once, as the
// window manager's icon property (_NET_WM_ICON) can hold.
void SetIconSizesAfterMode();

#endif
