// The size a picture file says it has, read from its header before any
// decoder sees it: a decoder allocates the whole picture from that size, and
// a few bytes of a small file can ask for gigabytes. The content is told
// apart exactly as SDL_image tells it when it picks a decoder (by its bytes,
// and TGA, which has no signature, by the type the file's name gives), so
// every picture it would decode is measured: TGA, CUR, ICO, BMP, GIF, JPEG,
// LBM, PCX, PNG, PNM, TIFF, XPM, XV and WebP. GIMP's XCF is refused whole:
// SDL_image's reader of it can loop for ever on a file cut short.
#ifndef ASSETS_PICTURE_SIZE_H
#define ASSETS_PICTURE_SIZE_H

struct SDL_RWops;

struct PictureSize {
    enum Kind {
        NOT_A_PICTURE,   // no decoder would take it; decoding it fails at once
        DECLARED,        // the header gives width x height (the largest, for files of several)
        UNREADABLE,      // a picture whose header ends or breaks before its size
        REFUSED          // a format whose decoder is not trusted with any file (XCF)
    };
    Kind m_Kind;
    long m_Width;
    long m_Height;
};

// Reads the size from source, from where it stands, and leaves it there.
// type is the file's extension ("tga", "bmp"), or "" for none.
PictureSize ReadPictureSize(SDL_RWops* source, const char* type);

#endif
