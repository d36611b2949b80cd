// Building, binding and listing textures.
#include "assets/Texture.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL.h>
#include <cstdio>
#include <map>

#include "base/Logger.h"
#include "assets/Image.h"

#ifndef GL_BGR_EXT
#define GL_BGR_EXT 0x80E0
#endif

// The live textures by id; built before main, so it outlives every texture.
static std::map<int, Texture*>& Registry()
{
    static std::map<int, Texture*>* registry = new std::map<int, Texture*>();
    return *registry;
}

// Rows of 3-byte pixels padded to 4 bytes, as OpenGL unpacks them by default.
static bool IsUploadable(const SDL_Surface* surface)
{
    return surface->format->BytesPerPixel == 3 && surface->pitch == (surface->w * 3 + 3) / 4 * 4;
}

// A copy of the surface as 24-bit blue-green-red, or NULL.
static SDL_Surface* ConvertToBgr(SDL_Surface* surface)
{
    SDL_PixelFormat format = {};
    format.BitsPerPixel = 24;
    format.BytesPerPixel = 3;
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
    format.Rmask = 0x00FF0000;
    format.Gmask = 0x0000FF00;
    format.Bmask = 0x000000FF;
    format.Rshift = 16;
    format.Gshift = 8;
    format.Bshift = 0;
#else
    format.Rmask = 0x000000FF;
    format.Gmask = 0x0000FF00;
    format.Bmask = 0x00FF0000;
    format.Rshift = 0;
    format.Gshift = 8;
    format.Bshift = 16;
#endif
    format.alpha = 255;
    return SDL_ConvertSurface(surface, &format, SDL_SWSURFACE);
}

static void SetParameters()
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

TexturePixels::TexturePixels(const Image& image, const char* path)
    : m_Width(1), m_Height(1), m_Pixels(NULL), m_Converted(NULL)
{
    static unsigned char placeholder[4] = {255, 0, 255, 0};  // blue, green, red: magenta
    // A picture of no pixels at all (a zero width or height in its header)
    // has nothing to upload either.
    bool hasPixels = image.IsLoaded() && image.GetWidth() > 0 && image.GetHeight() > 0;
    if (hasPixels && IsUploadable(image.m_Surface)) {
        m_Width = image.GetWidth();
        m_Height = image.GetHeight();
        m_Pixels = image.GetPixels();
        return;
    }
    if (hasPixels) {
        m_Converted = ConvertToBgr(image.m_Surface);
        if (m_Converted != NULL) {
            m_Width = m_Converted->w;
            m_Height = m_Converted->h;
            m_Pixels = static_cast<unsigned char*>(m_Converted->pixels);
            return;
        }
        LogMessage("%s has %d-byte pixels and could not be converted", path, image.GetBytesPerPixel());
    }
    LogMessage("%s: using a 1 x 1 magenta placeholder", path);
    m_Pixels = placeholder;
}

TexturePixels::~TexturePixels()
{
    if (m_Converted != NULL) {
        SDL_FreeSurface(m_Converted);
    }
}

Texture::Texture(const char* path)
    : m_Id(0), m_Height(0), m_Width(0), m_Name(new char[TEXTURE_NAME_SIZE]), m_Pixels(NULL)
{
    snprintf(m_Name, TEXTURE_NAME_SIZE, "%s", path);
    glGenTextures(1, &m_Id);
    glBindTexture(GL_TEXTURE_2D, m_Id);

    Image* image = new Image(path);
    TexturePixels* source = new TexturePixels(*image, path);
    m_Width = source->m_Width;
    m_Height = source->m_Height;
    m_Pixels = source->m_Pixels;
    SetParameters();
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, m_Width, m_Height, GL_BGR_EXT, GL_UNSIGNED_BYTE, m_Pixels);
    m_Pixels = NULL;
    delete source;
    delete image;
    Registry()[static_cast<int>(m_Id)] = this;
}

Texture::~Texture()
{
    glDeleteTextures(1, &m_Id);
    Registry()[static_cast<int>(m_Id)] = NULL;
    delete[] m_Name;
}

void Texture::Bind() const
{
    glBindTexture(GL_TEXTURE_2D, m_Id);
    glEnable(GL_TEXTURE_2D);
}

void ListTextures()
{
    const std::map<int, Texture*>& registry = Registry();
    for (std::map<int, Texture*>::const_iterator it = registry.begin(); it != registry.end(); ++it) {
        if (it->second != NULL) {
            LogMessage("Texture id %d bound to %s", it->first, it->second->m_Name);
        } else {
            LogMessage("Texture id %d bound to nothing", it->first);
        }
    }
}

const Texture* FindTexture(unsigned int id)
{
    std::map<int, Texture*>::const_iterator it = Registry().find(static_cast<int>(id));
    return it != Registry().end() ? it->second : NULL;
}
