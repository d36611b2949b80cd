// Multitexture entry points through SDL's lookup.
#include "terrain/Multitexture.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL/SDL.h>

#include "app/Fatal.h"

static PFNGLACTIVETEXTUREARBPROC s_ActiveTexture = NULL;
static PFNGLCLIENTACTIVETEXTUREARBPROC s_ClientActiveTexture = NULL;

static void ExitWithoutMultitexture()
{
    ExitWithMessage("Multitexture Extensions not present", "Multitexture Extensions not present", -1);
}

void LoadMultitextureExtensions()
{
    s_ActiveTexture = reinterpret_cast<PFNGLACTIVETEXTUREARBPROC>(SDL_GL_GetProcAddress("glActiveTextureARB"));
    if (s_ActiveTexture == NULL) {
        ExitWithoutMultitexture();
    }
    s_ClientActiveTexture =
        reinterpret_cast<PFNGLCLIENTACTIVETEXTUREARBPROC>(SDL_GL_GetProcAddress("glClientActiveTextureARB"));
    if (s_ClientActiveTexture == NULL) {
        ExitWithoutMultitexture();
    }
}

void ActiveTexture(unsigned int unit)
{
    s_ActiveTexture(unit);
}

void ClientActiveTexture(unsigned int unit)
{
    s_ClientActiveTexture(unit);
}
