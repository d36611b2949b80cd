// The soak benchmark: scripted play for many frames of the real game (the
// autopilot collects every box, then keeps flying between boxes' old places
// and random waypoints), sampling resident memory every 10,000 frames. After
// the first sample, memory must not grow; the program says whether it did.
// Each sample also splits the resident memory into anonymous pages and pages
// of mapped files, and gives what the C heap holds in use, so that growth
// can be traced to the game's own allocations or to the libraries under it.
// The pilot looks out of the cockpit and from outside in turn, and flies a
// new layout every 500 frames (100 of them in 50,000 frames), which must
// neither load nor leak anything.
// Usage: vellmora_soak ASSET_DIR [FRAMES [--no-memory-check]]
// (on an X display; see README). Under the sanitizers memory is not judged:
// their allocator holds freed memory back on purpose.
#include <SDL/SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <unistd.h>
#include <vector>

#include "app/Game.h"
#include "game/Skimmer.h"
#include "game/World.h"
#include "tests/support/Autopilot.h"
#include "tests/support/StartGame.h"

static const int SAMPLE_EVERY = 10000;
static const int SWITCH_VIEW_EVERY = 2500;
static const int NEW_LAYOUT_EVERY = 500;

// One reading of where the process's memory is.
struct MemorySample {
    double m_Resident;   // MB, all resident pages
    double m_Anonymous;  // MB, resident pages not backed by a file (heaps, JIT code)
    double m_Files;      // MB, resident pages of mapped files (libraries, fonts)
    double m_HeapInUse;  // MB the C heap has handed out and not got back
    double m_HeapHeld;   // MB the C heap has taken from the system, used or free
    int m_Mappings;      // regions in the address space
};

// Reads one "Name:   1234 kB" line of /proc/self/status, in MB.
static double StatusMegabytes(const char* text, const char* name)
{
    const char* line = strstr(text, name);
    return line == NULL ? 0.0 : atof(line + strlen(name)) / 1024.0;
}

static MemorySample ReadMemory()
{
    MemorySample sample = {0.0, 0.0, 0.0, 0.0, 0.0, 0};
    char text[8192] = "";
    FILE* status = fopen("/proc/self/status", "r");
    if (status != NULL) {
        size_t length = fread(text, 1, sizeof(text) - 1, status);
        text[length] = '\0';
        fclose(status);
    }
    sample.m_Resident = StatusMegabytes(text, "VmRSS:");
    sample.m_Anonymous = StatusMegabytes(text, "RssAnon:");
    sample.m_Files = StatusMegabytes(text, "RssFile:");
    struct mallinfo2 heap = mallinfo2();
    sample.m_HeapInUse = (heap.uordblks + heap.hblkhd) / (1024.0 * 1024.0);
    sample.m_HeapHeld = (heap.arena + heap.hblkhd) / (1024.0 * 1024.0);
    FILE* maps = fopen("/proc/self/maps", "r");
    if (maps != NULL) {
        int c;
        while ((c = fgetc(maps)) != EOF) {
            sample.m_Mappings += c == '\n';
        }
        fclose(maps);
    }
    return sample;
}

int main(int argc, char** argv)
{
    if (argc < 2 || chdir(argv[1]) != 0) {
        fprintf(stderr, "usage: %s ASSET_DIR [FRAMES]\n", argv[0]);
        return 2;
    }
    long frames = argc > 2 ? atol(argv[2]) : 200000;
    bool checkMemory = !(argc > 3 && strcmp(argv[3], "--no-memory-check") == 0);
    Game* game = StartGame();
    if (game == NULL) {
        return 1;
    }
    Autopilot pilot(*game);
    if (!pilot.IsReady()) {
        fprintf(stderr, "no X display for the autopilot's mouse\n");
        return 1;
    }
    std::vector<double> samples;
    srand(99);
    Vector3 waypoint(0.0f, 0.0f, 0.0f);
    printf("%8s %7s %7s %7s %7s %7s %6s %8s %6s %6s\n", "frame", "RSS", "anon", "files", "heap", "held", "maps",
           "ms/frame", "boxes", "layout");
    // When a palm stands between the craft and its box the autopilot keeps
    // crashing into it; after a while without a pick-up it wanders off to a
    // random waypoint for a bit and tries again.
    int lastCount = game->m_World->m_BoxesToCollect;
    long lastPickUp = 0;
    long wanderUntil = 0;
    Uint32 sampleStart = SDL_GetTicks();
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
        // Hold 'o' or 'c' for one frame to change the view.
        int viewKey = (frame / SWITCH_VIEW_EVERY) % 2 ? SDLK_o : SDLK_c;
        if (frame % SWITCH_VIEW_EVERY == 0) {
            PushKeyEvent(viewKey, true);
        } else if (frame % SWITCH_VIEW_EVERY == 1 && frame > 1) {
            PushKeyEvent(viewKey, false);
        }
        if (frame % NEW_LAYOUT_EVERY == 0) {
            PushKeyEvent(SDLK_n, true);
        } else if (frame % NEW_LAYOUT_EVERY == 1 && frame > 1) {
            PushKeyEvent(SDLK_n, false);
        }
        game->RunFrame();
        if (frame % SAMPLE_EVERY == 0) {
            MemorySample memory = ReadMemory();
            Uint32 now = SDL_GetTicks();
            samples.push_back(memory.m_Resident);
            printf("%8ld %7.1f %7.1f %7.1f %7.1f %7.1f %6d %8.1f %6d %6d\n", frame, memory.m_Resident,
                   memory.m_Anonymous, memory.m_Files, memory.m_HeapInUse, memory.m_HeapHeld, memory.m_Mappings,
                   (now - sampleStart) / static_cast<double>(SAMPLE_EVERY), game->m_World->m_BoxesToCollect,
                   game->m_Round.m_Layout);
            fflush(stdout);
            sampleStart = now;
        }
    }
    pilot.ReleaseKeys();
    // What of the resident memory is free heap the allocator keeps for later:
    // give its free pages back and look again (after the judged samples).
    malloc_trim(0);
    MemorySample trimmed = ReadMemory();
    printf("after the heap gave its free pages back: RSS %.1f MB, anon %.1f MB, heap %.1f MB\n",
           trimmed.m_Resident, trimmed.m_Anonymous, trimmed.m_HeapInUse);
    int status = 0;
    if (samples.size() >= 2) {
        double growth = samples.back() - samples.front();
        double largest = 0.0;
        for (double sample : samples) {
            largest = sample - samples.front() > largest ? sample - samples.front() : largest;
        }
        printf("growth after the first sample: %.1f MB at the end, %.1f MB at most\n", growth, largest);
        printf("%s\n", largest <= 1.0 ? "memory steady" : "MEMORY GREW");
        status = (largest <= 1.0 || !checkMemory) ? 0 : 1;
    }
    fflush(stdout);
    // The mixer's thread stops here: left running into the exit, it called
    // a callback of a library already unloaded.
    SDL_Quit();
    return status;
}
