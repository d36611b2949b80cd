// Entry point of Vellmora.
#include <SDL/SDL.h>
#include <cstdio>
#include <cstring>

#include "app/display/DisplayCheck.h"
#include "app/display/DisplayLoss.h"
#include "app/Game.h"
#include "app/Heap.h"
#include "app/Settings.h"
#include "base/dialog/MessageBox.h"
#include "game/Records.h"

static const char USAGE[] = "Usage: vellmora [--help | --version]\n";

// --help and --version answer without opening anything, the log included,
// and so does any other argument, with the usage on standard error. Returns
// the process's status when an argument was answered, else -1.
static int AnsweredAnArgument(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--version") != 0 && strcmp(argv[i], "--help") != 0) {
            fprintf(stderr, "vellmora: unknown argument '%s'\n%sTry 'vellmora --help' for more.\n", argv[i], USAGE);
            return 2;
        }
    }
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--version") == 0) {
            printf("vellmora %s\n", VELLMORA_VERSION);
            return 0;
        }
        if (strcmp(argv[i], "--help") == 0) {
            std::string settings = SettingsPath();
            printf("%s"
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
                   USAGE, settings.empty() ? "~/.config/vellmora/vellmora.conf" : settings.c_str(),
                   RecordsPath().empty() ? "~/.local/share/vellmora/records" : RecordsPath().c_str());
            return 0;
        }
    }
    return -1;
}

int main(int argc, char** argv)
{
    int answered = AnsweredAnArgument(argc, argv);
    if (answered >= 0) {
        return answered;
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
