// The floor under the game's start-up: a bare SDL program that opens the
// game's 800 x 600 OpenGL window, clears it and swaps once, then says so on
// standard output and waits for its standard input to close. What it costs
// in time and memory is what the driver costs any game on this display.
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <cstdio>

int main()
{
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || SDL_SetVideoMode(800, 600, 32, SDL_OPENGL) == NULL) {
        fprintf(stderr, "vellmora_floor: %s\n", SDL_GetError());
        return 1;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapBuffers();
    printf("swapped\n");
    fflush(stdout);
    SDL_Quit();
    return 0;
}
