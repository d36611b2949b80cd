// The game's benchmark: the real start-up and real frames of the main loop,
// in-process on an X display (run it under tools/with-xvfb), from the run
// directory holding the generated assets. It prints
//   start-up time to the first swapped frame,
//   median and 95th-percentile frame times of a fixed flight in the cockpit
//   view and in the outside view, with the terrain patches drawn per frame,
//   peak resident memory.
// Usage: vellmora_bench ASSET_DIR [FRAMES_PER_VIEW]
#include <SDL/SDL.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "app/Controls.h"
#include "app/Game.h"
#include "game/Skimmer.h"
#include "terrain/Scene.h"
#include "terrain/terrain.h"

namespace {

typedef std::chrono::steady_clock Clock;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void PushKey(int symbol, bool pressed)
{
    SDL_Event event = {};
    event.type = pressed ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = pressed ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = static_cast<SDLKey>(symbol);
    SDL_PushEvent(&event);
}

struct Figures {
    double median;
    double p95;
    double patches;
};

Figures Summarise(std::vector<double> times, const std::vector<int>& patches)
{
    std::sort(times.begin(), times.end());
    Figures figures = {times[times.size() / 2], times[times.size() * 95 / 100], 0.0};
    for (int count : patches) {
        figures.patches += count;
    }
    figures.patches /= patches.size();
    return figures;
}

// A fixed flight: full throttle, turning gently, a frame at a time.
Figures Fly(Game& game, int frames)
{
    std::vector<double> times;
    std::vector<int> patches;
    for (int i = 0; i < frames; ++i) {
        game.m_Skimmer->Yaw(0.15f);
        Clock::time_point start = Clock::now();
        game.RunFrame();
        times.push_back(MillisecondsSince(start));
        patches.push_back(game.m_Scene->GetTerrain()->m_PatchesDrawn);
    }
    return Summarise(times, patches);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || chdir(argv[1]) != 0) {
        fprintf(stderr, "usage: %s ASSET_DIR [FRAMES_PER_VIEW]\n", argv[0]);
        return 2;
    }
    int frames = argc > 2 ? atoi(argv[2]) : 600;
    Clock::time_point start = Clock::now();
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) < 0) {
        fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    Game* game = new Game();
    game->Init();
    game->RunFrame();
    double startup = MillisecondsSince(start);

    PushKey('w', true);
    Figures cockpit = Fly(*game, frames);
    PushKey('o', true);
    PushKey('o', false);
    Figures outside = Fly(*game, frames);

    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    printf("start-up to the first swapped frame: %.0f ms\n", startup);
    printf("%-8s %8s %8s %10s   (%d frames each)\n", "view", "median", "p95", "patches", frames);
    printf("%-8s %6.2f ms %6.2f ms %10.1f\n", "cockpit", cockpit.median, cockpit.p95, cockpit.patches);
    printf("%-8s %6.2f ms %6.2f ms %10.1f\n", "outside", outside.median, outside.p95, outside.patches);
    printf("peak resident memory: %.1f MB\n", usage.ru_maxrss / 1024.0);
    delete game;
    SDL_Quit();
    return 0;
}
