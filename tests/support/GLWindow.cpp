#include "tests/support/GLWindow.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include "base/Extensions.h"

GLWindow::GLWindow(int width, int height)
    : m_Open(false)
{
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) < 0) {
        ADD_FAILURE() << "SDL_Init: " << SDL_GetError();
        return;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    if (SDL_SetVideoMode(width, height, 32, SDL_OPENGL) == NULL) {
        ADD_FAILURE() << "SDL_SetVideoMode: " << SDL_GetError();
        SDL_Quit();
        return;
    }
    // As the game's window does: every drawing module takes them from here.
    LoadMultitextureExtensions();
    m_Open = true;
}

GLWindow::~GLWindow()
{
    SDL_Quit();
}
