// Game: the one game object. It owns the camera and the font, runs start-up
// (Init) and the main loop (Run), one frame per pass: take at most one event,
// read the mouse, switch views, the world's rules, steer, clear, draw the
// world, draw the overlay, swap. Run holds the passes to at most 60 a second;
// a pass itself (RunFrame) has no timing in it.
#ifndef APP_GAME_H
#define APP_GAME_H

#include "app/Controls.h"

struct SDL_Surface;
union SDL_Event;
class Camera;
class Font;
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
    ControlState m_Controls;
    int m_DisplayedSpeed;        // the speed line's mph, written each frame before it is printed
    int m_AfterburnerCharge;     // 0..100

    // Stores the title, empties the log, sets the window size.
    Game();
    virtual ~Game();

    // Start-up: video mode and GL state, font, scene (terrain), the craft,
    // the world, camera (sky), the texture listing, the music. Ends the
    // process on a fatal failure.
    void Init();
    // Frames until the window is closed, at most 60 a second: a pass that
    // ends early waits for the rest of its 1/60 s; a late one never makes
    // the next passes hurry. Escape ends the process from inside.
    void Run();
    // One pass of the main loop. Returns false once a quit event was taken
    // (the frame is still drawn).
    bool RunFrame();

    void SetupVideo();
    void ApplyControls();
    void Render();

    // The speed line's figure: speed x 10, truncated toward zero.
    static int DisplayedSpeed(float speed);

private:
    // Returns false for SDL_QUIT.
    bool HandleEvent(const SDL_Event& event);
    void SwitchViews();
    void DrawOverlay();

    Game(const Game&);
    Game& operator=(const Game&);
};

#endif
