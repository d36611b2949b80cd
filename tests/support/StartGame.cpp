#include "tests/support/StartGame.h"

#include <SDL/SDL.h>
#include <cstdio>

#include "app/Game.h"
#include "app/Heap.h"

Game* StartGame(unsigned int levelSeed)
{
    SetupHeap();
    Game* game = new Game();
    game->Configure();
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) < 0) {
        fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return NULL;
    }
    game->m_LevelSeed = levelSeed;
    game->Init();
    // Benchmarks and soaks keep no best times of the player's.
    game->m_RecordsPath.clear();
    return game;
}
