// The floor under the game's start-up: a bare SDL program that opens the
// game's 800 x 600 OpenGL window, clears it and swaps once, then says so on
// standard output. What it costs in time and memory is what the driver costs
// any game on this display. With --draw it also draws one lit, fogged,
// textured triangle before the swap: the driver's cost of a first drawing,
// which every game that draws pays on top.
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <cstdio>
#include <cstring>

static void DrawTriangle()
{
    static unsigned char texels[64 * 64 * 3];
    for (size_t i = 0; i < sizeof texels; ++i) {
        texels[i] = static_cast<unsigned char>(i * 7);
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 64, 64, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_FOG);
    glEnable(GL_DEPTH_TEST);
    glBegin(GL_TRIANGLES);
        glNormal3f(0.0f, 0.0f, 1.0f);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(-0.5f, -0.5f, 0.0f);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(0.5f, -0.5f, 0.0f);
        glTexCoord2f(0.5f, 1.0f);
        glVertex3f(0.0f, 0.5f, 0.0f);
    glEnd();
}

int main(int argc, char** argv)
{
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || SDL_SetVideoMode(800, 600, 32, SDL_OPENGL) == NULL) {
        fprintf(stderr, "vellmora_floor: %s\n", SDL_GetError());
        return 1;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (argc > 1 && strcmp(argv[1], "--draw") == 0) {
        DrawTriangle();
    }
    SDL_GL_SwapBuffers();
    printf("swapped\n");
    fflush(stdout);
    SDL_Quit();
    return 0;
}
