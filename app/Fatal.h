// The one way a fatal start-up failure ends the game: the message box, the
// display restored (SDL shut down), then the process ends with the status.
#ifndef APP_FATAL_H
#define APP_FATAL_H

[[noreturn]] void ExitWithMessage(const char* text, const char* caption, int status);

// Ends the process with the status after restoring the display, no message.
[[noreturn]] void ExitRestoringDisplay(int status);

// Whether a quit waits in SDL's queue: SDL's signal handlers turn Ctrl+C
// and SIGTERM into one at its next pump, which this makes. The event is
// left queued. False before SDL's video has started.
bool QuitRequested();

// The working directory, where the game looks for its assets (for messages).
const char* WorkingDirectory();

#endif
