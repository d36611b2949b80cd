// Loading pictures and reading their pixels.
#include "assets/Image.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include "app/Logger.h"
#include "app/MessageBox.h"

Image::Image(const char* path)
    : m_Surface(IMG_Load(path)), m_Width(0), m_Height(0), m_Format(NULL), m_Pixels(NULL)
{
    if (m_Surface == NULL) {
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
