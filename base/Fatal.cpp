// Fatal endings: message, display restored, exit status.
#include "base/Fatal.h"

#include <SDL/SDL.h>
#include <cstdio>
#include <climits>
#include <cstdlib>
#include <unistd.h>

#include "base/dialog/MessageBox.h"

void ExitWithMessage(const char* text, const char* caption, int status)
{
    // The box comes before SDL_Quit: a full-screen mode would hide it, and
    // SDL's error text may be the caption. The box frees the mouse itself.
    ShowMessage(text, caption);
    ExitRestoringDisplay(status);
}

void ExitRestoringDisplay(int status)
{
    fflush(stdout);
    SDL_Quit();
    exit(status);
}

const char* WorkingDirectory()
{
    static char directory[PATH_MAX];
    if (getcwd(directory, sizeof directory) == NULL) {
        snprintf(directory, sizeof directory, "%s", "the working directory");
    }
    return directory;
}
