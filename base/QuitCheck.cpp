// The quit check, from SDL's queue.
#include "base/QuitCheck.h"

#include <SDL/SDL.h>

bool QuitRequested()
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return false;
    }
    SDL_PumpEvents();
    SDL_Event event;
    return SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_QUITMASK) > 0;
}
