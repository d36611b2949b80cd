// Telling a picture's format by its bytes, and reading the size its header
// declares.
#include "assets/PictureSize.h"

#include <SDL/SDL.h>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

// Bounds on the blocks, markers and entries walked before a size is found:
// real files need a handful; more is damage, and is not followed further.
const int MOST_STEPS = 4096;
// Enough of the start of a file for every signature below.
const int SIGNATURE_BYTES = 12;

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
    // As many bytes from the start as there are, up to count; the number read.
    int ReadSome(unsigned char* out, int count) const
    {
        SDL_RWseek(m_Source, static_cast<int>(m_Start), RW_SEEK_SET);
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
    PictureSize size = {PictureSize::DECLARED, PICTURE_NONE, width, height, NULL};
    return size;
}

PictureSize Unreadable()
{
    PictureSize size = {PictureSize::UNREADABLE, PICTURE_NONE, 0, 0, NULL};
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

PictureSize PngSize(const Header& header)
{
    unsigned char bytes[24];
    if (!header.Read(0, bytes, 24) || memcmp(bytes + 12, "IHDR", 4) != 0) {
        return Unreadable();
    }
    return Declared(static_cast<long>(Big(bytes + 16, 4)), static_cast<long>(Big(bytes + 20, 4)));
}

// The first bytes of a file, and the tests of their signatures.
struct Start {
    unsigned char m_Bytes[SIGNATURE_BYTES];
    int m_Count;

    bool Has(int offset, const char* text, int length) const
    {
        return offset + length <= m_Count && memcmp(m_Bytes + offset, text, length) == 0;
    }
};

bool IsBmp(const Start& start) { return start.Has(0, "BM", 2); }
bool IsPng(const Start& start) { return start.Has(0, "\x89PNG\r\n\x1a\n", 8); }
bool IsJpeg(const Start& start) { return start.Has(0, "\xff\xd8\xff", 3); }
bool IsGif(const Start& start) { return start.Has(0, "GIF8", 4); }
bool IsTiff(const Start& start) { return start.Has(0, "II*\0", 4) || start.Has(0, "MM\0*", 4); }
bool IsWebp(const Start& start) { return start.Has(0, "RIFF", 4) && start.Has(8, "WEBP", 4); }
bool IsXcf(const Start& start) { return start.Has(0, "gimp xcf", 8); }
bool IsXpm(const Start& start) { return start.Has(0, "/* XPM */", 9); }
bool IsXv(const Start& start) { return start.Has(0, "P7 332", 6); }
bool IsLbm(const Start& start) { return start.Has(0, "FORM", 4) && (start.Has(8, "ILBM", 4) || start.Has(8, "PBM ", 4)); }
bool IsPcx(const Start& start) { return start.Has(0, "\x0a\x05\x01", 3); }

bool IsPnm(const Start& start)
{
    return start.m_Count >= 3 && start.m_Bytes[0] == 'P' && start.m_Bytes[1] >= '1' && start.m_Bytes[1] <= '6' &&
           isspace(start.m_Bytes[2]);
}

// An icon or cursor directory: reserved 0, the kind, at least one entry.
bool IsIcon(const Start& start, unsigned char kind)
{
    return start.m_Count >= 6 && Little(start.m_Bytes, 2) == 0 && Little(start.m_Bytes + 2, 2) == kind &&
           Little(start.m_Bytes + 4, 2) != 0;
}

bool IsIco(const Start& start) { return IsIcon(start, 1); }
bool IsCur(const Start& start) { return IsIcon(start, 2); }

struct Format {
    bool (*m_Is)(const Start& start);
    PictureFormat m_Format;                        // PICTURE_NONE: refused
    PictureSize (*m_Size)(const Header& header);   // for the decoded ones
    const char* m_RefusedName;
};

// No TGA header, whose second byte is 0 or 1, starts like any of these.
const Format SIGNED_FORMATS[] = {
    {IsBmp, PICTURE_BMP, BmpSize, NULL},      {IsPng, PICTURE_PNG, PngSize, NULL},
    {IsJpeg, PICTURE_JPEG, JpegSize, NULL},   {IsGif, PICTURE_NONE, NULL, "a GIF"},
    {IsTiff, PICTURE_NONE, NULL, "a TIFF"},   {IsWebp, PICTURE_NONE, NULL, "a WebP"},
    {IsXcf, PICTURE_NONE, NULL, "a GIMP (XCF)"}, {IsXpm, PICTURE_NONE, NULL, "an XPM"},
    {IsXv, PICTURE_NONE, NULL, "an XV thumbnail"}, {IsPnm, PICTURE_NONE, NULL, "a PNM"},
    {IsLbm, PICTURE_NONE, NULL, "an IFF (LBM)"}, {IsPcx, PICTURE_NONE, NULL, "a PCX"},
};

// An icon directory can look like a TGA header, so a file named TGA is
// taken for one first.
const Format ICON_FORMATS[] = {
    {IsIco, PICTURE_NONE, NULL, "an ICO"},
    {IsCur, PICTURE_NONE, NULL, "a CUR"},
};

PictureSize Recognised(const Format& format, const Header& header)
{
    if (format.m_Size == NULL) {
        PictureSize refused = {PictureSize::REFUSED, PICTURE_NONE, 0, 0, format.m_RefusedName};
        return refused;
    }
    PictureSize size = format.m_Size(header);
    size.m_Format = format.m_Format;
    return size;
}

}  // namespace

PictureSize ReadPictureSize(SDL_RWops* source, const char* type)
{
    Header header(source);
    Start start = {{0}, 0};
    start.m_Count = header.ReadSome(start.m_Bytes, SIGNATURE_BYTES);
    for (const Format& format : SIGNED_FORMATS) {
        if (format.m_Is(start)) {
            return Recognised(format, header);
        }
    }
    if (strcasecmp(type, "tga") == 0) {
        PictureSize size = TgaSize(header);
        size.m_Format = PICTURE_TGA;
        return size;
    }
    for (const Format& format : ICON_FORMATS) {
        if (format.m_Is(start)) {
            return Recognised(format, header);
        }
    }
    PictureSize none = {PictureSize::NOT_A_PICTURE, PICTURE_NONE, 0, 0, NULL};
    return none;
}
