// The game's benchmark: the real start-up and real frames of the main loop,
// in-process on an X display (run it under tools/with-xvfb), from the run
// directory holding the generated assets. It prints
//   start-up time to the first swapped frame,
//   median and 95th-percentile frame times of a fixed flight in the cockpit
//   view and in the outside view, with the terrain patches and triangles
//   drawn per frame (VELLMORA_BENCH_FULL_DETAIL set: every patch at its full
//   grid, the levels of detail off, for comparison),
//   the same for three reference frames, drawn in blocks between the game's
//   blocks of frames - an empty frame (clear, overlay, swap), the sky alone, and the
//   sky with one full-screen layer of both ground textures, lit and fogged
//   (the pixel work a frame cannot avoid when the ground fills the view) -
//   and each view's frames as a ratio to the last, drawn beside them,
//   on level seed 2, a fixed 30 s flight in the real main loop (Run) in each
//   view, beside the pixel-work reference frame in the same pacer,
//   the real main loop (Run) for a few seconds in each view beside the same
//   time of RunFrame back to back (one tick and one frame, as fast as the
//   machine draws): ticks and frames per second, the spread of the time
//   from one swap to the next (median, 95th and 99th percentiles, the
//   longest, and SuperTuxKart's steady and typical rates: the highest rate
//   with under 1 % and under half of the time in slower frames), the CPU time the process uses per second,
//   the frame rate the overlay shows, and the speed line after W is held
//   for 1.5 s in Run; the same again at the end in a child whose renderer
//   is slowed (one rasteriser thread, one core shared with a busy process),
//   peak resident memory,
//   on level seed 2, the outside view's fixed flight with a ghost craft
//   beside the player's, in blocks beside as many frames without it, and
//   the frame that takes a screenshot against the frames around it,
//   on level seed 2 with a records file of 38,000 times and an hour's
//   ghost, the longest frame of a retry's second and of a finish's, and
//   the peak memory and the frames of a burst of F12,
//   full screen at 1920 x 1080 under a window manager against the window on
//   that screen (each on a private Xvfb with openbox, tools/with-xvfb --wm),
// and first, the start-up from outside: the game and the floor under it (a
// bare program opening the same GL window, vellmora_floor), and the floor
// drawing one triangle, started afresh in turn, each timed to its first
// swapped frame with its peak resident size, the game's also as the amount
// above the floor.
// Usage: vellmora_bench ASSET_DIR [FRAMES_PER_VIEW [START_UPS]]
//        vellmora_bench --first-frame ASSET_DIR   (one start-up, as measured)
//        vellmora_bench --loop-rows ASSET_DIR TITLE   (the main loop's rows alone)
//        vellmora_bench --screen-row ASSET_DIR FRAMES   (one line of MeasureFullScreen's)
//        vellmora_bench --ghost-rows ASSET_DIR FRAMES   (the ghost's and the screenshot's rows)
//        vellmora_bench --round-rows ASSET_DIR   (the retry's, the finish's and F12's burst's rows)
//        vellmora_bench --menu-rows ASSET_DIR FRAMES   (the menu open beside the same view without)
//        vellmora_bench --steady-rows ASSET_DIR SECONDS   (the fixed flight in Run, and the paced reference)
#include <SDL/SDL.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <GL/gl.h>
#include <GL/glext.h>

#include "app/Controls.h"
#include "bench/Startups.h"
#include "app/text/Font.h"
#include "app/FramePacer.h"
#include "app/display/DisplayRate.h"
#include "app/Game.h"
#include "assets/Texture.h"
#include "scene/Camera.h"
#include "base/Extensions.h"
#include "terrain/Sky.h"
#include "game/Timer.h"
#include "tests/support/Autopilot.h"
#include "tests/support/StartGame.h"

extern char** environ;

// The level of the start-up and loop measurements; the frame rows fly the
// levels of seeds 1, 2 and 3.
static const unsigned int FIRST_SEED = 1;
#include "app/Screenshot.h"
#include "game/Layout.h"
#include "game/Records.h"
#include "game/Ghost.h"
#include "game/GhostCraft.h"
#include "game/Skimmer.h"
#include "game/World.h"
#include "terrain/Scene.h"
#include "terrain/terrain.h"

namespace {

typedef std::chrono::steady_clock Clock;

// The swaps of the loop runs, timed through the game's hook after each swap.
std::vector<long long>* s_SwapTimesNs = NULL;
// The fixed flight in Run: the craft turned so much a tick, between frames.
Game* s_SteeredGame = NULL;
long long s_SteeredTicks = 0;
const float FLIGHT_YAW_PER_TICK = 0.15f;

void RecordSwap()
{
    if (s_SwapTimesNs != NULL) {
        s_SwapTimesNs->push_back(FramePacer::NowNs());
    }
    if (s_SteeredGame != NULL) {
        for (; s_SteeredTicks < s_SteeredGame->m_TicksRun; ++s_SteeredTicks) {
            s_SteeredGame->m_Skimmer->Yaw(FLIGHT_YAW_PER_TICK);
        }
    }
}

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Figures {
    double median;
    double p95;
    double patches;
    double triangles;
};

// Patches and triangles are each frame's (both none for the references).
Figures Summarise(std::vector<double> times, const std::vector<int>& patches,
                  const std::vector<int>& triangles = std::vector<int>(1, 0))
{
    std::sort(times.begin(), times.end());
    Figures figures = {times[times.size() / 2], times[times.size() * 95 / 100], 0.0, 0.0};
    for (int count : patches) {
        figures.patches += count;
    }
    figures.patches /= patches.size();
    for (int count : triangles) {
        figures.triangles += count;
    }
    figures.triangles /= triangles.size();
    return figures;
}

void DrawOverlay(Game& game)
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, game.m_WindowWidth, 0, game.m_WindowHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    game.m_Font->Print("Boxes to collect: 20", 10, 60);
    game.m_Font->Print("30.0 FPS", 10, 90);
    game.m_Font->Print("afterburner: 100 %", 10, 120);
    game.m_Font->Print("speed: 200 mph", 10, 140);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

// One full-screen quad in eye space with both ground textures, lit and fogged
// as the terrain is, at the depth of ground 1000 units ahead.
void DrawGroundLayer(Game& game)
{
    const std::vector<Texture*>& textures = game.m_Scene->m_Textures;
    ActiveTexture(GL_TEXTURE0_ARB);
    textures[0]->Bind();
    ActiveTexture(GL_TEXTURE1_ARB);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_RGB_SCALE_ARB, 2);
    textures[1]->Bind();
    glLoadIdentity();
    glBegin(GL_QUADS);
        const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (const float* c : corners) {
            glNormal3f(0.0f, 0.0f, 1.0f);
            glMultiTexCoord2f(GL_TEXTURE0, c[0] * 4.0f, c[1] * 4.0f);
            glMultiTexCoord2f(GL_TEXTURE1, c[0] * 4.0f, c[1] * 4.0f);
            glVertex3f(c[0] * 800.0f, c[1] * 600.0f, -1000.0f);
        }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    ActiveTexture(GL_TEXTURE0_ARB);
    glDisable(GL_TEXTURE_2D);
}

enum Reference { EMPTY_FRAME, SKY_ONLY, SKY_AND_GROUND, REFERENCE_COUNT };

// One reference frame, timed to its swap; with a pacer, the swap waits for
// its slot as the game's does.
double ReferenceFrame(Game& game, Reference kind, const FramePacer* pacer = NULL)
{
    Clock::time_point start = Clock::now();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    if (kind != EMPTY_FRAME) {
        game.m_Scene->m_Sky->Render(NULL);
    }
    if (kind == SKY_AND_GROUND) {
        DrawGroundLayer(game);
    }
    DrawOverlay(game);
    glFlush();
    if (pacer != NULL) {
        pacer->SleepUntilSwapDue();
    }
    SDL_GL_SwapBuffers();
    return MillisecondsSince(start);
}

// A fixed flight: full throttle, turning gently, a frame at a time, in
// blocks of game frames each followed by as many of each reference frame,
// so that a busy moment of the machine falls on the game and its references
// alike while each kind of frame still follows its own kind.
struct Flight {
    std::vector<double> game;
    std::vector<int> patches;
    std::vector<int> triangles;
    std::vector<double> references[REFERENCE_COUNT];
};

Flight Fly(Game& game, int frames)
{
    const int BLOCK = 10;
    Flight flight;
    for (int block = 0; block < frames; block += BLOCK) {
        int count = std::min(BLOCK, frames - block);
        for (int i = 0; i < count; ++i) {
            game.m_Skimmer->Yaw(0.15f);
            Clock::time_point start = Clock::now();
            game.RunFrame();
            flight.game.push_back(MillisecondsSince(start));
            flight.patches.push_back(game.m_Scene->GetTerrain()->m_PatchesDrawn);
            flight.triangles.push_back(game.m_Scene->GetTerrain()->m_TrianglesDrawn);
        }
        for (int kind = 0; kind < REFERENCE_COUNT; ++kind) {
            for (int i = 0; i < count; ++i) {
                flight.references[kind].push_back(ReferenceFrame(game, static_cast<Reference>(kind)));
            }
        }
    }
    return flight;
}

struct LoopFigures {
    double ticksPerSecond;
    double framesPerSecond;
    double medianMs;  // swap to swap
    double p95Ms;
    double p99Ms;
    double maxMs;
    double steadyFps;     // the highest rate with under 1 % of the time in slower frames
    double typicalFps;    // the same with under half of the time
    double cpuPerSecond;  // seconds of CPU, all threads, per second of the run
    float overlayRate;    // what the FPS line showed last
};

// The highest frame rate R such that under share of the run's time goes to
// frames slower than 1/R (SuperTuxKart's measure of steadiness: its steady
// rate takes 1 %, its typical rate a half).
double RateHeldFor(std::vector<double> gapsMs, double share)
{
    std::sort(gapsMs.begin(), gapsMs.end(), [](double a, double b) { return a > b; });
    double total = 0.0;
    for (double gap : gapsMs) {
        total += gap;
    }
    double slower = 0.0;
    for (double gap : gapsMs) {
        slower += gap;
        if (slower >= share * total) {
            return 1000.0 / gap;
        }
    }
    return 0.0;
}

// The spread of the gaps between swaps, for a run of elapsedMs.
void SpreadOfSwaps(const std::vector<long long>& swaps, LoopFigures& figures)
{
    std::vector<double> gaps;
    for (size_t i = 1; i < swaps.size(); ++i) {
        gaps.push_back((swaps[i] - swaps[i - 1]) / 1e6);
    }
    figures.steadyFps = RateHeldFor(gaps, 0.01);
    figures.typicalFps = RateHeldFor(gaps, 0.5);
    std::sort(gaps.begin(), gaps.end());
    figures.medianMs = gaps[gaps.size() / 2];
    figures.p95Ms = gaps[gaps.size() * 95 / 100];
    figures.p99Ms = gaps[gaps.size() * 99 / 100];
    figures.maxMs = gaps.back();
}

double CpuSeconds()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

Uint32 PushQuit(Uint32, void*)
{
    SDL_Event event = {};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
    return 0;
}

// The main loop for the given time: the real Run, ended by a close event; or
// RunFrame back to back, one tick and one frame, as fast as the machine draws.
LoopFigures RunLoop(Game& game, int milliseconds, bool real)
{
    std::vector<long long> swaps;
    swaps.reserve(static_cast<size_t>(milliseconds));
    s_SwapTimesNs = &swaps;
    long long ticksBefore = game.m_TicksRun;
    long long framesBefore = game.m_FramesDrawn;
    double cpuBefore = CpuSeconds();
    Clock::time_point start = Clock::now();
    if (real) {
        SDL_TimerID timer = SDL_AddTimer(static_cast<Uint32>(milliseconds), PushQuit, NULL);
        game.Run();
        SDL_RemoveTimer(timer);
    } else {
        while (MillisecondsSince(start) < milliseconds) {
            game.RunFrame();
        }
    }
    double elapsedMs = MillisecondsSince(start);
    double cpu = CpuSeconds() - cpuBefore;
    s_SwapTimesNs = NULL;

    LoopFigures figures = {};
    figures.ticksPerSecond = (game.m_TicksRun - ticksBefore) * 1000.0 / elapsedMs;
    figures.framesPerSecond = (game.m_FramesDrawn - framesBefore) * 1000.0 / elapsedMs;
    SpreadOfSwaps(swaps, figures);
    figures.cpuPerSecond = cpu * 1000.0 / elapsedMs;
    figures.overlayRate = Timer::Instance()->m_Rate;
    return figures;
}

void PrintLoopRow(const char* name, const LoopFigures& figures)
{
    printf("%-26s %7.1f %8.1f %8.2f %7.2f %7.2f %7.2f %7.1f %7.1f %8.2f %8.1f\n", name, figures.ticksPerSecond,
           figures.framesPerSecond, figures.medianMs, figures.p95Ms, figures.p99Ms, figures.maxMs, figures.steadyFps,
           figures.typicalFps, figures.cpuPerSecond, figures.overlayRate);
}

void PrintLoopHeader(const char* title, const char* first, double seconds)
{
    printf("%s\n%-26s %7s %8s %8s %7s %7s %7s %7s %7s %8s %8s   (%.1f s each)\n", title, first, "ticks/s", "frames/s",
           "median", "p95", "p99", "max", "steady", "typical", "CPU s/s", "FPS line", seconds);
}

void PrintRow(const char* name, const Figures& figures, double reference)
{
    printf("%-22s %7.2f ms %7.2f ms %9.1f %8.2f %10.0f\n", name, figures.median, figures.p95, figures.patches,
           figures.median / reference, figures.triangles);
}

// Holding W for 1.5 s from rest in the real main loop, over open ground (the
// palms and boxes set aside, so that no crash cuts the run short): the speed
// line's figure at the end (designed: 90 ticks of 0.18, 162 mph).
int HoldThrottle(Game& game)
{
    std::vector<SceneObject*> objects;
    objects.swap(game.m_World->m_Objects);
    game.m_Skimmer->SetSpeed(0.0f);
    PushKeyEvent('w', true);
    SDL_TimerID timer = SDL_AddTimer(1500, PushQuit, NULL);
    game.Run();
    SDL_RemoveTimer(timer);
    PushKeyEvent('w', false);
    objects.swap(game.m_World->m_Objects);
    return Game::DisplayedSpeed(game.m_Skimmer->m_Speed);
}

// The main loop's rows, in each view: RunFrame back to back (how fast the
// machine draws), then the real Run, then W held for 1.5 s in Run.
void MeasureTheLoop(Game& game, int loopMs, const char* title)
{
    PrintLoopHeader(title, "main loop", loopMs / 1000.0);
    const char* views[2] = {"cockpit", "outside"};
    const int viewKeys[2] = {'c', 'o'};
    int mph[2] = {0, 0};
    for (int view = 0; view < 2; ++view) {
        PushKeyEvent('w', true);
        PushKeyEvent(viewKeys[view], true);
        PushKeyEvent(viewKeys[view], false);
        std::string name = std::string(views[view]) + ", RunFrame";
        PrintLoopRow(name.c_str(), RunLoop(game, loopMs, false));
        name = std::string(views[view]) + ", Run";
        PrintLoopRow(name.c_str(), RunLoop(game, loopMs, true));
        mph[view] = HoldThrottle(game);
        fflush(stdout);
    }
    printf("W held 1.5 s from rest, in Run: cockpit %d mph, outside %d mph (designed 162)\n", mph[0], mph[1]);
    fflush(stdout);
}

// This program again as a child with the arguments given, waited for; its
// rows go to standard output. Slowed, its renderer has one rasteriser thread
// (LP_NUM_THREADS=0) on one core, with or without a busy process beside it on
// that core.
enum Slowing { NOT_SLOWED, ONE_CORE, ONE_CORE_AND_A_BUSY_PROCESS };

// This program's own path; empty when it cannot be read.
std::string SelfPath()
{
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    return length > 0 ? std::string(self, static_cast<size_t>(length)) : std::string();
}

void RunChild(const char* const* arguments, Slowing slowing)
{
    std::string path = SelfPath();
    if (path.empty()) {
        return;
    }
    char* self = &path[0];
    std::vector<char*> argv(1, self);
    for (const char* const* argument = arguments; *argument != NULL; ++argument) {
        argv.push_back(const_cast<char*>(*argument));
    }
    argv.push_back(NULL);
    cpu_set_t all;
    sched_getaffinity(0, sizeof all, &all);
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    fflush(stdout);
    pid_t busy = slowing == ONE_CORE_AND_A_BUSY_PROCESS ? fork() : -1;
    if (busy == 0) {
        sched_setaffinity(0, sizeof one, &one);
        for (volatile unsigned long spin = 0;; spin = spin + 1) {
        }
    }
    if (slowing != NOT_SLOWED) {
        sched_setaffinity(0, sizeof one, &one);
        setenv("LP_NUM_THREADS", "0", 1);
    }
    pid_t child = 0;
    if (posix_spawn(&child, self, NULL, NULL, argv.data(), environ) == 0) {
        waitpid(child, NULL, 0);
    }
    unsetenv("LP_NUM_THREADS");
    sched_setaffinity(0, sizeof all, &all);
    if (busy > 0) {
        kill(busy, SIGKILL);
        waitpid(busy, NULL, 0);
    }
}

}  // namespace

// The children's start: the game started in the asset directory as the
// benchmark starts it, its first frame drawn. NULL when it cannot start.
static Game* StartAndDrawOnce(const char* assetDir, unsigned int seed)
{
    if (chdir(assetDir) != 0) {
        return NULL;
    }
    Game* game = StartGame(seed);
    if (game != NULL) {
        game->m_AfterSwap = RecordSwap;
        game->RunFrame();
    }
    return game;
}

static int EndChild(Game* game)
{
    delete game;
    SDL_Quit();
    return 0;
}

// The child of MeasureFullScreen, on a 1920 x 1080 screen of its own: the
// fixed flight on the first level seed in both views, in the window or the
// full screen the settings file asks for, as one line: the median frame and
// the triangles drawn, cockpit view then outside view.
int ScreenRowOnly(const char* assetDir, int frames)
{
    Game* game = StartAndDrawOnce(assetDir, FIRST_SEED);
    if (game == NULL) {
        return 1;
    }
    PushKeyEvent('w', true);
    Flight cockpit = Fly(*game, frames);
    PushKeyEvent('o', true);
    PushKeyEvent('o', false);
    Flight outside = Fly(*game, frames);
    Figures inCockpit = Summarise(cockpit.game, cockpit.patches, cockpit.triangles);
    Figures inOutside = Summarise(outside.game, outside.patches, outside.triangles);
    printf("%.3f %.0f %.3f %.0f\n", inCockpit.median, inCockpit.triangles, inOutside.median, inOutside.triangles);
    return EndChild(game);
}

// Full screen as most players see it: a 1920 x 1080 desktop under a window
// manager, where sdl12-compat scales the game's 800 x 600 picture to the
// screen, beside the window on the same screen and the same flight. Each
// is a child on a private Xvfb of that size with openbox, the answer given
// by a settings file of its own.
void MeasureFullScreen(const char* assetDir, const std::string& frames)
{
    std::string self = SelfPath();
    if (self.empty()) {
        return;
    }
    double figures[2][4] = {{0.0}};
    for (int fullscreen = 0; fullscreen < 2; ++fullscreen) {
        char config[] = "/tmp/vellmora-bench-XXXXXX";
        if (mkdtemp(config) == NULL) {
            return;
        }
        std::string dir = std::string(config) + "/vellmora";
        mkdir(dir.c_str(), 0755);
        FILE* settings = fopen((dir + "/vellmora.conf").c_str(), "w");
        if (settings != NULL) {
            fprintf(settings, "fullscreen = %s\n", fullscreen ? "yes" : "no");
            fclose(settings);
        }
        std::string command = "XDG_CONFIG_HOME=" + std::string(config) + " " VELLMORA_SOURCE_DIR
                              "/tools/with-xvfb --screen 1920x1080x24 --wm " + self + " --screen-row " + assetDir +
                              " " + frames;
        FILE* child = popen(command.c_str(), "r");
        char line[256] = "";
        while (child != NULL && fgets(line, sizeof line, child) != NULL) {
            sscanf(line, "%lf %lf %lf %lf", &figures[fullscreen][0], &figures[fullscreen][1], &figures[fullscreen][2],
                   &figures[fullscreen][3]);
        }
        if (child != NULL) {
            pclose(child);
        }
        std::string remove = "rm -rf " + std::string(config);
        if (system(remove.c_str()) != 0) {
            fprintf(stderr, "could not remove %s\n", config);
        }
    }
    printf("\non a 1920 x 1080 screen under a window manager, level seed %u (%s frames each):\n", FIRST_SEED,
           frames.c_str());
    printf("  %-24s %14s %10s %14s %10s\n", "", "cockpit view", "triangles", "outside view", "triangles");
    const char* names[2] = {"window, 800 x 600", "full screen, scaled"};
    for (int fullscreen = 0; fullscreen < 2; ++fullscreen) {
        printf("  %-24s %11.2f ms %10.0f %11.2f ms %10.0f\n", names[fullscreen], figures[fullscreen][0],
               figures[fullscreen][1], figures[fullscreen][2], figures[fullscreen][3]);
    }
    if (figures[0][0] > 0.0 && figures[0][2] > 0.0) {
        printf("  %-24s %12.2f x %10s %12.2f x\n", "full screen / window", figures[1][0] / figures[0][0], "",
               figures[1][2] / figures[0][2]);
    }
    fflush(stdout);
}

// The child of MeasureTheLoopSlowed: the game started, its loop measured.
int LoopRowsOnly(const char* assetDir, const char* how)
{
    Game* game = StartAndDrawOnce(assetDir, FIRST_SEED);
    if (game == NULL) {
        return 1;
    }
    MeasureTheLoop(*game, 3000, how);
    return EndChild(game);
}

// A child per level seed: the fixed flight's frames in both views, and the
// reference frames, measured in the same process.
int FrameRowsOnly(const char* assetDir, unsigned int seed, int frames)
{
    Game* game = StartAndDrawOnce(assetDir, seed);
    if (game == NULL) {
        return 1;
    }
    // Every patch at its full grid, to compare the levels of detail with.
    game->m_Scene->GetTerrain()->m_FullDetail = getenv("VELLMORA_BENCH_FULL_DETAIL") != NULL;
    PushKeyEvent('w', true);
    Flight cockpit = Fly(*game, frames);
    PushKeyEvent('o', true);
    PushKeyEvent('o', false);
    Flight outside = Fly(*game, frames);
    // Each view's ratio to the references drawn beside it; the reference
    // rows over both views.
    std::vector<int> none(1, 0);
    Figures references[REFERENCE_COUNT];
    for (int kind = 0; kind < REFERENCE_COUNT; ++kind) {
        std::vector<double> both = cockpit.references[kind];
        both.insert(both.end(), outside.references[kind].begin(), outside.references[kind].end());
        references[kind] = Summarise(both, none);
    }
    printf("level seed %u: %-9s %10s %10s %9s %8s %10s   (%d frames each, in blocks of 10 beside as many references%s)\n",
           seed, "frame", "median", "p95", "patches", "ratio", "triangles", frames,
           game->m_Scene->GetTerrain()->m_FullDetail ? "; every patch at full detail" : "");
    PrintRow("game, cockpit view", Summarise(cockpit.game, cockpit.patches, cockpit.triangles),
             Summarise(cockpit.references[SKY_AND_GROUND], none).median);
    PrintRow("game, outside view", Summarise(outside.game, outside.patches, outside.triangles),
             Summarise(outside.references[SKY_AND_GROUND], none).median);
    PrintRow("empty (ref.)", references[EMPTY_FRAME], references[SKY_AND_GROUND].median);
    PrintRow("sky (ref.)", references[SKY_ONLY], references[SKY_AND_GROUND].median);
    PrintRow("sky + ground layer", references[SKY_AND_GROUND], references[SKY_AND_GROUND].median);
    fflush(stdout);
    return EndChild(game);
}

// The pixel-work reference frame in a loop paced as Run paces the game's.
LoopFigures RunPacedReference(Game& game, int milliseconds)
{
    std::vector<long long> swaps;
    double cpuBefore = CpuSeconds();
    Clock::time_point start = Clock::now();
    FramePacer pacer(DisplayRefreshHz(), FramePacer::NowNs());
    while (MillisecondsSince(start) < milliseconds) {
        pacer.TakeTicksAt(FramePacer::NowNs());
        ReferenceFrame(game, SKY_AND_GROUND, &pacer);
        swaps.push_back(FramePacer::NowNs());
        pacer.EndFrame();
    }
    double elapsedMs = MillisecondsSince(start);
    LoopFigures figures = {};
    figures.framesPerSecond = (swaps.size() - 1) * 1000.0 / elapsedMs;
    SpreadOfSwaps(swaps, figures);
    figures.cpuPerSecond = (CpuSeconds() - cpuBefore) * 1000.0 / elapsedMs;
    return figures;
}

// The steadiness child, on level seed 2: a fixed flight (W held, a steady
// turn, palms and boxes in view) in the real Run for so many seconds in each
// view, and the pixel-work reference frame for as long in the same pacer,
// the floor of steadiness on the machine at hand.
int SteadyRowsOnly(const char* assetDir, int seconds)
{
    const unsigned int seed = 2;
    Game* game = StartAndDrawOnce(assetDir, seed);
    if (game == NULL) {
        return 1;
    }
    char title[96];
    snprintf(title, sizeof title, "level seed %u, a fixed flight in the paced main loop:", seed);
    PrintLoopHeader(title, "", seconds);
    const char* views[2] = {"game, cockpit view, Run", "game, outside view, Run"};
    const int viewKeys[2] = {'c', 'o'};
    for (int view = 0; view < 2; ++view) {
        game->StartRound(seed);
        PushKeyEvent('w', true);
        PushKeyEvent(viewKeys[view], true);
        PushKeyEvent(viewKeys[view], false);
        s_SteeredGame = game;
        s_SteeredTicks = game->m_TicksRun;
        PrintLoopRow(views[view], RunLoop(*game, seconds * 1000, true));
        s_SteeredGame = NULL;
        fflush(stdout);
    }
    PrintLoopRow("sky + ground layer, paced", RunPacedReference(*game, seconds * 1000));
    fflush(stdout);
    return EndChild(game);
}

// The ghost's child, on level seed 2: the outside view's fixed flight, in
// blocks of 10 frames with a ghost craft flying 40 units to the craft's
// right (in view) beside 10 without; then F12 every
// 30 frames, the frame that reads the pixels against the median of the
// five frames before it and of the five after (while the helper thread
// encodes).
int GhostRowsOnly(const char* assetDir, int frames)
{
    const unsigned int seed = 2;
    Game* game = StartAndDrawOnce(assetDir, seed);
    if (game == NULL) {
        return 1;
    }
    // The flight once to record it, then again against itself 40 units to
    // the right: the same inputs each time, so the ghost keeps beside the craft.
    std::vector<double> with, without;
    std::vector<int> none(1, 0);
    for (int pass = 0; pass < 2; ++pass) {
        PushKeyEvent('w', true);
        PushKeyEvent('o', true);
        PushKeyEvent('o', false);
        for (int frame = 0; frame < 2 * frames; ++frame) {
            bool ghost = frame / 10 % 2 == 0;
            game->m_Scene->SetSeeThrough(ghost ? game->m_GhostCraft : NULL);
            game->m_Skimmer->Yaw(0.15f);
            Clock::time_point start = Clock::now();
            if (pass == 0) {
                game->RunTick();
                continue;
            }
            game->RunFrame();
            (ghost ? with : without).push_back(MillisecondsSince(start));
        }
        if (pass == 0) {
            Ghost beside = game->m_Round.m_Flown;
            for (GhostPose& pose : beside.m_Poses) {
                pose.m_Position += pose.m_Orientation * Vector3(40.0f, 0.0f, 0.0f);
            }
            game->StartRound(seed);
            game->m_Round.m_Ghost = beside;
        }
    }
    game->m_Scene->SetSeeThrough(game->m_GhostCraft);
    Figures withGhost = Summarise(with, none);
    Figures withoutGhost = Summarise(without, none);
    printf("level seed %u, outside view: %-8s %10s %10s   (%d frames each, in blocks of 10 beside as many)\n", seed,
           "", "median", "p95", frames);
    printf("  %-30s %7.2f ms %7.2f ms\n", "without a ghost", withoutGhost.median, withoutGhost.p95);
    printf("  %-30s %7.2f ms %7.2f ms\n", "with a ghost in view", withGhost.median, withGhost.p95);
    printf("  %-30s %7.1f %%\n", "the ghost's cost, median", 100.0 * (withGhost.median / withoutGhost.median - 1.0));

    // Screenshots into a folder of the benchmark's own.
    char folder[] = "/tmp/vellmora-bench-XXXXXX";
    if (mkdtemp(folder) == NULL) {
        return EndChild(game);
    }
    setenv("HOME", folder, 1);
    setenv("XDG_CONFIG_HOME", folder, 1);
    const int SHOTS = 20;
    const int APART = 30;
    std::vector<double> times;
    for (int frame = 0; frame < SHOTS * APART; ++frame) {
        if (frame % APART == APART / 2) {
            PushKeyEvent(KEY_F12, true);
        } else if (frame % APART == APART / 2 + 1) {
            PushKeyEvent(KEY_F12, false);
        }
        game->m_Skimmer->Yaw(0.15f);
        Clock::time_point start = Clock::now();
        game->RunFrame();
        times.push_back(MillisecondsSince(start));
    }
    FinishScreenshots();
    std::vector<double> shot, before, after;
    for (int i = 0; i < SHOTS; ++i) {
        int key = i * APART + APART / 2;
        shot.push_back(times[key]);
        before.insert(before.end(), times.begin() + key - 5, times.begin() + key);
        after.insert(after.end(), times.begin() + key + 1, times.begin() + key + 6);
    }
    double shotMs = Summarise(shot, none).median;
    double beforeMs = Summarise(before, none).median;
    double afterMs = Summarise(after, none).median;
    printf("  %-30s %7.2f ms %7.2f ms   (%d screenshots, 800 x 600)\n", "the screenshot's frame", shotMs,
           Summarise(shot, none).p95, SHOTS);
    printf("  %-30s %7.2f ms\n", "the 5 frames before", beforeMs);
    printf("  %-30s %7.2f ms\n", "the 5 frames after", afterMs);
    printf("  %-30s %7.2f ms\n", "the screenshot's extra", shotMs - beforeMs);
    fflush(stdout);
    system((std::string("rm -rf ") + folder).c_str());
    return EndChild(game);
}

// The menu's cost: on level seed 2 in the outside view, after a flight,
// the same frozen view drawn in blocks of 10 frames with the menu open on
// its fullest screen (the controls: 11 rows of three columns) and closed.
int MenuRowsOnly(const char* assetDir, int frames)
{
    const unsigned int seed = 2;
    Game* game = StartAndDrawOnce(assetDir, seed);
    if (game == NULL) {
        return 1;
    }
    PushKeyEvent('w', true);
    PushKeyEvent('o', true);
    PushKeyEvent('o', false);
    for (int frame = 0; frame < 120; ++frame) {
        game->m_Skimmer->Yaw(0.15f);
        game->RunFrame();
    }
    PushKeyEvent('w', false);
    for (int frame = 0; frame < 5; ++frame) {
        game->RunFrame();
    }
    game->OpenMenu(SCREEN_CONTROLS);
    // In turn: closed; open, the world drawn anew (as on the menu's first
    // frame, and after a view switched under it) and kept; open as it
    // stays, the kept world drawn back.
    std::vector<double> times[3];
    for (int frame = 0; frame < 3 * frames; ++frame) {
        int kind = frame / 10 % 3;
        game->m_Menu.m_Open = kind > 0;
        if (kind == 1) {
            game->m_UnderMenuKept = false;
        }
        Clock::time_point start = Clock::now();
        game->DrawFrame(1.0f);
        times[kind].push_back(MillisecondsSince(start));
    }
    std::vector<int> none(1, 0);
    Figures closed = Summarise(times[0], none);
    Figures drawn = Summarise(times[1], none);
    Figures kept = Summarise(times[2], none);
    printf("level seed %u, outside view, frozen: %-8s %10s %10s   (%d frames each, in blocks of 10 in turn)\n",
           seed, "", "median", "p95", frames);
    printf("  %-42s %7.2f ms %7.2f ms\n", "without the menu", closed.median, closed.p95);
    printf("  %-42s %7.2f ms %7.2f ms %+7.1f %%\n", "the menu (controls), the world drawn anew", drawn.median,
           drawn.p95, 100.0 * (drawn.median / closed.median - 1.0));
    printf("  %-42s %7.2f ms %7.2f ms %+7.1f %%\n", "the menu (controls), the world kept", kept.median, kept.p95,
           100.0 * (kept.median / closed.median - 1.0));
    fflush(stdout);
    return EndChild(game);
}

// The process's peak resident memory in MB since it was last reset.
static double PeakMegabytes()
{
    FILE* status = fopen("/proc/self/status", "r");
    char line[256];
    long kilobytes = 0;
    while (status != NULL && fgets(line, sizeof line, status) != NULL) {
        if (sscanf(line, "VmHWM: %ld kB", &kilobytes) == 1) {
            break;
        }
    }
    if (status != NULL) {
        fclose(status);
    }
    return kilobytes / 1024.0;
}

static void ResetPeakMemory()
{
    FILE* refs = fopen("/proc/self/clear_refs", "w");
    if (refs != NULL) {
        fputs("5", refs);
        fclose(refs);
    }
}

// The child of the round's rows, on level seed 2 with a records file of
// 38,000 times (two on each of 19,000 layouts, just under 1 MiB, which
// every version has read) and an hour's ghost of the
// layout: a retry that reads the ghost and a finish that keeps the time and
// the round, each as the longest of its frame and the second after it
// against the median of the second before; then F12 held down for a burst
// (a press every other frame for 180 frames), as the process's peak memory
// and its frames.
int RoundRowsOnly(const char* assetDir)
{
    const unsigned int seed = 2;
    Game* game = StartAndDrawOnce(assetDir, seed);
    char folder[] = "/tmp/vellmora-bench-XXXXXX";
    if (game == NULL || mkdtemp(folder) == NULL) {
        return 1;
    }
    const std::string records = std::string(folder) + "/records";
    std::string text = "vellmora records 1\n";
    for (int layout = 1; layout <= 19000; ++layout) {
        text += "1 " + std::to_string(layout) + " " + std::to_string(100000 + layout) + " 2026-01-01\n";
        text += "1 " + std::to_string(layout) + " " + std::to_string(200000 + layout) + " 2026-01-02\n";
    }
    FILE* file = fopen(records.c_str(), "w");
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
    game->m_RecordsPath = records;
    game->m_Records = LoadRecords(records);
    Ghost hour;
    hour.m_Layout = game->m_Round.m_Layout;
    hour.m_Rules = RULES_NUMBER;
    hour.m_Poses.assign(static_cast<size_t>(GHOST_MOST_TICKS), GhostPose{game->m_Round.m_CraftStart.m_Position, Quat()});
    KeepGhost(GhostPath(records, hour.m_Layout), hour);
    const size_t ghostKilobytes = FormatGhost(hour).size() / 1024;
    std::vector<GhostPose>().swap(hour.m_Poses);

    std::vector<double> times;
    auto second = [&]() {
        for (int frame = 0; frame < 60; ++frame) {
            Clock::time_point start = Clock::now();
            game->RunFrame();
            times.push_back(MillisecondsSince(start));
        }
    };
    PushKeyEvent('w', true);
    second();
    PushKeyEvent('r', true);
    PushKeyEvent('r', false);
    second();
    second();
    game->m_World->m_BoxesToCollect = 0;
    second();
    auto longest = [&](int from) { return *std::max_element(times.begin() + from, times.begin() + from + 60); };
    std::vector<int> none(1, 0);
    auto median = [&](int from) {
        return Summarise(std::vector<double>(times.begin() + from, times.begin() + from + 60), none).median;
    };
    printf("level seed %u, 38,000 times in the records file (%zu KB), an hour's ghost (%zu KB):\n", seed,
           text.size() / 1024, ghostKilobytes);
    printf("  %-34s %7.2f ms\n", "median frame, the second before", median(0));
    printf("  %-34s %7.2f ms\n", "retry (R): longest frame of 60", longest(60));
    printf("  %-34s %7.2f ms\n", "median frame, before the finish", median(120));
    printf("  %-34s %7.2f ms\n", "finish: longest frame of 60", longest(180));

    setenv("HOME", folder, 1);
    setenv("XDG_CONFIG_HOME", folder, 1);
    times.clear();
    ResetPeakMemory();
    const double before = PeakMegabytes();
    for (int frame = 0; frame < 180; ++frame) {
        PushKeyEvent(KEY_F12, frame % 2 == 0);
        Clock::time_point start = Clock::now();
        game->RunFrame();
        times.push_back(MillisecondsSince(start));
    }
    const double during = PeakMegabytes();
    FinishScreenshots();
    Figures burst = Summarise(times, none);
    printf("  %-34s %7.1f MB before, %.1f MB at most\n", "F12 pressed 90 times in 180 frames", before, during);
    printf("  %-34s %7.2f ms %7.2f ms (median, p95), %.2f ms at most\n", "the burst's frames", burst.median,
           burst.p95, *std::max_element(times.begin(), times.end()));
    fflush(stdout);
    system((std::string("rm -rf ") + folder).c_str());
    return EndChild(game);
}

// The start-up child: the game started as the benchmark starts it, its first
// frame swapped and reported, then a second of frames before it ends.
int FirstFrame(const char* assetDir)
{
    Game* game = StartAndDrawOnce(assetDir, FIRST_SEED);
    if (game == NULL) {
        return 1;
    }
    printf("swapped\n");
    fflush(stdout);
    PushKeyEvent('w', true);
    for (int i = 0; i < 60; ++i) {
        game->RunFrame();
    }
    return EndChild(game);
}

// Start-ups of the floor, of the floor with one drawing, and of the game,
// taken in turn so that a busy moment of the machine falls on all alike.
void MeasureStartupsAboveTheFloor(const char* assetDir, int count)
{
    std::string path = SelfPath();
    if (path.empty() || count < 1) {
        return;
    }
    char* self = &path[0];
    std::string floorPath = path.substr(0, path.rfind('/') + 1) + "vellmora_floor";
    char* floorArgv[] = {const_cast<char*>(floorPath.c_str()), NULL};
    char* drawingArgv[] = {const_cast<char*>(floorPath.c_str()), const_cast<char*>("--draw"), NULL};
    char* gameArgv[] = {self, const_cast<char*>("--first-frame"), const_cast<char*>(assetDir), NULL};
    char* const* programs[3] = {floorArgv, drawingArgv, gameArgv};
    std::vector<double> ms[3], mb[3], aboveMs, aboveMb, aboveDrawingMs, aboveDrawingMb, ratio;
    for (int i = 0; i < count; ++i) {
        Startup runs[3];
        bool ok = true;
        for (int p = 0; p < 3 && ok; ++p) {
            std::vector<Startup> run = MeasureStartups(programs[p], 1);
            ok = !run.empty();
            runs[p] = ok ? run[0] : Startup();
        }
        if (!ok) {
            continue;
        }
        for (int p = 0; p < 3; ++p) {
            ms[p].push_back(runs[p].firstSwapMs);
            mb[p].push_back(runs[p].peakMb);
        }
        aboveMs.push_back(runs[2].firstSwapMs - runs[0].firstSwapMs);
        aboveMb.push_back(runs[2].peakMb - runs[0].peakMb);
        aboveDrawingMs.push_back(runs[2].firstSwapMs - runs[1].firstSwapMs);
        aboveDrawingMb.push_back(runs[2].peakMb - runs[1].peakMb);
        ratio.push_back(100.0 * runs[2].firstSwapMs / runs[1].firstSwapMs);
    }
    printf("start-up, from outside, %d times each:\n", count);
    PrintSpread("  floor: first swapped frame", ms[0], "ms");
    PrintSpread("  floor drawing one triangle", ms[1], "ms");
    PrintSpread("  game: first swapped frame", ms[2], "ms");
    PrintSpread("  game above the floor", aboveMs, "ms");
    printf("  %-32s %7.1f ms\n", "median game - median floor", Median(ms[2]) - Median(ms[0]));
    PrintSpread("  floor: peak resident", mb[0], "MB");
    PrintSpread("  floor drawing one triangle", mb[1], "MB");
    PrintSpread("  game: peak resident", mb[2], "MB");
    PrintSpread("  game above the floor", aboveMb, "MB");
    printf("  %-32s %7.1f MB\n", "median game - median floor", Median(mb[2]) - Median(mb[0]));
    PrintSpread("  game above the drawing floor", aboveDrawingMs, "ms");
    PrintSpread("  game above the drawing floor", aboveDrawingMb, "MB");
    PrintSpread("  game / drawing floor, 1st frame", ratio, "%");
    printf("  %-32s %7.2f x\n", "median game / median drawing", Median(ms[2]) / Median(ms[1]));
    printf("  %-32s %7.1f MB\n", "median game - median drawing", Median(mb[2]) - Median(mb[1]));
    fflush(stdout);
}

int main(int argc, char** argv)
{
    if (argc == 3 && strcmp(argv[1], "--first-frame") == 0) {
        return FirstFrame(argv[2]);
    }
    if (argc == 4 && strcmp(argv[1], "--loop-rows") == 0) {
        return LoopRowsOnly(argv[2], argv[3]);
    }
    if (argc == 4 && strcmp(argv[1], "--screen-row") == 0) {
        return ScreenRowOnly(argv[2], atoi(argv[3]));
    }
    if (argc == 4 && strcmp(argv[1], "--steady-rows") == 0) {
        return SteadyRowsOnly(argv[2], atoi(argv[3]));
    }
    if (argc == 4 && strcmp(argv[1], "--ghost-rows") == 0) {
        return GhostRowsOnly(argv[2], atoi(argv[3]));
    }
    if (argc == 4 && strcmp(argv[1], "--menu-rows") == 0) {
        return MenuRowsOnly(argv[2], atoi(argv[3]));
    }
    if (argc == 3 && strcmp(argv[1], "--round-rows") == 0) {
        return RoundRowsOnly(argv[2]);
    }
    if (argc == 5 && strcmp(argv[1], "--frame-rows") == 0) {
        return FrameRowsOnly(argv[2], static_cast<unsigned int>(atoi(argv[3])), atoi(argv[4]));
    }
    if (argc < 2 || access(argv[1], R_OK) != 0) {
        fprintf(stderr, "usage: %s ASSET_DIR [FRAMES_PER_VIEW [START_UPS]]\n", argv[0]);
        return 2;
    }
    const char* assetDir = argv[1];
    std::string frames = argc > 2 ? argv[2] : "600";
    MeasureStartupsAboveTheFloor(assetDir, argc > 3 ? atoi(argv[3]) : 10);
    for (const char* seed : {"1", "2", "3"}) {
        const char* arguments[] = {"--frame-rows", assetDir, seed, frames.c_str(), NULL};
        RunChild(arguments, NOT_SLOWED);
    }
    const char* ghost[] = {"--ghost-rows", assetDir, frames.c_str(), NULL};
    RunChild(ghost, NOT_SLOWED);
    const char* menu[] = {"--menu-rows", assetDir, frames.c_str(), NULL};
    RunChild(menu, NOT_SLOWED);
    const char* round[] = {"--round-rows", assetDir, NULL};
    RunChild(round, NOT_SLOWED);
    MeasureFullScreen(assetDir, frames);
    const char* steady[] = {"--steady-rows", assetDir, "30", NULL};
    RunChild(steady, NOT_SLOWED);
    const char* loop[] = {"--loop-rows", assetDir, "the main loop on level seed 1, as the machine draws:", NULL};
    RunChild(loop, NOT_SLOWED);
    const char* oneCore[] = {"--loop-rows", assetDir, "the same with the renderer slowed: LP_NUM_THREADS=0, one core:",
                             NULL};
    RunChild(oneCore, ONE_CORE);
    const char* busy[] = {"--loop-rows", assetDir,
                          "the same with the renderer slowed: LP_NUM_THREADS=0, one core, a busy process beside:", NULL};
    RunChild(busy, ONE_CORE_AND_A_BUSY_PROCESS);
    return 0;
}
