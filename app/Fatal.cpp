// Fatal endings: message, display restored, exit status.
#include "app/Fatal.h"

#include <SDL/SDL.h>
#include <cstdio>
#include <climits>
#include <cstdlib>
#include <unistd.h>

#include "app/dialog/MessageBox.h"

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

bool QuitRequested()
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return false;
    }
    SDL_PumpEvents();
    SDL_Event event;
    return SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_QUITMASK) > 0;
}

const char* WorkingDirectory()
{
    static char directory[PATH_MAX];
    if (getcwd(directory, sizeof directory) == NULL) {
        snprintf(directory, sizeof directory, "%s", "the working directory");
    }
    return directory;
}
