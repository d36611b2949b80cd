// Multitexture and buffer-object entry points through SDL's lookup. On GLX
// the lookup hands back a pointer for any name at all, so it cannot tell
// whether the driver has the extension: the context's own version and
// extension list decide.
#include "base/Extensions.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL/SDL.h>
#include <cstdio>
#include <cstring>

#include "base/Fatal.h"

static PFNGLACTIVETEXTUREARBPROC s_ActiveTexture = NULL;
static PFNGLCLIENTACTIVETEXTUREARBPROC s_ClientActiveTexture = NULL;
static PFNGLGENBUFFERSARBPROC s_GenBuffers = NULL;
static PFNGLBINDBUFFERARBPROC s_BindBuffer = NULL;
static PFNGLBUFFERDATAARBPROC s_BufferData = NULL;
static PFNGLGETBUFFERSUBDATAARBPROC s_GetBufferSubData = NULL;
static PFNGLDELETEBUFFERSARBPROC s_DeleteBuffers = NULL;

static const char* const EXTENSION_NAME = "GL_ARB_multitexture";
static const char* const BUFFER_EXTENSION_NAME = "GL_ARB_vertex_buffer_object";

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

// Whether the context is of at least version 1.minor or has the extension.
static bool HasFeature(const char* version, const char* extensions, int sinceMinor, const char* extension)
{
    int major = 0;
    int minor = 0;
    if (version != NULL && sscanf(version, "%d.%d", &major, &minor) == 2 &&
        (major > 1 || (major == 1 && minor >= sinceMinor))) {
        return true;
    }
    return extensions != NULL && ListHas(extensions, extension);
}

bool HasMultitexture(const char* version, const char* extensions)
{
    return HasFeature(version, extensions, 3, EXTENSION_NAME);
}

bool HasBufferObjects(const char* version, const char* extensions)
{
    return HasFeature(version, extensions, 5, BUFFER_EXTENSION_NAME);
}

bool BufferObjectsLoaded()
{
    return s_GenBuffers != NULL && s_BindBuffer != NULL && s_BufferData != NULL && s_GetBufferSubData != NULL &&
           s_DeleteBuffers != NULL;
}

static void LoadBufferObjects(const char* version, const char* extensions)
{
    s_GenBuffers = NULL;
    if (!HasBufferObjects(version, extensions)) {
        return;
    }
    s_GenBuffers = reinterpret_cast<PFNGLGENBUFFERSARBPROC>(SDL_GL_GetProcAddress("glGenBuffersARB"));
    s_BindBuffer = reinterpret_cast<PFNGLBINDBUFFERARBPROC>(SDL_GL_GetProcAddress("glBindBufferARB"));
    s_BufferData = reinterpret_cast<PFNGLBUFFERDATAARBPROC>(SDL_GL_GetProcAddress("glBufferDataARB"));
    s_GetBufferSubData =
        reinterpret_cast<PFNGLGETBUFFERSUBDATAARBPROC>(SDL_GL_GetProcAddress("glGetBufferSubDataARB"));
    s_DeleteBuffers = reinterpret_cast<PFNGLDELETEBUFFERSARBPROC>(SDL_GL_GetProcAddress("glDeleteBuffersARB"));
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
    LoadBufferObjects(version, extensions);
}

void ActiveTexture(unsigned int unit)
{
    s_ActiveTexture(unit);
}

void ClientActiveTexture(unsigned int unit)
{
    s_ClientActiveTexture(unit);
}

void GenBuffers(int count, unsigned int* outNames)
{
    s_GenBuffers(count, outNames);
}

void BindBuffer(unsigned int target, unsigned int buffer)
{
    s_BindBuffer(target, buffer);
}

void BufferData(unsigned int target, long size, const void* data, unsigned int usage)
{
    s_BufferData(target, size, data, usage);
}

void DeleteBuffers(int count, const unsigned int* names)
{
    s_DeleteBuffers(count, names);
}

void GetBufferSubData(unsigned int target, long offset, long size, void* outData)
{
    s_GetBufferSubData(target, offset, size, outData);
}
