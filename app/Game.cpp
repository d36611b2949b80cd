// Start-up, the main loop, one tick of the rules and one frame of drawing.
//
// OpenGL baseline of a frame (set once by SetFrameBaseline): the fog's colour as
// the clear colour, culling of back faces with counter-clockwise fronts,
// depth test and 2D texturing on, smooth shading, lights 0 and 1 on, linear
// fog configured but off, lighting off.
// The world's drawing switches lighting and fog on for the rest of the frame;
// the overlay draws in window pixels under its own projection.
#include "app/Game.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/display/DesktopScale.h"
#include "app/display/DisplayRate.h"
#include "base/EarlyWork.h"
#include "base/Extensions.h"
#include "base/Fatal.h"
#include "base/QuitCheck.h"
#include "app/Gamepad.h"
#include "app/text/Font.h"
#include "app/FramePacer.h"
#include "base/Logger.h"
#include "base/dialog/MessageBox.h"
#include "app/Screenshot.h"
#include "app/SettingsFile.h"
#include "app/WindowIcon.h"
#include "assets/Texture.h"
#include "scene/Camera.h"
#include "game/Ghost.h"
#include "game/GhostCraft.h"
#include "game/Layout.h"
#include "game/RoundFiles.h"
#include "game/Skimmer.h"
#include "game/Timer.h"
#include "game/World.h"
#include "sound/Sound.h"
#include "terrain/Scene.h"

// The order of the start-up's steps is checked in every build type.
#undef NDEBUG
#include <cassert>

static const float START_HEIGHT = 100.0f;
static const float START_DISTANCE = 500.0f;
static const double SPEED_TO_MPH = 10.0;
// The overlay's lines, from the bottom up: the world's messages, the
// afterburner, the speed, the clock and a screenshot's note, each a line of
// the 25-pixel font apart so that none touches the next. The finish
// screen's lines stand at the top left, the menu to their right and below.
static const int OVERLAY_TEXT_X = 10;
static const int FIRST_MESSAGE_Y = 60;
static const int MESSAGE_SPACING = 30;
static const int AFTERBURNER_LINE_Y = 120;
static const int FINISH_FIRST_LINE_Y = 560;
// How long a screenshot's note shows.
static const Uint32 SCREENSHOT_NOTE_MS = 2000;

Game::Game()
    : m_Title(strdup("Vellmora")), m_WindowWidth(800), m_WindowHeight(600), m_Screen(NULL),
      m_Font(NULL), m_Scene(NULL), m_Camera(NULL), m_Skimmer(NULL), m_World(NULL), m_GhostCraft(NULL),
      m_MenuHeld(), m_PointerX(-1), m_PointerY(-1), m_UnderMenu(0), m_UnderMenuKept(false),
      m_UnderMenuCockpit(false), m_UnderMenuGhostPoses(0), m_DisplayedSpeed(0),
      m_TicksRun(0), m_FramesDrawn(0), m_LevelSeed(0), m_RoundsStarted(0),
      m_ScreenshotWanted(false), m_ScreenshotNotes(0), m_OverlayNoteMs(0),
      m_Events(new std::deque<SDL_Event>()),
      m_AfterSwap(NULL), m_Pacer(NULL)
{
    LogReset();
}

Game::~Game()
{
    delete m_Events;
    delete m_Camera;
    delete m_Font;
    delete m_Scene;
    free(m_Title);
}

void Game::Init()
{
    // What needs no window is done beside its opening.
    StartLoadingFont();
    Scene::StartBuildingTerrain();
    StartEarlyWork();
    OpenWindow();
    SetFrameBaseline();
    m_Font = new Font();
    m_Scene = new Scene();
    m_Skimmer = new Skimmer("models/skimmer.ms3d");
    m_Skimmer->MoveBy(0.0f, START_HEIGHT, START_DISTANCE);
    m_Scene->SetPlayer(m_Skimmer);
    int layout = m_LevelSeed != 0 ? static_cast<int>(m_LevelSeed) : m_Settings.m_Layout;
    if (layout == 0) {
        layout = DrawLayout(static_cast<unsigned long long>(time(NULL)), 0);
    }
    m_World = new World(m_Scene, layout);
    m_World->SetSkimmer(m_Skimmer);
    m_Camera = new Camera(m_WindowWidth, m_WindowHeight);
    m_Scene->CreateSky();
    m_Camera->Reset();
    m_Camera->SetTarget(m_Skimmer);
    m_Motion.Track(m_Skimmer);
    m_Motion.Track(m_Camera);
    m_Motion.Track(&m_Camera->m_LagPosition);
    m_GhostCraft = new GhostCraft(*m_Skimmer);
    m_Scene->SetSeeThrough(m_GhostCraft);
    m_Motion.Track(m_GhostCraft);
    ListTextures();
    ReserveScreenshot(m_WindowWidth, m_WindowHeight);
    OpenGamepad();
    StartMusic(m_Settings.m_MusicVolume, m_Settings.m_EffectsVolume);
    // What a retry puts back.
    m_Round.TakeStarts(*m_Skimmer, *m_Camera);
    m_RecordsPath = RecordsPath();
    m_Records = LoadRecords(m_RecordsPath);
    StartRound(layout);
}

void Game::StartRound(int layout)
{
    // The first round flies the world as it was built.
    if (m_Round.m_Layout != 0) {
        m_World->PlaceLayout(layout);
    }
    m_Round.Start(layout, *m_Skimmer, *m_Camera);
    ++m_RoundsStarted;
    m_GhostCraft->Follow(NULL);
    m_Motion.Snap();
    LogMessage("Layout: %d", layout);
    std::string ghostPath = GhostPath(m_RecordsPath, layout);
    if (m_Settings.m_Ghost && !ghostPath.empty()) {
        ReadGhostBeside(m_RoundsStarted, ghostPath, layout, RULES_NUMBER);
    }
}

void Game::OpenWindow()
{
    SDL_GL_SetAttribute(SDL_GL_BUFFER_SIZE, 32);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 1);
    // The swap waits for the display's refresh where it can, so that each
    // frame the display shows is drawn once; the main loop finds out whether
    // it does and paces the frames itself where it does not.
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1);
    SDL_EnableUNICODE(1);

    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    if (info == NULL) {
        LogMessage("Could not determine video settings.");
        // Going on without a window would draw without a context.
        ExitWithMessage("Could not determine video settings.", m_Title, 1);
    }
    Uint32 flags = SDL_HWPALETTE | SDL_OPENGL | SDL_HWSURFACE | SDL_ASYNCBLIT;
    if (info->blit_hw) {
        flags |= SDL_HWACCEL;
    }
    bool fullscreen = m_Settings.m_Fullscreen == Settings::FULLSCREEN_ASK
                          ? AskYesNo("Do you want to run in Fullscreen Mode?", "Options")
                          : m_Settings.m_Fullscreen == Settings::FULLSCREEN_YES;
    if (QuitRequested()) {
        // Ctrl+C or SIGTERM while the question was up: the game ends there
        // as it would in play, before any window or music.
        ExitRestoringDisplay(0);
    }
    if (fullscreen) {
        flags |= SDL_FULLSCREEN | SDL_NOFRAME;
    }
    SetIconBeforeMode();
    m_Screen = SDL_SetVideoMode(m_WindowWidth, m_WindowHeight, 32, flags);
    if (m_Screen == NULL) {
        ExitWithMessage("Couldn't set video mode", SDL_GetError(), 1);
    }
    // Every drawing module takes them from here on: the ground's
    // multitexturing, the ground's and the models' buffer objects.
    LoadMultitextureExtensions();
    SetIconSizesAfterMode();
    SDL_WM_SetCaption(m_Title, m_Title);
    SDL_ShowCursor(0);
    SDL_WM_GrabInput(SDL_GRAB_ON);
    IgnoreUnusedEvents();
}

void Game::SetFrameBaseline()
{
    // Where neither ground nor sky is drawn (beyond the world's edge, below
    // the dome's rim) the haze shows, not a black void.
    const GLfloat fogColor[4] = {0.5f, 0.5f, 0.5f, 0.5f};
    glClearColor(fogColor[0], fogColor[1], fogColor[2], fogColor[3]);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    glEnable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    const GLfloat ambient[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, fogColor);
    glFogf(GL_FOG_DENSITY, 0.005f);
    glFogf(GL_FOG_START, 900.0f);
    glFogf(GL_FOG_END, 5000.0f);
}

// Every switch is set here, before anything else can read the environment:
// glibc's setenv may move the environment while another thread's getenv
// walks it. SDL's start runs threads of its own (PulseAudio's device watch),
// and the start-up's helper thread runs fontconfig, which reads it too.
void Game::Configure()
{
    assert(!EarlyWorkStarted() && "the libraries' switches are set before any helper thread starts");
    m_Settings = LoadSettings(SettingsPath());
    m_SettingsInFile = m_Settings;
    m_Menu.m_KeysByPositionAtStart = m_Settings.m_KeysByPosition;
    // sdl12-compat draws an OpenGL window into a picture of the size asked
    // for and scales it to the window, whose size it multiplies by its
    // scaling factor; full screen, the picture goes to the desktop's own
    // resolution with black bars, and the screen's mode is never changed.
    // The game's own view stays 800 x 600 throughout.
    setenv("SDL12COMPAT_OPENGL_SCALING", "1", 1);
    int scale = WindowScale(m_WindowWidth, m_WindowHeight);
    if (scale > 1) {
        char factor[16];
        snprintf(factor, sizeof factor, "%d", scale);
        setenv("SDL12COMPAT_WINDOW_SCALING", factor, 1);
    }
    // The gamepad's layout, read when the joystick subsystem starts.
    setenv("SDL12COMPAT_USE_GAME_CONTROLLERS", "1", 1);
    // Keys by where they sit on a US keyboard, not by the letters on them.
    if (m_Settings.m_KeysByPosition) {
        setenv("SDL12COMPAT_USE_KEYBOARD_LAYOUT", "0", 1);
    }
    // The sound server's list names the stream for what it plays; a name
    // the player gave SDL stays.
    setenv("SDL_AUDIO_DEVICE_STREAM_NAME", "Vellmora music and effects", 0);
}

void Game::Run()
{
    SDL_EnableUNICODE(1);
    FramePacer pacer(DisplayRefreshHz(), FramePacer::NowNs());
    m_Pacer = &pacer;
    bool running = true;
    while (running) {
        // The frame shows the game as it stands when its swap is due, not
        // when its drawing starts: a frame is drawn ahead of its slot.
        long long shown = std::max(FramePacer::NowNs(), pacer.m_SwapDueNs);
        for (int ticks = pacer.TakeTicksAt(shown); ticks > 0 && running; --ticks) {
            running = RunTick();
        }
        DrawFrame(pacer.BlendAt(shown));
        pacer.EndFrame();
    }
    m_Pacer = NULL;
}

bool Game::RunTick()
{
    bool running = true;
    SDL_Event event;
    SDL_PumpEvents();
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_ALLEVENTS) > 0) {
        m_Events->push_back(event);
    }
    if (!m_Events->empty()) {
        running = HandleEvent(m_Events->front());
        m_Events->pop_front();
    }
    TakeRoundFiles();
    PadState pad = ReadGamepad();
    if (m_Menu.m_Open) {
        TickMenu(pad);
    } else {
        TakeRoundActions(WithPad(m_Controls, pad));
    }
    if (m_Menu.m_Open) {
        // Nothing moves; the mouse's motion over other windows is no turn.
        // A view asked for, or a round started, shows at once.
        SDL_GetRelativeMouseState(NULL, NULL);
        m_Input = WithPad(m_Controls, pad);
        bool cockpitView = m_Camera->m_CockpitView;
        SwitchViews();
        if (m_Camera->m_CockpitView != cockpitView) {
            // Where the tick's following would put the eye.
            m_Camera->m_LagPosition = m_Camera->m_Position;
        }
        m_Motion.Snap();
        m_Motion.EndTick();
        return running;
    }
    // The motion since the last read: a frame's worth goes to its first tick.
    SDL_GetRelativeMouseState(&m_Controls.m_MouseDx, &m_Controls.m_MouseDy);
    m_Input = WithPad(m_Controls, pad);
    bool cockpitView = m_Camera->m_CockpitView;
    m_Round.BeginTick();
    SwitchViews();
    m_World->Update();
    ApplyControls();
    bool finishing = m_Round.EndTick(*m_Skimmer, m_World->m_BoxesToCollect);
    m_GhostCraft->Follow(m_Round.GhostPoseNow());
    if (finishing) {
        FinishRound();
    }
    if (m_Camera->m_CockpitView != cockpitView) {
        // The eye jumps to the other view; a glide between them would show
        // places it never was.
        m_Motion.Snap();
    }
    m_Motion.EndTick();
    ++m_TicksRun;
    return running;
}

void Game::DrawFrame(float blend)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (m_Menu.m_Open && UnderMenuKept()) {
        DrawUnderMenu();
    } else {
        m_Motion.Begin(blend);
        Render();
        m_Motion.End();
        if (m_Menu.m_Open) {
            KeepUnderMenu();
        }
    }
    DrawOverlay();
    if (m_Menu.m_Open) {
        DrawMenu();
    }
    if (m_ScreenshotWanted) {
        m_ScreenshotWanted = false;
        TakeScreenshot(ScreenshotFolder(), m_WindowWidth, m_WindowHeight);
    }
    // The renderer draws the frame while the swap waits for its slot.
    glFlush();
    if (m_Pacer != NULL) {
        m_Pacer->SleepUntilSwapDue();
    }
    SDL_GL_SwapBuffers();
    if (m_AfterSwap != NULL) {
        m_AfterSwap();
    }
    Timer::Instance()->CountFrame();
    ++m_FramesDrawn;
}

bool Game::RunFrame()
{
    bool running = RunTick();
    DrawFrame(1.0f);
    return running;
}

bool Game::HandleEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (m_Menu.m_Open && event.type == SDL_KEYDOWN) {
            int key = event.key.keysym.sym;
            const int* keys = m_Settings.m_Keys.m_Keys;
            bool view = key == keys[ACTION_COCKPIT_VIEW] || key == keys[ACTION_OUTSIDE_VIEW];
            if (view && m_Menu.m_WaitingForKey < 0 && m_Menu.Screen() != SCREEN_CONTROLS) {
                // The views switch under the menu, as in flight.
                ApplyKeyEvent(m_Controls, key, true, m_Settings.m_Keys);
            } else {
                AnswerMenu(m_Menu.Key(key));
            }
            return true;
        }
        if (ApplyKeyEvent(m_Controls, event.key.keysym.sym, event.type == SDL_KEYDOWN, m_Settings.m_Keys)) {
            // Escape: the game ends here and now, leaving the desktop's video
            // mode as it was found.
            ExitRestoringDisplay(0);
        }
        return true;
    case SDL_MOUSEBUTTONDOWN:
        if (m_Menu.m_Open) {
            // SDL's y runs down from the top, the menu's up from the bottom.
            int y = m_WindowHeight - event.button.y;
            if (event.button.button == SDL_BUTTON_LEFT) {
                AnswerMenu(m_Menu.Click(event.button.x, y));
            } else if (event.button.button == SDL_BUTTON_RIGHT) {
                AnswerMenu(m_Menu.Move(MOVE_BACK));
            } else if (event.button.button == SDL_BUTTON_WHEELUP || event.button.button == SDL_BUTTON_WHEELDOWN) {
                m_Menu.Scroll(event.button.button == SDL_BUTTON_WHEELUP ? -1 : 1);
            }
        }
        return true;
    case SDL_ACTIVEEVENT:
        if ((event.active.state & SDL_APPINPUTFOCUS) != 0 && event.active.gain == 0 &&
            m_Settings.m_PauseWhenUnfocused && !m_Menu.m_Open) {
            OpenMenu(SCREEN_TOP);
        }
        return true;
    case SDL_QUIT:
        return false;
    default:
        return true;
    }
}

// Another layout than avoid, drawn from the time and the ticks so far, so
// that two draws in one second differ too.
static int AnotherLayout(int avoid, long long ticksRun)
{
    unsigned long long entropy = static_cast<unsigned long long>(time(NULL)) * 2654435761ULL +
                                 static_cast<unsigned long long>(ticksRun);
    return DrawLayout(entropy, avoid);
}

void Game::TakeRoundActions(const ControlState& input)
{
    bool retry = input.m_Retry && !m_RoundKeys.m_Retry;
    bool newLayout = input.m_NewLayout && !m_RoundKeys.m_NewLayout;
    bool pause = input.m_Pause && !m_RoundKeys.m_Pause;
    m_ScreenshotWanted |= input.m_Screenshot && !m_RoundKeys.m_Screenshot;
    m_RoundKeys = input;
    if (pause) {
        OpenMenu(SCREEN_TOP);
        return;
    }
    if (newLayout) {
        StartRound(AnotherLayout(m_Round.m_Layout, m_TicksRun));
    } else if (retry) {
        StartRound(m_Round.m_Layout);
    }
}

void Game::OpenMenu(MenuScreen screen)
{
    m_Menu.Open(screen, m_Settings, m_Round.m_Layout, &m_Records);
    // What is held as it opens is no press in it.
    m_MenuPad = ReadGamepad();
    for (int& held : m_MenuHeld) {
        held = 1;
    }
    SDL_GetMouseState(&m_PointerX, &m_PointerY);
    m_UnderMenuKept = false;
    Pause(true);
}

// The overlay's projection: one unit a pixel of the window, from its
// lower left corner; EndWindowPixels puts the frame's back.
static void BeginWindowPixels(int width, int height)
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

static void EndWindowPixels()
{
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

// The side of the square texture the window's picture fits in.
static int KeptSide(int width, int height)
{
    int side = 1;
    while (side < std::max(width, height)) {
        side *= 2;
    }
    return side;
}

bool Game::UnderMenuKept() const
{
    return m_UnderMenuKept && m_Camera->m_CockpitView == m_UnderMenuCockpit &&
           m_Round.m_Ghost.m_Poses.size() == m_UnderMenuGhostPoses;
}

void Game::KeepUnderMenu()
{
    const int side = KeptSide(m_WindowWidth, m_WindowHeight);
    glPushAttrib(GL_TEXTURE_BIT);
    if (m_UnderMenu == 0) {
        glGenTextures(1, &m_UnderMenu);
        glBindTexture(GL_TEXTURE_2D, m_UnderMenu);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE, NULL);
    }
    glBindTexture(GL_TEXTURE_2D, m_UnderMenu);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, m_WindowWidth, m_WindowHeight);
    m_UnderMenuKept = glGetError() == GL_NO_ERROR;
    glPopAttrib();
    m_UnderMenuCockpit = m_Camera->m_CockpitView;
    m_UnderMenuGhostPoses = m_Round.m_Ghost.m_Poses.size();
}

void Game::DrawUnderMenu()
{
    const int side = KeptSide(m_WindowWidth, m_WindowHeight);
    const float u = static_cast<float>(m_WindowWidth) / side;
    const float v = static_cast<float>(m_WindowHeight) / side;
    BeginWindowPixels(m_WindowWidth, m_WindowHeight);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, m_UnderMenu);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2i(0, 0);
    glTexCoord2f(u, 0.0f);
    glVertex2i(m_WindowWidth, 0);
    glTexCoord2f(u, v);
    glVertex2i(m_WindowWidth, m_WindowHeight);
    glTexCoord2f(0.0f, v);
    glVertex2i(0, m_WindowHeight);
    glEnd();
    glPopAttrib();
    EndWindowPixels();
}

void Game::TickMenu(const PadState& pad)
{
    // Held, a direction moves once, then again after 0.4 s, then ten times
    // a second.
    const int REPEAT_AFTER = 24;
    const int REPEAT_EVERY = 6;
    const bool held[4] = {pad.m_Up || pad.m_StickY < -0.5f, pad.m_Down || pad.m_StickY > 0.5f,
                          pad.m_StrafeLeft || pad.m_StickX < -0.5f, pad.m_StrafeRight || pad.m_StickX > 0.5f};
    const MenuMove directions[4] = {MOVE_UP, MOVE_DOWN, MOVE_LEFT, MOVE_RIGHT};
    PadState before = m_MenuPad;
    m_MenuPad = pad;
    for (int i = 0; i < 4; ++i) {
        int ticks = held[i] ? m_MenuHeld[i]++ : (m_MenuHeld[i] = 0);
        bool fires = held[i] && (ticks == 0 || (ticks >= REPEAT_AFTER && (ticks - REPEAT_AFTER) % REPEAT_EVERY == 0));
        if (fires && m_Menu.m_Open) {
            AnswerMenu(m_Menu.Move(directions[i]));
        }
    }
    const bool pressed[4] = {pad.m_Afterburner && !before.m_Afterburner, pad.m_Light && !before.m_Light,
                             pad.m_Pause && !before.m_Pause, pad.m_OutsideView && !before.m_OutsideView};
    const MenuMove buttons[4] = {MOVE_SELECT, MOVE_BACK, MOVE_CLOSE, MOVE_DELETE};
    for (int i = 0; i < 4; ++i) {
        if (pressed[i] && m_Menu.m_Open) {
            AnswerMenu(m_Menu.Move(buttons[i]));
        }
    }
    int x = 0;
    int y = 0;
    SDL_GetMouseState(&x, &y);
    if (m_Menu.m_Open && (x != m_PointerX || y != m_PointerY)) {
        m_PointerX = x;
        m_PointerY = y;
        m_Menu.Point(x, m_WindowHeight - y);
    }
}

void Game::AnswerMenu(MenuAnswer answer)
{
    TakeSettings(m_Menu.m_Settings);
    if (answer == ANSWER_STAY) {
        return;
    }
    SaveChangedSettings();
    if (answer == ANSWER_SAVE) {
        return;
    }
    if (answer == ANSWER_QUIT) {
        ExitRestoringDisplay(0);
    }
    m_Menu.m_Open = false;
    Pause(false);
    // A control still held from the menu acts on its next press.
    m_RoundKeys = WithPad(m_Controls, m_MenuPad);
    if (answer == ANSWER_FLY_AGAIN) {
        StartRound(m_Round.m_Layout);
    } else if (answer == ANSWER_NEW_LAYOUT) {
        StartRound(AnotherLayout(m_Round.m_Layout, m_TicksRun));
    } else if (answer == ANSWER_FLY_LAYOUT) {
        StartRound(m_Menu.m_ChosenLayout);
    }
}

void Game::TakeSettings(const Settings& settings)
{
    const Settings before = m_Settings;
    m_Settings = settings;
    if (settings.m_MusicVolume != before.m_MusicVolume || settings.m_EffectsVolume != before.m_EffectsVolume) {
        SetVolumes(settings.m_MusicVolume, settings.m_EffectsVolume);
    }
    if (settings.m_EffectsVolume != before.m_EffectsVolume) {
        // Heard at its new level.
        PlayEffect("gotbox.wav");
    }
    if (settings.m_Ghost != before.m_Ghost) {
        m_Round.m_Ghost = Ghost();
        m_GhostCraft->Follow(NULL);
        std::string ghostPath = GhostPath(m_RecordsPath, m_Round.m_Layout);
        if (settings.m_Ghost && !ghostPath.empty()) {
            ReadGhostBeside(m_RoundsStarted, ghostPath, m_Round.m_Layout, RULES_NUMBER);
        }
    }
    if (settings.m_Fullscreen != before.m_Fullscreen && settings.m_Fullscreen != Settings::FULLSCREEN_ASK &&
        m_Screen != NULL) {
        bool wanted = settings.m_Fullscreen == Settings::FULLSCREEN_YES;
        bool now = (m_Screen->flags & SDL_FULLSCREEN) != 0;
        m_Menu.m_FullscreenAtNextStart = wanted != now && SDL_WM_ToggleFullScreen(m_Screen) == 0;
        m_UnderMenuKept = false;
    }
}

void Game::SaveChangedSettings()
{
    if (!SettingsDiffer(m_SettingsInFile, m_Settings)) {
        return;
    }
    std::string path = SettingsPath();
    std::string problem = path.empty() ? "has no folder (neither XDG_CONFIG_HOME nor HOME is set)" : "";
    if (problem.empty() && SaveSettings(path, m_SettingsInFile, m_Settings, problem)) {
        m_SettingsInFile = m_Settings;
    m_Menu.m_KeysByPositionAtStart = m_Settings.m_KeysByPosition;
        LogMessage("Settings: %s written", path.c_str());
        return;
    }
    // The changes hold in play all the same.
    LogMessage("Settings: %s %s; the changes hold until the game ends", path.empty() ? "the file" : path.c_str(),
               problem.c_str());
    // Under the menu's rows, and above the clock for a while should the
    // menu close with it.
    m_Menu.m_Note = "Settings not saved: the file " + problem;
    m_OverlayNote = m_Menu.m_Note;
    m_OverlayNoteMs = SDL_GetTicks();
}

void Game::FinishRound()
{
    const Record record = RecordOfToday(m_Round.m_Layout, m_Round.m_Ticks);
    char line[128];
    snprintf(line, sizeof line, "Layout %d: 20 boxes in %s", record.m_Layout, ClockText(record.m_Ticks).c_str());
    m_Round.m_FinishLines.assign(1, line);
    // The time and the flight are kept beside the loop; the verdict waits
    // for the records as merged with the file's.
    std::string ghostPath = GhostPath(m_RecordsPath, record.m_Layout);
    Ghost none;
    KeepRoundBeside(m_RoundsStarted, m_RecordsPath, record, m_Records, ghostPath,
                    m_Round.FlownWhole() && !ghostPath.empty() ? m_Round.m_Flown : none);
}

void Game::TakeRoundFiles()
{
    ReadGhost read;
    while (TakeReadGhost(read)) {
        if (read.m_Round == m_RoundsStarted && !read.m_Ghost.m_Poses.empty()) {
            m_Round.m_Ghost = std::move(read.m_Ghost);
            // It appears where it stands, not in a glide from where the last
            // one was left; the craft is at rest at a round's start.
            m_Motion.Snap();
            LogMessage("Ghost: %s, %s", read.m_Path.c_str(), ClockText(m_Round.m_Ghost.m_Poses.size()).c_str());
        }
    }
    KeptTime kept;
    while (TakeKeptTime(kept)) {
        m_Records.swap(kept.m_Records);
        ShowFinish(kept.m_Record, kept.m_Round == m_RoundsStarted);
    }
}

void Game::ShowFinish(const Record& record, bool onScreen)
{
    // Judged from the records as merged: another game's time written
    // meanwhile counts, this one does not count against itself.
    const Verdict verdict = JudgeTime(m_Records, record);
    const int layout = record.m_Layout;
    std::string time = ClockText(record.m_Ticks);
    std::string judged = verdict.m_NewOverallBest  ? ", a new best of all layouts"
                         : verdict.m_NewLayoutBest ? ", a new best on this layout"
                                                   : ", not a best (the best is " + ClockText(verdict.m_LayoutBestTicks) + ")";
    LogMessage("Round: layout %d, 20 boxes in %s%s", layout, time.c_str(), judged.c_str());
    if (!onScreen) {
        return;
    }
    char line[128];
    if (verdict.m_NewLayoutBest || verdict.m_NewOverallBest) {
        m_Round.m_FinishLines.push_back(verdict.m_NewOverallBest ? "A new best of all layouts!" : "A new best on this layout!");
    }
    snprintf(line, sizeof line, "Best on layout %d: %s", layout, ClockText(verdict.m_LayoutBestTicks).c_str());
    m_Round.m_FinishLines.push_back(line);
    snprintf(line, sizeof line, "Best of all layouts: %s (layout %d)", ClockText(verdict.m_OverallBestTicks).c_str(),
             verdict.m_OverallBestLayout);
    m_Round.m_FinishLines.push_back(line);
    // Its rows: fly again, a new layout, the records.
    if (!m_Menu.m_Open) {
        OpenMenu(SCREEN_FINISH);
    }
}

void Game::IgnoreUnusedEvents()
{
    // The mouse's motion is read directly, the pad's state each tick; the
    // game uses no mouse button in flight (the menu takes them while open).
    for (int type = SDL_NOEVENT + 1; type < SDL_NUMEVENTS; ++type) {
        if (type != SDL_KEYDOWN && type != SDL_KEYUP && type != SDL_ACTIVEEVENT && type != SDL_QUIT) {
            SDL_EventState(static_cast<Uint8>(type), SDL_IGNORE);
        }
    }
}

void Game::Pause(bool paused)
{
    // Clicks and the wheel (buttons too) work the menu; in flight they
    // would only crowd SDL's queue, which drops what comes past 128.
    SDL_EventState(SDL_MOUSEBUTTONDOWN, paused ? SDL_ENABLE : SDL_IGNORE);
    // A key held in the menu moves on, after 0.4 s ten times a second; in
    // flight a key is held, not repeated.
    SDL_EnableKeyRepeat(paused ? 400 : 0, paused ? 100 : 0);
    // Frames drawn meanwhile show the craft where it stands, not between
    // its last two ticks; a key let go elsewhere sends no release here.
    m_Motion.Snap();
    ReleaseKeys(m_Controls);
    SDL_WM_GrabInput(paused ? SDL_GRAB_OFF : SDL_GRAB_ON);
    SDL_ShowCursor(paused ? 1 : 0);
}

void Game::SwitchViews()
{
    if (m_Input.m_CockpitView) {
        m_Camera->SetCockpitView();
        m_Skimmer->SetShown(0);
    } else if (m_Input.m_OutsideView) {
        m_Camera->SetOutsideView();
        m_Skimmer->SetShown(1);
    }
}

void Game::ApplyControls()
{
    SteerCraft(m_Input, *m_Skimmer, m_Round.m_AfterburnerCharge, m_Settings.m_Mouse);
    if (m_Input.m_Light) {
        m_Skimmer->ToggleLight();  // every tick the key is held: it flickers
    }
    m_Skimmer->Update();
    m_Camera->Update();
}

void Game::Render()
{
    m_Scene->DrawFrom(*m_Camera);
}

void Game::DrawRoundLines(int clockY)
{
    std::string clock = "time: " + ClockText(m_Round.m_Ticks);
    m_Font->Print(clock.c_str(), OVERLAY_TEXT_X, clockY);
    if (TakeScreenshotNote(m_ScreenshotNotes, m_OverlayNote)) {
        m_OverlayNoteMs = SDL_GetTicks();
    }
    if (!m_OverlayNote.empty() && SDL_GetTicks() - m_OverlayNoteMs < SCREENSHOT_NOTE_MS) {
        m_Font->Print(m_OverlayNote.c_str(), OVERLAY_TEXT_X, clockY + MESSAGE_SPACING);
    }
    int y = FINISH_FIRST_LINE_Y;
    for (const std::string& finish : m_Round.m_FinishLines) {
        m_Font->Print(finish.c_str(), OVERLAY_TEXT_X, y);
        y -= MESSAGE_SPACING;
    }
}

int Game::DisplayedSpeed(float speed)
{
    // Worked in double precision: 0.7f is a little under 0.7, and shows 6.
    return static_cast<int>(speed * SPEED_TO_MPH);
}

void Game::DrawOverlay()
{
    BeginWindowPixels(m_WindowWidth, m_WindowHeight);

    // The last tick's lines, from y = 60 up; the next tick replaces them.
    int y = FIRST_MESSAGE_Y;
    for (const char* message : m_World->m_Messages) {
        m_Font->Print(message, OVERLAY_TEXT_X, y);
        y += MESSAGE_SPACING;
    }

    char line[64];
    y = std::max(y, AFTERBURNER_LINE_Y);
    m_DisplayedSpeed = DisplayedSpeed(m_Skimmer->m_Speed);
    snprintf(line, sizeof line, "speed: %d mph", m_DisplayedSpeed);
    m_Font->Print(line, OVERLAY_TEXT_X, y + MESSAGE_SPACING);
    snprintf(line, sizeof line, "afterburner: %d %%", m_Round.m_AfterburnerCharge);
    m_Font->Print(line, OVERLAY_TEXT_X, y);
    DrawRoundLines(y + 2 * MESSAGE_SPACING);
    EndWindowPixels();
}

void Game::DrawMenu()
{
    BeginWindowPixels(m_WindowWidth, m_WindowHeight);

    const std::vector<std::string> heading = m_Menu.Heading();

    const int top = m_Menu.Screen() == SCREEN_FINISH ? MENU_FINISH_PANEL_TOP : MENU_PANEL_TOP;
    const int firstY = m_Menu.FirstRowY();
    const int count = m_Menu.RowCount();
    const int shown = std::min(m_Menu.ShownRows(), count - m_Menu.m_Scroll);
    const int highlightY = firstY - (m_Menu.Highlight() - m_Menu.m_Scroll) * MENU_ROW_SPACING;

    // A dark see-through panel, and a light bar behind the highlighted row.
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBegin(GL_QUADS);
    glColor4f(0.0f, 0.0f, 0.0f, 0.65f);
    glVertex2i(MENU_PANEL_LEFT, MENU_PANEL_BOTTOM);
    glVertex2i(MENU_PANEL_RIGHT, MENU_PANEL_BOTTOM);
    glVertex2i(MENU_PANEL_RIGHT, top);
    glVertex2i(MENU_PANEL_LEFT, top);
    if (shown > 0) {
        glColor4f(1.0f, 1.0f, 1.0f, 0.3f);
        glVertex2i(MENU_PANEL_LEFT + 4, highlightY - 8);
        glVertex2i(MENU_PANEL_RIGHT - 4, highlightY - 8);
        glVertex2i(MENU_PANEL_RIGHT - 4, highlightY + 22);
        glVertex2i(MENU_PANEL_LEFT + 4, highlightY + 22);
    }
    glEnd();
    glPopAttrib();

    // Every line in one draw of the font's.
    std::vector<std::string> texts;
    std::vector<int> places;  // x, y of each text
    auto add = [&texts, &places](std::string text, int x, int y) {
        texts.push_back(std::move(text));
        places.push_back(x);
        places.push_back(y);
    };
    int y = top - MENU_ROW_SPACING;
    for (const std::string& line : heading) {
        add(line, MENU_MARKER_X, y);
        y -= MENU_ROW_SPACING;
    }
    for (int i = 0; i < shown; ++i) {
        int row = m_Menu.m_Scroll + i;
        MenuRow shownRow = m_Menu.Row(row);
        y = firstY - i * MENU_ROW_SPACING;
        bool highlighted = row == m_Menu.Highlight();
        if (highlighted) {
            add(">", MENU_MARKER_X, y);
        }
        add(shownRow.m_Text, MENU_TEXT_X, y);
        if (!shownRow.m_Value.empty()) {
            bool arrows = highlighted && m_Menu.Screen() == SCREEN_SETTINGS;
            add(arrows ? "< " + shownRow.m_Value + " >" : shownRow.m_Value, MENU_VALUE_X, y);
        }
        if (!shownRow.m_Key.empty()) {
            add(shownRow.m_Key, m_Menu.KeyColumnX(), y);
        }
    }
    // More rows above or below: the wheel or the arrows reach them.
    if (m_Menu.m_Scroll > 0) {
        add("^", MENU_PANEL_RIGHT - 24, firstY);
    }
    if (m_Menu.m_Scroll + shown < count) {
        add("v", MENU_PANEL_RIGHT - 24, firstY - (shown - 1) * MENU_ROW_SPACING);
    }
    if (!m_Menu.m_Note.empty()) {
        add(m_Menu.m_Note, MENU_MARKER_X, MENU_NOTE_Y);
    }
    std::vector<Font::TextLine> lines(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        lines[i] = Font::TextLine{texts[i].c_str(), places[2 * i], places[2 * i + 1]};
    }
    m_Font->PrintLines(lines);
    EndWindowPixels();
}
