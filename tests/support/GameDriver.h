// Drives the real game in-process on the test's Xvfb display: SDL started as
// the entry point starts it, the real Init, and real frames fed with events
// pushed into SDL's queue, so the loop takes them exactly as from a person.
#ifndef TESTS_SUPPORT_GAME_DRIVER_H
#define TESTS_SUPPORT_GAME_DRIVER_H

#include "app/Game.h"
#include "tests/support/TempDir.h"

class GameDriver {
public:
    // Starts SDL and the game in a fresh working directory holding the
    // generated assets. The full-screen question is answered No (a window) by
    // the scripted dialogs. The palms and boxes placed near the craft's
    // start are moved away, so that tests start from open ground whatever
    // the random level. beforeInit, when given, runs once SDL has started
    // and before the game's Init (to attach a virtual gamepad, say). The
    // player's settings file holds settings, when given; otherwise there is
    // none (whatever the machine's user has). asStarted leaves the game as
    // Init left it: nothing moved, no event taken.
    explicit GameDriver(void (*beforeInit)() = NULL, const char* settings = NULL, bool asStarted = false);
    ~GameDriver();

    Game& GetGame() { return *m_Game; }
    TempDir& Dir() { return m_Dir; }

    void PushKey(int keySymbol, bool pressed);
    void PushQuit();
    // Runs frames; returns false once the loop would have ended.
    bool Frames(int count);
    // Runs frames until SDL's queue and the game's are empty (at most limit frames).
    void DrainEvents(int limit = 1000);

private:
    void ClearStartArea();

    TempDir m_Dir;
    Game* m_Game;

    GameDriver(const GameDriver&);
    GameDriver& operator=(const GameDriver&);
};

#endif
