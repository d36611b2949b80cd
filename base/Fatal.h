// The one way a fatal start-up failure ends the game: the message box, the
// display restored (SDL shut down), then the process ends with the status.
#ifndef BASE_FATAL_H
#define BASE_FATAL_H

[[noreturn]] void ExitWithMessage(const char* text, const char* caption, int status);

// Ends the process with the status after restoring the display, no message.
[[noreturn]] void ExitRestoringDisplay(int status);

// The working directory, where the game looks for its assets (for messages).
const char* WorkingDirectory();

#endif
