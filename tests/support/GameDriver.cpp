#include "tests/support/GameDriver.h"

#include <SDL/SDL.h>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "game/Skimmer.h"
#include "game/World.h"
#include "terrain/Scene.h"
#include "terrain/TerrainGrid.h"
#include "terrain/terrain.h"
#include "tests/support/Autopilot.h"

GameDriver::GameDriver(void (*beforeInit)(), const char* settings, bool asStarted)
    : m_Game(NULL)
{
    m_Dir.LinkContentsOf(VELLMORA_ASSET_DIR);
    std::string config = m_Dir.Path() + "/config";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    // The best times of this test only.
    setenv("XDG_DATA_HOME", (m_Dir.Path() + "/data").c_str(), 1);
    if (settings != NULL) {
        mkdir(config.c_str(), 0755);
        mkdir((config + "/vellmora").c_str(), 0755);
        FILE* file = fopen((config + "/vellmora/vellmora.conf").c_str(), "w");
        EXPECT_TRUE(file != NULL && fputs(settings, file) >= 0 && fclose(file) == 0);
    }
    m_Game = new Game();
    m_Game->Configure();
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) < 0) {
        ADD_FAILURE() << "SDL_Init: " << SDL_GetError();
        return;
    }
    if (beforeInit != NULL) {
        beforeInit();
    }
    m_Game->Init();
    if (asStarted) {
        return;
    }
    ClearStartArea();
    // The window's own start-up events (activation, exposure) come first;
    // let the loop take them so pushed events are the next ones it sees.
    SDL_Delay(100);
    DrainEvents();
}

GameDriver::~GameDriver()
{
    delete m_Game;
    SDL_Quit();
}

void GameDriver::PushKey(int keySymbol, bool pressed)
{
    PushKeyEvent(keySymbol, pressed);
}

void GameDriver::PushQuit()
{
    SDL_Event event = {};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}

bool GameDriver::Frames(int count)
{
    for (int i = 0; i < count; ++i) {
        if (!m_Game->RunFrame()) {
            return false;
        }
    }
    return true;
}

void GameDriver::DrainEvents(int limit)
{
    SDL_PumpEvents();
    for (int i = 0;
         i < limit && (SDL_PeepEvents(NULL, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) > 0 || !m_Game->m_Events->empty());
         ++i) {
        m_Game->RunFrame();
        SDL_PumpEvents();
    }
}

void GameDriver::ClearStartArea()
{
    const Vector3 start = m_Game->m_Skimmer->m_Position;
    const Terrain& terrain = *m_Game->m_Scene->GetTerrain();
    for (SceneObject* object : m_Game->m_World->m_Objects) {
        Vector3 offset = object->m_Position - start;
        offset.y = 0.0f;
        if (offset.Magnitude() < 1500.0f) {
            // Set on the ground where it lands, as the world would have.
            float x = object->m_Position.x + 4000.0f;
            float z = object->m_Position.z;
            object->SetPosition(x, terrain.m_Grid->GetGroundHeight(x, z), z);
        }
    }
}
