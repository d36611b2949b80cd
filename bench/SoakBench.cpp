// The soak benchmark: scripted play for many frames of the real game (the
// autopilot collects every box, then keeps flying between boxes' old places
// and random waypoints), sampling resident memory every 10,000 frames. After
// the first sample, memory must not grow; the program says whether it did.
// Usage: vellmora_soak ASSET_DIR [FRAMES [--no-memory-check]]
// (on an X display; see README). Under the sanitizers memory is not judged:
// their allocator holds freed memory back on purpose.
#include <SDL/SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "app/Game.h"
#include "game/Skimmer.h"
#include "game/World.h"
#include "tests/support/Autopilot.h"

static const int SAMPLE_EVERY = 10000;

// Resident set size in MB, from /proc.
static double ResidentMegabytes()
{
    FILE* statm = fopen("/proc/self/statm", "r");
    if (statm == NULL) {
        return 0.0;
    }
    long size = 0;
    long resident = 0;
    if (fscanf(statm, "%ld %ld", &size, &resident) != 2) {
        resident = 0;
    }
    fclose(statm);
    return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

int main(int argc, char** argv)
{
    if (argc < 2 || chdir(argv[1]) != 0) {
        fprintf(stderr, "usage: %s ASSET_DIR [FRAMES]\n", argv[0]);
        return 2;
    }
    long frames = argc > 2 ? atol(argv[2]) : 200000;
    bool checkMemory = !(argc > 3 && strcmp(argv[3], "--no-memory-check") == 0);
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) < 0) {
        fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    Game* game = new Game();
    game->Init();
    Autopilot pilot(*game);
    if (!pilot.IsReady()) {
        fprintf(stderr, "no X display for the autopilot's mouse\n");
        return 1;
    }
    std::vector<double> samples;
    srand(99);
    Vector3 waypoint(0.0f, 0.0f, 0.0f);
    printf("%10s %10s %8s\n", "frame", "RSS (MB)", "boxes");
    // When a palm stands between the craft and its box the autopilot keeps
    // crashing into it; after a while without a pick-up it wanders off to a
    // random waypoint for a bit and tries again.
    int lastCount = game->m_World->m_BoxesToCollect;
    long lastPickUp = 0;
    long wanderUntil = 0;
    for (long frame = 1; frame <= frames; ++frame) {
        if (game->m_World->m_BoxesToCollect != lastCount) {
            lastCount = game->m_World->m_BoxesToCollect;
            lastPickUp = frame;
        }
        if (frame - lastPickUp > 3000 && frame > wanderUntil) {
            wanderUntil = frame + 600;
            lastPickUp = frame;
            waypoint = Vector3(PlaceAcross(RandomFraction(), 14000.0f), 0.0f, PlaceAcross(RandomFraction(), 14000.0f));
        }
        SceneObject* box = pilot.NearestBox();
        if (box != NULL && frame > wanderUntil) {
            pilot.Steer(box->m_Position);
        } else {
            Vector3 to = waypoint - game->m_Skimmer->m_Position;
            if (to.x * to.x + to.z * to.z < 200.0f * 200.0f) {
                waypoint = Vector3(PlaceAcross(RandomFraction(), 14000.0f), 0.0f,
                                   PlaceAcross(RandomFraction(), 14000.0f));
            }
            pilot.Steer(waypoint);
        }
        game->RunFrame();
        if (frame % SAMPLE_EVERY == 0) {
            samples.push_back(ResidentMegabytes());
            printf("%10ld %10.1f %8d\n", frame, samples.back(), game->m_World->m_BoxesToCollect);
            fflush(stdout);
        }
    }
    pilot.ReleaseKeys();
    if (samples.size() >= 2) {
        double growth = samples.back() - samples.front();
        double largest = 0.0;
        for (double sample : samples) {
            largest = sample - samples.front() > largest ? sample - samples.front() : largest;
        }
        printf("growth after the first sample: %.1f MB at the end, %.1f MB at most\n", growth, largest);
        printf("%s\n", largest <= 1.0 ? "memory steady" : "MEMORY GREW");
        return (largest <= 1.0 || !checkMemory) ? 0 : 1;
    }
    return 0;
}
