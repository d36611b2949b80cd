// The README's picture: the real game, flown by the tests' autopilot in the
// outside view at its own pace towards a box with a palm beside it, as a player
// meets it, then the frame on screen saved as a BMP.
// Usage: vellmora_photo ASSET_DIR /ABSOLUTE/OUTPUT.bmp (on an X display)
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "app/FramePacer.h"
#include "app/Game.h"
#include "game/Skimmer.h"
#include "game/World.h"
#include "scene/SceneObject.h"
#include "tests/support/Autopilot.h"
#include "tests/support/StartGame.h"

static const int KIND_PALM = 1;
static const int KIND_BOX = 3;
// The outside view's camera keeps south of it, looking down towards -z: the
// picture is taken from this far south of the pair, so the box and its palm
// stand ahead of the craft in the upper half of the frame.
static const float SOUTH_OF_BOX = 450.0f;
static const float CLOSE_ENOUGH = 250.0f;

static float FlatDistance(const Vector3& a, const Vector3& b)
{
    Vector3 d(a.x - b.x, 0.0f, a.z - b.z);
    return d.Magnitude();
}

// The point halfway between the box and the palm that stand closest together.
static Vector3 BoxBesideAPalm(const World& world)
{
    Vector3 best(0.0f, 0.0f, 0.0f);
    float bestDistance = 1e30f;
    for (const SceneObject* box : world.m_Objects) {
        for (const SceneObject* palm : world.m_Objects) {
            if (box->kind != KIND_BOX || palm->kind != KIND_PALM) {
                continue;
            }
            float distance = FlatDistance(box->m_Position, palm->m_Position);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = (box->m_Position + palm->m_Position) * 0.5f;
            }
        }
    }
    return best;
}

// Writes the front buffer, bottom row last as BMP viewers expect top first.
static bool SaveFrontBuffer(int width, int height, const char* path)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
    if (surface == NULL) {
        return false;
    }
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    glReadBuffer(GL_FRONT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    for (int y = 0; y < height; ++y) {
        memcpy(static_cast<unsigned char*>(surface->pixels) + y * surface->pitch,
               &pixels[static_cast<size_t>(height - 1 - y) * width * 3], static_cast<size_t>(width) * 3);
    }
    bool saved = SDL_SaveBMP(surface, path) == 0;
    SDL_FreeSurface(surface);
    return saved;
}

int main(int argc, char** argv)
{
    // The output is named before the game moves into its asset directory.
    if (argc < 3 || argv[2][0] != '/' || chdir(argv[1]) != 0) {
        fprintf(stderr, "usage: %s ASSET_DIR /ABSOLUTE/OUTPUT.bmp\n", argv[0]);
        return 2;
    }
    Game* game = StartGame();
    if (game == NULL) {
        return 1;
    }
    Autopilot pilot(*game);
    if (!pilot.IsReady()) {
        fprintf(stderr, "no X display for the autopilot's mouse\n");
        return 1;
    }
    Vector3 pair = BoxBesideAPalm(*game->m_World);
    PushKeyEvent('o', true);
    PushKeyEvent('o', false);
    Vector3 spot(pair.x, pair.y, pair.z + SOUTH_OF_BOX);
    FramePacer pacer(FramePacer::TICKS_PER_SECOND, FramePacer::NowNs());
    for (int frame = 0; frame < 5000; ++frame) {
        if (FlatDistance(game->m_Skimmer->m_Position, spot) < CLOSE_ENOUGH) {
            break;
        }
        pilot.Steer(spot);
        game->RunFrame();
        pacer.EndFrame();
        pacer.SleepUntilSwapDue();
    }
    const char* output = argv[2];
    bool saved = SaveFrontBuffer(game->m_WindowWidth, game->m_WindowHeight, output);
    if (!saved) {
        fprintf(stderr, "could not write %s: %s\n", output, SDL_GetError());
    }
    delete game;
    SDL_Quit();
    return saved ? 0 : 1;
}
