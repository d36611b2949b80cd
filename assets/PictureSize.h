// What a picture file is and the size it says it has, read from its bytes
// before any decoder sees them. The game decodes BMP and TGA (its own
// pictures), PNG and JPEG; every other format SDL_image knows (GIF, TIFF,
// PCX, PNM, XPM, XV, LBM, ICO, CUR, WebP, GIMP's XCF) is recognised by its
// signature and refused whole, since their readers crash, leak or loop on
// damaged files. TGA has no signature: a file is one when its name says so
// and its bytes carry no other format's. A decoder allocates the whole
// picture from the declared size, and a few bytes can ask for gigabytes, so
// the size of every decoded format is read here first.
#ifndef ASSETS_PICTURE_SIZE_H
#define ASSETS_PICTURE_SIZE_H

struct SDL_RWops;

enum PictureFormat { PICTURE_NONE, PICTURE_BMP, PICTURE_TGA, PICTURE_PNG, PICTURE_JPEG };

struct PictureSize {
    enum Kind {
        NOT_A_PICTURE,   // no format the game knows of
        DECLARED,        // a decoded format, whose header gives width x height
        UNREADABLE,      // a decoded format whose header ends or breaks before its size
        REFUSED          // a format the game does not decode, named by m_RefusedName
    };
    Kind m_Kind;
    PictureFormat m_Format;     // the decoder to use, for DECLARED
    long m_Width;
    long m_Height;
    const char* m_RefusedName;  // with its article, for messages: "a GIF", "an XPM"; else NULL
};

// Reads the format and size from source, from where it stands, and leaves
// it there. type is the file's extension ("tga", "bmp"), or "" for none.
PictureSize ReadPictureSize(SDL_RWops* source, const char* type);

#endif
