// Entry point of Vellmora.
#include <SDL/SDL.h>
#include <cstdio>
#include <cstring>

#include "app/display/DisplayCheck.h"
#include "app/display/DisplayLoss.h"
#include "app/Game.h"
#include "app/Heap.h"
#include "app/Settings.h"
#include "app/dialog/MessageBox.h"
#include "game/Records.h"

// --help and --version answer without opening anything, the log included.
// Returns true when one of them was given; every other argument is ignored.
static bool AnsweredAnArgument(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--version") == 0) {
            printf("vellmora %s\n", VELLMORA_VERSION);
            return true;
        }
        if (strcmp(argv[i], "--help") == 0) {
            std::string settings = SettingsPath();
            printf("Usage: vellmora [--help | --version]\n"
                   "Fly the skimmer, a hover craft, low over a landscape: collect the twenty boxes\n"
                   "against the clock and mind the palms. Mouse and W, S, A, D, Q, E, Tab, C, O, L;\n"
                   "R flies the layout again, N a new one, P pauses, F12 saves a screenshot,\n"
                   "Escape quits. Your fastest round on a layout flies beside you as a ghost.\n"
                   "\n"
                   "Settings: %s (optional)\n"
                   "Records:  %s (ghosts beside it, in ghosts/)\n"
                   "Log:      vellmora.log in the working directory\n"
                   "          (~/.local/state/vellmora when started as installed)\n"
                   "More:     man vellmora\n",
                   settings.empty() ? "~/.config/vellmora/vellmora.conf" : settings.c_str(),
                   RecordsPath().empty() ? "~/.local/share/vellmora/records" : RecordsPath().c_str());
            return true;
        }
    }
    return false;
}

int main(int argc, char** argv)
{
    if (AnsweredAnArgument(argc, argv)) {
        return 0;
    }
    // Constructed first: it empties the log of the last run.
    static Game game;
    SetupHeap();
    // Watched from the first moment: the display can go away at any time.
    EndWhenTheDisplayGoesAway();
    game.Configure();
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) < 0) {
        ShowMessage("Could not initialize SDL", SDL_GetError());
        return -1;
    }
    // Nobody would see the question, the window or the game.
    if (!OpenedARealDisplay()) {
        SDL_Quit();
        return 1;
    }
    game.Init();
    game.Run();
    SDL_Quit();
    return 0;
}
