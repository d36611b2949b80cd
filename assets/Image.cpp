// Loading pictures and reading their pixels.
#include "assets/Image.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <cstdlib>
#include <cstring>
#include <pthread.h>

#include "base/Logger.h"
#include "assets/PictureSize.h"
#include "base/dialog/MessageBox.h"

static pthread_mutex_t s_Decoding = PTHREAD_MUTEX_INITIALIZER;

DecodingTurn::DecodingTurn()
{
    pthread_mutex_lock(&s_Decoding);
}

DecodingTurn::~DecodingTurn()
{
    pthread_mutex_unlock(&s_Decoding);
}

// The type a file's name gives it, which tells a TGA (it has no signature).
static const char* TypeOf(const char* name)
{
    const char* dot = strrchr(name, '.');
    return dot != NULL ? dot + 1 : "";
}

// Only the decoders of the formats the game reads ever see a file's bytes.
static SDL_Surface* DecodeAs(PictureFormat format, SDL_RWops* source)
{
    DecodingTurn turn;
    switch (format) {
    case PICTURE_BMP:
        return IMG_LoadBMP_RW(source);
    case PICTURE_TGA:
        return IMG_LoadTGA_RW(source);
    case PICTURE_PNG:
        return IMG_LoadPNG_RW(source);
    case PICTURE_JPEG:
        return IMG_LoadJPG_RW(source);
    default:
        return NULL;
    }
}

SDL_Surface* Image::Decode(SDL_RWops* source, const char* type, const char** outRefusedName)
{
    if (source == NULL) {
        return NULL;  // SDL has said why the file could not be opened
    }
    PictureSize size = ReadPictureSize(source, type);
    SDL_Surface* surface = NULL;
    if (size.m_Kind == PictureSize::REFUSED) {
        *outRefusedName = size.m_RefusedName;
    } else if (size.m_Kind == PictureSize::NOT_A_PICTURE) {
        SDL_SetError("it is not a BMP, TGA, PNG or JPEG picture");
    } else if (size.m_Kind == PictureSize::UNREADABLE) {
        SDL_SetError("its header ends before it says how large it is");
    } else if (size.m_Width > MAX_PICTURE_SIDE || size.m_Height > MAX_PICTURE_SIDE) {
        SDL_SetError("it says it is %ld x %ld pixels, more than %d on a side", size.m_Width, size.m_Height,
                     MAX_PICTURE_SIDE);
    } else {
        surface = DecodeAs(size.m_Format, source);
    }
    SDL_RWclose(source);
    return surface;
}

Image::Image(const char* path, bool reportFailure)
    : m_Surface(NULL), m_Width(0), m_Height(0), m_Format(NULL), m_Pixels(NULL)
{
    const char* refused = NULL;
    m_Surface = Decode(SDL_RWFromFile(path, "rb"), TypeOf(path), &refused);
    Describe(path, reportFailure, refused);
}

Image::Image(const char* name, const void* bytes, size_t size)
    : m_Surface(NULL), m_Width(0), m_Height(0), m_Format(NULL), m_Pixels(NULL)
{
    const char* refused = NULL;
    m_Surface = Decode(SDL_RWFromConstMem(bytes, static_cast<int>(size)), TypeOf(name), &refused);
    Describe(name, true, refused);
}

void Image::Describe(const char* path, bool reportFailure, const char* refusedName)
{
    if (m_Surface == NULL) {
        if (!reportFailure) {
            return;
        }
        if (refusedName != NULL) {
            LogMessage("%s is %s picture, which the game does not read", path, refusedName);
        } else {
            LogMessage("%s could not be loaded: %s", path, IMG_GetError());
        }
        ShowMessage("Couldn't load image", path);
        return;
    }
    m_Width = m_Surface->w;
    m_Height = m_Surface->h;
    m_Format = m_Surface->format;
    m_Pixels = static_cast<unsigned char*>(m_Surface->pixels);
}

Image::~Image()
{
    if (m_Surface != NULL) {
        SDL_FreeSurface(m_Surface);
    }
}

int Image::GetBytesPerPixel() const
{
    return m_Format != NULL ? m_Format->BytesPerPixel : 0;
}

int Image::GetPitch() const
{
    return m_Surface != NULL ? m_Surface->pitch : 0;
}

Vector3 Image::GetPixel(int x, int y) const
{
    if (m_Pixels == NULL || x < 0 || y < 0 || x >= m_Width || y >= m_Height) {
        return Vector3();
    }
    int bytesPerPixel = GetBytesPerPixel();
    long size = static_cast<long>(GetPitch()) * m_Height;
    long offset = static_cast<long>(y) * GetPitch() + static_cast<long>(x) * bytesPerPixel;
    // Bytes after a 1- or 2-byte pixel may lie past the picture's last byte.
    float bytes[3];
    for (int i = 0; i < 3; ++i) {
        bytes[i] = offset + i < size ? static_cast<float>(m_Pixels[offset + i]) : 0.0f;
    }
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
    if (bytesPerPixel == 3) {
        return Vector3(bytes[2], bytes[1], bytes[0]);
    }
#endif
    return Vector3(bytes[0], bytes[1], bytes[2]);
}
