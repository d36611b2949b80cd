// Multitexture entry points through SDL's lookup. On GLX the lookup hands
// back a pointer for any name at all, so it cannot tell whether the driver
// has the extension: the context's own version and extension list decide.
#include "terrain/Multitexture.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL/SDL.h>
#include <cstdio>
#include <cstring>

#include "app/Fatal.h"

static PFNGLACTIVETEXTUREARBPROC s_ActiveTexture = NULL;
static PFNGLCLIENTACTIVETEXTUREARBPROC s_ClientActiveTexture = NULL;

static const char* const EXTENSION_NAME = "GL_ARB_multitexture";

static void ExitWithoutMultitexture()
{
    ExitWithMessage("Multitexture Extensions not present", "Multitexture Extensions not present", -1);
}

// Whether a blank-separated list holds the name as a whole word.
static bool ListHas(const char* list, const char* name)
{
    size_t length = strlen(name);
    for (const char* at = strstr(list, name); at != NULL; at = strstr(at + 1, name)) {
        bool startsWord = at == list || at[-1] == ' ';
        bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

bool HasMultitexture(const char* version, const char* extensions)
{
    int major = 0;
    int minor = 0;
    if (version != NULL && sscanf(version, "%d.%d", &major, &minor) == 2 &&
        (major > 1 || (major == 1 && minor >= 3))) {
        return true;
    }
    return extensions != NULL && ListHas(extensions, EXTENSION_NAME);
}

void LoadMultitextureExtensions()
{
    LoadMultitextureExtensions(reinterpret_cast<const char*>(glGetString(GL_VERSION)),
                               reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
}

void LoadMultitextureExtensions(const char* version, const char* extensions)
{
    if (!HasMultitexture(version, extensions)) {
        ExitWithoutMultitexture();
    }
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
