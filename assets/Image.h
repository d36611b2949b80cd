// Image: one picture file decoded by SDL_image, kept exactly as decoded (no
// conversion, flipping or scaling). Rows run from the top of the picture
// down, each pitch bytes long; 24-bit BMP and TGA pixels hold blue, green,
// red in that order on a little-endian machine. A file that cannot be loaded
// shows the "Couldn't load image" box and leaves an empty image (0 x 0, no
// pixels), which IsLoaded reports; so does a picture in a format the game
// does not read (only BMP, TGA, PNG and JPEG are decoded), and one whose
// header asks for more than MAX_PICTURE_SIDE pixels on a side, or ends
// before its size.
#ifndef ASSETS_IMAGE_H
#define ASSETS_IMAGE_H

#include <cstddef>

#include "math/Vector3.h"

struct SDL_Surface;
struct SDL_PixelFormat;
struct SDL_RWops;

// Pictures that declare more pixels than this on a side are refused before
// decoding, like a file that cannot be read.
static const int MAX_PICTURE_SIDE = 4096;

// SDL_image's loaders share state (the libraries some formats load on first
// use), so pictures decoded on two threads take turns: a DecodingTurn is
// held around every call into SDL_image.
class DecodingTurn {
public:
    DecodingTurn();
    ~DecodingTurn();

private:
    DecodingTurn(const DecodingTurn&);
    DecodingTurn& operator=(const DecodingTurn&);
};

class Image {
public:
    SDL_Surface* m_Surface;      // owned; NULL when the file could not be loaded
    int m_Width;
    int m_Height;
    SDL_PixelFormat* m_Format;   // borrowed from the surface
    unsigned char* m_Pixels;     // borrowed from the surface: the top row's first byte

    // With reportFailure false a failure is left to IsLoaded alone, without
    // the log line or the box (for a helper thread).
    explicit Image(const char* path, bool reportFailure = true);
    // The same from a file's bytes already in memory; name stands for the
    // file in messages and gives its type by its extension, as a path does.
    Image(const char* name, const void* bytes, size_t size);
    virtual ~Image();

    bool IsLoaded() const { return m_Surface != NULL; }
    int GetWidth() const { return m_Width; }
    int GetHeight() const { return m_Height; }
    unsigned char* GetPixels() const { return m_Pixels; }
    int GetBytesPerPixel() const;
    int GetPitch() const;

    // Three byte values (0..255) of the pixel at column x, row y (0 at the
    // top). For 3-byte pixels on a little-endian machine they are bytes 2, 1,
    // 0 (so blue-green-red reads as red, green, blue); otherwise bytes 0, 1, 2,
    // where for 1- and 2-byte pixels the later values are the bytes following
    // the pixel (0 past the end of the picture). Outside the picture: zeros.
    Vector3 GetPixel(int x, int y) const;

private:
    // Closes source. A format the game does not read is named in
    // outRefusedName ("a GIF") and left undecoded.
    static SDL_Surface* Decode(SDL_RWops* source, const char* type, const char** outRefusedName);
    void Describe(const char* path, bool reportFailure, const char* refusedName);
    Image(const Image&);
    Image& operator=(const Image&);
};

#endif
