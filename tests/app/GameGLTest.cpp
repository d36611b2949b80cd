// The game object's start-up and frames, in-process on Xvfb.
#include "app/Game.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <regex>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <unistd.h>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "app/display/DesktopScale.h"
#include "base/EarlyWork.h"
#include "app/text/Font.h"
#include "app/text/GlyphSource.h"
#include <GL/glu.h>

#include "base/PlayerFiles.h"
#include "app/Screenshot.h"
#include "assets/Model.h"
#include "game/Ghost.h"
#include "game/GhostCraft.h"
#include "game/RoundFiles.h"
#include "game/Layout.h"
#include "game/Round.h"
#include "game/World.h"
#include "game/Skimmer.h"
#include "terrain/Scene.h"
#include "terrain/Sky.h"
#include "terrain/TerrainGrid.h"
#include "terrain/terrain.h"
#include "scene/Camera.h"
#include "scene/Frustum.h"
#include "scene/SceneObject.h"
#include "tests/support/GLWindow.h"
#include "tests/support/GameDriver.h"
#include "tests/support/RecordedSound.h"
#include "tests/support/ScriptedDialogs.h"

// SDL 2's view of the game's window, through sdl12-compat.
extern "C" void* SDL12COMPAT_GetWindow(void);

static void* Sdl2Function(const char* name)
{
    return dlsym(dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_NOLOAD), name);
}

TEST(GameStartup, AsksTheQuestionAndOpensAWindow)
{
    ForgetShownDialogs();
    GameDriver driver;
    Game& game = driver.GetGame();
    ASSERT_FALSE(ShownDialogs().empty());
    EXPECT_EQ(ShownDialogs()[0].text, "Do you want to run in Fullscreen Mode?");
    EXPECT_EQ(ShownDialogs()[0].caption, "Options");
    EXPECT_TRUE(ShownDialogs()[0].question);
    ASSERT_TRUE(game.m_Screen != NULL);
    EXPECT_EQ(game.m_Screen->w, 800);
    EXPECT_EQ(game.m_Screen->h, 600);
    EXPECT_EQ(game.m_Screen->flags & SDL_FULLSCREEN, 0u);

    // The craft starts at (0, 100, 500), and the world's floor keeps it 100
    // above the ground there; the camera starts in the cockpit view.
    float ground = game.m_Scene->GetTerrain()->m_Grid->GetGroundHeight(0.0f, 500.0f);
    EXPECT_FLOAT_EQ(game.m_Skimmer->m_Position.y, std::max(100.0f, ground + 100.0f));
    EXPECT_NEAR(game.m_Skimmer->m_Position.z, 500.0f, 1e-3f);
    EXPECT_TRUE(game.m_Camera->m_CockpitView);

    // The start-up state every frame relies on.
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    GLint fogMode = 0;
    glGetIntegerv(GL_FOG_MODE, &fogMode);
    EXPECT_EQ(fogMode, GL_LINEAR);
    float fogEnd = 0.0f;
    glGetFloatv(GL_FOG_END, &fogEnd);
    EXPECT_FLOAT_EQ(fogEnd, 5000.0f);
    // The projection: 60 degrees, aspect 800 / 600 computed in floating point.
    float projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5] / projection[0], 800.0f / 600.0f, 1e-4f);
    EXPECT_NEAR(projection[5], 1.7320508f, 1e-4f);
}

TEST(GameStartup, AnythingButNoGivesFullScreen)
{
    ScriptDialogAnswer(true);
    GameDriver driver;
    ASSERT_TRUE(driver.GetGame().m_Screen != NULL);
    EXPECT_NE(driver.GetGame().m_Screen->flags & SDL_FULLSCREEN, 0u);
    // At the desktop's own resolution: the screen's mode is never changed.
    typedef unsigned int (*FlagsFunction)(void*);
    const unsigned int FULLSCREEN_DESKTOP = 0x1001;
    unsigned int flags = reinterpret_cast<FlagsFunction>(Sdl2Function("SDL_GetWindowFlags"))(SDL12COMPAT_GetWindow());
    EXPECT_EQ(flags & FULLSCREEN_DESKTOP, FULLSCREEN_DESKTOP);
}

TEST(GameFrames, KeysSteerAndViewSwitchesPersist)
{
    GameDriver driver;
    Game& game = driver.GetGame();
    driver.PushKey('w', true);
    ASSERT_TRUE(driver.Frames(10));
    EXPECT_NEAR(game.m_Skimmer->m_Speed, 1.8f, 1e-4f);
    EXPECT_LT(game.m_Skimmer->m_Position.z, 500.0f);  // flying towards -z

    driver.PushKey('w', false);
    driver.PushKey('o', true);
    driver.PushKey('o', false);
    driver.Frames(3);
    EXPECT_FALSE(game.m_Camera->m_CockpitView);  // stays after the release

    // Holding both keys gives the cockpit view.
    driver.PushKey('o', true);
    driver.PushKey('c', true);
    driver.Frames(2);
    EXPECT_TRUE(game.m_Camera->m_CockpitView);
    driver.PushKey('c', false);
    driver.Frames(1);
    EXPECT_FALSE(game.m_Camera->m_CockpitView);  // 'o' still held
}

// A virtual gamepad made through SDL 2's own API in this process, which is
// the SDL 2 that sdl12-compat runs on: the game sees it as a real pad.
namespace VirtualPad {
typedef int (*AttachFunction)(int type, int axes, int buttons, int hats);
typedef void* (*OpenFunction)(int index);
typedef int (*AxisFunction)(void* joystick, int axis, short value);
typedef int (*ButtonFunction)(void* joystick, int button, unsigned char value);
typedef int (*DetachFunction)(int index);
void* s_Joystick = NULL;

void Attach()
{
    const int GAME_CONTROLLER = 1;
    int index = reinterpret_cast<AttachFunction>(Sdl2Function("SDL_JoystickAttachVirtual"))(GAME_CONTROLLER, 6, 15, 0);
    s_Joystick = reinterpret_cast<OpenFunction>(Sdl2Function("SDL_JoystickOpen"))(index);
}

void SetAxis(int axis, short value)
{
    reinterpret_cast<AxisFunction>(Sdl2Function("SDL_JoystickSetVirtualAxis"))(s_Joystick, axis, value);
}

void SetButton(int button, bool down)
{
    reinterpret_cast<ButtonFunction>(Sdl2Function("SDL_JoystickSetVirtualButton"))(s_Joystick, button, down ? 1 : 0);
}

void Detach()
{
    reinterpret_cast<DetachFunction>(Sdl2Function("SDL_JoystickDetachVirtual"))(0);
}
}  // namespace VirtualPad

// The nose's heading in degrees about the world's y axis.
static float Heading(const SceneObject& craft)
{
    Vector3 forward = craft.m_Orientation * Vector3(0.0f, 0.0f, -1.0f);
    return std::atan2(-forward.x, -forward.z) * 180.0f / 3.1415927f;
}

TEST(Gamepad, DrivesTheCraftAsTheKeysAndTheMouseDo)
{
    GameDriver driver(VirtualPad::Attach);
    Game& game = driver.GetGame();
    ASSERT_TRUE(VirtualPad::s_Joystick != NULL);
    EXPECT_NE(driver.Dir().ReadFile("vellmora.log").find("Gamepad: "), std::string::npos);
    Skimmer& craft = *game.m_Skimmer;
    // Right trigger: throttle, 0.18 a tick as with W.
    craft.SetSpeed(0.0f);
    VirtualPad::SetAxis(5, 32767);
    driver.Frames(10);
    EXPECT_NEAR(craft.m_Speed, 1.8f, 1e-4f);
    VirtualPad::SetAxis(5, 0);
    // The stick full right turns the nose right 3 degrees a tick; within the
    // dead zone it does nothing.
    float heading = Heading(craft);
    VirtualPad::SetAxis(0, 32767);
    driver.Frames(2);
    EXPECT_NEAR(Heading(craft) - heading, -6.0f, 0.01f);
    VirtualPad::SetAxis(0, 6000);
    heading = Heading(craft);
    driver.Frames(2);
    EXPECT_NEAR(Heading(craft) - heading, 0.0f, 1e-4f);
    VirtualPad::SetAxis(0, 0);
    // South button: the afterburner, as Tab.
    game.m_Round.m_AfterburnerCharge = 100;
    craft.SetSpeed(5.0f);
    VirtualPad::SetButton(0, true);
    driver.Frames(1);
    EXPECT_EQ(game.m_Round.m_AfterburnerCharge, 97);
    EXPECT_NEAR(craft.m_Speed, 6.9f, 1e-4f);  // less 2 % drag, plus the boost
    VirtualPad::SetButton(0, false);
    // The menu with the pad alone: Start opens it, the d-pad moves (held,
    // it repeats after 0.4 s, ten times a second), south selects and steps,
    // east goes back (which writes the change), Start flies on.
    auto press = [&driver](int button, int times) {
        for (int i = 0; i < times; ++i) {
            VirtualPad::SetButton(button, true);
            driver.Frames(2);
            VirtualPad::SetButton(button, false);
            driver.Frames(2);
        }
    };
    press(6, 1);
    ASSERT_TRUE(game.m_Menu.m_Open);
    press(12, 5);
    press(0, 1);
    ASSERT_EQ(game.m_Menu.Screen(), SCREEN_SETTINGS);
    press(12, 4);
    ForgetPlayedSounds();
    press(13, 1);
    EXPECT_EQ(EffectsVolume(), 95);
    EXPECT_EQ(PlayedEffects(), std::vector<std::string>(1, "gotbox.wav")) << "a step heard at its new level";
    press(1, 1);
    EXPECT_EQ(driver.Dir().ReadFile("config/vellmora/vellmora.conf"), "effects_volume = 95\n");
    press(12, 1);
    press(0, 1);
    ASSERT_EQ(game.m_Menu.Screen(), SCREEN_CONTROLS);
    VirtualPad::SetButton(12, true);
    driver.Frames(60);
    VirtualPad::SetButton(12, false);
    EXPECT_EQ(game.m_Menu.Highlight(), 7);
    VirtualPad::SetButton(6, true);
    driver.Frames(5);  // held on: no second opening
    EXPECT_FALSE(game.m_Menu.m_Open);
    EXPECT_EQ(SDL_WM_GrabInput(SDL_GRAB_QUERY), SDL_GRAB_ON);
    VirtualPad::SetButton(6, false);
    // Unplugged with the trigger held: the throttle lets go.
    VirtualPad::SetAxis(5, 32767);
    driver.Frames(1);
    float speed = craft.m_Speed;
    VirtualPad::Detach();
    driver.Frames(3);
    EXPECT_LT(craft.m_Speed, speed);
}

// The craft as a tick left it, and the round's count and clock.
struct TickState {
    Vector3 m_Position;
    Quat m_Orientation;
    float m_Speed;
    int m_Boxes;
    long long m_Clock;

    bool operator==(const TickState& o) const
    {
        return m_Position.x == o.m_Position.x && m_Position.y == o.m_Position.y && m_Position.z == o.m_Position.z &&
               m_Orientation.x == o.m_Orientation.x && m_Orientation.y == o.m_Orientation.y &&
               m_Orientation.z == o.m_Orientation.z && m_Orientation.w == o.m_Orientation.w &&
               m_Speed == o.m_Speed && m_Boxes == o.m_Boxes && m_Clock == o.m_Clock;
    }
};

// 30 s of play through the pad alone, so that nothing but the game's state
// decides the input: the stick turns the nose toward the nearest box (the
// nearest palm, once the first box is in, until one is hit) and the
// throttle is held while the nose is within 30 degrees of it. The first
// tick has no input (the retry's press).
static std::vector<TickState> FlyThirtySeconds(GameDriver& driver, bool retry)
{
    Game& game = driver.GetGame();
    const Skimmer& craft = *game.m_Skimmer;
    std::vector<TickState> ticks;
    bool crashed = false;
    for (int tick = 0; tick < 1800; ++tick) {
        VirtualPad::SetButton(4, retry && tick == 0);  // back: retry
        crashed = crashed || craft.m_Speed < 0.0f;
        int kind = game.m_World->m_BoxesToCollect < 20 && !crashed ? 1 : 3;
        SceneObject* target = NULL;
        for (SceneObject* object : game.m_World->m_Objects) {
            Vector3 to = object->m_Position - craft.m_Position;
            Vector3 from = target != NULL ? target->m_Position - craft.m_Position : to;
            if (object->kind == kind && object->visible && (target == NULL || to.Magnitude() < from.Magnitude())) {
                target = object;
            }
        }
        float error = 180.0f;
        if (target != NULL) {
            Vector3 to = target->m_Position - craft.m_Position;
            error = std::remainder(std::atan2(-to.x, -to.z) * 180.0f / 3.1415927f - Heading(craft), 360.0f);
        }
        bool steer = tick > 0 && target != NULL;
        VirtualPad::SetAxis(0, steer ? static_cast<short>(std::fmax(-1.0f, std::fmin(1.0f, -error / 20.0f)) * 32767) : 0);
        VirtualPad::SetAxis(5, steer && std::fabs(error) < 30.0f ? 32767 : 0);  // right trigger: throttle
        driver.Frames(1);
        ticks.push_back({craft.m_Position, craft.m_Orientation, craft.m_Speed, game.m_World->m_BoxesToCollect,
                         game.m_Round.m_Ticks});
    }
    VirtualPad::SetAxis(0, 0);
    VirtualPad::SetAxis(5, 0);
    return ticks;
}

// A retry is exactly a fresh start on the layout: the same input gives the
// same flight, tick for tick, with boxes collected and palms hit on the way.
TEST(TheRound, ARetryIsAFreshStartTickForTick)
{
    GameDriver driver(VirtualPad::Attach, "layout = 4\n", true);
    Game& game = driver.GetGame();
    SDL_PumpEvents();
    SDL_GetRelativeMouseState(NULL, NULL);
    ForgetPlayedSounds();
    std::vector<TickState> fresh = FlyThirtySeconds(driver, false);
    EXPECT_LT(fresh.back().m_Boxes, 20) << "no box collected";
    printf("%d boxes collected, %d crashes\n", 20 - fresh.back().m_Boxes,
           static_cast<int>(std::count(PlayedEffects().begin(), PlayedEffects().end(), "crash.wav")));
    EXPECT_GT(std::count(PlayedEffects().begin(), PlayedEffects().end(), "crash.wav"), 0) << "no palm was hit";
    std::vector<TickState> again = FlyThirtySeconds(driver, true);
    for (size_t tick = 0; tick < fresh.size(); ++tick) {
        ASSERT_TRUE(fresh[tick] == again[tick]) << "tick " << tick << ": at " << again[tick].m_Position.x << ", "
                                                << again[tick].m_Position.z << " instead of "
                                                << fresh[tick].m_Position.x << ", " << fresh[tick].m_Position.z;
    }
    EXPECT_EQ(again.back().m_Clock, 1800);
    EXPECT_EQ(game.m_Round.m_Layout, 4);
}

TEST(GameFrames, OneEventIsTakenPerFrame)
{
    GameDriver driver;
    Game& game = driver.GetGame();
    driver.PushKey('w', true);
    driver.PushKey('w', false);
    driver.Frames(1);
    EXPECT_TRUE(game.m_Controls.m_Forward);
    driver.Frames(1);
    EXPECT_FALSE(game.m_Controls.m_Forward);
}

TEST(GameFrames, QuitEndsTheLoopAfterThatFrame)
{
    GameDriver driver;
    Game& game = driver.GetGame();
    driver.PushKey('w', true);
    driver.PushQuit();
    long long ticks = game.m_TicksRun;
    long long frames = game.m_FramesDrawn;
    // The real loop: its first frame's tick takes 'w', a later one the
    // quit; no tick runs after that one, whose frame is still drawn.
    game.Run();
    EXPECT_EQ(game.m_TicksRun - ticks, 2);
    EXPECT_EQ(game.m_FramesDrawn - frames, 2);
    EXPECT_TRUE(game.m_Controls.m_Forward);
    EXPECT_NEAR(game.m_Skimmer->m_Speed, 0.36f, 1e-5f);
}

// The cockpit's near plane lies 4 units ahead of the eye: where the frame
// put the eye shows in how far a point stands from that plane.
static float NearPlaneDistance(const Vector3& point)
{
    const float* plane = g_Frustum.m_Planes[Frustum::PLANE_NEAR];
    return plane[0] * point.x + plane[1] * point.y + plane[2] * point.z + plane[3];
}

TEST(GameFrames, FramesShowTheCraftBetweenItsLastTwoTicks)
{
    GameDriver driver;
    Game& game = driver.GetGame();
    game.m_Skimmer->SetSpeed(12.0f);
    game.RunTick();
    Vector3 previous = game.m_Skimmer->m_Position;
    game.RunTick();
    Vector3 last = game.m_Skimmer->m_Position;
    ASSERT_GT((last - previous).Magnitude(), 10.0f);

    game.DrawFrame(0.25f);
    EXPECT_NEAR(NearPlaneDistance(previous + (last - previous) * 0.25f), -4.0f, 0.05f);
    // The rules see the last tick again once the frame is drawn.
    EXPECT_FLOAT_EQ(game.m_Skimmer->m_Position.z, last.z);
    EXPECT_FLOAT_EQ(game.m_Camera->m_Position.z, last.z);
    game.DrawFrame(1.0f);
    EXPECT_NEAR(NearPlaneDistance(last), -4.0f, 0.05f);
}

// The back buffer's colours and depths, as the frame left them.
static void ReadFrame(std::vector<unsigned char>& outColour, std::vector<float>& outDepth)
{
    outColour.resize(800 * 600 * 3);
    outDepth.resize(800 * 600);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, outColour.data());
    glReadPixels(0, 0, 800, 600, GL_DEPTH_COMPONENT, GL_FLOAT, outDepth.data());
}

TEST(GameScreen, TheSkyDrawnLastShowsWhereTheDomeDrawnFirstShowed)
{
    GameDriver driver;
    Game& game = driver.GetGame();
    for (int view : {'c', 'o'}) {
        driver.PushKey(view, true);
        driver.PushKey(view, false);
        driver.Frames(2);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        game.m_Scene->DrawFrom(*game.m_Camera);
        std::vector<unsigned char> lastColour;
        std::vector<float> lastDepth;
        ReadFrame(lastColour, lastDepth);
        // The dome first, covered by the scene drawn after it.
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        float skyMatrix[16];
        game.m_Camera->LoadView(skyMatrix);
        glPushMatrix();
            glLoadMatrixf(skyMatrix);
            game.m_Scene->m_Sky->Render(NULL);
        glPopMatrix();
        g_Frustum.Update();
        game.m_Scene->Draw(&g_Frustum);
        std::vector<unsigned char> firstColour;
        std::vector<float> firstDepth;
        ReadFrame(firstColour, firstDepth);
        // The same pixels are sky; every other pixel is the same colour. (The
        // sky itself turns with the clock between the two.)
        int sky = 0;
        int differ = 0;
        for (size_t i = 0; i < lastDepth.size(); ++i) {
            ASSERT_EQ(lastDepth[i], firstDepth[i]) << "pixel " << i << ", view " << static_cast<char>(view);
            sky += lastDepth[i] == 1.0f ? 1 : 0;
            for (int c = 0; c < 3 && lastDepth[i] < 1.0f; ++c) {
                differ += std::abs(lastColour[3 * i + c] - firstColour[3 * i + c]) > 1 ? 1 : 0;
            }
        }
        EXPECT_EQ(differ, 0) << "view " << static_cast<char>(view);
        if (view == 'c') {
            EXPECT_GT(sky, 800 * 600 / 10);
        }
    }
}

// The pixels where the ghost's frame differs from the same frame without it,
// over the ground only (the sky turns with the clock): their box, and the
// largest change of a colour and of a depth.
struct GhostPixels {
    int m_Count = 0;
    int m_Left = 800, m_Right = -1, m_Bottom = 600, m_Top = -1;
    int m_MostChange = 0;
    float m_MostDepthChange = 0.0f;
};

static GhostPixels DrawGhostAt(Game& game, float blend)
{
    std::vector<unsigned char> without, with;
    std::vector<float> withoutDepth, withDepth;
    const bool shown = game.m_GhostCraft->visible;
    game.m_GhostCraft->visible = false;
    game.DrawFrame(blend);
    ReadFrame(without, withoutDepth);
    game.m_GhostCraft->visible = shown;
    game.DrawFrame(blend);
    ReadFrame(with, withDepth);
    GhostPixels pixels;
    for (int i = 0; i < 800 * 600; ++i) {
        int change = 0;
        for (int c = 0; c < 3; ++c) {
            change = std::max(change, std::abs(with[3 * i + c] - without[3 * i + c]));
        }
        pixels.m_MostDepthChange = std::max(pixels.m_MostDepthChange, std::fabs(withDepth[i] - withoutDepth[i]));
        if (withoutDepth[i] < 1.0f && change > 1) {
            ++pixels.m_Count;
            pixels.m_MostChange = std::max(pixels.m_MostChange, change);
            pixels.m_Left = std::min(pixels.m_Left, i % 800);
            pixels.m_Right = std::max(pixels.m_Right, i % 800);
            pixels.m_Bottom = std::min(pixels.m_Bottom, i / 800);
            pixels.m_Top = std::max(pixels.m_Top, i / 800);
        }
    }
    return pixels;
}

// Where a point of the world shows in the last frame drawn.
static Vector3 OnScreen(const Vector3& point)
{
    double model[16], projection[16], x, y, z;
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluProject(point.x, point.y, point.z, model, projection, viewport, &x, &y, &z);
    return Vector3(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

TEST(TheGhost, FliesItsRecordSeeThroughInBothViewsUntilItsLastTick)
{
    GameDriver driver(NULL, "layout = 4\n");
    Game& game = driver.GetGame();
    // A ghost that drifts across the view, ahead of the craft and below it,
    // with the ground behind.
    Ghost ghost;
    ghost.m_Layout = 4;
    ghost.m_Rules = RULES_NUMBER;
    const Vector3 start = game.m_Round.m_CraftStart.m_Position;
    for (int tick = 0; tick < 40; ++tick) {
        ghost.m_Poses.push_back(GhostPose{start + Vector3(-20.0f + 3.0f * tick, -40.0f, -160.0f), Quat(0.0f, 10.0f * tick, 0.0f)});
    }
    ASSERT_TRUE(KeepGhost(GhostPath(game.m_RecordsPath, 4), ghost));
    for (int view : {'c', 'o'}) {
        driver.PushKey('r', true);  // a retry reads the layout's ghost, beside the loop
        driver.PushKey(view, true);
        driver.Frames(1);
        WaitForRoundFiles();
        game.TakeRoundFiles();
        ASSERT_EQ(game.m_Round.m_Ghost.m_Poses.size(), 40u);
        driver.PushKey('r', false);
        driver.PushKey(view, false);
        driver.DrainEvents();
        game.m_Skimmer->SetSpeed(0.0f);
        while (game.m_Round.m_TicksFlown < 20) {
            game.RunTick();
            const GhostPose& pose = ghost.m_Poses[game.m_Round.m_TicksFlown - 1];
            ASSERT_TRUE(game.m_GhostCraft->visible);
            ASSERT_EQ(game.m_GhostCraft->m_Position.x, pose.m_Position.x);
            ASSERT_EQ(game.m_GhostCraft->m_Position.z, pose.m_Position.z);
        }
        GhostPixels last = DrawGhostAt(game, 1.0f);
        const Vector3 where = OnScreen(ghost.m_Poses[19].m_Position);
        GhostPixels between = DrawGhostAt(game, 0.5f);
        GhostPixels previous = DrawGhostAt(game, 0.0f);
        const char* name = view == 'c' ? "cockpit" : "outside";
        ASSERT_GT(last.m_Count, 50) << name;
        EXPECT_TRUE(where.x > last.m_Left && where.x < last.m_Right && where.y > last.m_Bottom && where.y < last.m_Top)
            << name << ": " << where.x << ", " << where.y;
        EXPECT_GT(last.m_Left + last.m_Right, previous.m_Left + previous.m_Right) << name << ": it drifts right";
        EXPECT_NEAR(between.m_Left + between.m_Right, (last.m_Left + last.m_Right + previous.m_Left + previous.m_Right) / 2, 2)
            << name;
        // See-through: no pixel takes more than the ghost's share of its
        // colour, and the depths stay the world's.
        EXPECT_LE(last.m_MostChange, static_cast<int>(GHOST_OPACITY * 255.0f) + 2) << name;
        EXPECT_EQ(last.m_MostDepthChange, 0.0f) << name;
        while (game.m_Round.m_TicksFlown < 41) {
            game.RunTick();
        }
        EXPECT_FALSE(game.m_GhostCraft->visible) << name << ": flown past its last tick";
        EXPECT_EQ(DrawGhostAt(game, 1.0f).m_Count, 0) << name;
    }
    // Flown where the eye is, it never covers the view: gone in the
    // cockpit, and shown beside the craft from outside.
    ghost.m_Poses.assign(39, GhostPose{start, Quat()});
    ASSERT_TRUE(KeepGhost(GhostPath(game.m_RecordsPath, 4), ghost));
    for (int view : {'c', 'o'}) {
        driver.PushKey('r', true);
        driver.PushKey(view, true);
        driver.Frames(1);
        driver.PushKey('r', false);
        driver.PushKey(view, false);
        driver.DrainEvents();
        WaitForRoundFiles();
        game.TakeRoundFiles();
        game.m_Skimmer->SetSpeed(0.0f);
        game.RunTick();
        game.m_GhostCraft->Follow(&ghost.m_Poses[0]);
        game.m_GhostCraft->SetPosition(game.m_Skimmer->m_Position.x + 30.0f, game.m_Skimmer->m_Position.y,
                                       game.m_Skimmer->m_Position.z);
        EXPECT_EQ(DrawGhostAt(game, 1.0f).m_Count > 0, view == 'o') << static_cast<char>(view);
    }
    EXPECT_EQ(GhostCraft::Nearness(0.0f, 50.0f), 0.0f);
    EXPECT_EQ(GhostCraft::Nearness(100.0f, 50.0f), 0.0f);
    EXPECT_NEAR(GhostCraft::Nearness(200.0f, 50.0f), 0.5f, 1e-6f);
    EXPECT_EQ(GhostCraft::Nearness(300.0f, 50.0f), 1.0f);
    // ghost = no flies none.
    game.m_Settings.m_Ghost = false;
    game.StartRound(4);
    WaitForRoundFiles();
    game.TakeRoundFiles();
    EXPECT_TRUE(game.m_Round.m_Ghost.m_Poses.empty());
}

// Counts the pixels of the overlay region that are clearly red.
static int RedPixels(int x, int y, int width, int height)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int red = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        red += (pixels[i] > 200 && pixels[i + 1] < 60 && pixels[i + 2] < 60) ? 1 : 0;
    }
    return red;
}

static void WriteUserDirs(GameDriver& driver, const char* line)
{
    mkdir((driver.Dir().Path() + "/config").c_str(), 0755);
    FILE* file = fopen((driver.Dir().Path() + "/config/user-dirs.dirs").c_str(), "w");
    ASSERT_TRUE(file != NULL);
    fprintf(file, "# written by xdg-user-dirs-update\n%s\n", line);
    fclose(file);
}

TEST(TheScreenshot, SavesTheFrameAsShownAndNeverOverwritesOne)
{
    GameDriver driver;
    Game& game = driver.GetGame();
    setenv("HOME", driver.Dir().Path().c_str(), 1);
    WriteUserDirs(driver, "XDG_PICTURES_DIR=\"$HOME/Shots\"");
    driver.PushKey(KEY_F12, true);
    game.RunTick();
    game.DrawFrame(1.0f);  // saved
    game.DrawFrame(1.0f);  // the same frame again, to compare with
    std::vector<unsigned char> shown;
    std::vector<float> depth;
    ReadFrame(shown, depth);
    driver.PushKey(KEY_F12, false);
    driver.PushKey(KEY_F12, true);
    driver.Frames(2);  // a second one, most likely in the same second
    FinishScreenshots();
    std::string log = driver.Dir().ReadFile("vellmora.log");
    std::smatch names;
    ASSERT_TRUE(std::regex_search(log, names, std::regex("Screenshot: (.*/Shots/Vellmora/vellmora-[0-9_-]+\\.png)\n"
                                                         "(.|\n)*Screenshot: (.*\\.png)\n")))
        << log;
    EXPECT_NE(names[1].str(), names[3].str());
    SDL_Surface* picture = IMG_Load(names[1].str().c_str());
    ASSERT_TRUE(picture != NULL) << IMG_GetError();
    ASSERT_EQ(picture->w, 800);
    ASSERT_EQ(picture->h, 600);
    ASSERT_EQ(picture->format->BytesPerPixel, 3);
    // Top row first in the file, bottom row first from OpenGL; the sky turns
    // with the clock, and the frame rate's figure may change between frames.
    int same = 0;
    int compared = 0;
    for (int y = 0; y < 600; ++y) {
        const unsigned char* row = static_cast<const unsigned char*>(picture->pixels) + (599 - y) * picture->pitch;
        for (int x = 0; x < 800; ++x) {
            bool fpsLine = x < 300 && y >= 110 && y < 150;
            if (depth[y * 800 + x] < 1.0f && !fpsLine) {
                ++compared;
                same += memcmp(row + 3 * x, &shown[3 * (y * 800 + x)], 3) == 0 ? 1 : 0;
            }
        }
    }
    SDL_FreeSurface(picture);
    EXPECT_GT(compared, 800 * 600 / 3);
    EXPECT_EQ(same, compared);
    // The screen names the picture above the clock, for a while.
    game.DrawFrame(1.0f);
    EXPECT_EQ(game.m_OverlayNote, "Saved " + names[3].str().substr(names[3].str().rfind('/') + 1));
    EXPECT_GT(RedPixels(0, 205, 500, 25), 100);
    game.m_OverlayNoteMs -= 2000;
    game.DrawFrame(1.0f);
    EXPECT_EQ(RedPixels(0, 205, 500, 25), 0);
    // A burst: at most a few pictures wait, the rest are refused.
    const std::string folder = driver.Dir().Path() + "/Shots/Vellmora";
    for (int press = 0; press < 20; ++press) {
        TakeScreenshot(folder, 800, 600);
    }
    FinishScreenshots();
    log = driver.Dir().ReadFile("vellmora.log");
    const std::regex written("Screenshot: .*\\.png\n");
    EXPECT_LT(std::distance(std::sregex_iterator(log.begin(), log.end(), written), std::sregex_iterator()), 2 + 20);
    EXPECT_NE(log.find(" pictures wait to be written; no picture taken\n"), std::string::npos) << log;
    // A folder that cannot be made: one line, and the game plays on.
    WriteUserDirs(driver, "XDG_PICTURES_DIR=\"/proc/no-pictures\"");
    driver.PushKey(KEY_F12, false);
    driver.PushKey(KEY_F12, true);
    EXPECT_TRUE(driver.Frames(3));
    FinishScreenshots();
    log = driver.Dir().ReadFile("vellmora.log");
    EXPECT_NE(log.find("Screenshot: /proc/no-pictures/Vellmora/ cannot be written ("), std::string::npos) << log;
    EXPECT_EQ(PicturesFolderFrom("XDG_PICTURES_DIR=\"/srv/p/\"\n", "/home/a"), "/srv/p");
    EXPECT_EQ(PicturesFolderFrom("XDG_PICTURES_DIR=\"pictures\"\nXDG_MUSIC_DIR=\"$HOME/M\"", "/home/a"), "/home/a/Pictures");
}

// Each model drawn from its buffer and vertex by vertex, lit and fogged as
// the frame leaves the state, from two fixed views: every pixel the same.
TEST(ModelDrawing, FromTheBufferEveryPixelIsAsVertexByVertex)
{
    GameDriver driver;
    Game& game = driver.GetGame();
    Model* palm = NULL;
    Model* box = NULL;
    for (SceneObject* object : game.m_World->m_Objects) {
        (object->kind == 1 ? palm : box) = static_cast<Model*>(object);
    }
    Model* models[3] = {palm, box, game.m_Skimmer};
    for (Model* model : models) {
        ASSERT_NE(model->m_VertexBuffer, 0u) << model->m_FileName;
        const Vector3 centre = model->m_BoundingSphere.m_Center - model->m_Position;
        const float away = model->m_BoundingSphere.m_Radius * 2.5f;
        const Vector3 eyes[2] = {Vector3(0.0f, away * 0.3f, away), Vector3(away * 0.6f, away * 0.8f, -away * 0.4f)};
        for (const Vector3& eye : eyes) {
            std::vector<unsigned char> pixels[2];
            std::vector<float> depth;
            for (int way = 0; way < 2; ++way) {
                const unsigned int buffer = model->m_VertexBuffer;
                model->m_VertexBuffer = way == 0 ? buffer : 0;
                // A group without a texture draws with the one bound before.
                glBindTexture(GL_TEXTURE_2D, 0);
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                glMatrixMode(GL_PROJECTION);
                glLoadIdentity();
                gluPerspective(45.0, 800.0 / 600.0, 1.0, away * 4.0);
                glMatrixMode(GL_MODELVIEW);
                glLoadIdentity();
                gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0.0, 1.0, 0.0);
                model->DrawGeometry();
                model->m_VertexBuffer = buffer;
                ReadFrame(pixels[way], depth);
            }
            int drawn = 0;
            int differ = 0;
            for (size_t i = 0; i < depth.size(); ++i) {
                drawn += depth[i] < 1.0f ? 1 : 0;
                differ += memcmp(&pixels[0][3 * i], &pixels[1][3 * i], 3) != 0 ? 1 : 0;
            }
            EXPECT_GT(drawn, 2000) << model->m_FileName;
            EXPECT_EQ(differ, 0) << model->m_FileName << " from " << eye.x << ", " << eye.y << ", " << eye.z;
        }
    }
}

// Another program holding the lock at path, until the process that asked
// ends.
static pid_t HoldLock(const std::string& path)
{
    MakeParentFolders(path);
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    flock(fd, LOCK_EX);
    pid_t holder = fork();  // holds the lock on after this process lets go of it
    if (holder == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        for (;;) {
            pause();
        }
    }
    close(fd);
    return holder;
}

// The verdict is the merged records': another copy of the game kept a
// faster time while this one flew. Then a finish while another program
// holds the records' lock: the frames keep coming, the verdict comes once
// the lock is given up, and the time is still shown among the bests.
TEST(TheRound, AFinishIsJudgedAfterTheMergeAndWaitsForNoLock)
{
    GameDriver driver(NULL, "layout = 9\n");
    Game& game = driver.GetGame();
    driver.Frames(100);
    MakeParentFolders(game.m_RecordsPath);
    FILE* file = fopen(game.m_RecordsPath.c_str(), "w");
    fputs("vellmora records 1\n1 42 60 2026-01-01\n", file);
    fclose(file);
    game.m_World->m_BoxesToCollect = 0;
    driver.Frames(1);
    WaitForRoundFiles();
    driver.Frames(1);
    ASSERT_EQ(game.m_Round.m_FinishLines.size(), 4u);
    EXPECT_EQ(game.m_Round.m_FinishLines[1], "A new best on this layout!");
    EXPECT_EQ(game.m_Round.m_FinishLines[3], "Best of all layouts: 0:01.00 (layout 42)");
    // Its rows under it; the game waits there.
    ASSERT_TRUE(game.m_Menu.m_Open && game.m_Menu.Screen() == SCREEN_FINISH);
    EXPECT_EQ(game.m_Menu.Row(1).m_Text + " " + game.m_Menu.Row(1).m_Key, "New layout N");
    game.AnswerMenu(ANSWER_CLOSE);

    const std::string kept = driver.Dir().ReadFile("data/vellmora/records");
    pid_t holder = HoldLock(game.m_RecordsPath + ".lock");
    game.StartRound(9);
    game.m_World->m_BoxesToCollect = 0;
    driver.Frames(5);
    ASSERT_TRUE(game.m_Round.m_Finished);
    EXPECT_EQ(game.m_Round.m_FinishLines.size(), 1u) << "the finish waited for the lock";
    WaitForRoundFiles();
    driver.Frames(1);
    kill(holder, SIGKILL);
    waitpid(holder, NULL, 0);
    EXPECT_NE(driver.Dir().ReadFile("vellmora.log").find("Records: the time is not kept: " + game.m_RecordsPath +
                                                         ".lock is locked by another program\n"),
              std::string::npos);
    ASSERT_EQ(game.m_Round.m_FinishLines.size(), 4u);
    EXPECT_EQ(game.m_Round.m_FinishLines[1], "A new best of all layouts!");  // a tick, under 60
    EXPECT_EQ(game.m_Round.m_FinishLines[3], "Best of all layouts: " + ClockText(game.m_Round.m_Ticks) + " (layout 9)");
    EXPECT_EQ(driver.Dir().ReadFile("data/vellmora/records"), kept);
}

// Escape ends the game at once, even while a finish waits for a lock.
TEST(GameFramesDeathTest, EscapeEndsTheProcessWithStatusZero)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            GameDriver driver;
            HoldLock(driver.GetGame().m_RecordsPath + ".lock");
            driver.GetGame().m_World->m_BoxesToCollect = 0;
            driver.Frames(2);
            driver.PushKey(KEY_ESCAPE, true);
            driver.Frames(1);
            exit(3);  // not reached when Escape ends the game
        },
        testing::ExitedWithCode(0), "");
}

TEST(OverlayFont, PrintsRedTextEvenWithLightingOn)
{
    GameDriver driver;
    Game& game = driver.GetGame();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 800, 0, 600, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_LIGHTING);
    glEnable(GL_FOG);
    game.m_Font->Print("speed: 88 mph", 10, 140);
    EXPECT_GT(RedPixels(10, 135, 300, 30), 200);
    EXPECT_EQ(RedPixels(10, 300, 300, 30), 0);
    // The ink is exactly that of the face's bitmaps drawn by glBitmap.
    std::vector<unsigned char> quads(800 * 100 * 3);
    glReadPixels(0, 100, 800, 100, GL_RGB, GL_UNSIGNED_BYTE, quads.data());
    GlyphBitmap glyphs[GLYPH_COUNT];
    char face[1024];
    ASSERT_TRUE(LoadGlyphBitmaps("Arial:bold", 25, glyphs, face, sizeof face));
    glClear(GL_COLOR_BUFFER_BIT);
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glColor3f(1.0f, 0.0f, 0.0f);
    glLoadIdentity();
    glRasterPos2f(10.0f, 140.0f);
    for (const char* c = "speed: 88 mph"; *c != '\0'; ++c) {
        const GlyphBitmap& glyph = glyphs[*c - GLYPH_FIRST];
        glBitmap(glyph.width, glyph.height, glyph.xOrigin, glyph.yOrigin, glyph.advance, 0.0f, glyph.rows);
    }
    glPopAttrib();
    glColor3f(1.0f, 1.0f, 1.0f);
    FreeGlyphBitmaps(glyphs);
    std::vector<unsigned char> bitmaps(800 * 100 * 3);
    glReadPixels(0, 100, 800, 100, GL_RGB, GL_UNSIGNED_BYTE, bitmaps.data());
    EXPECT_TRUE(quads == bitmaps);
    EXPECT_NE(game.m_Font->m_Texture, 0u);
    // The state Print leaves: depth test on, colour white, lighting as it was.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 1.0f);
    EXPECT_FLOAT_EQ(colour[1], 1.0f);

    // Bytes outside 32..127 draw nothing and leave no gap.
    glClear(GL_COLOR_BUFFER_BIT);
    game.m_Font->Print("\x01\x02", 10, 300);
    EXPECT_EQ(RedPixels(0, 290, 400, 40), 0);
}

// Draws as the overlay font does, and keeps each line as "x,y text".
class RecordingFont : public Font {
public:
    mutable std::vector<std::string> m_Lines;
    void Print(const char* text, int x, int y) const override
    {
        m_Lines.push_back(std::to_string(x) + "," + std::to_string(y) + " " + text);
        Font::Print(text, x, y);
    }
    void PrintLines(const std::vector<TextLine>& lines) const override
    {
        for (const TextLine& line : lines) {
            m_Lines.push_back(std::to_string(line.m_X) + "," + std::to_string(line.m_Y) + " " + line.m_Text);
        }
        Font::PrintLines(lines);
    }
};

TEST(GameOverlay, PrintsTheLinesOfTheFrameAtTheirPlaces)
{
    GameDriver driver;
    Game& game = driver.GetGame();
    RecordingFont* font = new RecordingFont();
    delete game.m_Font;
    game.m_Font = font;
    // Two ticks, then a frame: it shows the last tick's lines once each, the
    // earlier tick's being gone, a line of the font apart. A third message
    // moves the lines above it up.
    game.m_Skimmer->m_Speed = -0.36f;  // less 2 % drag: -0.3528, shown as -3
    game.m_Round.m_AfterburnerCharge = 39;     // one more each tick
    game.RunTick();
    game.m_Skimmer->m_Speed = -0.36f;
    game.RunTick();
    game.DrawFrame(0.5f);
    ASSERT_EQ(font->m_Lines.size(), 5u);
    EXPECT_EQ(font->m_Lines[0], "10,60 Boxes to collect: 20");
    EXPECT_TRUE(std::regex_match(font->m_Lines[1], std::regex("10,90 [0-9]+\\.[0-9] FPS"))) << font->m_Lines[1];
    EXPECT_EQ(font->m_Lines[2], "10,150 speed: -3 mph");
    EXPECT_EQ(font->m_Lines[3], "10,120 afterburner: 41 %");
    EXPECT_EQ(font->m_Lines[4], "10,180 time: " + ClockText(game.m_Round.m_Ticks));
    game.m_World->m_Messages.insert(game.m_World->m_Messages.begin(), strdup("one line more"));
    font->m_Lines.clear();
    game.DrawFrame(0.5f);
    ASSERT_EQ(font->m_Lines.size(), 6u);
    EXPECT_EQ(font->m_Lines[3], "10,180 speed: -3 mph");
    EXPECT_EQ(font->m_Lines[4], "10,150 afterburner: 41 %");
    EXPECT_EQ(font->m_Lines[5], "10,210 time: " + ClockText(game.m_Round.m_Ticks));
    // The lines stay for the frames until the next tick, which replaces them.
    game.DrawFrame(1.0f);
    EXPECT_EQ(font->m_Lines.size(), 12u);
    game.RunTick();
    EXPECT_EQ(game.m_World->m_Messages.size(), 2u);
    // A finished round's screen from the top down, its rows in the menu's
    // panel below it.
    game.m_Round.m_FinishLines = {"Best of all layouts: 12:34.56 (layout 99999)", "second"};
    game.OpenMenu(SCREEN_FINISH);
    font->m_Lines.clear();
    game.DrawFrame(1.0f);
    ASSERT_EQ(font->m_Lines.size(), 13u);
    EXPECT_EQ(font->m_Lines[5], "10,560 Best of all layouts: 12:34.56 (layout 99999)");
    EXPECT_EQ(font->m_Lines[6], "10,530 second");
    EXPECT_EQ(font->m_Lines[7], "258,410 >");
    EXPECT_EQ(font->m_Lines[8], "280,410 Fly again");
    EXPECT_EQ(font->m_Lines[9], "650,410 R");
    EXPECT_EQ(font->m_Lines[12], "280,350 Records");
    // No two lines touch: a row without ink between each two baselines.
    for (int baseline = 60; baseline < 180; baseline += 30) {
        bool blank = false;
        for (int row = baseline + 1; row < baseline + 30 && !blank; ++row) {
            blank = RedPixels(0, row, 240, 1) == 0;
        }
        EXPECT_TRUE(blank) << "the lines at " << baseline << " and " << baseline + 30 << " touch";
    }
    game.AnswerMenu(ANSWER_CLOSE);
    // 100 ticks are 1.66 s: hundredths rounded down.
    EXPECT_EQ(ClockText(100), "0:01.66");
    EXPECT_EQ(ClockText(60 * 60 * 11 + 59), "11:00.98");

    // The figure is worked in double precision and truncated toward zero.
    EXPECT_EQ(Game::DisplayedSpeed(0.7f), 6);
    EXPECT_EQ(Game::DisplayedSpeed(-0.36f), -3);
    EXPECT_EQ(Game::DisplayedSpeed(20.0f), 200);
}

TEST(CameraViews, OutsideViewLooksDownFromBehind)
{
    GameDriver driver;
    Game& game = driver.GetGame();
    game.m_Skimmer->SetPosition(0.0f, 100.0f, 500.0f);
    game.m_Camera->SetOutsideView();
    game.m_Camera->Update();  // lag position: the previous position
    game.m_Camera->Update();
    game.m_Scene->DrawFrom(*game.m_Camera);
    float modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    // The eye (0, 600, 1000) maps to the origin of eye space.
    const float eye[3] = {0.0f, 600.0f, 1000.0f};
    for (int row = 0; row < 3; ++row) {
        float value = modelview[12 + row];
        for (int k = 0; k < 3; ++k) {
            value += modelview[4 * k + row] * eye[k];
        }
        EXPECT_NEAR(value, 0.0f, 1e-2f) << "row " << row;
    }

    // Cockpit view at the origin with no turn: the identity.
    game.m_Skimmer->SetPosition(0.0f, 0.0f, 0.0f);
    game.m_Camera->SetCockpitView();
    game.m_Camera->Update();
    game.m_Scene->DrawFrom(*game.m_Camera);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(modelview[i], (i % 5 == 0) ? 1.0f : 0.0f, 1e-5f);
    }
}

TEST(GameInput, KeyReleaseArrivesAfterAFloodOfMouseAndKeys)
{
    GameDriver driver;
    Game& game = driver.GetGame();
    Quat before = game.m_Skimmer->m_Orientation;
    // A person holding 'w' while moving the mouse quickly, turning the wheel
    // and clicking: 300 motion reports and 260 button events between the
    // press and the release, then more key events than SDL's queue holds.
    std::string command = "xdotool keydown w";
    for (int i = 0; i < 300; ++i) {
        command += " mousemove_relative -- 3 0 sleep 0.002";
    }
    command += " click --delay 1 --repeat 100 5 click --delay 1 --repeat 30 1 key --delay 1 --repeat 80 x keyup w";
    ASSERT_EQ(system(command.c_str()), 0);
    for (int i = 0; i < 400; ++i) {
        driver.Frames(1);
    }
    EXPECT_EQ(game.m_Events->size(), 0u);
    EXPECT_GT(game.m_Skimmer->m_Speed, 0.0f) << "the press never arrived";
    EXPECT_FALSE(game.m_Controls.m_Forward) << "the release was lost";
    // The motion itself still reached the craft through the relative state.
    Quat after = game.m_Skimmer->m_Orientation;
    EXPECT_GT(std::fabs(after.y - before.y), 0.01f);
}

// The red pixels of one line printed in a 400 x 200 window.
static int InkOfALine(const Font& font)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 400, 0, 200, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glClear(GL_COLOR_BUFFER_BIT);
    font.Print("speed: 0 mph", 10, 100);
    return RedPixels(0, 90, 400, 40);
}

TEST(OverlayFont, FallsBackToAnXFontWhenNoFaceIsFound)
{
    TempDir dir;
    FILE* config = fopen("fonts.conf", "w");
    ASSERT_TRUE(config != NULL);
    fputs("<?xml version=\"1.0\"?><fontconfig><dir>/nonexistent</dir>"
          "<cachedir>/nonexistent</cachedir></fontconfig>\n", config);
    fclose(config);
    setenv("FONTCONFIG_FILE", (dir.Path() + "/fonts.conf").c_str(), 1);
    GLWindow window(400, 200);
    ASSERT_TRUE(window.IsOpen());
    Font font;
    unsetenv("FONTCONFIG_FILE");
    EXPECT_NE(dir.ReadFile("vellmora.log").find("No font matches \"Arial:bold\""), std::string::npos)
        << dir.ReadFile("vellmora.log");
    EXPECT_GT(InkOfALine(font), 50);
}

// Under a limit of no more processes (as a user's ulimit can set) no
// thread starts; the glyphs are then rendered on the main thread.
static void LoadTheFontWithoutThreads()
{
    GLWindow window(400, 200);
    struct rlimit none = {0, 0};
    if (!window.IsOpen() || setrlimit(RLIMIT_NPROC, &none) != 0 || setuid(65534) != 0) {
        exit(2);
    }
    StartLoadingFont();
    StartEarlyWork();
    Font font;
    exit(InkOfALine(font) > 50 ? 0 : 1);
}

TEST(OverlayFontDeathTest, LoadsOnTheMainThreadWhenNoThreadCanStart)
{
    if (getuid() != 0) {
        GTEST_SKIP() << "the process limit binds only once the test can drop to another user";
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(LoadTheFontWithoutThreads(), testing::ExitedWithCode(0), "");
}

// Mean colour of a band of rows of the front buffer (after the swap).
static void BandColour(int y, int height, float outRgb[3])
{
    std::vector<unsigned char> pixels(static_cast<size_t>(800) * height * 4);
    glReadBuffer(GL_FRONT);
    glReadPixels(0, y, 800, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    double sum[3] = {0.0, 0.0, 0.0};
    for (size_t i = 0; i < pixels.size(); i += 4) {
        for (int k = 0; k < 3; ++k) {
            sum[k] += pixels[i + k];
        }
    }
    for (int k = 0; k < 3; ++k) {
        outRgb[k] = static_cast<float>(sum[k] / (pixels.size() / 4));
    }
}

TEST(GameScreen, ShowsLitGroundAndTheSkyAboveTheHorizon)
{
    GameDriver driver;
    driver.PushKey('o', true);
    driver.PushKey('o', false);
    driver.Frames(5);
    // The outside view looks down at 45 degrees with a 60-degree field: the
    // horizon is out of view and the lit sand fills the screen.
    float top[3];
    float bottom[3];
    BandColour(560, 40, top);
    BandColour(0, 100, bottom);
    for (const float* band : {top, bottom}) {
        EXPECT_GT(band[0] + band[1], 80.0f) << "the ground is dark";
        EXPECT_GT(band[1], band[2]) << "the ground is not sandy";
    }

    // In the cockpit view the horizon is level: sky above, ground below.
    driver.PushKey('c', true);
    driver.PushKey('c', false);
    driver.Frames(5);
    BandColour(560, 40, top);
    BandColour(0, 100, bottom);
    EXPECT_GT(top[2], top[0]) << "the sky is not blue";
    EXPECT_GT(top[2], 120.0f);
    EXPECT_GT(bottom[1], bottom[2]) << "the ground is not sandy";
    EXPECT_GT(bottom[0] + bottom[1], 80.0f);

    // At the world's edge, looking out from the ceiling: where neither
    // ground nor sky is drawn shows the fog's grey, never black.
    Game& game = driver.GetGame();
    float half = game.m_Scene->GetTerrain()->m_Grid->GetWorldSize() / 2.0f;
    game.m_Skimmer->SetPosition(0.0f, 1500.0f, -half);
    driver.Frames(3);
    std::vector<unsigned char> pixels(800 * 600 * 4);
    glReadBuffer(GL_FRONT);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int black = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        black += pixels[i] < 16 && pixels[i + 1] < 16 && pixels[i + 2] < 16 ? 1 : 0;
    }
    EXPECT_EQ(black, 0);
}


// The largest factor up to the desktop's whose window fits: on the test's
// 1024 x 768 screen a desktop at 200 % gets a window of the game's own size,
// and the log says why.
TEST(DesktopScale, KeepsTheGamesViewAndSteeringInAWindowThatFits)
{
    EXPECT_EQ(ScaleFrom(NULL, "Xft.antialias:\t1\nXft.dpi:\t192\n"), 2);
    EXPECT_EQ(ScaleFrom(NULL, "Xft.dpi:\t144\n"), 1);  // rounded down
    EXPECT_EQ(ScaleFrom("3", "Xft.dpi:\t192\n"), 3);    // GDK_SCALE first
    EXPECT_EQ(ScaleFrom("x", NULL), 1);
    EXPECT_EQ(FittingScale(3, 800, 600, 1920, 1280), 2);
    EXPECT_EQ(FittingScale(2, 800, 600, 1920, 1200), 2);   // exactly
    EXPECT_EQ(FittingScale(2, 800, 600, 1920, 1050), 1);   // a panel's height too many
    EXPECT_EQ(FittingScale(4, 800, 600, 3840, 2160), 3);
    setenv("GDK_SCALE", "2", 1);
    GameDriver driver;
    unsetenv("GDK_SCALE");
    EXPECT_NE(driver.Dir().ReadFile("vellmora.log").find("Window scale: 1, not the desktop's 2: a window of "
                                                         "1600 x 1200 does not fit the screen, 1024 x 768"),
              std::string::npos);
    Game& game = driver.GetGame();
    // The window's size on the screen is the end-to-end test's to check.
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_TRUE(game.m_Screen->w == 800 && viewport[2] == 800 && viewport[3] == 600);
    // A degree a pixel of motion, as in a window of the game's own size.
    driver.Frames(5);
    float heading = Heading(*game.m_Skimmer);
    ASSERT_EQ(system("xdotool mousemove_relative -- 40 0"), 0);
    driver.Frames(30);
    EXPECT_NEAR(Heading(*game.m_Skimmer) - heading, -40.0f, 0.01f);
}

// The nose's angle above the horizon, in degrees.
static float Elevation(const SceneObject& craft)
{
    Vector3 forward = craft.m_Orientation * Vector3(0.0f, 0.0f, -1.0f);
    return std::asin(forward.y) * 180.0f / 3.1415927f;
}

TEST(PlayerSettings, TheQuestionTheMouseTheKeysAndTheVolumesFollowTheFile)
{
    ForgetShownDialogs();
    GameDriver driver(NULL, "fullscreen = no\nmouse_sensitivity = 0.5\ninvert_mouse = yes\nthrottle = up\n"
                            "music_volume = 30\neffects_volume = 0\n");
    Game& game = driver.GetGame();
    Skimmer& craft = *game.m_Skimmer;
    EXPECT_TRUE(ShownDialogs().empty());
    EXPECT_EQ(game.m_Screen->flags & SDL_FULLSCREEN, 0u);
    EXPECT_EQ(MusicVolume(), 30);
    EXPECT_EQ(EffectsVolume(), 0);
    // Half a degree a count; moving the mouse down lowers the nose.
    driver.Frames(5);
    float heading = Heading(craft);
    float elevation = Elevation(craft);
    ASSERT_EQ(system("xdotool mousemove_relative -- 40 0"), 0);
    driver.Frames(30);
    EXPECT_NEAR(Heading(craft) - heading, -20.0f, 0.01f);
    ASSERT_EQ(system("xdotool mousemove_relative -- 0 10"), 0);
    driver.Frames(30);
    EXPECT_NEAR(Elevation(craft) - elevation, -5.0f, 0.05f);
    // Up throttles, and W is nothing now.
    craft.SetSpeed(0.0f);
    driver.PushKey(SDLK_UP, true);
    driver.Frames(10);
    EXPECT_NEAR(craft.m_Speed, 1.8f, 1e-4f);
    driver.PushKey(SDLK_UP, false);
    driver.PushKey('w', true);
    driver.Frames(10);
    EXPECT_LT(craft.m_Speed, 1.8f);
}

static void PushFocus(bool gained)
{
    SDL_Event event = {};
    event.type = SDL_ACTIVEEVENT;
    event.active.gain = gained ? 1 : 0;
    event.active.state = SDL_APPINPUTFOCUS;
    SDL_PushEvent(&event);
}

// While the window is away the menu is open over the frozen game: the
// craft holds still, the mouse is free and the keys let go; the view keys
// work under it and R flies again from the start.
TEST(PlayerSettings, PausedWhileTheWindowHasLostTheFocus)
{
    GameDriver driver(NULL, "pause_when_unfocused = yes\n");
    Game& game = driver.GetGame();
    Skimmer& craft = *game.m_Skimmer;
    driver.PushKey('w', true);
    driver.Frames(10);
    PushFocus(false);
    driver.Frames(1);
    ASSERT_TRUE(game.m_Menu.m_Open);
    Vector3 held = craft.m_Position;
    float heading = Heading(craft);
    ASSERT_EQ(system("xdotool mousemove_relative -- 40 0"), 0);
    driver.Frames(30);
    EXPECT_NEAR((craft.m_Position - held).Magnitude(), 0.0f, 1e-4f);
    EXPECT_NEAR(Heading(craft), heading, 0.01f);
    EXPECT_EQ(SDL_WM_GrabInput(SDL_GRAB_QUERY), SDL_GRAB_OFF);
    driver.PushKey('o', true);
    driver.PushKey('o', false);
    driver.Frames(2);
    EXPECT_FALSE(game.m_Camera->m_CockpitView);
    driver.PushKey('r', true);
    driver.PushKey('r', false);
    driver.Frames(1);
    EXPECT_FALSE(game.m_Menu.m_Open);
    EXPECT_EQ(SDL_WM_GrabInput(SDL_GRAB_QUERY), SDL_GRAB_ON);
    EXPECT_EQ(game.m_RoundsStarted, 2);
    EXPECT_LE(game.m_Round.m_Ticks, 1);
    EXPECT_TRUE(game.m_Camera->m_CockpitView);
    // Back, the menu waits for the player; closed, flying resumes with no
    // key held from before.
    PushFocus(false);
    driver.PushKey('w', true);  // in the menu, a move up
    PushFocus(true);
    driver.Frames(5);
    EXPECT_TRUE(game.m_Menu.m_Open);
    driver.PushKey('p', true);
    driver.PushKey('p', false);
    driver.Frames(10);
    EXPECT_FALSE(game.m_Menu.m_Open);
    EXPECT_EQ(SDL_WM_GrabInput(SDL_GRAB_QUERY), SDL_GRAB_ON);
    EXPECT_FALSE(game.m_Controls.m_Forward);
}

// Distant ground drawn with fewer triangles against every patch at its full
// grid, from fixed places in both views: hardly a pixel of the ground
// changes by more than 8 grey levels, none within 1,500 units of the eye,
// and no hole opens inside the ground (where two levels meet).
TEST(GroundDetail, CoarserDistantPatchesKeepThePictureAndLeaveNoCracks)
{
    GameDriver driver;
    Game& game = driver.GetGame();
    Terrain& terrain = *game.m_Scene->GetTerrain();
    const double nearPlane = 4.0;
    const double farPlane = 8000.0;
    int views = 0;
    for (char view : {'c', 'o'}) {
        driver.PushKey(view, true);
        driver.PushKey(view, false);
        driver.Frames(3);
        for (int place = 0; place < 3; ++place) {
            game.m_Skimmer->MoveBy(700.0f * place, 0.0f, -900.0f * place);
            game.m_Skimmer->Yaw(125.0f);
            driver.Frames(2);
            std::vector<unsigned char> full, coarse;
            std::vector<float> fullDepth, coarseDepth;
            terrain.m_FullDetail = true;
            game.DrawFrame(1.0f);
            ReadFrame(full, fullDepth);
            int fullTriangles = terrain.m_TrianglesDrawn;
            terrain.m_FullDetail = false;
            game.DrawFrame(1.0f);
            ReadFrame(coarse, coarseDepth);
            EXPECT_LT(terrain.m_TrianglesDrawn * (view == 'c' ? 4 : 1), fullTriangles) << view << place;
            int ground = 0, differ = 0, nearDiffer = 0, holes = 0;
            for (int y = 1; y < 599; ++y) {
                for (int x = 1; x < 799; ++x) {
                    int i = y * 800 + x;
                    if (fullDepth[i] >= 1.0f) {
                        continue;
                    }
                    // Sky through the ground where the full grid has none: a crack.
                    if (coarseDepth[i] >= 1.0f && coarseDepth[i - 1] < 1.0f && coarseDepth[i + 1] < 1.0f &&
                        coarseDepth[i - 800] < 1.0f && coarseDepth[i + 800] < 1.0f) {
                        ++holes;
                    }
                    ++ground;
                    double ndc = 2.0 * std::min(fullDepth[i], coarseDepth[i]) - 1.0;
                    double distance = 2.0 * nearPlane * farPlane / (farPlane + nearPlane - ndc * (farPlane - nearPlane));
                    int grey = (full[3 * i] + full[3 * i + 1] + full[3 * i + 2]) -
                               (coarse[3 * i] + coarse[3 * i + 1] + coarse[3 * i + 2]);
                    if (std::abs(grey) > 3 * 8) {
                        ++differ;
                        nearDiffer += distance < 1500.0 ? 1 : 0;
                    }
                }
            }
            printf("view %c, place %d: %d of %d ground pixels differ, %d near, %d holes; %d triangles of %d\n", view,
                   place, differ, ground, nearDiffer, holes, terrain.m_TrianglesDrawn, fullTriangles);
            EXPECT_LE(differ, ground / 200) << view << place;
            EXPECT_EQ(nearDiffer, 0) << view << place;
            EXPECT_EQ(holes, 0) << view << place;
            ++views;
        }
    }
    EXPECT_EQ(views, 6);
}
