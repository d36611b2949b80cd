// The quit check: whether the player asked the game to end (Ctrl+C,
// SIGTERM, the window closed) while something other than the main loop
// waits, such as a message box or the first question.
#ifndef BASE_QUIT_CHECK_H
#define BASE_QUIT_CHECK_H

// Whether a quit waits in SDL's queue: SDL's signal handlers turn Ctrl+C
// and SIGTERM into one at its next pump, which this makes. The event is
// left queued. False before SDL's video has started.
bool QuitRequested();

#endif
