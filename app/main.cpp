// Entry point of Vellmora.
#include <SDL/SDL.h>

#include "app/display/DisplayLoss.h"
#include "app/Game.h"
#include "app/Heap.h"
#include "app/dialog/MessageBox.h"

// Constructed before main runs: it empties the log of the last run.
static Game game;

int main(int /*argc*/, char** /*argv*/)
{
    SetupHeap();
    // Watched from the first moment: the display can go away at any time.
    EndWhenTheDisplayGoesAway();
    game.Configure();
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) < 0) {
        ShowMessage("Could not initialize SDL", SDL_GetError());
        return -1;
    }
    game.Init();
    game.Run();
    SDL_Quit();
    return 0;
}
