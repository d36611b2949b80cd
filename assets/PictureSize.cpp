// Reading the size a picture's header declares, format by format.
#include "assets/PictureSize.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

// Bounds on the blocks, markers and entries walked before a size is found:
// real files need a handful; more is damage, and is not followed further.
const int MOST_STEPS = 4096;
const int TEXT_HEADER_BYTES = 4096;

// The bytes of a file, at offsets from where it stood when the reading began.
class Header {
public:
    explicit Header(SDL_RWops* source) : m_Source(source), m_Start(SDL_RWtell(source)) {}
    ~Header() { SDL_RWseek(m_Source, m_Start, RW_SEEK_SET); }

    // False when the file ends before count bytes at offset.
    bool Read(long offset, unsigned char* out, int count) const
    {
        if (offset < 0 || offset > 0x7FFFFFFFL - m_Start ||
            SDL_RWseek(m_Source, static_cast<int>(m_Start + offset), RW_SEEK_SET) < 0) {
            return false;
        }
        return SDL_RWread(m_Source, out, 1, count) == count;
    }
    // As many bytes as there are, up to count; the number read.
    int ReadSome(unsigned char* out, int count) const
    {
        SDL_RWseek(m_Source, m_Start, RW_SEEK_SET);
        int got = SDL_RWread(m_Source, out, 1, count);
        return got > 0 ? got : 0;
    }

private:
    SDL_RWops* m_Source;
    long m_Start;
};

unsigned long Little(const unsigned char* bytes, int count)
{
    unsigned long value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

unsigned long Big(const unsigned char* bytes, int count)
{
    unsigned long value = 0;
    for (int i = 0; i < count; ++i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

long Signed32(unsigned long value)
{
    return static_cast<long>(static_cast<int32_t>(static_cast<uint32_t>(value)));
}

PictureSize Declared(long width, long height)
{
    PictureSize size = {PictureSize::DECLARED, width, height};
    return size;
}

PictureSize Unreadable()
{
    PictureSize size = {PictureSize::UNREADABLE, 0, 0};
    return size;
}

PictureSize TgaSize(const Header& header)
{
    unsigned char bytes[18];
    return header.Read(0, bytes, 18) ? Declared(Little(bytes + 12, 2), Little(bytes + 14, 2)) : Unreadable();
}

PictureSize BmpSize(const Header& header)
{
    unsigned char bytes[26];
    if (!header.Read(0, bytes, 26)) {
        return Unreadable();
    }
    // The old 12-byte header has 16-bit sizes; a negative height is top-down.
    if (Little(bytes + 14, 4) == 12) {
        return Declared(Little(bytes + 18, 2), Little(bytes + 20, 2));
    }
    return Declared(labs(Signed32(Little(bytes + 18, 4))), labs(Signed32(Little(bytes + 22, 4))));
}

// Every entry's own bitmap header counts (its height covers the mask too).
PictureSize IconSize(const Header& header)
{
    unsigned char bytes[16];
    if (!header.Read(0, bytes, 6)) {
        return Unreadable();
    }
    long count = static_cast<long>(Little(bytes + 4, 2));
    PictureSize largest = Declared(0, 0);
    for (long i = 0; i < count; ++i) {
        if (!header.Read(6 + 16 * i, bytes, 16) || !header.Read(static_cast<long>(Little(bytes + 12, 4)), bytes, 12)) {
            return Unreadable();
        }
        largest.m_Width = std::max(largest.m_Width, labs(Signed32(Little(bytes + 4, 4))));
        largest.m_Height = std::max(largest.m_Height, labs(Signed32(Little(bytes + 8, 4))) / 2);
    }
    return largest;
}

// The first image's own descriptor: the decoder takes its size from there,
// not from the screen's.
PictureSize GifSize(const Header& header)
{
    unsigned char bytes[13];
    if (!header.Read(0, bytes, 13)) {
        return Unreadable();
    }
    long at = 13 + ((bytes[10] & 0x80) ? 3L << ((bytes[10] & 7) + 1) : 0);
    for (int step = 0; step < MOST_STEPS && header.Read(at, bytes, 1); ++step) {
        if (bytes[0] == ',') {
            return header.Read(at + 1, bytes, 8) ? Declared(Little(bytes + 4, 2), Little(bytes + 6, 2)) : Unreadable();
        }
        if (bytes[0] != '!') {
            return Unreadable();
        }
        at += 2;  // the introducer and the label, then the data's sub-blocks
        while (header.Read(at, bytes, 1) && bytes[0] != 0 && ++step < MOST_STEPS) {
            at += 1 + bytes[0];
        }
        at += 1;
    }
    return Unreadable();
}

bool IsStartOfFrame(int marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

PictureSize JpegSize(const Header& header)
{
    unsigned char bytes[9];
    long at = 2;
    for (int step = 0; step < MOST_STEPS && header.Read(at, bytes, 2); ++step) {
        if (bytes[0] != 0xFF) {
            return Unreadable();
        }
        int marker = bytes[1];
        if (marker == 0xFF) {
            at += 1;  // fill
        } else if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            at += 2;  // markers without a length
        } else if (!header.Read(at, bytes, 9)) {
            return Unreadable();
        } else if (IsStartOfFrame(marker)) {
            return Declared(Big(bytes + 7, 2), Big(bytes + 5, 2));
        } else if (marker == 0xDA || marker == 0xD9) {
            return Unreadable();  // the scan, or the end, before any frame
        } else {
            at += 2 + Big(bytes + 2, 2);
        }
    }
    return Unreadable();
}

PictureSize LbmSize(const Header& header)
{
    unsigned char bytes[12];
    long at = 12;
    for (int step = 0; step < MOST_STEPS && header.Read(at, bytes, 12); ++step) {
        if (memcmp(bytes, "BMHD", 4) == 0) {
            return Declared(Big(bytes + 8, 2), Big(bytes + 10, 2));
        }
        unsigned long length = Big(bytes + 4, 4);
        at += 8 + static_cast<long>(length + (length & 1));
    }
    return Unreadable();
}

PictureSize PcxSize(const Header& header)
{
    unsigned char bytes[12];
    if (!header.Read(0, bytes, 12)) {
        return Unreadable();
    }
    return Declared(static_cast<long>(Little(bytes + 8, 2)) - static_cast<long>(Little(bytes + 4, 2)) + 1,
                    static_cast<long>(Little(bytes + 10, 2)) - static_cast<long>(Little(bytes + 6, 2)) + 1);
}

PictureSize PngSize(const Header& header)
{
    unsigned char bytes[24];
    if (!header.Read(0, bytes, 24) || memcmp(bytes + 12, "IHDR", 4) != 0) {
        return Unreadable();
    }
    return Declared(static_cast<long>(Big(bytes + 16, 4)), static_cast<long>(Big(bytes + 20, 4)));
}

PictureSize TiffSize(const Header& header)
{
    unsigned char bytes[12];
    if (!header.Read(0, bytes, 8)) {
        return Unreadable();
    }
    bool little = bytes[0] == 'I';
    unsigned long (*read)(const unsigned char*, int) = little ? Little : Big;
    long directory = static_cast<long>(read(bytes + 4, 4));
    if (!header.Read(directory, bytes, 2)) {
        return Unreadable();
    }
    long entries = static_cast<long>(read(bytes, 2));
    long width = -1;
    long height = -1;
    for (long i = 0; i < entries && i < MOST_STEPS; ++i) {
        if (!header.Read(directory + 2 + 12 * i, bytes, 12)) {
            return Unreadable();
        }
        unsigned long tag = read(bytes, 2);
        unsigned long type = read(bytes + 2, 2);
        long value = static_cast<long>(type == 3 ? read(bytes + 8, 2) : read(bytes + 8, 4));
        if (tag == 256) {
            width = value;
        } else if (tag == 257) {
            height = value;
        }
    }
    return width >= 0 && height >= 0 ? Declared(width, height) : Unreadable();
}

// The first two numbers of text, after 'from', passing over blanks and, where
// lines starting with 'comment' may come, those lines.
PictureSize NumbersIn(const char* from, char comment)
{
    const char* at = from;
    long numbers[2] = {0, 0};
    for (int found = 0; found < 2;) {
        while (*at != '\0' && (isspace(static_cast<unsigned char>(*at)) || *at == '"')) {
            ++at;
        }
        if (*at == comment && comment != '\0') {
            at = strchr(at, '\n');
            if (at == NULL) {
                return Unreadable();
            }
            continue;
        }
        char* end = NULL;
        numbers[found] = strtol(at, &end, 10);
        if (end == at) {
            return Unreadable();
        }
        at = end;
        ++found;
    }
    return Declared(numbers[0], numbers[1]);
}

PictureSize TextSize(const Header& header, const char* kind)
{
    char text[TEXT_HEADER_BYTES + 1];
    int got = header.ReadSome(reinterpret_cast<unsigned char*>(text), TEXT_HEADER_BYTES);
    text[got] = '\0';
    if (strcmp(kind, "PNM") == 0) {
        return NumbersIn(text + 2, '#');  // after P1 .. P6
    }
    if (strcmp(kind, "XPM") == 0) {
        const char* values = strchr(text, '"');  // the first string: width height colours ...
        return values != NULL ? NumbersIn(values + 1, '\0') : Unreadable();
    }
    const char* line = strchr(text, '\n');  // XV: after "P7 332", comment lines, then the size
    return line != NULL ? NumbersIn(line + 1, '#') : Unreadable();
}

PictureSize WebpSize(const Header& header)
{
    unsigned char bytes[30];
    if (!header.Read(0, bytes, 30)) {
        return Unreadable();
    }
    if (memcmp(bytes + 12, "VP8X", 4) == 0) {
        return Declared(1 + static_cast<long>(Little(bytes + 24, 3)), 1 + static_cast<long>(Little(bytes + 27, 3)));
    }
    if (memcmp(bytes + 12, "VP8L", 4) == 0) {
        unsigned long bits = Little(bytes + 21, 4);
        return Declared(1 + static_cast<long>(bits & 0x3FFF), 1 + static_cast<long>((bits >> 14) & 0x3FFF));
    }
    if (memcmp(bytes + 12, "VP8 ", 4) == 0) {
        return Declared(static_cast<long>(Little(bytes + 26, 2) & 0x3FFF),
                        static_cast<long>(Little(bytes + 28, 2) & 0x3FFF));
    }
    return Unreadable();
}

PictureSize PnmSize(const Header& header)
{
    return TextSize(header, "PNM");
}

PictureSize XpmSize(const Header& header)
{
    return TextSize(header, "XPM");
}

PictureSize XvSize(const Header& header)
{
    return TextSize(header, "XV");
}

// GIMP's pictures are never decoded: SDL_image's reader reads its lists of
// layers until a zero it may never meet in a file cut short.
PictureSize Refused(const Header&)
{
    PictureSize refused = {PictureSize::REFUSED, 0, 0};
    return refused;
}

// The formats SDL_image recognises by their bytes, in the order it tries
// them, each with its size's reader.
struct Format {
    int (*m_Is)(SDL_RWops* source);
    PictureSize (*m_Size)(const Header& header);
};

const Format FORMATS[] = {
    {IMG_isCUR, IconSize}, {IMG_isICO, IconSize}, {IMG_isBMP, BmpSize}, {IMG_isGIF, GifSize},
    {IMG_isJPG, JpegSize}, {IMG_isLBM, LbmSize},  {IMG_isPCX, PcxSize}, {IMG_isPNG, PngSize},
    {IMG_isPNM, PnmSize},  {IMG_isTIF, TiffSize}, {IMG_isXCF, Refused}, {IMG_isXPM, XpmSize},
    {IMG_isXV, XvSize},    {IMG_isWEBP, WebpSize},
};

}  // namespace

PictureSize ReadPictureSize(SDL_RWops* source, const char* type)
{
    Header header(source);
    // SDL_image's own order: TGA, which has no signature, by the name first.
    if (strcasecmp(type, "tga") == 0) {
        return TgaSize(header);
    }
    for (const Format& format : FORMATS) {
        if (format.m_Is(source)) {
            return format.m_Size(header);
        }
    }
    PictureSize none = {PictureSize::NOT_A_PICTURE, 0, 0};
    return none;
}
