// Entry point of Vellmora.
#include <SDL/SDL.h>
#include <cstdio>

#include "app/Logger.h"

int main(int /*argc*/, char** /*argv*/)
{
    LogReset();
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) < 0) {
        fprintf(stderr, "Could not initialize SDL: %s\n", SDL_GetError());
        return -1;
    }
    SDL_Quit();
    return 0;
}
