#include "tests/support/StartGame.h"

#include <SDL/SDL.h>
#include <cstdio>

#include "app/Game.h"
#include "game/Ghost.h"
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
    // Benchmarks and soaks keep no best times or ghosts of the player's,
    // and fly against none.
    game->m_RecordsPath.clear();
    game->m_Round.m_Ghost = Ghost();
    return game;
}
