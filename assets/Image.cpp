// Loading pictures and reading their pixels.
#include "assets/Image.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <cstdlib>
#include <cstring>
#include <pthread.h>

#include "app/Logger.h"
#include "assets/PictureSize.h"
#include "app/dialog/MessageBox.h"

static pthread_mutex_t s_Decoding = PTHREAD_MUTEX_INITIALIZER;

DecodingTurn::DecodingTurn()
{
    pthread_mutex_lock(&s_Decoding);
}

DecodingTurn::~DecodingTurn()
{
    pthread_mutex_unlock(&s_Decoding);
}

// SDL_image's own rule for a file: its extension names the type to try
// first (TGA has no signature to recognise it by).
static const char* TypeOf(const char* name)
{
    const char* dot = strrchr(name, '.');
    return dot != NULL ? dot + 1 : "";
}

SDL_Surface* Image::Decode(SDL_RWops* source, const char* type)
{
    if (source == NULL) {
        return NULL;  // SDL has said why the file could not be opened
    }
    PictureSize size = ReadPictureSize(source, type);
    if (size.m_Kind == PictureSize::REFUSED) {
        SDL_RWclose(source);
        SDL_SetError("it is a GIMP picture (XCF), which the game does not read");
        return NULL;
    }
    if (size.m_Kind == PictureSize::UNREADABLE) {
        SDL_RWclose(source);
        SDL_SetError("its header ends before it says how large it is");
        return NULL;
    }
    if (size.m_Kind == PictureSize::DECLARED && (size.m_Width > MAX_PICTURE_SIDE || size.m_Height > MAX_PICTURE_SIDE)) {
        SDL_RWclose(source);
        SDL_SetError("it says it is %ld x %ld pixels, more than %d on a side", size.m_Width, size.m_Height,
                     MAX_PICTURE_SIDE);
        return NULL;
    }
    DecodingTurn turn;
    return IMG_LoadTyped_RW(source, 1, const_cast<char*>(type));
}

Image::Image(const char* path, bool reportFailure)
    : m_Surface(Decode(SDL_RWFromFile(path, "rb"), TypeOf(path))), m_Width(0), m_Height(0), m_Format(NULL),
      m_Pixels(NULL)
{
    Describe(path, reportFailure);
}

Image::Image(const char* name, const void* bytes, size_t size)
    : m_Surface(Decode(SDL_RWFromConstMem(bytes, static_cast<int>(size)), TypeOf(name))), m_Width(0), m_Height(0),
      m_Format(NULL), m_Pixels(NULL)
{
    Describe(name, true);
}

void Image::Describe(const char* path, bool reportFailure)
{
    if (m_Surface == NULL) {
        if (!reportFailure) {
            return;
        }
        LogMessage("%s could not be loaded: %s", path, IMG_GetError());
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
