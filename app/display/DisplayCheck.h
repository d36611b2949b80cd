// Whether the game is seen: SDL falls back on video drivers that draw
// nowhere ("offscreen", "dummy") when no display answers, and a game started
// without one would run unseen, playing music, until killed.
#ifndef APP_DISPLAY_CHECK_H
#define APP_DISPLAY_CHECK_H

// After SDL's start: true when its video driver shows the game, or is one
// the player named in SDL_VIDEODRIVER. Otherwise prints one line on
// standard error, naming DISPLAY, and returns false.
bool OpenedARealDisplay();

// The rule: driver is the video driver SDL runs on, requested the value of
// SDL_VIDEODRIVER (NULL when unset; a list separated by commas, as SDL
// reads it).
bool ShowsTheGame(const char* driver, const char* requested);

#endif
