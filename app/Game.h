// Game: the one game object. It owns the camera and the font, runs start-up
// (Init) and the main loop (Run). The rules run in ticks, 60 a second of real
// time: take at most one event, read the mouse, switch views, the world's
// rules, steer. The drawing runs in frames, as often as the display shows
// them: clear, draw the world with the moving things between their last two
// ticks, draw the overlay of the last tick, swap. A tick or a frame itself
// has no timing in it; Run's FramePacer says when each comes.
#ifndef APP_GAME_H
#define APP_GAME_H

#include <deque>

#include <string>
#include <vector>

#include "app/Controls.h"
#include "app/Menu.h"
#include "app/Settings.h"
#include "game/Records.h"
#include "game/Round.h"
#include "scene/MotionBlend.h"

struct SDL_Surface;
union SDL_Event;
class Camera;
class Font;
class FramePacer;
class GhostCraft;
class Scene;
class Skimmer;
class World;

class Game {
public:
    char* m_Title;               // owned, "Vellmora"
    int m_WindowWidth;           // 800
    int m_WindowHeight;          // 600
    SDL_Surface* m_Screen;       // the video surface; owned by SDL
    Font* m_Font;                // owned
    Scene* m_Scene;              // owned
    Camera* m_Camera;            // owned
    Skimmer* m_Skimmer;          // the player's craft; lives until the process ends
    World* m_World;              // lives until the process ends
    GhostCraft* m_GhostCraft;    // the layout's best round beside the player's; lives until the process ends
    Settings m_Settings;         // the player's, read by Configure and changed in the menu; the design's without a file
    Settings m_SettingsInFile;   // as the settings file has them: read at start, then as the menu last wrote them
    Menu m_Menu;                 // over the frozen game while open: no ticks
    PadState m_MenuPad;          // the pad as the menu last read it
    int m_MenuHeld[4];           // ticks each of the pad's up, down, left and right has been held in the menu
    int m_PointerX;              // where the menu last saw the mouse, in window pixels from the top left
    int m_PointerY;
    // The world as drawn under the open menu, kept while nothing in it can
    // change (no tick runs, the same view, the same ghost): the menu's
    // frames draw it back instead of the whole scene.
    unsigned int m_UnderMenu;    // a texture of the window's size rounded up to powers of two; 0 before the first
    bool m_UnderMenuKept;
    bool m_UnderMenuCockpit;
    size_t m_UnderMenuGhostPoses;
    ControlState m_Controls;     // the keys and the mouse
    ControlState m_Input;        // this tick's keys, mouse and gamepad together, as the rules read them
    int m_DisplayedSpeed;        // the speed line's mph, written each frame before it is printed
    MotionBlend m_Motion;        // the craft and the camera between their last two ticks
    long long m_TicksRun;        // since Init
    long long m_FramesDrawn;     // since Init
    unsigned int m_LevelSeed;    // the first round's layout; 0: the settings', else one drawn from the time
    Round m_Round;               // the round being flown
    long long m_RoundsStarted;   // since Init: the number of the round being flown
    ControlState m_RoundKeys;    // the last tick's retry, new layout, pause and screenshot, to act once per press
    bool m_ScreenshotWanted;     // the next frame is saved as a picture
    int m_ScreenshotNotes;       // the screenshot notes seen so far (see TakeScreenshotNote)
    std::string m_OverlayNote;        // the newest screenshot's note, or the settings file's failure, shown for a while
    unsigned int m_OverlayNoteMs;     // SDL's milliseconds when it was first drawn
    std::string m_RecordsPath;   // the best times' file, the ghosts beside it; empty: neither kept nor read
    std::vector<Record> m_Records;
    // SDL's events as they came, emptied a tick at a time: SDL's own queue
    // holds 128 and drops what comes past that, a key's release included.
    std::deque<SDL_Event>* m_Events;  // owned
    // Called after every swap when set: where a benchmark watches the frames.
    void (*m_AfterSwap)();
    // Run's: holds each swap to its slot. NULL outside Run.
    FramePacer* m_Pacer;

    // Stores the title, empties the log, sets the window size.
    Game();
    virtual ~Game();

    // Reads the player's settings (see Settings.h), then sets from them the
    // environment switches of the libraries under the game: sdl12-compat's
    // scaling to the desktop, game-controller layout and keys by position,
    // and the name the sound server shows. Called first in the process,
    // after the construction and before SDL starts, since setenv beside
    // another thread's getenv is undefined behaviour; asserts that no helper
    // thread has started.
    void Configure();

    // Start-up: video mode and GL state, font, scene (terrain), the craft,
    // the world, camera and sky, the texture listing, the music. Ends the
    // process on a fatal failure.
    void Init();
    // Ticks and frames until the window is closed: before each frame the
    // ticks real time asks for by the time the frame is shown, at most 4
    // (below 15 frames a second the game slows down); a close ends the loop after the frame in which it is
    // taken. Escape ends the process from inside.
    void Run();
    // One tick of the rules. Returns false once a quit event was taken.
    bool RunTick();
    // One frame: the moving things at blend (0 the previous tick, 1 the
    // last) and the overlay of the last tick.
    void DrawFrame(float blend);
    // Takes what the round files' helper has done (see RoundFiles.h): the
    // ghost read for this round, and the finished round's time as kept,
    // which writes the rest of the finish screen. Each tick does it first.
    void TakeRoundFiles();
    // One tick, then a frame drawing it as it stands: what tests and
    // benchmarks drive the game with. Returns RunTick's answer.
    bool RunFrame();

    // Starts a round on layout: the palms and boxes placed, the round
    // started afresh (see Round::Start) and the motion blend with it, as at
    // the first tick after start-up, and the layout's ghost
    // asked for when the settings fly one (it flies from the tick it is
    // read, in step with the clock). Logs "Layout: N".
    void StartRound(int layout);

    // Opens the window (asking about full screen when the settings leave
    // it open), loads the GL entry points, grabs the mouse. Ends the
    // process when no window can be had.
    void OpenWindow();
    // The menu opened on screen, the game frozen under it.
    void OpenMenu(MenuScreen screen);
    // Does what a menu move answered, and takes the menu's settings into play.
    void AnswerMenu(MenuAnswer answer);
    // The OpenGL state every frame starts from (see Game.cpp's top).
    void SetFrameBaseline();
    void ApplyControls();
    void Render();

    // The speed line's figure: speed x 10, truncated toward zero.
    static int DisplayedSpeed(float speed);

private:
    // Returns false for SDL_QUIT.
    bool HandleEvent(const SDL_Event& event);
    // Turns away at the source every kind of event the loop has no use for
    // (mouse buttons and the wheel, the pad's, the window's), so that none
    // can fill SDL's queue.
    static void IgnoreUnusedEvents();
    void SwitchViews();
    // The ticks stop and the mouse is free (paused true), or flying
    // resumes with the mouse grabbed again.
    void Pause(bool paused);
    // Retry, new layout, pause (the menu) and screenshot, each once per
    // press of its key or button.
    void TakeRoundActions(const ControlState& input);
    // A menu tick: the pad's moves (held: repeated) and the mouse's pointing.
    void TickMenu(const PadState& pad);
    // The menu's settings in play: volumes (a step of the effects' plays the
    // pick-up), the ghost, the window's full screen; the rest is read where
    // it is used.
    void TakeSettings(const Settings& settings);
    // Writes the settings file when the settings differ from it.
    void SaveChangedSettings();
    void DrawMenu();
    // Whether the world under the menu is kept as it would be drawn now.
    bool UnderMenuKept() const;
    void KeepUnderMenu();
    void DrawUnderMenu();
    // The last box is collected: the clock stops, the finish screen's first
    // line is written, and the time is given to the round files' helper to
    // keep among the records, with the round as the layout's ghost when it
    // is the fastest there.
    void FinishRound();
    // The time as kept: logs the round's line and, when it is the round
    // being flown (onScreen), writes the rest of its finish screen.
    void ShowFinish(const Record& record, bool onScreen);
    void DrawOverlay();
    // The clock's line at clockY, a screenshot's note above it for a
    // while, and the finish screen.
    void DrawRoundLines(int clockY);

    Game(const Game&);
    Game& operator=(const Game&);
};

#endif
